#pragma once

#include <QImage>
#include <QString>

namespace gipso {

class DibBuffer;

// Error number of the JPEG save's failures.
constexpr int kJpegError = 26001;

// Writes the bitmap buffer as a baseline JPEG file at the given quality (0 to 100). A file of
// the same name is replaced atomically and its times and permissions are carried over to the
// new one. Failures raise GipsoError kJpegError with the encoder's result code.
void saveJpeg(const DibBuffer &dib, const QString &path, int quality);
// The same for a map picture: a 32-bit one is encoded straight from its own pixels (the same
// bytes as through a bitmap buffer, without its copy); any other format goes through one.
void saveJpeg(const QImage &picture, const QString &path, int quality);

} // namespace gipso
