#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QIODevice>
#include <QString>

namespace gipso {

// Every file the program writes goes to a temporary file beside the target that is renamed
// over it on success, so a failure leaves the old file whole.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// For writers that stream: open, write, then commit(); destroying it uncommitted discards the
// temporary. The temporary is "NAME.gipso-XXXXXX" beside the target (a symbolic link is
// followed); commit() renames it over the target only once every byte is on the disk (written,
// flushed and synced), so a full disk or an I/O error leaves the old file whole and reports the
// system's reason. A target that exists and is not a regular file (a pipe, a device, a folder)
// is refused: renaming over it would replace it. Opening also removes the temporaries of this
// target that earlier runs left behind (killed, or on a crash) and no writer holds any more.
class AtomicWriter {
public:
    explicit AtomicWriter(const QString &path);
    ~AtomicWriter();
    AtomicWriter(const AtomicWriter &) = delete;
    AtomicWriter &operator=(const AtomicWriter &) = delete;

    bool open(QString *error = nullptr);
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    bool commit(QString *error = nullptr);
    // Why the first failure happened (the system's text), empty while all went well.
    const QString &errorString() const { return reason_; }

    // The temporary as a device, for writers that take one (QImageWriter). A failed write does
    // not stop such a writer; it sticks, and commit() reports it.
    class Device : public QIODevice {
    public:
        explicit Device(AtomicWriter &owner) : owner_(owner) {}
        bool isSequential() const override { return true; }
        QFileDevice::FileError error() const { return owner_.error_; }

    protected:
        qint64 readData(char *, qint64) override { return -1; }
        qint64 writeData(const char *data, qint64 size) override;

    private:
        AtomicWriter &owner_;
    };
    Device &file() { return device_; }

private:
    bool fail(QFileDevice::FileError error, const QString &reason);
    void discard();

    QString path_;      // what the caller named
    QString target_;    // the file replaced (symbolic links followed)
    QString temporary_;
    int fd_ = -1;
    QFileDevice::FileError error_ = QFileDevice::NoError;
    QString reason_;
    Device device_{*this};
};

// Temporary files and folders that a signal must not leave behind: a guard registers a path
// for its lifetime.
class TemporaryGuard {
public:
    explicit TemporaryGuard(const QString &path);
    ~TemporaryGuard();
    TemporaryGuard(const TemporaryGuard &) = delete;
    TemporaryGuard &operator=(const TemporaryGuard &) = delete;

private:
    QString path_;
};

// From now on SIGHUP, SIGINT, SIGQUIT and SIGTERM first remove the registered temporaries and
// then end the program as they would have. Called at the start of main, before any thread
// starts: the signals are taken by a thread of their own, so the cleanup runs as ordinary code.
void removeTemporariesOnSignals();

} // namespace gipso
