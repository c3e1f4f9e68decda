#include "map/JpegSave.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "base/SafeFile.h"
#include "map/DibBuffer.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <turbojpeg.h>

namespace gipso {

namespace {

struct TjHandle {
    tjhandle h = tjInitCompress();
    ~TjHandle()
    {
        if (h)
            tjDestroy(h);
    }
};

struct TjBuffer {
    unsigned char *data = nullptr;
    unsigned long size = 0;
    ~TjBuffer() { tjFree(data); }
};

GipsoError saveFailure(long code)
{
    return GipsoError(kJpegError, formatMessage(messageText(msg::JpegSaveFailed), {qlonglong(code)}));
}

} // namespace

void saveJpeg(const DibBuffer &dib, const QString &path, int quality)
{
    TjHandle tj;
    if (!tj.h)
        throw GipsoError(kJpegError, formatMessage(messageText(msg::JpegInitFailed), {-1}));

    // The replaced file's times and permissions go over to the new file.
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat old {};
    const bool existed = ::stat(nativePath.constData(), &old) == 0;
    const QFile::Permissions oldPermissions = existed ? QFile::permissions(path) : QFile::Permissions();

    TjBuffer out;
    const int rc = tjCompress2(tj.h, dib.bits(), dib.width(), DibBuffer::bytesPerLine(dib.width()), dib.height(),
                               TJPF_BGR, &out.data, &out.size, TJSAMP_420, qBound(0, quality, 100),
                               TJFLAG_BOTTOMUP);
    if (rc != 0 || !out.data)
        throw saveFailure(rc != 0 ? rc : -1);

    AtomicWriter w(path);
    if (!w.open() || !w.write(reinterpret_cast<const char *>(out.data), qint64(out.size)) || !w.commit())
        throw saveFailure(w.file().error());

    if (existed) {
        const struct timespec times[2] = {old.st_atim, old.st_mtim};
        ::utimensat(AT_FDCWD, nativePath.constData(), times, 0);
        QFile::setPermissions(path, oldPermissions);
    }
}

} // namespace gipso
