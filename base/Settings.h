#pragma once

#include <QString>
#include <cstdint>

namespace gipso {

// Every setting of the configuration file, named by its key. Flags hold 1 (on) or 0 (off).
struct Settings {
    int32_t Language = 1040;
    int16_t serialPort = 1;          // SerialPort
    // SerialDevice: a device path typed in the communication dialog, when that is the port in
    // use (then it is opened instead of serialPort); empty when a listed port is.
    QString serialDevice;
    int32_t WayPointColor = 0x0000FF; // colours are 0x00BBGGRR
    int32_t RouteColor = 0x000000;
    int32_t TrackColor = 0xFF0000;
    int16_t CharDimension = 16;
    int16_t LineThickness = 2;
    int16_t CursorThickness = 1;
    int16_t SymbolDim = 6;
    int16_t WayPointSymbol = 1;
    int16_t WayPointName = 1;
    int16_t RoutePointSymbol = 1;
    int16_t RoutePointName = 1;
    int16_t RouteHeadings = 1;
    int16_t RouteLengths = 0;
    int16_t TrackPointSymbol = 1;
    int16_t TrackPointName = 1;
    int16_t AutoTrackPointColor = 1;
    int16_t IgnoreTxTDescription = 1;
    int16_t IgnoreGPXDescription = 1;
    int16_t Units = -1;              // -1 metric, 0 nautical
    int16_t nmeaSentence = 1;        // NMEASentence: 1 GGA, 2 RMC
    int16_t nmeaTime = 20;           // NMEATime: seconds between captured positions
    int32_t WindowLeft = 105;        // twips
    int32_t WindowTop = 105;
    int32_t WindowWidth = 9225;
    int32_t WindowHeight = 5115;
    int32_t WindowMax = 0;
    QString CurrentDir;
    QString LastMap1;
    QString LastMap2;
    QString LastMap3;
    int16_t PointFileFilter = 1;     // the filter last chosen in the point file dialogs (1-based)

    bool unitsMetric() const { return Units != 0; }
};

} // namespace gipso
