#pragma once

#include "base/Settings.h"

#include <QColor>
#include <cmath>
#include <cstdint>

namespace gipso {

// Rounding of drawing positions and colour levels: to the nearest integer, halves to the even
// neighbour.
inline double roundHalfEven(double v) { return std::nearbyint(v); }

// A colour of the settings (0x00BBGGRR) as an opaque pixel value.
inline QRgb settingRgb(int32_t c) { return qRgb(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff); }
// Colour of a TrackPoint by its altitude: red at maxAlt through yellow, green, cyan to blue at
// minAlt (0x00BBGGRR). The map and the altitude profile colour the track log alike.
int32_t altitudeColour(double altitude, double minAlt, double maxAlt);

// Drawing sizes of the settings as they are drawn: held to what a picture can use, since a value
// typed into Gipso.cfg (up to 32767) would cost gigabytes and minutes per repaint. The settings
// keep the values as typed.
constexpr int kMaxPenWidth = 20;      // LineThickness and CursorThickness, pixels
constexpr int kMaxSymbolDim = 50;     // SymbolDim, pixels at 100%
constexpr int kMaxCharDimension = 48; // CharDimension, points
struct DrawingSizes {
    int line = 0;   // 0 to kMaxPenWidth
    int cursor = 1; // 1 to kMaxPenWidth
    int symbol = 0; // 0 to kMaxSymbolDim
    int chars = 1;  // 1 to kMaxCharDimension
};
DrawingSizes drawingSizes(const Settings &settings);

// Label font: CharDimension as the program's point size, in pixels of a 96 dpi screen.
int labelPixelSize(int charDimension);

} // namespace gipso
