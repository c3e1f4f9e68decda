#pragma once

#include "base/Clock.h"
#include "base/Error.h"
#include "files/PointFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gipso::test {

// A private folder and the clock fixed at 05/12/2026 17:44:27 (the time files are stamped with).
class PointFileTest : public ::testing::Test {
protected:
    void SetUp() override { setClock([] { return at(2026, 12, 5, 17, 44, 27); }); }
    void TearDown() override { setClock({}); }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    // Reads bytes as GPX or as a text point file, keeping TrackPoint descriptions.
    ImportResult importBytes(const QByteArray &bytes, bool gpx, PointStore &s) const
    {
        writeAll(path("in"), bytes);
        return gpx ? readGpx(path("in"), s, false) : readTextPointFile(path("in"), s, false);
    }
    QTemporaryDir dir;
};

// The error a call raises, as "number - description"; empty when it raises none.
template <typename Call> QString errorOf(Call &&call)
{
    try {
        call();
    } catch (const GipsoError &e) {
        return QString::number(e.number()) + QStringLiteral(" - ") + e.description();
    }
    return {};
}

// A list as text to the precision of the files: coordinates to 1e-9, altitude to 0.01, date
// and time to the second.
inline QStringList described(const PointList &list)
{
    QStringList out;
    for (const GpsPoint &p : list)
        out << QStringLiteral("%1 %2|%3| %4 %5 %6 %7")
                   .arg(int(p.kind))
                   .arg(p.name, p.description)
                   .arg(p.latitude, 0, 'f', 9)
                   .arg(p.longitude, 0, 'f', 9)
                   .arg(p.altitude, 0, 'f', 2)
                   .arg(stamp(p));
    return out;
}

inline void expectSameStore(const PointStore &a, const PointStore &b)
{
    for (PointKind kind : allPointKinds)
        EXPECT_EQ(described(a.list(kind)), described(b.list(kind))) << kindTag(kind);
}

// A store with every kind and the awkward texts a file must carry.
inline PointStore sampleStore()
{
    PointStore s;
    s.wayPoints.append(makePoint(PointKind::Way, "CASA", 45.464, 9.19, 122.0f, at(2026, 12, 5, 17, 44, 27), "home"));
    s.wayPoints.append(makePoint(PointKind::Way, "A&B", -45.5, -179.123, -5.25f, at(2000, 1, 1), "<desc> x]]>y & </name>"));
    s.wayPoints.append(makePoint(PointKind::Way, "Citt\u00e0", 0.000000001, 180.0, 8848.86f, at(1999, 12, 31, 23, 59, 59),
                                 "Z\u00fcrich \u20ac \u201cquoted\u201d"));
    s.routePoints.append(makePoint(PointKind::Route, "R1", 12.3456789012, 1.5, 10.5f, at(2003, 2, 1, 4, 5, 6), "start"));
    s.routePoints.append(makePoint(PointKind::Route, "R2", 12.5, 1.75, 0.0f, at(2003, 2, 1, 5)));
    s.trackPoints.append(makePoint(PointKind::Track, "T1", 46.0, 10.0, 1000.0f, at(2010, 7, 1, 8), "First track"));
    s.trackPoints.append(makePoint(PointKind::Track, "T2", 46.0001, 10.0001, 1001.25f, at(2010, 7, 1, 8, 0, 10)));
    s.trackPoints.append(makePoint(PointKind::Track, "T3", 46.5, 10.5, 1500.0f, at(2010, 7, 2, 9, 30), "Second track"));
    return s;
}

} // namespace gipso::test
