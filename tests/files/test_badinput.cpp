// Both readers fed truncated, binary, huge-line and malformed files: no crash, no half-built
// point, and a result that says what was wrong.

#include "PointFileTest.h"

#include "base/Messages.h"

#include <QRandomGenerator>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace gipso;
using namespace gipso::test;

namespace {

using BadInput = PointFileTest;

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

TEST_F(BadInput, TruncatedEmptyAndBinaryFilesKeepOnlyWholePoints)
{
    PointStore original = sampleStore();
    for (GpsPoint &p : original.trackPoints)
        p.name.clear();
    for (bool gpx : {false, true}) {
        SCOPED_TRACE(gpx ? "GPX" : "text");
        PointStore empty;
        EXPECT_FALSE(importBytes(QByteArray(), gpx, empty).readable);
        EXPECT_FALSE(importBytes(QByteArray(1000, '\0'), gpx, empty).readable);
        EXPECT_TRUE(empty.allEmpty());
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

    // Random bytes sprinkled with tags and record starts, so that the scanners get far into their rules.
    static const char *pieces[] = {"<wpt lat=\"", "</wpt>", "<name>", "</name>", "<![CDATA[", "]]>", "\r\n",
                                   "WP, ", "TP, 1, 2, 3, ", "<trkpt", "</trkpt>", "<time>", "</time>", "&#"};
    QRandomGenerator rng(42);
    for (int round = 0; round < 20; ++round) {
        QByteArray junk(64 * 1024, Qt::Uninitialized);
        for (char &c : junk)
            c = static_cast<char>(rng.bounded(256));
        for (int i = 0; i < 200; ++i)
            junk.insert(rng.bounded(junk.size()), pieces[rng.bounded(int(std::size(pieces)))]);
        for (bool gpx : {false, true}) {
            PointStore s;
            importBytes(junk, gpx, s);
            for (PointKind kind : allPointKinds)
                for (const GpsPoint &p : s.list(kind))
                    EXPECT_EQ(p.kind, kind);
        }
    }
}

TEST_F(BadInput, LongLines)
{
    setLanguage(kEnglish);
    // A text line longer than the bound is skipped, counted and reported; the next one is read.
    const QByteArray filler(3 << 20, 'x');
    PointStore t;
    ImportResult r = importBytes("WP, big, 1, 2, 3, 01/01/2001, 00:00:00, " + filler
                                     + "\r\nWP, next, 1, 2, 3, 01/01/2001, 00:00:00, \r\n",
                                 false, t);
    EXPECT_EQ(r.skipped, 1);
    EXPECT_EQ(r.firstProblem, "line 1: longer than 1048576 bytes");
    EXPECT_EQ(described(t.wayPoints), QStringList{"0 next|| 1.000000000 2.000000000 3.00 01/01/2001 00:00:00"});
    // A device is no point file: /dev/zero would never end.
    EXPECT_EQ(errorOf([&] { readTextPointFile("/dev/zero", t, false); }), "75 - not a regular file");

    // GPX is not bound to lines: a whole file on one line, with a long description, reads whole.
    QByteArray gpx = "<gpx><wpt lat=\"1\" lon=\"2\"><name>big</name><desc>" + filler + "</desc></wpt>";
    for (int i = 0; i < 60000; ++i)
        gpx += "<trkpt lat=\"3\" lon=\"4\"/>";
    PointStore s;
    r = importBytes(gpx + "</gpx>", true, s);
    EXPECT_EQ(r.skipped, 0);
    ASSERT_EQ(s.wayPoints.count(), 1);
    EXPECT_EQ(s.wayPoints[1].description.size(), filler.size());
    EXPECT_EQ(s.trackPoints.count(), 60000);
}

TEST_F(BadInput, MemoryRunningOutIsAnError)
{
    // 1,100 points on the first line, then 200,000 on lines of their own: the list grows by what
    // the first points took in the file, not by one point per byte left (600 MB here).
    QByteArray gpx = "<gpx>" + QByteArray("<trkpt lat=\"1\" lon=\"2\"/>").repeated(1100) + "\n";
    gpx += QByteArray("<trkpt lat=\"1\" lon=\"2\"/>\n").repeated(200000) + "</gpx>\n";
    writeAll(path("many.gpx"), gpx);
    // The address space: what the test holds now and some more, restored at the end.
    struct Limit {
        rlimit old{};
        Limit() { getrlimit(RLIMIT_AS, &old); }
        ~Limit() { setrlimit(RLIMIT_AS, &old); }
        void allow(rlim_t more) const
        {
            rlim_t pages = 0;
            std::ifstream("/proc/self/statm") >> pages;
            const rlimit l{pages * rlim_t(sysconf(_SC_PAGESIZE)) + more, old.rlim_max};
            setrlimit(RLIMIT_AS, &l);
        }
    } space;

    PointStore s;
    s.wayPoints.append(makePoint(PointKind::Way, "KEPT", 1, 2));
    space.allow(300 << 20);
    EXPECT_EQ(readGpx(path("many.gpx"), s, false).skipped, 0);
    EXPECT_EQ(s.trackPoints.count(), 201100);

    // Where memory does run out, the import fails as a whole and the lists are as before.
    s.trackPoints.clear();
    space.allow(4 << 20);
    EXPECT_TRUE(errorOf([&] { readGpx(path("many.gpx"), s, false); }).startsWith("7 - ")); // out of memory
    space.allow(64 << 20);
    EXPECT_EQ(s.trackPoints.count(), 0);
    EXPECT_EQ(s.wayPoints.count(), 1);
}
