#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace gipso {

// Every file the program writes goes to a temporary file beside the target that is renamed
// over it on success, so a failure leaves the old file whole.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// For writers that stream: open, write, then commit(); destroying it uncommitted discards the temporary.
class AtomicWriter {
public:
    explicit AtomicWriter(const QString &path);
    bool open(QString *error = nullptr);
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    bool commit(QString *error = nullptr);
    QSaveFile &file() { return file_; }

private:
    QSaveFile file_;
    bool failed_ = false;
};

} // namespace gipso
