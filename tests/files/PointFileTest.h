#pragma once

#include "base/Clock.h"
#include "base/DateValue.h"
#include "files/PointFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>

namespace gipso::test {

// A private folder and the clock fixed at 05/12/2026 17:44:27 (the time files are stamped with).
class PointFileTest : public ::testing::Test {
protected:
    void SetUp() override { setClock([] { return at(2026, 12, 5, 17, 44, 27); }); }
    void TearDown() override { setClock({}); }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

// Compares two lists to the precision of the files: coordinates to 1e-9, altitude to 0.005,
// date and time to the second.
inline void expectSameList(const PointList &a, const PointList &b, const char *what)
{
    ASSERT_EQ(a.count(), b.count()) << what;
    for (int32_t i = 1; i <= a.count(); ++i) {
        SCOPED_TRACE(std::string(what) + " point " + std::to_string(i));
        EXPECT_EQ(a[i].kind, b[i].kind);
        EXPECT_EQ(a[i].name, b[i].name);
        EXPECT_EQ(a[i].description, b[i].description);
        EXPECT_NEAR(a[i].latitude, b[i].latitude, 1e-9);
        EXPECT_NEAR(a[i].longitude, b[i].longitude, 1e-9);
        EXPECT_NEAR(a[i].altitude, b[i].altitude, 0.005);
        EXPECT_EQ(formatDateValue(a[i].date), formatDateValue(b[i].date));
        EXPECT_EQ(formatTimeValue(a[i].time), formatTimeValue(b[i].time));
    }
}

inline void expectSameStore(const PointStore &a, const PointStore &b)
{
    expectSameList(a.wayPoints, b.wayPoints, "WayPoints");
    expectSameList(a.routePoints, b.routePoints, "RoutePoints");
    expectSameList(a.trackPoints, b.trackPoints, "TrackPoints");
}

// A store with every kind and the awkward texts a file must carry.
inline PointStore sampleStore()
{
    PointStore s;
    s.wayPoints.append(makePoint(PointKind::Way, QStringLiteral("CASA"), 45.464, 9.19, 122.0f, at(2026, 12, 5, 17, 44, 27),
                                 QStringLiteral("home")));
    s.wayPoints.append(makePoint(PointKind::Way, QStringLiteral("A&B"), -45.5, -179.123, -5.25f, at(2000, 1, 1, 0, 0, 0),
                                 QStringLiteral("<desc> x]]>y & </name>")));
    s.wayPoints.append(makePoint(PointKind::Way, QStringLiteral("Città"), 0.000000001, 180.0, 8848.86f,
                                 at(1999, 12, 31, 23, 59, 59), QStringLiteral("Zürich € “quoted”")));
    s.routePoints.append(makePoint(PointKind::Route, QStringLiteral("R1"), 12.3456789012, 1.5, 10.5f, at(2003, 2, 1, 4, 5, 6),
                                   QStringLiteral("start")));
    s.routePoints.append(makePoint(PointKind::Route, QStringLiteral("R2"), 12.5, 1.75, 0.0f, at(2003, 2, 1, 5, 0, 0), QString()));
    s.trackPoints.append(makePoint(PointKind::Track, QStringLiteral("T1"), 46.0, 10.0, 1000.0f, at(2010, 7, 1, 8, 0, 0),
                                   QStringLiteral("First track")));
    s.trackPoints.append(makePoint(PointKind::Track, QStringLiteral("T2"), 46.0001, 10.0001, 1001.25f, at(2010, 7, 1, 8, 0, 10),
                                   QString()));
    s.trackPoints.append(makePoint(PointKind::Track, QStringLiteral("T3"), 46.5, 10.5, 1500.0f, at(2010, 7, 2, 9, 30, 0),
                                   QStringLiteral("Second track")));
    return s;
}

} // namespace gipso::test
