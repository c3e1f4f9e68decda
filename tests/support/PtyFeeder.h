#pragma once

// A pseudo-terminal that plays a receiver: the program under test opens the slave side by its
// path, the test writes into the master side. Writes are queued and handed to the pty from the
// event loop, so the program's waits (which run the event loop) drain it.

#include "support/TestSupport.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace gipso::test {

class PtyFeeder : public QObject {
public:
    PtyFeeder()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            return;
        slavePath_ = QString::fromLocal8Bit(ptsname(master_));
        // Hold the slave open in raw mode: bytes written before the program opens it are not
        // translated by the line discipline, and the pty never hangs up under the program.
        slave_ = ::open(slavePath_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        termios t{};
        if (slave_ >= 0 && tcgetattr(slave_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(slave_, TCSANOW, &t);
        }
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { pump(); });
    }
    ~PtyFeeder() override
    {
        for (int fd : {slave_, master_})
            if (fd >= 0)
                ::close(fd);
    }

    bool ok() const { return master_ >= 0 && slave_ >= 0; }
    QString slavePath() const { return slavePath_; }

    // Queues bytes for the "receiver" to send.
    void feed(const QByteArray &bytes)
    {
        pending_ += bytes;
        timer_.start();
    }
    // Sends these bytes over and over, as a receiver streams its sentences.
    void repeat(const QByteArray &cycle)
    {
        cycle_ = cycle;
        timer_.start();
    }
    // The receiver falls silent: nothing more is sent.
    void stop()
    {
        cycle_.clear();
        pending_.clear();
        timer_.stop();
    }
    qsizetype pending() const { return pending_.size(); }
    // The receiver hangs up: its end of the line closes.
    void hangUp()
    {
        stop();
        ::close(master_);
        master_ = -1;
    }

private:
    void pump()
    {
        if (pending_.isEmpty() && !cycle_.isEmpty())
            pending_ = cycle_;
        while (!pending_.isEmpty()) {
            const ssize_t n = ::write(master_, pending_.constData(), size_t(pending_.size()));
            if (n <= 0)
                break; // full (EAGAIN): the rest at the next tick
            pending_.remove(0, n);
        }
        if (pending_.isEmpty() && cycle_.isEmpty())
            timer_.stop();
    }

    int master_ = -1, slave_ = -1;
    QString slavePath_;
    QByteArray pending_, cycle_;
    QTimer timer_;
};

// The bytes a receiver sent, from its log in the test data: the header lines ("#" comments at
// the start of the file, which the log's collector added) are left out.
inline QByteArray receiverLog(const QString &relative)
{
    const QByteArray log = readAll(testData(relative));
    qsizetype pos = 0;
    while (pos < log.size() && log[pos] == '#') {
        const qsizetype nl = log.indexOf('\n', pos);
        pos = nl < 0 ? log.size() : nl + 1;
    }
    return log.mid(pos);
}

} // namespace gipso::test
