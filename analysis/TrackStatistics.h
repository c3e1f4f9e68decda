#pragma once

#include "geo/NavFormulae.h"
#include "points/PointStore.h"

#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>

namespace gipso {

// The figures of the track statistics, in the display units they were computed with. Tracks
// inside the log are respected: the jump from the end of one track to the start of the next
// adds no length and is not timed.
struct TrackFigures {
    double startDate = 0, startTime = 0; // first TrackPoint
    double endDate = 0, endTime = 0;     // last TrackPoint
    int64_t elapsedSeconds = 0;          // first to last point
    double length = 0;                   // distance unit
    double minAltitude = 0, maxAltitude = 0, altitudeRange = 0, altitudeDifference = 0; // altitude unit
    double meanSpeed = 0, maxSpeed = 0;  // speed unit
    double meanVerticalSpeed = 0, minVerticalSpeed = 0, maxVerticalSpeed = 0; // vertical speed unit
};

struct TrackStatistics {
    enum class Status {
        Ok,
        TooFewPoints,    // fewer than two TrackPoints
        NonPositiveStep, // a zero or negative time step inside a track (message 816)
        FormulaError,    // a position the formulae have no value for (a latitude of -90 or beyond 90)
    };
    Status status = Status::Ok;
    TrackFigures figures; // when Ok
    QString error;        // otherwise: the text to show
};

// The statistics of the whole track log. A mean speed over an elapsed time of zero or less
// (possible only across track starts) is 0.
TrackStatistics trackStatistics(const PointList &trackPoints, const UnitSettings &units);

// One row of the dialog: its caption's message id and the value label's text.
struct StatisticsRow {
    int captionId = 0;
    QString value;
};
constexpr int kStatisticsRows = 13;
// The rows in the dialog's order: start, end, elapsed, length, min and max altitude, range,
// difference, mean and max speed, mean, min and max vertical speed.
std::array<StatisticsRow, kStatisticsRows> statisticsRows(const TrackFigures &figures, const UnitSettings &units,
                                                          const QLocale &locale);

} // namespace gipso
