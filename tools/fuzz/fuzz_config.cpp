// Gipso.cfg and Gipso.lng: the input is both files at once, so one input can hold the
// [Languages] list, the [Install] language and the user's section. The settings read must
// survive being written back: read, write, read again gives the same numbers.

#include "FuzzSupport.h"

#include "base/Config.h"
#include "base/Messages.h"

#include <tuple>

using namespace gipso;
using namespace gipso::fuzz;

namespace {

// The numeric settings, which are written as they were read (texts may lose a pair of quotes).
auto numbers(const Settings &s)
{
    return std::tuple(s.Language, s.serialPort, s.WayPointColor, s.RouteColor, s.TrackColor, s.CharDimension,
                      s.LineThickness, s.CursorThickness, s.SymbolDim, s.WayPointSymbol, s.WayPointName,
                      s.RoutePointSymbol, s.RoutePointName, s.RouteHeadings, s.RouteLengths, s.TrackPointSymbol,
                      s.TrackPointName, s.AutoTrackPointColor, s.IgnoreTxTDescription, s.IgnoreGPXDescription,
                      s.Units, s.nmeaSentence, s.nmeaTime, s.WindowLeft, s.WindowTop, s.WindowWidth,
                      s.WindowHeight, s.WindowMax);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ConfigEnvironment env;
    env.configFile = writeInput(QStringLiteral("Gipso.cfg"), data, size);
    env.languageFile = writeInput(QStringLiteral("Gipso.lng"), data, size);
    env.programDir = QStringLiteral("/opt/gipso");
    env.loginName = QStringLiteral("fuzz");
    env.systemLanguage = kEnglish;

    Settings first;
    const ConfigResult r = readConfiguration(env, first);
    require(first.Language == r.language, "the language read is not the one in the settings");
    setLanguage(r.language); // as the window and gipso-cli apply it

    // As the window saves at exit: the language is written when its entry is in the menu.
    int checked = 0;
    for (const LanguageEntry &e : r.languages)
        if (e.id != 0 && e.id == r.language)
            checked = e.id;
    require(writeConfiguration(env, r.userSection, first, checked), "the configuration does not write back");
    Settings second;
    const ConfigResult again = readConfiguration(env, second);
    // The language is kept across a save only through its menu entry: a language in force that
    // the list lacks (the built-in fallback) is not written, as the window does.
    if (checked == 0)
        second.Language = first.Language;
    require((checked == 0 || again.language == r.language) && numbers(first) == numbers(second),
            "a setting changed on write and read");
    setLanguage(kEnglish);
    return 0;
}
