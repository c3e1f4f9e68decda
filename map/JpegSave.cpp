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

// Encodes rows of width pixels, pitch bytes apart, and writes the file.
void encodeAndWrite(const unsigned char *bits, int width, int pitch, int height, int pixelFormat, int flags,
                    const QString &path, int quality)
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
    const int rc = tjCompress2(tj.h, bits, width, pitch, height, pixelFormat, &out.data, &out.size, TJSAMP_420,
                               qBound(0, quality, 100), flags);
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

} // namespace

void saveJpeg(const DibBuffer &dib, const QString &path, int quality)
{
    encodeAndWrite(dib.bits(), dib.width(), DibBuffer::bytesPerLine(dib.width()), dib.height(), TJPF_BGR,
                   TJFLAG_BOTTOMUP, path, quality);
}

void saveJpeg(const QImage &picture, const QString &path, int quality)
{
    // BGRX: the fourth byte (alpha) is skipped, as the bitmap buffer's copy drops it.
    if (picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32) {
        encodeAndWrite(picture.constBits(), picture.width(), int(picture.bytesPerLine()), picture.height(), TJPF_BGRX,
                       0, path, quality);
        return;
    }
    DibBuffer dib;
    if (!dib.copyFrom(picture))
        throw GipsoError(kJpegError, formatMessage(messageText(msg::PictureNoMemory), {picture.width(), picture.height()}));
    saveJpeg(dib, path, quality);
}

} // namespace gipso
