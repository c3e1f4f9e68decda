#include "map/DibBuffer.h"

#include <algorithm>
#include <limits>

namespace gipso {

bool DibBuffer::allocate(int32_t width, int32_t height)
{
    std::vector<uint8_t>().swap(bits_);
    width_ = height_ = 0;
    if (width <= 0 || height <= 0 || width > (std::numeric_limits<int32_t>::max() - 3) / 3)
        return false;
    const int64_t size = int64_t(bytesPerLine(width)) * height;
    if (size > std::numeric_limits<int32_t>::max()) // the header's image size is 32-bit
        return false;
    try {
        bits_.assign(size_t(size), 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

bool DibBuffer::copyFrom(const QImage &picture)
{
    if (picture.isNull() || !allocate(picture.width(), picture.height()))
        return false;
    // Strip by strip, so a large map never needs a second full-size copy.
    const bool direct = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    const int32_t stride = bytesPerLine(width_);
    constexpr int32_t kStrip = 64;
    for (int32_t y0 = 0; y0 < height_; y0 += kStrip) {
        const int32_t rows = std::min(kStrip, height_ - y0);
        QImage strip;
        if (!direct)
            strip = picture.copy(0, y0, width_, rows).convertToFormat(QImage::Format_RGB32);
        for (int32_t r = 0; r < rows; ++r) {
            const int32_t y = y0 + r;
            const QRgb *src = reinterpret_cast<const QRgb *>(direct ? picture.constScanLine(y) : strip.constScanLine(r));
            uint8_t *dst = bits_.data() + size_t(height_ - 1 - y) * stride;
            for (int32_t x = 0; x < width_; ++x) {
                const QRgb p = src[x];
                *dst++ = uint8_t(qBlue(p));
                *dst++ = uint8_t(qGreen(p));
                *dst++ = uint8_t(qRed(p));
            }
        }
    }
    return true;
}

} // namespace gipso
