#include "map/MapPicture.h"

#include "base/Messages.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <csetjmp>
#include <cstdio> // before jpeglib.h, which needs FILE
#include <jpeglib.h>
#include <vector>

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
QString jpegError(const char *decoderText, const QByteArray &data)
{
    if (QByteArray(decoderText).contains("Premature end") || !data.contains("\xFF\xD9"))
        return cutShortText("JPEG", data.size());
    return damagedText(QStringLiteral("JPEG"));
}

// libjpeg's scanline interface, so that a decode reports its rows and can be stopped between
// them. Strict: a warning (data ending early, damaged segments) is an error here, as it is
// for TurboJPEG's TJFLAG_STOPONWARNING (the same library, the same settings, the same pixels).
struct JpegReader {
    struct Errors {
        jpeg_error_mgr manager;
        jmp_buf jump;
        char text[JMSG_LENGTH_MAX];
    };
    jpeg_decompress_struct info{};
    Errors errors{};

    static void fail(j_common_ptr c)
    {
        auto *e = reinterpret_cast<Errors *>(c->err);
        c->err->format_message(c, e->text);
        longjmp(e->jump, 1);
    }
    static void message(j_common_ptr c, int level)
    {
        if (level < 0)
            fail(c);
    }
    static void quiet(j_common_ptr) {}

    JpegReader()
    {
        info.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = fail;
        errors.manager.emit_message = message;
        errors.manager.output_message = quiet;
    }
    // Also when the decode failed before it was created (nothing allocated, nothing freed).
    ~JpegReader() { jpeg_destroy_decompress(&info); }
};

struct JpegJob {
    const QByteArray &data;
    const FirstView &firstView;
    const std::function<bool(int, int)> &progress;
    JpegDecode out;
    std::vector<JSAMPROW> rows = std::vector<JSAMPROW>(16);
};

// The steps that may jump back to decodeJpeg on an error: no local here needs destroying.
void decodeSteps(JpegReader &r, JpegJob &job)
{
    jpeg_decompress_struct &info = r.info;
    jpeg_create_decompress(&info); // here, where its errors can be caught
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(job.data.constData()), (unsigned long)job.data.size());
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        job.out.handled = false;
        return;
    }
    const qint64 width = info.image_width, height = info.image_height;
    job.out.size = QSize(int(width), int(height));
    if (tooLarge(width, height)) {
        job.out.error = tooLargeText(width, height);
        return;
    }
    const int reduction = job.firstView.reduction;
    if (width * height > job.firstView.minPixels && (reduction == 2 || reduction == 4 || reduction == 8))
        job.out.reduction = reduction;
    info.scale_num = 1;
    info.scale_denom = unsigned(job.out.reduction);
    // BGRA in memory is QImage's 32-bit layout on little-endian machines; alpha is 0xFF.
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_calc_output_dimensions(&info);
    job.out.picture = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (job.out.picture.isNull()) {
        job.out.error = formatMessage(messageText(msg::PictureNoMemory), {width, height});
        return;
    }
    jpeg_start_decompress(&info);
    const int total = int(info.output_height);
    while (int(info.output_scanline) < total) {
        const int first = int(info.output_scanline);
        const int n = std::min(int(job.rows.size()), total - first);
        for (int i = 0; i < n; ++i)
            job.rows[size_t(i)] = job.out.picture.scanLine(first + i);
        jpeg_read_scanlines(&info, job.rows.data(), JDIMENSION(n));
        if (job.progress && !job.progress(int(info.output_scanline), total)) {
            jpeg_abort_decompress(&info);
            job.out.picture = QImage();
            job.out.cancelled = true;
            return;
        }
    }
    jpeg_finish_decompress(&info); // reads up to the end marker: a cut-short tail is found too
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

JpegDecode decodeJpeg(const QByteArray &data, const FirstView &firstView,
                      const std::function<bool(int done, int total)> &progress)
{
    JpegReader r;
    JpegJob job{data, firstView, progress, {}};
    if (setjmp(r.errors.jump) == 0) {
        decodeSteps(r, job);
    } else {
        job.out.picture = QImage();
        job.out.error = jpegError(r.errors.text, data);
    }
    return std::move(job.out);
}

int firstViewReduction(double zoom)
{
    int reduction = 2;
    while (reduction < 8 && zoom * reduction * 2 <= 1.0)
        reduction *= 2;
    return reduction;
}

PictureRead readMapPicture(const QString &path, const FirstView &firstView)
{
    PictureRead out;
    QString &why = out.error;
    QImage &img = out.picture;
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
            const QByteArray data = f.readAll();
            JpegDecode d = decodeJpeg(data, firstView);
            if (d.handled) {
                if (!d.picture.isNull()) {
                    out.size = d.size;
                    out.reduction = d.reduction;
                    if (d.reduction > 1)
                        out.fullJpeg = data;
                }
                img = std::move(d.picture);
                why = d.error;
                return out;
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
    if (img.isNull() && why.isEmpty())
        why = messageText(msg::NotAPicture);
    if (!img.isNull()) {
        why.clear();
        out.size = img.size();
    }
    return out;
}

QImage loadMapPicture(const QString &path, QString *error)
{
    PictureRead r = readMapPicture(path);
    if (r.picture.isNull() && error)
        *error = r.error;
    return std::move(r.picture);
}

JpegDecodeThread::JpegDecodeThread(QByteArray data, std::function<void()> notify)
    : data_(std::move(data)), notify_(std::move(notify))
{
    thread_ = std::thread([this] {
        JpegDecode d = decodeJpeg(data_, FirstView{}, [this](int done, int total) {
            const int p = total > 0 ? int(qint64(done) * 100 / total) : 100;
            if (p != percent_.exchange(p) && notify_)
                notify_();
            return !cancel_.load();
        });
        result_ = std::move(d);
        finished_.store(true);
        if (notify_)
            notify_();
    });
}

JpegDecodeThread::~JpegDecodeThread()
{
    cancel_.store(true);
    wait();
}

void JpegDecodeThread::wait()
{
    if (thread_.joinable())
        thread_.join();
}

JpegDecode JpegDecodeThread::take()
{
    if (!finished_.load())
        return {};
    return std::move(result_);
}

} // namespace gipso
