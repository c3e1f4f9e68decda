#include "map/MapPicture.h"

#include "base/Messages.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <turbojpeg.h>

namespace gipso {

namespace {

// Divides rather than multiplies: header sizes up to 2^32 x 2^32 must not wrap round.
bool tooLarge(qint64 width, qint64 height)
{
    return width <= 0 || height <= 0 || width > kMaxPictureMegabytes * 1024 * 1024 / 4 / height;
}

QString tooLargeText(qint64 width, qint64 height)
{
    return formatMessage(messageText(msg::PictureTooLarge), {width, height});
}

// Why a picture did not decode: its data ends early (at the file's last byte), or is damaged.
QString cutShortText(const char *format, qint64 fileSize)
{
    return formatMessage(messageText(msg::PictureCutShort), {QLatin1String(format), fileSize});
}
QString damagedText(const QString &format) { return formatMessage(messageText(msg::PictureDamaged), {format}); }

// The decoder's own texts are English; what they mean is said in the user's language. Data
// without an end marker (FF D9: nowhere else in a JPEG but in an embedded thumbnail) was cut
// short, whatever part of it the decoder stumbled on.
QString jpegError(tjhandle tj, const QByteArray &data)
{
    if (QByteArray(tjGetErrorStr2(tj)).contains("Premature end") || !data.contains("\xFF\xD9"))
        return cutShortText("JPEG", data.size());
    return damagedText(QStringLiteral("JPEG"));
}

// Strict JPEG decoding: a warning (data ending early, damaged segments) is an error here.
// Returns a null image with handled = false for JPEG kinds the encoder library does not
// decode (CMYK), which the general loader then reads.
QImage decodeJpeg(const QByteArray &data, bool &handled, QString &error)
{
    handled = true;
    tjhandle tj = tjInitDecompress();
    if (!tj) {
        handled = false;
        return {};
    }
    const auto *src = reinterpret_cast<const unsigned char *>(data.constData());
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    QImage img;
    if (tjDecompressHeader3(tj, src, (unsigned long)data.size(), &width, &height, &subsamp, &colorspace) != 0) {
        error = jpegError(tj, data);
    } else if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
        handled = false;
    } else if (tooLarge(width, height)) {
        error = tooLargeText(width, height);
    } else {
        img = QImage(width, height, QImage::Format_RGB32);
        if (img.isNull()) {
            error = formatMessage(messageText(msg::PictureNoMemory), {width, height});
        } else if (tjDecompress2(tj, src, (unsigned long)data.size(), img.bits(), width, int(img.bytesPerLine()),
                                 height, TJPF_BGRA, TJFLAG_STOPONWARNING) != 0) {
            // BGRA in memory is QImage's 32-bit layout on little-endian machines; alpha is 0xFF.
            error = jpegError(tj, data);
            img = QImage();
        }
    }
    tjDestroy(tj);
    return img;
}

// The pixel data an uncompressed BMP's header promises must be in the file.
bool bmpComplete(QFile &f, QString &error)
{
    f.seek(0);
    const QByteArray h = f.read(54);
    if (h.size() < 54)
        return error = cutShortText("BMP", f.size()), false;
    const quint32 offBits = qFromLittleEndian<quint32>(h.constData() + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(h.constData() + 14);
    if (headerSize < 40)
        return true; // an old OS/2 header: left to the loader
    const qint64 width = qFromLittleEndian<qint32>(h.constData() + 18);
    const qint64 height = qAbs(qint64(qFromLittleEndian<qint32>(h.constData() + 22)));
    const quint16 bpp = qFromLittleEndian<quint16>(h.constData() + 28);
    const quint32 compression = qFromLittleEndian<quint32>(h.constData() + 30);
    if (tooLarge(width, height))
        return error = tooLargeText(width, height), false;
    if (compression != 0 && compression != 3)
        return true; // run-length data has no fixed size
    const qint64 rowBytes = (width * bpp + 31) / 32 * 4;
    if (qint64(offBits) + rowBytes * height > f.size())
        return error = cutShortText("BMP", f.size()), false;
    return true;
}

// Walks a GIF's blocks up to its trailer.
bool gifComplete(const QByteArray &d, QString &error)
{
    const qint64 n = d.size();
    auto byte = [&](qint64 i) { return quint8(d[i]); };
    auto skipSubBlocks = [&](qint64 &i) {
        while (i < n) {
            const int len = byte(i++);
            if (len == 0)
                return true;
            i += len;
        }
        return false;
    };
    if (n < 13)
        return error = cutShortText("GIF", n), false;
    const qint64 width = qFromLittleEndian<quint16>(d.constData() + 6);
    const qint64 height = qFromLittleEndian<quint16>(d.constData() + 8);
    if (tooLarge(width, height))
        return error = tooLargeText(width, height), false;
    qint64 i = 13;
    if (byte(10) & 0x80)
        i += 3 * (qint64(1) << ((byte(10) & 7) + 1));
    while (i < n) {
        const quint8 tag = byte(i++);
        if (tag == 0x3B)
            return true;
        if (tag == 0x21) {
            ++i; // label
            if (!skipSubBlocks(i))
                break;
        } else if (tag == 0x2C) {
            if (i + 9 > n)
                break;
            const quint8 flags = byte(i + 8);
            i += 9;
            if (flags & 0x80)
                i += 3 * (qint64(1) << ((flags & 7) + 1));
            ++i; // LZW minimum code size
            if (!skipSubBlocks(i))
                break;
        } else {
            return error = damagedText(QStringLiteral("GIF")), false;
        }
    }
    return error = cutShortText("GIF", n), false;
}

} // namespace

QImage loadMapPicture(const QString &path, QString *error)
{
    QString why;
    QImage img;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        why = f.errorString();
    } else {
        const QByteArray magic = f.peek(6);
        const bool jpeg = magic.startsWith("\xFF\xD8\xFF"), gif = magic.startsWith("GIF8");
        bool checked = true;
        if ((jpeg || gif) && f.size() > kMaxPictureFileBytes) {
            // Both are read whole into memory.
            why = formatMessage(messageText(msg::LargerThan), {kMaxPictureFileBytes});
            checked = false;
        } else if (jpeg) {
            bool handled = false;
            img = decodeJpeg(f.readAll(), handled, why);
            if (handled) {
                if (error)
                    *error = why;
                return img;
            }
        } else if (magic.startsWith("BM")) {
            checked = bmpComplete(f, why);
        } else if (gif) {
            checked = gifComplete(f.readAll(), why);
        }
        f.close();
        if (checked) {
            if (QImageReader::allocationLimit() < kMaxPictureMegabytes)
                QImageReader::setAllocationLimit(int(kMaxPictureMegabytes));
            QImageReader reader(path);
            reader.setDecideFormatFromContent(true);
            img = reader.read();
            if (img.isNull() && reader.error() == QImageReader::InvalidDataError && !reader.format().isEmpty())
                why = damagedText(QString::fromLatin1(reader.format().toUpper()));
            else if (img.isNull() && reader.error() == QImageReader::DeviceError)
                why = reader.errorString();
        }
    }
    if (img.isNull() && error)
        *error = why.isEmpty() ? messageText(msg::NotAPicture) : why;
    return img;
}

} // namespace gipso
