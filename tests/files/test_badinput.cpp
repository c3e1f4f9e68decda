// Both readers fed truncated, binary, huge-line and malformed files: no crash, no half-built
// point, and a result that says what was wrong.

#include "PointFileTest.h"

#include <QRandomGenerator>

using namespace gipso;
using namespace gipso::test;

namespace {

class BadInput : public PointFileTest {
protected:
    ImportResult importBytes(const QByteArray &bytes, bool gpx, PointStore &s)
    {
        writeAll(path("in"), bytes);
        return gpx ? readGpx(path("in"), s, false) : readTextPointFile(path("in"), s, false);
    }
};

// Every point read is one of the original points in the original order, at its place (a cut
// may still shorten its last fields: a time to hh:nn, a description).
void expectPrefixOf(const PointList &original, const PointList &read)
{
    ASSERT_LE(read.count(), original.count());
    for (int32_t i = 1; i <= read.count(); ++i)
        EXPECT_TRUE(read[i].name == original[i].name && read[i].latitude == original[i].latitude
                    && read[i].longitude == original[i].longitude)
            << i;
}

} // namespace

TEST_F(BadInput, TruncatedFilesKeepOnlyWholePoints)
{
    PointStore original = sampleStore();
    for (GpsPoint &p : original.trackPoints)
        p.name.clear();
    for (bool gpx : {false, true}) {
        SCOPED_TRACE(gpx ? "GPX" : "text");
        const QString file = path(gpx ? "full.gpx" : "full.txt");
        PointStore copy = original;
        gpx ? writeGpx(file, copy) : writeTextPointFile(file, copy);
        const QByteArray full = readAll(file);
        for (qsizetype cut = 0; cut < full.size(); cut += 7) {
            PointStore s;
            ImportResult r = importBytes(full.left(cut), gpx, s);
            expectPrefixOf(original.wayPoints, s.wayPoints);
            expectPrefixOf(original.routePoints, s.routePoints);
            expectPrefixOf(original.trackPoints, s.trackPoints);
            EXPECT_EQ(r.readable, !s.allEmpty());
            if (HasFailure())
                FAIL() << "cut at " << cut;
        }
    }
}

TEST_F(BadInput, BinaryAndEmptyFiles)
{
    QRandomGenerator rng(42);
    for (int round = 0; round < 20; ++round) {
        QByteArray junk(64 * 1024, Qt::Uninitialized);
        for (char &c : junk)
            c = static_cast<char>(rng.bounded(256));
        // Sprinkle tags and record starts so the scanners get far into their rules.
        for (int i = 0; i < 200; ++i) {
            static const char *pieces[] = {"<wpt lat=\"", "</wpt>", "<name>", "</name>", "<![CDATA[", "]]>", "\r\n",
                                           "WP, ", "TP, 1, 2, 3, ", "<trkpt", "</trkpt>", "<time>", "</time>", "&#"};
            junk.insert(rng.bounded(junk.size()), pieces[rng.bounded(int(std::size(pieces)))]);
        }
        for (bool gpx : {false, true}) {
            PointStore s;
            importBytes(junk, gpx, s);
            for (PointKind kind : allPointKinds)
                for (const GpsPoint &p : s.list(kind))
                    EXPECT_EQ(p.kind, kind);
        }
    }
    for (bool gpx : {false, true}) {
        PointStore s;
        EXPECT_FALSE(importBytes(QByteArray(), gpx, s).readable);
        EXPECT_FALSE(importBytes(QByteArray(1000, '\0'), gpx, s).readable);
        EXPECT_TRUE(s.allEmpty());
    }
}

TEST_F(BadInput, HugeLines)
{
    // 50 MB on one line: junk, a point with a huge description in the middle, and the same as text.
    const QByteArray filler(50 * 1024 * 1024, 'x');
    PointStore s;
    EXPECT_FALSE(importBytes(filler, true, s).readable);
    EXPECT_FALSE(importBytes(filler, false, s).readable);

    importBytes("<gpx><wpt lat=\"1\" lon=\"2\"><name>big</name><desc>" + filler + "</desc></wpt><wpt lat=\"3\" lon=\"4\"></wpt>",
                true, s);
    ASSERT_EQ(s.wayPoints.count(), 2);
    EXPECT_EQ(s.wayPoints[1].description.size(), filler.size());
    EXPECT_EQ(s.wayPoints[2].latitude, 3.0);

    PointStore t;
    importBytes("WP, big, 1, 2, 3, 01/01/2001, 00:00:00, " + filler + "\r\nWP, next, 1, 2, 3, 01/01/2001, 00:00:00, \r\n",
                false, t);
    ASSERT_EQ(t.wayPoints.count(), 2);
    EXPECT_EQ(t.wayPoints[1].description.size(), filler.size());
    EXPECT_EQ(t.wayPoints[2].name, QStringLiteral("next"));
}
