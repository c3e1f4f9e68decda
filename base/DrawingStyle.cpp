#include "base/DrawingStyle.h"

#include <algorithm>

namespace gipso {

int32_t altitudeColour(double a, double minAlt, double maxAlt)
{
    if (maxAlt == minAlt)
        return 255;
    const double f = (maxAlt - a) / (maxAlt - minAlt);
    auto level = [](double v) { return static_cast<int32_t>(roundHalfEven(v * 255.0)); };
    int32_t r, g, b;
    if (f < 0.25) {
        r = 255, g = level(f * 4), b = 0;
    } else if (f < 0.5) {
        r = level(1 - (f - 0.25) * 4), g = 255, b = 0;
    } else if (f < 0.75) {
        r = 0, g = 255, b = level((f - 0.5) * 4);
    } else {
        r = 0, g = level(1 - (f - 0.75) * 4), b = 255;
    }
    return r + 256 * g + 65536 * b;
}

DrawingSizes drawingSizes(const Settings &s)
{
    DrawingSizes d;
    d.line = std::clamp<int>(s.LineThickness, 0, kMaxPenWidth);
    d.cursor = std::clamp<int>(s.CursorThickness, 1, kMaxPenWidth);
    d.symbol = std::clamp<int>(s.SymbolDim, 0, kMaxSymbolDim);
    d.chars = std::clamp<int>(s.CharDimension, 1, kMaxCharDimension); // a font below 1 is drawn at 1
    return d;
}

int labelPixelSize(int charDimension) { return std::max(1, static_cast<int>(std::lround(charDimension * 96.0 / 72.0))); }

} // namespace gipso
