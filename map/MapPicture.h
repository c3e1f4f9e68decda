#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

namespace gipso {

// Bound on a decoded map picture, so a small file that claims an absurd size is refused.
constexpr qint64 kMaxPictureMegabytes = 2048;
// Bound on a JPEG or GIF file: they are read whole into memory.
constexpr qint64 kMaxPictureFileBytes = qint64(1) << 30;

// Reads a map picture by its content (the name's extension does not matter). A picture whose
// data ends early or is damaged is refused rather than shown with a grey or missing part:
// JPEG is decoded strictly, BMP must hold the pixel data its header promises, GIF must reach
// its trailer. Anything after the picture (the ".cal" trailer) is ignored.
QImage loadMapPicture(const QString &path, QString *error = nullptr);

// A large JPEG map first shows a reduced picture, decoded at 1/reduction of its size (the
// decoder scales while decoding, so it is quick); its full picture follows. Smaller maps,
// and every other kind, are decoded whole at once.
struct FirstView {
    int reduction = 1;                                    // 1 (no reduced view), 2, 4 or 8
    qint64 minPixels = qint64(4000) * 4000;               // maps up to this size open whole
};
// The reduction for a first view shown at zoom: the smallest picture that still has a pixel
// for every screen pixel, at least halved, at most an eighth.
int firstViewReduction(double zoom);

// What was read of a map picture: the picture itself, or its reduced first view with the
// JPEG bytes that the full picture is still to be decoded from.
struct PictureRead {
    QImage picture;
    QSize size;           // the full picture's size
    int reduction = 1;    // picture is 1/reduction of size (rounded up)
    QByteArray fullJpeg;  // set when reduction > 1: the data of the full picture
    QString error;        // why there is no picture
};
PictureRead readMapPicture(const QString &path, const FirstView &firstView = {});

// A JPEG decoded strictly from memory, reduced as firstView says when it is large. progress is
// called between rows with the rows done and all rows; when it returns false the decode stops
// (cancelled, no picture). handled is false for JPEG kinds left to the general loader (CMYK).
struct JpegDecode {
    QImage picture;
    QSize size;        // the full picture's size
    int reduction = 1; // picture is 1/reduction of size (rounded up)
    QString error;
    bool handled = true;
    bool cancelled = false;
};
JpegDecode decodeJpeg(const QByteArray &data, const FirstView &firstView = {},
                      const std::function<bool(int done, int total)> &progress = {});

// The full-size decode of a JPEG in a worker thread. notify is called in the worker each
// time the progress changes by a percent and once at the end. Destroying it cancels the
// decode and waits for the thread, so no result outlives it.
class JpegDecodeThread {
public:
    JpegDecodeThread(QByteArray data, std::function<void()> notify);
    ~JpegDecodeThread();
    JpegDecodeThread(const JpegDecodeThread &) = delete;
    JpegDecodeThread &operator=(const JpegDecodeThread &) = delete;

    int percent() const { return percent_.load(); }
    bool finished() const { return finished_.load(); }
    void wait();
    // The result, once finished.
    JpegDecode take();

private:
    QByteArray data_;
    std::function<void()> notify_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> percent_{0};
    JpegDecode result_;
    std::thread thread_;
};

} // namespace gipso
