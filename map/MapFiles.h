#pragma once

#include "base/Settings.h"
#include "geo/MapCalibration.h"
#include "map/MapPicture.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <functional>
#include <memory>
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
    QImage picture;   // the picture, or its reduced first view
    QSize size;       // the full picture's size
    int reduction = 1; // picture is 1/reduction of size; fullJpeg holds the full picture's data
    QByteArray fullJpeg;
    std::optional<MapCalibration> calibration; // computed, when the file carried a usable one
    QString imagePath; // container: the extracted JPEG, in the temporary folder
    QString error;     // why it failed or was rejected
};

// Reads a plain picture, a ".cal" file or a ".Gipso" container. A container's JPEG is
// extracted into tempDir under its base name and stays there (it backs the map) when the
// load succeeds; nothing is written anywhere else, and nothing is left behind otherwise.
// A load that is not Loaded always says why in error. firstView lets a large JPEG come as a
// reduced picture, the full one to be decoded from fullJpeg.
MapLoad loadMapFile(const QString &path, const QString &tempDir, const FirstView &firstView = {});

// Opens a map into the program state (the window's and gipso-cli's): the picture, its size,
// the calibration and mapMode, the backing JPEG (tempMapFile) and the recent-map list. A
// failed load leaves the previous map in place; a rejected calibration leaves the new
// picture uncalibrated and the recent-map list as it was.
MapLoad openMapFile(AppState &state, const QString &path);
// The part of openMapFile after the load: puts a loaded map (reduced or not) into the state.
void showMapLoad(AppState &state, const MapLoad &load, const QString &path);
// No map any more: no picture, no calibration, no backing JPEG.
void closeMap(AppState &state);

// Opens maps for the window: a large JPEG shows its reduced first view at once (size and
// calibration those of the full picture) while the full picture is decoded in a worker
// thread. Opening another map, cancel() and the destructor stop that decode and wait for its
// thread, so no late result reaches another map.
class MapOpener {
public:
    // notify is called in the worker thread when the decode's progress changes and at its end;
    // the owner then calls collect() on its own thread.
    explicit MapOpener(AppState &state, std::function<void()> notify = {});
    ~MapOpener();

    // openMapFile with a first view. A failed load leaves the map shown, and its decode, as they were.
    MapLoad open(const QString &path, const FirstView &firstView);
    // The part of open after the load: shows it and, for a reduced one, starts the decode of
    // load.fullJpeg.
    void show(const MapLoad &load, const QString &path);
    bool decoding() const { return bool(decode_); }
    int percent() const;
    // The map file whose full picture is being decoded.
    const QString &decodingPath() const { return path_; }

    enum class Step { Idle, Decoding, Finished, Failed };
    // Finished: the full picture replaced the reduced one. Failed: the full decode found the
    // file damaged (error says how) and the map is closed.
    Step collect(QString *error = nullptr);
    void wait();   // until the decode ends; collect() then takes it
    void cancel(); // the decode is dropped (the map stays reduced: close it too)

private:
    AppState &st_;
    std::function<void()> notify_;
    std::unique_ptr<JpegDecodeThread> decode_;
    QString path_;
    bool remember_ = false; // a recent map once whole
};

// Path of entry k (1 to 3) of the recent-map list, newest first; empty when unused.
QString recentMap(const Settings &settings, int k);

// Writes a calibrated map as ".cal" or ".Gipso" (by the end of path). backingJpeg names a
// JPEG that already holds the picture (empty or missing: the picture is encoded); on return
// it names the JPEG that backs the map now. Raises GipsoError on failure; the target file
// is replaced only by a complete file. Returns the path written.
QString saveMapFile(const QImage &picture, const MapCalibration &c, const QString &path, const QString &tempDir,
                    QString &backingJpeg);

// Save Calibrated Map on the program state (tempMapFile, mapModified). Returns the path
// written. A reduced first view is never saved: a container whose JPEG backs the map is
// written from that JPEG, anything else is refused until the full picture is there.
QString saveCalibratedMapFile(AppState &state, const QString &path);

} // namespace gipso
