#pragma once

#include "base/Settings.h"
#include "cli/Options.h"
#include "geo/NavFormulae.h"

namespace gipso::cli {

// The options "--units metric|nautical" and "--lang it|en" of the analysis commands
// (list, stats, profile): they override Gipso.cfg for this run only, never written back.
inline const QStringList kViewOptions = {QStringLiteral("--units"), QStringLiteral("--lang")};

// The settings to show the points with: the user's, with the units of --units, and the
// language of --lang set for the messages. Problems are recorded in options.
Settings viewSettings(Options &options);
// The units of those settings.
UnitSettings viewUnits(const Settings &settings);

} // namespace gipso::cli

namespace gipso {
struct PointStore;
}

namespace gipso::cli {

// Imports the point files in turn into store, as the window's Import does (the import options of
// Gipso.cfg); skipped lines are reported on stderr. The error line (file and reason) of the
// first file that cannot be read, else an empty string.
QString importViewFiles(const QStringList &paths, PointStore &store);

} // namespace gipso::cli
