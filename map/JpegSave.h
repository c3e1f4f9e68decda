#pragma once

#include <QString>

namespace gipso {

class cDIBSection;

// Error number of the JPEG save's failures.
constexpr int kJpegError = 26001;

// Writes the bitmap buffer as a baseline JPEG file at the given quality (0 to 100). A file of
// the same name is replaced atomically and its times and permissions are carried over to the
// new one. Failures raise GipsoError kJpegError with the encoder's result code.
bool saveJpeg(const cDIBSection &dib, const QString &path, int quality);

} // namespace gipso
