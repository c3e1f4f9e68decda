#pragma once

#include "base/Settings.h"
#include "geo/MapCalibration.h"
#include "map/MapPicture.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <optional>

namespace gipso {

struct AppState;

// The three kinds of map file, told apart by the end of the path (any case).
enum class MapFileKind { Picture, Cal, Container };
MapFileKind mapFileKind(const QString &path);
// Names a map file may have when dropped: .Gipso, .cal, .bmp, .gif, .jpg, .jpeg (any case).
bool isMapFileName(const QString &path);
// Names of point files: .txt, .gpx (any case).
bool isPointFileName(const QString &path);

// Quality of the container's JPEG image.
constexpr int kJpegQuality = 95;
// Bounds on the container's image and text members.
constexpr qint64 kMaxImageMemberBytes = kMaxPictureFileBytes; // the JPEG is read whole
constexpr qint64 kMaxTextMemberBytes = 64 * 1024;

// The container's calibration text, in the order x1, yUp1, x2, yUp2, lon1, lat1, lon2, lat2.
QByteArray calibrationText(const MapCalibration &c);
bool parseCalibrationText(const QByteArray &text, MapCalibration &c);
// The eight stored numbers in the order above.
std::array<double, 8> storedNumbers(const MapCalibration &c);
// A stored number as shortest text that reads back to the same double ("." decimals).
QString storedNumberText(double v);

// Result of reading a map file.
struct MapLoad {
    enum Status {
        Loaded,              // picture and (for .cal and .Gipso) a usable calibration
        CalibrationRejected, // the picture loaded, its calibration is missing or unusable
        Failed,              // no picture: the file is not a map
    };
    Status status = Failed;
    QImage picture;
    std::optional<MapCalibration> calibration; // computed, when the file carried a usable one
    QString imagePath; // container: the extracted JPEG, in the temporary folder
    QString error;     // why it failed or was rejected
};

// Reads a plain picture, a ".cal" file or a ".Gipso" container. A container's JPEG is
// extracted into tempDir under its base name and stays there (it backs the map) when the
// load succeeds; nothing is written anywhere else, and nothing is left behind otherwise.
// A load that is not Loaded always says why in error.
MapLoad loadMapFile(const QString &path, const QString &tempDir);

// Opens a map into the program state (the window's and gipso-cli's): the picture, its size,
// the calibration and mapMode, the backing JPEG (tempMapFile) and the recent-map list. A
// failed load leaves the previous map in place; a rejected calibration leaves the new
// picture uncalibrated and the recent-map list as it was.
MapLoad openMapFile(AppState &state, const QString &path);

// Path of entry k (1 to 3) of the recent-map list, newest first; empty when unused.
QString recentMap(const Settings &settings, int k);

// Writes a calibrated map as ".cal" or ".Gipso" (by the end of path). backingJpeg names a
// JPEG that already holds the picture (empty or missing: the picture is encoded); on return
// it names the JPEG that backs the map now. Raises GipsoError on failure; the target file
// is replaced only by a complete file. Returns the path written.
QString saveMapFile(const QImage &picture, const MapCalibration &c, const QString &path, const QString &tempDir,
                    QString &backingJpeg);

// Save Calibrated Map on the program state (tempMapFile, mapModified). Returns the path written.
QString saveCalibratedMapFile(AppState &state, const QString &path);

} // namespace gipso
