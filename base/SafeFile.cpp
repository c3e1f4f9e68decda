#include "base/SafeFile.h"

namespace gipso {

AtomicWriter::AtomicWriter(const QString &path) : file_(path) {}

bool AtomicWriter::open(QString *error)
{
    if (!file_.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file_.errorString();
        failed_ = true;
        return false;
    }
    return true;
}

bool AtomicWriter::write(const char *data, qint64 size)
{
    if (failed_)
        return false;
    if (file_.write(data, size) != size) {
        failed_ = true;
        return false;
    }
    return true;
}

bool AtomicWriter::commit(QString *error)
{
    if (failed_ || !file_.commit()) {
        if (error)
            *error = file_.errorString();
        file_.cancelWriting();
        return false;
    }
    return true;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    AtomicWriter w(path);
    if (!w.open(error))
        return false;
    w.write(bytes);
    return w.commit(error);
}

} // namespace gipso
