#include "base/SafeFile.h"

#include "base/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace gipso {

namespace {

constexpr char kTemporaryMark[] = ".gipso-";
constexpr int kRandomLength = 6;

bool isRandomPart(const QString &text)
{
    return text.size() == kRandomLength
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
}

QString randomPart()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString s;
    for (int i = 0; i < kRandomLength; ++i)
        s += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
    return s;
}

// What a signal removes; the lock also keeps a writer from creating its temporary while the
// signal's cleanup runs (the cleanup never gives it back: the program ends).
std::mutex &registryLock()
{
    static std::mutex m;
    return m;
}
std::vector<QString> &registry()
{
    static std::vector<QString> paths;
    return paths;
}
void forget(const QString &path)
{
    auto &paths = registry();
    if (auto it = std::find(paths.begin(), paths.end(), path); it != paths.end())
        paths.erase(it);
}

// Temporaries of the target left by earlier writers: only names of our own pattern, only
// regular files of this user, and only when no writer holds them (a writer keeps its
// temporary locked until it is renamed or removed).
void removeStaleTemporaries(const QString &target)
{
    const QFileInfo info(target);
    const QString prefix = info.fileName() + QLatin1String(kTemporaryMark);
    const QDir dir = info.dir();
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!name.startsWith(prefix) || !isRandomPart(name.mid(prefix.size())))
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
}

bool sameFile(int fd, const QByteArray &path)
{
    struct stat a {}, b {};
    return ::fstat(fd, &a) == 0 && ::lstat(path.constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

const int kCleanupSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

} // namespace

// ---------------------------------------------------------------------------------------------

AtomicWriter::AtomicWriter(const QString &path) : path_(path), target_(path) {}

AtomicWriter::~AtomicWriter() { discard(); }

bool AtomicWriter::fail(QFileDevice::FileError error, const QString &reason)
{
    if (error_ == QFileDevice::NoError) {
        error_ = error;
        reason_ = reason;
    }
    return false;
}

bool AtomicWriter::open(QString *error)
{
    const QFileInfo link(path_);
    if (link.isSymLink())
        target_ = link.symLinkTarget();
    const QByteArray native = QFile::encodeName(target_);
    struct stat old {};
    const bool existed = ::stat(native.constData(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        fail(QFileDevice::OpenError, messageText(msg::NotRegularFile));
    else if (existed && ::access(native.constData(), W_OK) != 0)
        fail(QFileDevice::OpenError, QStringLiteral("Existing file %1 is not writable").arg(target_));
    if (error_ != QFileDevice::NoError) {
        if (error)
            *error = reason_;
        return false;
    }
    removeStaleTemporaries(target_);

    // Until the old permissions are copied, nobody else may read the new contents.
    const mode_t mode = existed ? 0600 : 0666;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const QString name = target_ + QLatin1String(kTemporaryMark) + randomPart();
        const QByteArray temp = QFile::encodeName(name);
        std::lock_guard lock(registryLock());
        const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            fail(QFileDevice::OpenError, qt_error_string(errno));
            break;
        }
        // Locked, and still ours: another run's cleanup may have taken it between the two steps.
        if (::flock(fd, LOCK_EX) != 0 || !sameFile(fd, temp)) {
            ::close(fd);
            continue;
        }
        fd_ = fd;
        temporary_ = name;
        registry().push_back(name);
    }
    if (fd_ < 0) {
        fail(QFileDevice::OpenError, qt_error_string(EEXIST));
        if (error)
            *error = reason_;
        return false;
    }
    if (existed)
        ::fchmod(fd_, old.st_mode & 07777);
    device_.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return true;
}

bool AtomicWriter::write(const char *data, qint64 size)
{
    if (fd_ < 0 || error_ != QFileDevice::NoError)
        return fail(QFileDevice::WriteError, qt_error_string(EBADF));
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, static_cast<size_t>(std::min<qint64>(size, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(QFileDevice::WriteError, qt_error_string(errno));
        }
        data += n;
        size -= n;
    }
    return true;
}

qint64 AtomicWriter::Device::writeData(const char *data, qint64 size)
{
    owner_.write(data, size);
    return size;
}

bool AtomicWriter::commit(QString *error)
{
    if (fd_ < 0 && error_ == QFileDevice::NoError)
        fail(QFileDevice::WriteError, qt_error_string(EBADF));
    // Data the kernel has only buffered may still fail to reach the disk.
    if (error_ == QFileDevice::NoError && ::fsync(fd_) != 0)
        fail(QFileDevice::WriteError, qt_error_string(errno));
    // Renamed while still locked, so that no other run takes it for a stale one meanwhile.
    if (error_ == QFileDevice::NoError
        && ::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(target_).constData()) != 0)
        fail(QFileDevice::RenameError, qt_error_string(errno));
    if (error_ != QFileDevice::NoError) {
        discard();
        if (error)
            *error = reason_;
        return false;
    }
    ::close(fd_); // the data is on the disk already
    fd_ = -1;
    {
        std::lock_guard lock(registryLock());
        forget(temporary_);
    }
    temporary_.clear();
    device_.close();
    // The rename itself is on the disk once the folder is.
    const int dir = ::open(QFile::encodeName(QFileInfo(target_).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void AtomicWriter::discard()
{
    device_.close();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (temporary_.isEmpty())
        return;
    std::lock_guard lock(registryLock());
    ::unlink(QFile::encodeName(temporary_).constData());
    forget(temporary_);
    temporary_.clear();
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    AtomicWriter w(path);
    if (!w.open(error))
        return false;
    w.write(bytes);
    return w.commit(error);
}

// ---------------------------------------------------------------------------------------------

TemporaryGuard::TemporaryGuard(const QString &path) : path_(path)
{
    std::lock_guard lock(registryLock());
    registry().push_back(path_);
}

TemporaryGuard::~TemporaryGuard()
{
    std::lock_guard lock(registryLock());
    forget(path_);
}

void removeTemporariesOnSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int s : kCleanupSignals)
        sigaddset(&set, s);
    // Every thread started from now on inherits the mask; only the thread below takes them.
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set] {
        int sig = 0;
        while (sigwait(&set, &sig) != 0) {
        }
        registryLock().lock(); // kept: no writer starts a temporary from here on
        for (const QString &path : registry()) {
            if (QFileInfo(path).isDir())
                QDir(path).removeRecursively();
            else
                ::unlink(QFile::encodeName(path).constData());
        }
        // End as the signal would have ended the program.
        std::signal(sig, SIG_DFL);
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, sig);
        pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
        ::raise(sig);
        ::_exit(128 + sig);
    }).detach();
}

} // namespace gipso
