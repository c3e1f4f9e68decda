#pragma once

#include "base/Settings.h"
#include "points/PointStore.h"

#include <QString>
#include <functional>

namespace gipso {

// Progress of long reads and writes: bytes or points done of total; return false to stop.
using ProgressFn = std::function<bool(qint64 done, qint64 total)>;

struct ImportResult {
    bool readable = false;   // some point line or element was recognised (else message 223)
    int32_t skipped = 0;     // lines or elements that could not be converted
    QString firstProblem;    // what was wrong with the first skipped one, for the user
};

// Text point file. Import appends to the store and leaves pointsModified alone; a file that
// cannot be opened raises GipsoError. Export writes atomically, raises GipsoError on failure
// and clears pointsModified on success.
ImportResult readTextPointFile(const QString &path, PointStore &store, bool ignoreTxtDescription,
                               const ProgressFn &progress = {});
void writeTextPointFile(const QString &path, PointStore &store, const ProgressFn &progress = {});

// GPX.
ImportResult readGpx(const QString &path, PointStore &store, bool ignoreGpxDescription,
                     const ProgressFn &progress = {});
void writeGpx(const QString &path, PointStore &store, const ProgressFn &progress = {});

// The Import command of the window and of gipso-cli: a point file by its name (GPX when it ends
// in ".gpx", any case, else the text format) read with the user's import options, which drop
// TrackPoint descriptions (IgnoreTxTDescription, IgnoreGPXDescription) so that every imported
// TrackPoint continues one track. The result counts the skipped lines and says what was wrong
// with the first.
ImportResult importPointFile(const QString &path, PointStore &store, const Settings &settings,
                             const ProgressFn &progress = {});
// A point file by its name with every field as written (the simulated receiver's points).
ImportResult readPointFile(const QString &path, PointStore &store);
// GPX or the text format by the name, as importPointFile chooses.
void writePointFile(const QString &path, PointStore &store, const ProgressFn &progress = {});

// True when the last four characters are ".gpx", ignoring case.
bool isGpxPath(const QString &path);

} // namespace gipso
