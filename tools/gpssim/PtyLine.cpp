#include "PtyLine.h"

#include "Options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace gpssim {

PtyLine::PtyLine(int baud)
    : byteTime_(baud > 0 ? std::chrono::nanoseconds(10'000'000'000LL / baud) : std::chrono::nanoseconds(0))
{
}

QString PtyLine::open()
{
    fd_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0)
        usageError(QStringLiteral("cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno))));
    const QString path = QString::fromLocal8Bit(ptsname(fd_));
    // Raw mode on the terminal side: no echo, no line editing, no translation of CR/LF.
    const int slave = ::open(ptsname(fd_), O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        ::close(slave);
    }
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    lineFree_ = Clock::now();
    return path;
}

QByteArray PtyLine::read(int timeoutMs)
{
    responding_ = false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 1'000'000'000 : timeoutMs);
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return {};
        const int r = ::poll(&p, 1, int(std::min<long long>(left, 1'000'000)));
        if (r <= 0)
            continue;
        if (p.revents & POLLIN) {
            char buf[4096];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0) {
                arrived(n);
                return QByteArray(buf, n);
            }
        }
        if (p.revents & (POLLHUP | POLLERR)) {
            hostGone_ = true; // no host has the terminal open
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long long>(left, 20)));
        }
    }
}

bool PtyLine::hostPresent()
{
    pollfd p{fd_, POLLIN, 0};
    ::poll(&p, 1, 0);
    return !(p.revents & POLLHUP);
}

bool PtyLine::hostWasGone()
{
    const bool gone = hostGone_;
    hostGone_ = false;
    return gone;
}

void PtyLine::write(const QByteArray &bytes)
{
    if (byteTime_.count() > 0) {
        // A reply starts when the line frees; anything else no earlier than now.
        const auto start = responding_ ? lineFree_ : std::max(lineFree_, Clock::now());
        lineFree_ = start + byteTime_ * bytes.size();
        std::this_thread::sleep_until(lineFree_);
    }
    responding_ = true; // what follows at once goes out back to back
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            return;
        }
    }
    lastWrite_ = Clock::now();
    lastWriteEnd_ = lineFree_;
    wrote_ = true;
}

void PtyLine::pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    if (byteTime_.count() > 0)
        lineFree_ += std::chrono::milliseconds(ms);
}

void PtyLine::restart()
{
    lineFree_ = std::max(lineFree_, Clock::now());
    responding_ = false;
}

void PtyLine::hangUp()
{
    ::close(fd_);
    fd_ = -1;
}

// Throttling keeps an ideal timeline of the line, so that late wake-ups of this program do
// not add up: host bytes start on the line as long after the end of our last packet as the
// host took to answer it, and take their byte time.
void PtyLine::arrived(qsizetype n)
{
    responding_ = true;
    if (byteTime_.count() <= 0)
        return;
    const auto now = Clock::now();
    const auto start = wrote_ ? std::max(lineFree_, lastWriteEnd_ + (now - lastWrite_)) : std::max(lineFree_, now);
    lineFree_ = start + byteTime_ * n;
}

} // namespace gpssim
