#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace gipso {

// A 24-bit device-independent bitmap buffer: rows stored bottom-up (the first row in memory
// is the bottom row of the picture), 3 bytes per pixel in blue, green, red order, each row
// padded to a multiple of 4 bytes. The JPEG save encodes straight from it.
class cDIBSection {
public:
    // Allocates a buffer of the given size, filled with black; false when the size is not usable.
    bool Create(int32_t width, int32_t height);
    // Creates a buffer of the picture's size and copies the picture into it.
    bool CreateFromPicture(const QImage &picture);
    // Row length in bytes: width * 3 rounded up to a multiple of 4.
    int32_t BytesPerScanLine() const { return bytesPerScanLine(width_); }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    uint8_t *DIBSectionBitsPtr() { return bits_.empty() ? nullptr : bits_.data(); }
    const uint8_t *DIBSectionBitsPtr() const { return bits_.empty() ? nullptr : bits_.data(); }
    // Header values of the equivalent bitmap header.
    int32_t ImageSize() const { return height_ * BytesPerScanLine(); }
    static constexpr int32_t BitsPerPixel = 24;
    // Releases the pixel memory.
    void ClearUp();
    // The buffer as a picture again (top-down), for checks.
    QImage toImage() const;

    static int32_t bytesPerScanLine(int32_t width) { return (width * 3 + 3) & ~3; }

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint8_t> bits_;
};

} // namespace gipso
