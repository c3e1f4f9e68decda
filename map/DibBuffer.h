#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace gipso {

// A 24-bit device-independent bitmap buffer: rows stored bottom-up (the first row in memory
// is the bottom row of the picture), 3 bytes per pixel in blue, green, red order, each row
// padded to a multiple of 4 bytes. The JPEG save encodes straight from it.
class DibBuffer {
public:
    // Takes the picture's size and pixels; false when the picture is null or too large.
    bool copyFrom(const QImage &picture);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    const uint8_t *bits() const { return bits_.empty() ? nullptr : bits_.data(); }

    // Row length in bytes: width * 3 rounded up to a multiple of 4.
    static int32_t bytesPerLine(int32_t width) { return (width * 3 + 3) & ~3; }

private:
    bool allocate(int32_t width, int32_t height);

    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint8_t> bits_;
};

} // namespace gipso
