#pragma once

// What every fuzz target shares: the set-up (LLVMFuzzerInitialize: a Qt application object, a
// fixed clock and English texts, so that a reproducer behaves the same on every run), a private
// folder for the inputs of the readers that take a path, and the checks of what the readers
// promise whatever the input.

#include "files/PointFiles.h"
#include "points/PointStore.h"

#include <QString>
#include <cstddef>
#include <cstdint>

namespace gipso::fuzz {

// A private folder under $TMPDIR (run.sh points it to /dev/shm), removed at exit; trailing '/'.
const QString &privateDir();
// Writes the input to privateDir() + name and returns the path.
QString writeInput(const QString &name, const uint8_t *data, size_t size);
// Removes everything in privateDir().
void clearPrivateDir();
// The names of the files in privateDir().
QStringList privateFiles();

// Stops the run with a finding when a promise does not hold.
void require(bool condition, const char *what);

// Every stored point is finite in position, altitude, date and time and sits in the list of its kind.
void checkStore(const PointStore &store);

// A point file reader and writer.
using Importer = ImportResult (*)(const QString &, PointStore &, bool, const ProgressFn &);
using Exporter = void (*)(const QString &, PointStore &, const ProgressFn &);

// Imports a file into an empty store and checks the counts it reports; false when the reader
// refused the whole file.
bool importChecked(Importer import, const QString &path, PointStore &store, bool ignoreDescriptions);
// Exports what was imported and imports it again into an empty store: a failure is a finding,
// since the user could not save the points.
void exportAndImport(Exporter save, Importer import, const QString &path, PointStore &store, PointStore &again);

} // namespace gipso::fuzz
