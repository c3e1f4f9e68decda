// Large maps: the reduced first view, the full picture decoded in a worker thread.
#include "base/Error.h"
#include "base/Messages.h"
#include "map/MapFiles.h"
#include "map/MapView.h"
#include "map/Zip.h"
#include "state/AppState.h"
#include "MapFileTest.h"

#include <atomic>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

// A container of the JPEG with the example calibration, in the work folder.
struct Maps : Folders {
    QString container(const QString &name, const QByteArray &jpg)
    {
        writeAll(work + name, test::container(jpg));
        return work + name;
    }
};
QByteArray quartersJpeg(int w, int h) { return encoded(testPicture(w, h)); }

bool reddish(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
bool bluish(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60; }

const FirstView kQuarter{4, 0}; // every map counts as large here

} // namespace

TEST(BigMap, ReducedFirstViewHasTheFullSizeAndCalibrationUntilTheFullPictureReplacesIt)
{
    EXPECT_EQ(firstViewReduction(0.25), 4);
    EXPECT_EQ(firstViewReduction(0.1), 8);
    EXPECT_EQ(firstViewReduction(0.3), 2);
    EXPECT_EQ(firstViewReduction(2.0), 2);

    Maps m;
    const QByteArray jpg = quartersJpeg(803, 601);
    const QString path = m.container("big.Gipso", jpg);
    AppState st;
    st.tempDir = m.temp;
    std::atomic<int> news{0};
    MapOpener opener(st, [&] { ++news; });
    const MapLoad load = opener.open(path, kQuarter);
    ASSERT_EQ(load.status, MapLoad::Loaded);

    // The first view: a quarter of the picture (rounded up), everything else the full map's.
    EXPECT_EQ(st.mapPictureReduction, 4);
    EXPECT_EQ(st.mapPicture.size(), QSize(201, 151));
    EXPECT_EQ(QSize(st.mapWidth, st.mapHeight), QSize(803, 601));
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(st.calibration.x2, 300);
    EXPECT_EQ(st.calibration.lat1, 45.1);
    EXPECT_EQ(recentMap(st.settings, 1), QString()); // remembered once whole
    // Drawn enlarged to map pixels: the window at 100% shows red top-left, blue bottom-right.
    const ViewWindow w = visibleWindow(st.mapWidth, st.mapHeight, 1.0, QSize(803, 601), 0, 0);
    for (bool halftone : {false, true}) {
        const QImage shown = renderVisible(st.mapPicture, st.mapPictureReduction, w, 1.0, halftone);
        ASSERT_EQ(shown.size(), QSize(803, 601));
        EXPECT_TRUE(reddish(shown.pixel(380, 280)) && bluish(shown.pixel(420, 320)) && bluish(shown.pixel(802, 600)));
    }

    // Saving never writes the reduced picture: a .cal waits for the full one, the container
    // is written from its own JPEG.
    EXPECT_THROW(saveCalibratedMapFile(st, m.work + "early.cal"), GipsoError);
    EXPECT_FALSE(QFileInfo::exists(m.work + "early.cal"));
    saveCalibratedMapFile(st, m.work + "early.Gipso");
    EXPECT_EQ(readAll(st.tempMapFile), jpg);

    opener.wait();
    EXPECT_EQ(opener.collect(), MapOpener::Step::Finished);
    EXPECT_GE(news.load(), 1);
    EXPECT_EQ(st.mapPictureReduction, 1);
    EXPECT_EQ(st.mapPicture.size(), QSize(803, 601));
    EXPECT_EQ(st.mapPicture, loadMapPicture(m.temp + "early.jpg")); // the whole decode's pixels
    EXPECT_EQ(recentMap(st.settings, 1), path);
    EXPECT_EQ(opener.collect(), MapOpener::Step::Idle);
    saveCalibratedMapFile(st, m.work + "late.cal");
    EXPECT_EQ(loadMapFile(m.work + "late.cal", m.temp).picture.size(), QSize(803, 601));

    // A small map (under the bound) opens whole, with no decode after it.
    opener.open(path, FirstView{4});
    EXPECT_FALSE(opener.decoding());
    EXPECT_EQ(st.mapPictureReduction, 1);
    EXPECT_EQ(st.mapPicture.size(), QSize(803, 601));

    // A decode told to stop gives no picture.
    const JpegDecode stopped = decodeJpeg(jpg, {}, [](int, int) { return false; });
    EXPECT_TRUE(stopped.cancelled && stopped.picture.isNull());
}

TEST(BigMap, OpeningAnotherMapCancelsTheDecodeAndAFailedOneKeepsIt)
{
    Maps m;
    const QString a = m.container("a.Gipso", quartersJpeg(2400, 2000));
    const QString b = m.container("b.Gipso", quartersJpeg(40, 30));
    writeAll(m.work + "broken.jpg", "no picture");
    AppState st;
    st.tempDir = m.temp;
    MapOpener opener(st);

    // A file that is no map leaves the map shown and its decode going.
    opener.open(a, kQuarter);
    EXPECT_EQ(opener.open(m.work + "broken.jpg", kQuarter).status, MapLoad::Failed);
    EXPECT_TRUE(opener.decoding());
    EXPECT_EQ(opener.decodingPath(), a);

    // Another map: the first one's decode is stopped and its thread waited for; only the
    // second map remains, whole.
    opener.open(b, FirstView{4});
    EXPECT_FALSE(opener.decoding());
    EXPECT_EQ(opener.collect(), MapOpener::Step::Idle);
    EXPECT_EQ(QSize(st.mapWidth, st.mapHeight), QSize(40, 30));
    EXPECT_EQ(st.mapPicture.size(), QSize(40, 30));
    EXPECT_EQ(st.mapPictureReduction, 1);
    EXPECT_EQ(recentMap(st.settings, 1), b);
    EXPECT_EQ(recentMap(st.settings, 2), QString());
}

TEST(BigMap, DamageFoundByTheFullDecodeIsReportedAndNoMapRemains)
{
    setLanguage(kEnglish);
    Maps m;
    const QByteArray jpg = quartersJpeg(400, 300);
    const QString path = m.container("c.Gipso", jpg);
    AppState st;
    st.tempDir = m.temp;
    st.store.mapModified = true;
    MapOpener opener(st);

    // The first view decoded, the full picture's data is then found cut short.
    MapLoad load = loadMapFile(path, m.temp, kQuarter);
    ASSERT_EQ(load.reduction, 4);
    load.fullJpeg = jpg.left(jpg.size() / 2);
    opener.show(load, path);
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    opener.wait();
    QString error;
    EXPECT_EQ(opener.collect(&error), MapOpener::Step::Failed);
    EXPECT_EQ(error, "JPEG data cut short at byte " + QString::number(jpg.size() / 2));
    EXPECT_EQ(st.mapMode, MapMode::NoMap);
    EXPECT_TRUE(st.mapPicture.isNull());
    EXPECT_EQ(QSize(st.mapWidth, st.mapHeight), QSize(0, 0));
    EXPECT_FALSE(st.store.mapModified);
    EXPECT_TRUE(st.tempMapFile.isEmpty());
    EXPECT_EQ(QDir(m.temp).entryList(QDir::Files), QStringList());
    EXPECT_EQ(recentMap(st.settings, 1), QString());
}
