#include "state/AppState.h"
#include "base/Error.h"
#include "map/MapFiles.h"
#include "map/Zip.h"
#include "support/CliRunner.h"
#include "support/MapSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <zip.h>

using namespace gipso;
using gipso::test::CliRun;
using gipso::test::exampleCalibration;
using gipso::test::runProgram;
using gipso::test::readAll;
using gipso::test::writeAll;

namespace {

QImage testPicture(int w = 320, int h = 240, QColor fill = Qt::white)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red); // top-left quarter red: catches upside-down output
    p.fillRect(w / 2, h / 2, w / 2, h / 2, Qt::blue);
    return img;
}

QByteArray jpegBytes(const QImage &img)
{
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPG", 90);
    return b;
}

// Writes an archive with the given members (name, data); password non-empty encrypts them.
bool makeZip(const QString &path, const std::vector<std::pair<QByteArray, QByteArray>> &members,
             const char *password = nullptr)
{
    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za)
        return false;
    std::vector<QByteArray> keep = {};
    for (const auto &[name, data] : members) {
        keep.push_back(data); // zip_source_buffer needs the data alive until zip_close
        zip_source_t *src = zip_source_buffer(za, keep.back().constData(), zip_uint64_t(keep.back().size()), 0);
        const zip_int64_t idx = zip_file_add(za, name.constData(), src, ZIP_FL_OVERWRITE);
        if (idx < 0)
            return false;
        if (password)
            zip_file_set_encryption(za, zip_uint64_t(idx), ZIP_EM_AES_256, password);
    }
    return zip_close(za) == 0;
}

QStringList entries(const QString &dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }

// The calibration text of the Part's example, in the container's layout.
const QByteArray kExampleText = "100\r\n-100\r\n300\r\n-300\r\n9\r\n45.1\r\n9.2\r\n45\r\n";

struct Folders {
    QTemporaryDir root;
    QString work;  // where map files are written
    QString temp;  // the program's private temporary folder, with trailing '/'
    Folders()
    {
        QDir(root.path()).mkdir(QStringLiteral("work"));
        QDir(root.path()).mkdir(QStringLiteral("temp"));
        work = root.path() + QStringLiteral("/work/");
        temp = root.path() + QStringLiteral("/temp/");
    }
};

void expectSameStored(const MapCalibration &a, const MapCalibration &b)
{
    EXPECT_EQ(storedNumbers(a), storedNumbers(b));
}

} // namespace

TEST(MapFiles, KindsByTheEndOfThePathInAnyCase)
{
    EXPECT_EQ(mapFileKind("/x/MAP.CAL"), MapFileKind::Cal);
    EXPECT_EQ(mapFileKind("/x/a.gipso"), MapFileKind::Container);
    EXPECT_EQ(mapFileKind("/x.cal/a.jpg"), MapFileKind::Picture);
    EXPECT_TRUE(isMapFileName("a.JPEG"));
    EXPECT_TRUE(isMapFileName("a.Gipso"));
    EXPECT_FALSE(isMapFileName("a.png"));
    EXPECT_TRUE(isPointFileName("a.GPX"));
    EXPECT_FALSE(isPointFileName("a.jpg"));
}

TEST(MapFiles, CalFileIsBmpThenLittleEndianTrailerAndReopens)
{
    Folders f;
    const QImage pic = testPicture();
    const MapCalibration c = exampleCalibration();
    QString backing;
    const QString path = f.work + "map.cal";
    EXPECT_EQ(saveMapFile(pic, c, path, f.temp, backing), path);
    EXPECT_TRUE(backing.isEmpty());

    const QByteArray bytes = readAll(path);
    ASSERT_GT(bytes.size(), 64);
    EXPECT_TRUE(bytes.startsWith("BM"));
    // The BMP header's file size ends exactly where the trailer begins.
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 2), quint32(bytes.size() - 64));
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24); // bits per pixel
    const double expected[8] = {100, -100, 300, -300, 9.0, 45.1, 9.2, 45.0};
    for (int i = 0; i < 8; ++i) {
        double v;
        const quint64 bits = qFromLittleEndian<quint64>(bytes.constData() + bytes.size() - 64 + i * 8);
        std::memcpy(&v, &bits, 8);
        EXPECT_EQ(v, expected[i]) << i;
    }

    const MapLoad load = loadMapFile(path, f.temp);
    ASSERT_EQ(load.status, MapLoad::Loaded) << load.error.toStdString();
    ASSERT_TRUE(load.calibration.has_value());
    expectSameStored(*load.calibration, c);
    EXPECT_DOUBLE_EQ(load.calibration->scale, c.scale);
    EXPECT_EQ(load.picture.convertToFormat(QImage::Format_RGB32), pic);
    EXPECT_TRUE(entries(f.temp).isEmpty());
}

TEST(MapFiles, ContainerReopensAndIsReadByUnzip)
{
    Folders f;
    const QImage pic = testPicture();
    MapCalibration c = exampleCalibration();
    c.lon1 = 9.123456789012345; // needs all digits to come back
    computeCalibration(c);
    QString backing;
    const QString written = saveMapFile(pic, c, f.work + "Valle.GIPSO", f.temp, backing);
    EXPECT_EQ(written, f.work + "Valle.Gipso"); // the extension is written as the program spells it
    EXPECT_EQ(backing, f.temp + "Valle.jpg");
    EXPECT_TRUE(QFileInfo::exists(backing));
    EXPECT_FALSE(QFileInfo::exists(f.temp + "Valle.txt"));

    const CliRun test = runProgram("unzip", {"-t", written});
    EXPECT_EQ(test.status, 0) << test.out.toStdString();
    EXPECT_EQ(runProgram("unzip", {"-Z1", written}).out.split('\n', Qt::SkipEmptyParts), QStringList({"Valle.jpg", "Valle.txt"}));

    Folders g;
    const MapLoad load = loadMapFile(written, g.temp);
    ASSERT_EQ(load.status, MapLoad::Loaded) << load.error.toStdString();
    expectSameStored(*load.calibration, c);
    EXPECT_EQ(load.picture.size(), pic.size());
    EXPECT_EQ(load.imagePath, g.temp + "Valle.jpg");
    EXPECT_EQ(entries(g.temp), QStringList({"Valle.jpg"}));
    // Lossy, but the quarters stay where they were.
    EXPECT_GT(qRed(load.picture.pixel(10, 10)), 200);
    EXPECT_LT(qGreen(load.picture.pixel(10, 10)), 60);
    EXPECT_GT(qBlue(load.picture.pixel(300, 230)), 200);
}

TEST(MapFiles, SavingAgainReusesTheBackingJpeg)
{
    Folders f;
    const MapCalibration c = exampleCalibration();
    // A backing JPEG of a different picture proves the save moves it instead of encoding.
    const QByteArray marker = jpegBytes(testPicture(64, 48, Qt::green));
    QString backing = f.temp + "old.jpg";
    writeAll(backing, marker);
    saveMapFile(testPicture(), c, f.work + "a.Gipso", f.temp, backing);
    EXPECT_EQ(backing, f.temp + "a.jpg");
    EXPECT_FALSE(QFileInfo::exists(f.temp + "old.jpg"));
    EXPECT_EQ(readAll(backing), marker);
    saveMapFile(testPicture(), c, f.work + "a.Gipso", f.temp, backing); // same name twice
    EXPECT_EQ(readAll(backing), marker);

    ZipReader unzip;
    ASSERT_TRUE(unzip.open(f.work + "a.Gipso"));
    QByteArray member;
    ASSERT_TRUE(unzip.read(unzip.members()[0], 1 << 20, member));
    EXPECT_EQ(member, marker);
}

TEST(MapFiles, HandMadeContainerWithAnyNamesOpens)
{
    Folders f;
    writeAll(f.work + "any.jpg", jpegBytes(testPicture(200, 100)));
    // Plain and exponent notation, with and without a leading zero, LF or CRLF.
    writeAll(f.work + "notes.txt", "1e2\n-100\r\n300.0\n-3E2\n9\n45.1\n9.2\n45\n");
    ASSERT_EQ(runProgram("zip", {"-q", "-j", f.work + "whatever.Gipso", f.work + "any.jpg", f.work + "notes.txt"}).status, 0);

    const MapLoad load = loadMapFile(f.work + "whatever.Gipso", f.temp);
    ASSERT_EQ(load.status, MapLoad::Loaded) << load.error.toStdString();
    EXPECT_EQ(load.picture.size(), QSize(200, 100));
    expectSameStored(*load.calibration, exampleCalibration());
    EXPECT_EQ(load.imagePath, f.temp + "any.jpg");

    MapCalibration c;
    EXPECT_TRUE(parseCalibrationText("0.5\n.5\n-.5\n5e-1\n1\n2\n3\n4", c));
    EXPECT_EQ(c.x1, 0.5);
    EXPECT_EQ(c.yUp1, 0.5);
    EXPECT_EQ(c.x2, -0.5);
    EXPECT_EQ(c.yUp2, 0.5);
    EXPECT_FALSE(parseCalibrationText("1\n2\n3\n4\n5\n6\n7", c));       // seven
    EXPECT_FALSE(parseCalibrationText("1\n2\n3\n4\n5\n6\n7\n8\n9", c)); // nine
    EXPECT_FALSE(parseCalibrationText("1\n2\n3\n4\n5\n6\n7\n8,5", c));  // comma decimals
}

TEST(MapFiles, Latitude91LoadsThePictureUncalibratedAndDeletesTheJpeg)
{
    Folders f;
    QByteArray text = kExampleText;
    text.replace("45.1\r\n", "91\r\n");
    ASSERT_TRUE(makeZip(f.work + "bad.Gipso", {{"m.jpg", jpegBytes(testPicture())}, {"m.txt", text}}));

    AppState st;
    st.tempDir = f.temp;
    st.settings.LastMap1 = "/maps/one.Gipso";
    // A map is open already, backed by its JPEG.
    writeAll(f.temp + "prev.jpg", jpegBytes(testPicture(10, 10)));
    st.tempMapFile = f.temp + "prev.jpg";
    st.mapMode = MapMode::Calibrated;
    st.calibration = exampleCalibration();

    const MapLoad load = openMapFile(st, f.work + "bad.Gipso");
    EXPECT_EQ(load.status, MapLoad::CalibrationRejected);
    EXPECT_EQ(st.mapMode, MapMode::Uncalibrated);
    EXPECT_EQ(st.mapWidth, 320);
    EXPECT_EQ(st.mapHeight, 240);
    EXPECT_EQ(st.settings.LastMap1, "/maps/one.Gipso");
    EXPECT_TRUE(st.settings.LastMap2.isEmpty());
    // Neither the extracted JPEG nor the one of the picture no longer shown stays behind.
    EXPECT_TRUE(entries(f.temp).isEmpty()) << entries(f.temp).join(' ').toStdString();
    EXPECT_TRUE(st.tempMapFile.isEmpty());
}

TEST(MapFiles, MemberNamesNeverLeaveTheTemporaryFolder)
{
    Folders f;
    const QByteArray jpg = jpegBytes(testPicture());
    const QString sub = f.temp + "inner/"; // the temporary folder, one level down
    QDir().mkpath(sub);

    for (const char *name : {"../x.jpg", "/tmp/x.jpg", "a/../../x.jpg", "C:\\x.jpg", "..\\x.jpg"}) {
        ASSERT_TRUE(makeZip(f.work + "evil.Gipso", {{name, jpg}, {"m.txt", kExampleText}})) << name;
        const MapLoad load = loadMapFile(f.work + "evil.Gipso", sub);
        EXPECT_EQ(load.status, MapLoad::Failed) << name;
        EXPECT_TRUE(entries(sub).isEmpty()) << name;
        EXPECT_EQ(entries(f.temp), QStringList()) << name;
        EXPECT_FALSE(QFileInfo::exists("/tmp/x.jpg") && QFileInfo("/tmp/x.jpg").lastModified().secsTo(QDateTime::currentDateTime()) < 5);
    }
    // A member in a folder goes in under its base name.
    ASSERT_TRUE(makeZip(f.work + "sub.Gipso", {{"maps/m.jpg", jpg}, {"maps/m.txt", kExampleText}}));
    const MapLoad load = loadMapFile(f.work + "sub.Gipso", sub);
    ASSERT_EQ(load.status, MapLoad::Loaded) << load.error.toStdString();
    EXPECT_EQ(load.imagePath, sub + "m.jpg");
    EXPECT_EQ(entries(sub), QStringList({"m.jpg"}));

    EXPECT_EQ(ZipReader::safeBaseName("a/b/c.jpg"), "c.jpg");
    EXPECT_EQ(ZipReader::safeBaseName("c.jpg"), "c.jpg");
    EXPECT_EQ(ZipReader::safeBaseName("dir/"), "");
    EXPECT_EQ(ZipReader::safeBaseName(".."), "");
}

TEST(MapFiles, BadFilesFailAndLeaveNothingBehind)
{
    Folders f;
    const QByteArray jpg = jpegBytes(testPicture());
    const QString w = f.work;
    auto expectStatus = [&](const QString &path, MapLoad::Status status, const char *what) {
        const MapLoad load = loadMapFile(path, f.temp);
        EXPECT_EQ(load.status, status) << what << ": " << load.error.toStdString();
        EXPECT_FALSE(load.error.isEmpty()) << what;
        EXPECT_TRUE(entries(f.temp).isEmpty()) << what << ": " << entries(f.temp).join(' ').toStdString();
        if (status == MapLoad::Failed) {
            EXPECT_TRUE(load.picture.isNull()) << what;
        }
        EXPECT_FALSE(load.calibration.has_value()) << what;
    };

    // Pictures
    writeAll(w + "empty.jpg", "");
    expectStatus(w + "empty.jpg", MapLoad::Failed, "empty picture");
    writeAll(w + "text.bmp", "this is no picture at all");
    expectStatus(w + "text.bmp", MapLoad::Failed, "text as picture");
    writeAll(w + "head.jpg", jpg.left(200));
    expectStatus(w + "head.jpg", MapLoad::Failed, "picture cut after its header");
    expectStatus(w + "missing.jpg", MapLoad::Failed, "missing file");
    writeAll(w + "half.jpg", jpg.left(jpg.size() / 2));
    expectStatus(w + "half.jpg", MapLoad::Failed, "JPEG cut in half");
    QByteArray bmp;
    {
        QBuffer b(&bmp);
        b.open(QIODevice::WriteOnly);
        testPicture().save(&b, "BMP");
    }
    writeAll(w + "half.bmp", bmp.left(bmp.size() / 2));
    expectStatus(w + "half.bmp", MapLoad::Failed, "BMP cut in half");
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff,\x00\x00\x00\x00"
                         "\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;", 35);
    writeAll(w + "one.gif", gif);
    EXPECT_EQ(loadMapFile(w + "one.gif", f.temp).status, MapLoad::Loaded);
    writeAll(w + "cut.gif", gif.left(30));
    expectStatus(w + "cut.gif", MapLoad::Failed, "GIF cut before its trailer");

    // .cal files
    writeAll(w + "short.cal", QByteArray(63, 'x'));
    expectStatus(w + "short.cal", MapLoad::Failed, "cal shorter than its trailer");
    QString none;
    const QImage pic = testPicture();
    auto calWith = [&](const char *name, auto change) {
        MapCalibration c = exampleCalibration();
        change(c);
        saveMapFile(pic, c, w + name, f.temp, none);
        return w + name;
    };
    expectStatus(calWith("nan.cal", [](MapCalibration &c) { c.lat2 = std::numeric_limits<double>::quiet_NaN(); }),
                 MapLoad::CalibrationRejected, "NaN in the trailer");
    expectStatus(calWith("same.cal", [](MapCalibration &c) { c.x2 = c.x1, c.yUp2 = c.yUp1; }),
                 MapLoad::CalibrationRejected, "equal reference pixels");
    expectStatus(calWith("lon.cal", [](MapCalibration &c) { c.lon1 = 181; }), MapLoad::CalibrationRejected,
                 "longitude out of range");
    writeAll(w + "plain.cal", jpg); // a JPEG named .cal: its last bytes are no calibration
    expectStatus(w + "plain.cal", MapLoad::CalibrationRejected, "JPEG named .cal");

    // Containers
    writeAll(w + "junk.Gipso", QByteArray(5000, 'j'));
    expectStatus(w + "junk.Gipso", MapLoad::Failed, "not an archive");
    ASSERT_TRUE(makeZip(w + "ok.Gipso", {{"m.jpg", jpg}, {"m.txt", kExampleText}}));
    const QByteArray okZip = readAll(w + "ok.Gipso");
    writeAll(w + "cut.Gipso", okZip.left(okZip.size() / 2));
    expectStatus(w + "cut.Gipso", MapLoad::Failed, "archive cut in half");
    QByteArray flipped = okZip;
    flipped[100] = char(flipped[100] ^ 0x55); // inside the JPEG's data: CRC mismatch
    writeAll(w + "flip.Gipso", flipped);
    expectStatus(w + "flip.Gipso", MapLoad::Failed, "damaged member data");
    ASSERT_TRUE(makeZip(w + "nothing.Gipso", {{"readme", "x"}}));
    expectStatus(w + "nothing.Gipso", MapLoad::Failed, "archive without a picture");
    writeAll(w + "empty.Gipso", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'));
    expectStatus(w + "empty.Gipso", MapLoad::Failed, "empty archive");
    ASSERT_TRUE(makeZip(w + "locked.Gipso", {{"m.jpg", jpg}, {"m.txt", kExampleText}}, "secret"));
    expectStatus(w + "locked.Gipso", MapLoad::Failed, "encrypted archive");
    std::vector<std::pair<QByteArray, QByteArray>> many;
    for (int i = 0; i < 3000; ++i)
        many.push_back({"f" + QByteArray::number(i) + ".txt", "1"});
    many.push_back({"m.jpg", jpg});
    ASSERT_TRUE(makeZip(w + "many.Gipso", many));
    expectStatus(w + "many.Gipso", MapLoad::Failed, "thousands of members");
    ASSERT_TRUE(makeZip(w + "bigtext.Gipso", {{"m.jpg", jpg}, {"m.txt", kExampleText + QByteArray(100000, '\n')}}));
    expectStatus(w + "bigtext.Gipso", MapLoad::CalibrationRejected, "oversized text member");
    ASSERT_TRUE(makeZip(w + "notext.Gipso", {{"m.jpg", jpg}}));
    expectStatus(w + "notext.Gipso", MapLoad::CalibrationRejected, "no calibration member");
    ASSERT_TRUE(makeZip(w + "word.Gipso", {{"m.jpg", jpg}, {"m.txt", "1\n2\n3\n4\nfive\n6\n7\n8\n"}}));
    expectStatus(w + "word.Gipso", MapLoad::CalibrationRejected, "unreadable number");
}

TEST(MapFiles, RecentMapsRotateAndAFailedLoadKeepsTheList)
{
    Folders f;
    AppState st;
    st.tempDir = f.temp;
    QString none;
    for (const char *name : {"a.cal", "b.cal", "c.cal", "d.cal"})
        saveMapFile(testPicture(), exampleCalibration(), f.work + name, f.temp, none);
    writeAll(f.work + "plain.jpg", jpegBytes(testPicture(50, 40)));

    openMapFile(st, f.work + "a.cal");
    openMapFile(st, f.work + "b.cal");
    openMapFile(st, f.work + "c.cal");
    EXPECT_EQ(st.settings.LastMap1, f.work + "c.cal");
    EXPECT_EQ(st.settings.LastMap3, f.work + "a.cal");
    openMapFile(st, f.work + "a.cal"); // already listed: the order stays
    EXPECT_EQ(st.settings.LastMap1, f.work + "c.cal");
    EXPECT_EQ(st.settings.LastMap2, f.work + "b.cal");
    EXPECT_EQ(st.settings.LastMap3, f.work + "a.cal");
    openMapFile(st, f.work + "d.cal"); // a fourth drops the oldest
    EXPECT_EQ(st.settings.LastMap1, f.work + "d.cal");
    EXPECT_EQ(st.settings.LastMap2, f.work + "c.cal");
    EXPECT_EQ(st.settings.LastMap3, f.work + "b.cal");
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);

    // That the previous map stays usable is checked through the window (Calib tests).
    writeAll(f.work + "broken.Gipso", "PK broken");
    EXPECT_EQ(openMapFile(st, f.work + "broken.Gipso").status, MapLoad::Failed);
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(st.settings.LastMap1, f.work + "d.cal");

    openMapFile(st, f.work + "plain.jpg");
    EXPECT_EQ(st.mapMode, MapMode::Uncalibrated);
    EXPECT_EQ(st.mapWidth, 50);
}

TEST(MapFiles, ContainerStateAndSaveOnTheProgramState)
{
    Folders f;
    AppState st;
    st.tempDir = f.temp;
    ASSERT_TRUE(makeZip(f.work + "one.Gipso", {{"m.jpg", jpegBytes(testPicture())}, {"m.txt", kExampleText}}));
    openMapFile(st, f.work + "one.Gipso");
    EXPECT_EQ(st.tempMapFile, f.temp + "m.jpg");

    // Saving as another container moves the backing JPEG and clears mapModified.
    st.store.mapModified = true;
    saveCalibratedMapFile(st, f.work + "two.Gipso");
    EXPECT_FALSE(st.store.mapModified);
    EXPECT_EQ(st.tempMapFile, f.temp + "two.jpg");
    EXPECT_EQ(entries(f.temp), QStringList({"two.jpg"}));

    // A failed save keeps mapModified and the old file whole.
    st.store.mapModified = true;
    const QByteArray before = readAll(f.work + "two.Gipso");
    EXPECT_THROW(saveCalibratedMapFile(st, f.work + "no/such/dir/x.Gipso"), GipsoError);
    EXPECT_THROW(saveCalibratedMapFile(st, f.work + "x.png"), GipsoError);
    EXPECT_TRUE(st.store.mapModified);
    EXPECT_EQ(readAll(f.work + "two.Gipso"), before);
    EXPECT_TRUE(QFileInfo::exists(st.tempMapFile));

    // Opening another map deletes the old backing JPEG.
    QString none;
    saveMapFile(testPicture(), exampleCalibration(), f.work + "c.cal", f.temp, none);
    openMapFile(st, f.work + "c.cal");
    EXPECT_TRUE(st.tempMapFile.isEmpty());
    EXPECT_TRUE(entries(f.temp).isEmpty());
}
