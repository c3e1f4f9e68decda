#include "analysis/TrackStatistics.h"

#include "analysis/Analysis.h"
#include "base/Error.h"
#include "base/Messages.h"

#include <algorithm>

namespace gipso {

TrackStatistics trackStatistics(const PointList &tp, const UnitSettings &units)
{
    TrackStatistics result;
    const int32_t n = tp.count();
    if (n < 2) {
        result.status = TrackStatistics::Status::TooFewPoints;
        result.error = messageText(msg::StatisticsTooFewPoints);
        return result;
    }
    TrackFigures &f = result.figures;
    const GpsPoint &first = tp[1], &last = tp[n];
    f.startDate = first.date, f.startTime = first.time;
    f.endDate = last.date, f.endTime = last.time;
    f.elapsedSeconds = timeStep(first, last);

    // Metres and seconds inside the loop, the units applied once at the end: a positive factor
    // keeps the order, so the extremes are those of the units shown.
    double metres = 0;
    double minAlt = first.altitude, maxAlt = first.altitude;
    double maxSpeed = 0, maxClimb = 0, minClimb = 0; // metres per second
    RhumbLineWalk walk;
    try {
        for (int32_t i = 2; i <= n; ++i) {
            const GpsPoint &a = tp[i - 1], &b = tp[i];
            minAlt = std::min<double>(minAlt, b.altitude);
            maxAlt = std::max<double>(maxAlt, b.altitude);
            if (!b.description.isEmpty())
                continue; // b starts a track
            const double d = walk.distance(a.latitude, a.longitude, b.latitude, b.longitude);
            metres += d;
            const int64_t dt = timeStep(a, b);
            if (dt <= 0) {
                result.status = TrackStatistics::Status::NonPositiveStep;
                result.error = messageText(msg::NegativeTimeSteps);
                return result;
            }
            maxSpeed = std::max(maxSpeed, d / double(dt));
            const double climb = (double(b.altitude) - double(a.altitude)) / double(dt);
            maxClimb = std::max(maxClimb, climb);
            minClimb = std::min(minClimb, climb);
        }
    } catch (const GipsoError &e) {
        result.status = TrackStatistics::Status::FormulaError;
        result.error = errorMessage(e);
        return result;
    }
    f.length = metres * units.distanceFactor;
    f.minAltitude = minAlt * units.altitudeFactor;
    f.maxAltitude = maxAlt * units.altitudeFactor;
    f.altitudeRange = f.maxAltitude - f.minAltitude;
    f.altitudeDifference = double(last.altitude) * units.altitudeFactor - double(first.altitude) * units.altitudeFactor;
    f.maxSpeed = maxSpeed * units.speedFactor;
    f.maxVerticalSpeed = maxClimb * units.verticalSpeedFactor;
    f.minVerticalSpeed = minClimb * units.verticalSpeedFactor;
    if (f.elapsedSeconds > 0) {
        const double e = double(f.elapsedSeconds);
        f.meanSpeed = f.length / e * 3600.0;
        f.meanVerticalSpeed = f.altitudeDifference / e;
    }
    return result;
}

std::array<StatisticsRow, kStatisticsRows> statisticsRows(const TrackFigures &f, const UnitSettings &u,
                                                          const QLocale &locale)
{
    // The date right-aligned in 11 characters and the time in 9: each with one leading blank.
    auto moment = [&](double date, double time) {
        return dateText(date, locale).rightJustified(11) + timeText(time, locale).rightJustified(9);
    };
    auto figure = [&](double v, int decimals, const QString &unit) {
        return fixedNumber(v, decimals, locale) + u' ' + unit;
    };
    return {{
        {msg::StatisticsStart, moment(f.startDate, f.startTime)},
        {msg::StatisticsEnd, moment(f.endDate, f.endTime)},
        {msg::StatisticsElapsed, durationText(f.elapsedSeconds, locale)},
        {msg::StatisticsTrackLength, figure(f.length, 3, u.distanceUnit)},
        {msg::StatisticsMinAltitude, figure(f.minAltitude, 1, u.altitudeUnit)},
        {msg::StatisticsMaxAltitude, figure(f.maxAltitude, 1, u.altitudeUnit)},
        {msg::StatisticsAltitudeRange, figure(f.altitudeRange, 1, u.altitudeUnit)},
        {msg::StatisticsAltitudeDifference, figure(f.altitudeDifference, 1, u.altitudeUnit)},
        {msg::StatisticsMeanSpeed, figure(f.meanSpeed, 3, u.speedUnit)},
        {msg::StatisticsMaxSpeed, figure(f.maxSpeed, 3, u.speedUnit)},
        {msg::StatisticsMeanVerticalSpeed, figure(f.meanVerticalSpeed, 1, u.verticalSpeedUnit)},
        {msg::StatisticsMinVerticalSpeed, figure(f.minVerticalSpeed, 1, u.verticalSpeedUnit)},
        {msg::StatisticsMaxVerticalSpeed, figure(f.maxVerticalSpeed, 1, u.verticalSpeedUnit)},
    }};
}

} // namespace gipso
