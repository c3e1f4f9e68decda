#pragma once

#include "state/AppState.h"

#include <QColor>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace gipso {

// What the options dialog edits, each setting with its control's name and caption id.
struct SizeOption {
    const char *field; // the text box
    const char *label; // its caption
    int captionId;
    int16_t Settings::*setting;
};
struct ColourOption {
    const char *button;
    int captionId;
    int32_t Settings::*setting;
};
struct FlagOption {
    const char *checkBox;
    int captionId;
    int16_t Settings::*setting;
};
// Line Thickness, Character Size, Symbol Size, Cursor Thickness, in the dialog's order.
const std::array<SizeOption, 4> &sizeOptions();
// WayPoints, RoutePoints, Track.
const std::array<ColourOption, 3> &colourOptions();
// The nine Show boxes (Auto Track last) and the two Import boxes.
const std::array<FlagOption, 11> &flagOptions();

// A size field's text as the 16-bit integer it holds ("  -3 " is -3); nothing when it holds
// anything else or a number out of range. No other range is checked: 0 and negative sizes
// are stored as typed.
std::optional<int16_t> readSizeField(const QString &text);

// Colours of the settings (0x00BBGGRR) to and from the colour chooser's.
QColor settingColor(int32_t colour);
int32_t settingColour(const QColor &colour);

// The unit factors and labels that every figure shown uses, from the Units setting.
void applyUnits(AppState &state);

} // namespace gipso
