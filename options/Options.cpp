#include "options/Options.h"

#include "base/MessageIds.h"
#include "map/MapRender.h"

namespace gipso {

const std::array<SizeOption, 4> &sizeOptions()
{
    static const std::array<SizeOption, 4> options{{
        {"txtspesslin", "Label1", msg::OptionsLineThickness, &Settings::LineThickness},
        {"txtdimcar", "Label2", msg::OptionsCharacterSize, &Settings::CharDimension},
        {"txtdimsimb", "Label3", msg::OptionsSymbolSize, &Settings::SymbolDim},
        {"txtspesscurr", "Label4", msg::OptionsCursorThickness, &Settings::CursorThickness},
    }};
    return options;
}

const std::array<ColourOption, 3> &colourOptions()
{
    static const std::array<ColourOption, 3> options{{
        {"cmdColw", msg::OptionsWayPointColor, &Settings::WayPointColor},
        {"cmdColr", msg::OptionsRouteColor, &Settings::RouteColor},
        {"cmdColt", msg::OptionsTrackColor, &Settings::TrackColor},
    }};
    return options;
}

const std::array<FlagOption, 11> &flagOptions()
{
    static const std::array<FlagOption, 11> options{{
        {"CheckWPs", msg::OptionsWayPointSymbol, &Settings::WayPointSymbol},
        {"CheckWPn", msg::OptionsWayPointName, &Settings::WayPointName},
        {"CheckRPs", msg::OptionsRoutePointSymbol, &Settings::RoutePointSymbol},
        {"CheckRPn", msg::OptionsRoutePointName, &Settings::RoutePointName},
        {"CheckRhead", msg::OptionsRouteHeadings, &Settings::RouteHeadings},
        {"CheckRlen", msg::OptionsRouteLengths, &Settings::RouteLengths},
        {"CheckTPs", msg::OptionsTrackPointSymbol, &Settings::TrackPointSymbol},
        {"CheckTPn", msg::OptionsTrackPointDescription, &Settings::TrackPointName},
        {"CheckAutoTrack", msg::OptionsAutoTrack, &Settings::AutoTrackPointColor},
        {"CheckTxtDesc", msg::OptionsIgnoreTxtDescription, &Settings::IgnoreTxTDescription},
        {"CheckGPXDesc", msg::OptionsIgnoreGpxDescription, &Settings::IgnoreGPXDescription},
    }};
    return options;
}

std::optional<int16_t> readSizeField(const QString &text)
{
    // Digits only, with an optional sign: a decimal or grouped number is not a size.
    const QString t = text.trimmed();
    const qsizetype start = t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+')) ? 1 : 0;
    if (t.size() <= start)
        return std::nullopt;
    for (qsizetype i = start; i < t.size(); ++i)
        if (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9'))
            return std::nullopt;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok || v < INT16_MIN || v > INT16_MAX)
        return std::nullopt;
    return static_cast<int16_t>(v);
}

QColor settingColor(int32_t colour) { return QColor(settingRgb(colour)); }

int32_t settingColour(const QColor &colour) { return colour.red() | (colour.green() << 8) | (colour.blue() << 16); }

void applyUnits(AppState &state) { state.units = unitSettings(state.settings.unitsMetric()); }

} // namespace gipso
