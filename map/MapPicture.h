#pragma once

#include <QImage>
#include <QString>

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

} // namespace gipso
