#include "base/Error.h"
#include "base/Messages.h"
#include "map/DibBuffer.h"
#include "map/JpegSave.h"
#include "map/MapFiles.h"
#include "map/Zip.h"
#include "MapFileTest.h"
#include "state/AppState.h"
#include "support/CliRunner.h"
#include "support/MapSupport.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

using namespace gipso;
using namespace gipso::test;


TEST(MapFiles, SavedCalAndContainerReopenExactly)
{
    EXPECT_EQ(mapFileKind("/x.cal/a.jpg"), MapFileKind::Picture);
    Folders f;
    const QImage pic = testPicture();
    MapCalibration c = exampleCalibration();
    QString backing;
    EXPECT_EQ(saveMapFile(pic, c, f.work + "map.CAL", f.temp, backing), f.work + "map.CAL");
    EXPECT_TRUE(backing.isEmpty());
    // .cal: a 24-bit BMP whose header's file size ends where the trailer of 8 doubles begins.
    const QByteArray bytes = readAll(f.work + "map.CAL");
    ASSERT_GT(bytes.size(), 64);
    EXPECT_TRUE(bytes.startsWith("BM"));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 2), quint32(bytes.size() - 64));
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24);
    const double expected[8] = {100, -100, 300, -300, 9.0, 45.1, 9.2, 45.0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(qFromLittleEndian<double>(bytes.constData() + bytes.size() - 64 + i * 8), expected[i]) << i;
    MapLoad load = loadMapFile(f.work + "map.CAL", f.temp);
    ASSERT_EQ(load.status, MapLoad::Loaded) << load.error.toStdString();
    EXPECT_EQ(storedNumbers(*load.calibration), storedNumbers(c));
    EXPECT_DOUBLE_EQ(load.calibration->scale, c.scale);
    EXPECT_EQ(load.picture.convertToFormat(QImage::Format_RGB32), pic);
    EXPECT_TRUE(entries(f.temp).isEmpty());

    // .Gipso: read by unzip; the name is kept as given (any case), the JPEG stays as the map's
    // backing, the text member is not left behind.
    c.lon1 = 9.123456789012345; // needs all digits to come back
    computeCalibration(c);
    const QString written = saveMapFile(pic, c, f.work + "Valle.GIPSO", f.temp, backing);
    EXPECT_EQ(written, f.work + "Valle.GIPSO");
    EXPECT_EQ(backing, f.temp + "Valle.jpg");
    EXPECT_EQ(entries(f.temp), QStringList({"Valle.jpg"}));
    EXPECT_EQ(runProgram("unzip", {"-t", written}).status, 0);
    EXPECT_EQ(runProgram("unzip", {"-Z1", written}).out.split('\n', Qt::SkipEmptyParts), QStringList({"Valle.jpg", "Valle.txt"}));
    Folders g;
    load = loadMapFile(written, g.temp);
    ASSERT_EQ(load.status, MapLoad::Loaded) << load.error.toStdString();
    EXPECT_EQ(storedNumbers(*load.calibration), storedNumbers(c));
    EXPECT_EQ(load.imagePath, g.temp + "Valle.jpg");
    EXPECT_EQ(entries(g.temp), QStringList({"Valle.jpg"}));
}

TEST(MapFiles, HandMadeContainerWithAnyNamesOpens)
{
    Folders f;
    writeAll(f.work + "any.jpg", encoded(testPicture(200, 100)));
    // Exponents, a missing leading zero, LF or CRLF.
    writeAll(f.work + "notes.txt", "1e2\n-100\r\n300.0\n-3E2\n9\n45.1\n9.2\n.45e2\n");
    ASSERT_EQ(runProgram("zip", {"-q", "-j", f.work + "x.Gipso", f.work + "any.jpg", f.work + "notes.txt"}).status, 0);
    const MapLoad load = loadMapFile(f.work + "x.Gipso", f.temp);
    ASSERT_EQ(load.status, MapLoad::Loaded) << load.error.toStdString();
    EXPECT_EQ(load.picture.size(), QSize(200, 100));
    EXPECT_EQ(storedNumbers(*load.calibration), storedNumbers(exampleCalibration()));
    EXPECT_EQ(load.imagePath, f.temp + "any.jpg");

    MapCalibration c; // seven numbers, nine, comma decimals
    for (const char *text : {"1\n2\n3\n4\n5\n6\n7", "1\n2\n3\n4\n5\n6\n7\n8\n9", "1\n2\n3\n4\n5\n6\n7\n8,5"})
        EXPECT_FALSE(parseCalibrationText(text, c)) << text;
}

TEST(MapFiles, ContainersAreWorkedOnOnlyInsideTheirPrivateTemporaryFolder)
{
    setLanguage(kEnglish);
    Folders f;
    const QByteArray jpg = encoded();
    const QString sub = f.temp + "inner/"; // the temporary folder, one level down
    QDir().mkpath(sub);
    for (const char *name : {"../x.jpg", "/tmp/gipso-escape.jpg", "a/../../x.jpg", "C:\\x.jpg", "..\\x.jpg"}) {
        SCOPED_TRACE(name);
        writeAll(f.work + "evil.Gipso", zipped({{name, jpg}, {"m.txt", kExampleText}}));
        EXPECT_EQ(loadMapFile(f.work + "evil.Gipso", sub).status, MapLoad::Failed);
        EXPECT_EQ(entries(sub) + entries(f.temp), QStringList());
    }
    EXPECT_FALSE(QFileInfo::exists("/tmp/gipso-escape.jpg"));
    // A member in a folder goes in under its base name.
    writeAll(f.work + "sub.Gipso", zipped({{"maps/m.jpg", jpg}, {"maps/m.txt", kExampleText}}));
    const MapLoad inFolder = loadMapFile(f.work + "sub.Gipso", sub);
    ASSERT_EQ(inFolder.status, MapLoad::Loaded) << inFolder.error.toStdString();
    EXPECT_EQ(inFolder.imagePath, sub + "m.jpg");
    EXPECT_EQ(entries(sub), QStringList({"m.jpg"}));
    EXPECT_EQ(ZipReader::safeBaseName("dir/"), "");

    // Without a private temporary folder nothing is extracted or written, not even into the
    // current folder, which holds a picture of the user's with the name of the container's image.
    writeAll(f.work + "m.Gipso", container(jpg));
    writeAll(f.work + "m.jpg", "the user's own picture");
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(f.work);
    QString backing;
    for (const QString &tempDir : {QString(), QString("./"), f.work + "missing/"}) {
        SCOPED_TRACE(tempDir.toStdString());
        const MapLoad load = loadMapFile(f.work + "m.Gipso", tempDir);
        EXPECT_EQ(load.status, MapLoad::Failed);
        EXPECT_EQ(load.error, "no private temporary folder to work in");
        EXPECT_THROW(saveMapFile(testPicture(), exampleCalibration(), f.work + "n.Gipso", tempDir, backing), GipsoError);
    }
    QDir::setCurrent(cwd);
    EXPECT_EQ(entries(f.work), QStringList({"evil.Gipso", "m.Gipso", "m.jpg", "sub.Gipso"}));
    EXPECT_EQ(readAll(f.work + "m.jpg"), "the user's own picture");
}

TEST(MapFiles, BadFilesFailAndLeaveNothingBehind)
{
    setLanguage(kEnglish);
    Folders f;
    const QString w = f.work;
    const QByteArray jpg = encoded(), bmp = encoded(testPicture(), "BMP");
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff,\x00\x00\x00\x00"
                         "\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;", 35);
    writeAll(w + "one.gif", gif);
    EXPECT_EQ(loadMapFile(w + "one.gif", f.temp).status, MapLoad::Loaded);

    QString none;
    MapCalibration nan = exampleCalibration(), same = nan;
    nan.lat2 = std::numeric_limits<double>::quiet_NaN();
    same.x2 = same.x1, same.yUp2 = same.yUp1;
    saveMapFile(testPicture(), nan, w + "nan.cal", f.temp, none);
    saveMapFile(testPicture(), same, w + "same.cal", f.temp, none);
    QByteArray flipped = container(jpg);
    flipped[100] = char(flipped[100] ^ 0x55); // inside the JPEG's data: CRC mismatch
    Members many;
    for (int i = 0; i <= 1000; ++i)
        many.push_back({"f" + QByteArray::number(i) + ".txt", "1"});
    // Two members named m.txt: the second one's name is changed after writing.
    const QByteArray twice = zipped({{"m.jpg", jpg}, {"m.txt", kExampleText}, {"n.txt", kExampleText}}).replace("n.txt", "m.txt");
    // Headers claiming 2^30 x 2^31 pixels (the product overflows 64 bits when multiplied by 4)
    // and 65535 x 65535; 8 MB of zeros deflated to a few kB; a JPEG larger than a picture file
    // may be (read whole, 20 GB of it crashed the program); a pipe.
    QByteArray bmpHuge = bmp.left(54);
    qToLittleEndian<qint32>(1 << 30, bmpHuge.data() + 18);
    qToLittleEndian<qint32>(std::numeric_limits<qint32>::min(), bmpHuge.data() + 22);
    qToLittleEndian<quint16>(8, bmpHuge.data() + 28);
    qToLittleEndian<quint32>(1, bmpHuge.data() + 30); // run-length data: no size to check it by
    writeAll(w + "sparse.jpg", jpg);
    ASSERT_TRUE(QFile(w + "sparse.jpg").resize((qint64(1) << 30) + 1)); // a hole: no disk is used
    ASSERT_EQ(mkfifo(QFile::encodeName(w + "pipe.jpg").constData(), 0600), 0);

    // Files without data here are made above. The reasons are what the user is shown.
    struct Bad {
        const char *name;
        QByteArray bytes;
        MapLoad::Status status;
        QString error;
    };
    const MapLoad::Status failed = MapLoad::Failed, rejected = MapLoad::CalibrationRejected;
    const Bad cases[] = {
        {"missing.jpg", {}, failed, "no such file"},
        {"text.jpg", "no picture", failed, "not a picture"},
        {"half.jpg", jpg.left(jpg.size() / 2), failed, "JPEG data cut short at byte " + QString::number(jpg.size() / 2)},
        {"half.bmp", bmp.left(bmp.size() / 2), failed, "BMP data cut short at byte " + QString::number(bmp.size() / 2)},
        {"cut.gif", gif.left(30), failed, "GIF data cut short at byte 30"},
        {"short.cal", QByteArray(63, 'x'), failed, "shorter than its calibration trailer"},
        {"junk.Gipso", QByteArray(5000, 'j'), failed, {}},
        {"nan.cal", {}, rejected, "calibration values out of range or degenerate"}, {"same.cal", {}, rejected, {}},
        {"flip.Gipso", flipped, failed, {}},
        {"locked.Gipso", container(jpg, kExampleText, "secret"), failed, {}}, {"many.Gipso", zipped(many), failed, {}},
        {"bigtext.Gipso", container(jpg, kExampleText + QByteArray(100000, '\n')), rejected, {}},
        {"notext.Gipso", zipped({{"m.jpg", jpg}}), rejected, "no .txt member in the container"},
        {"twice.Gipso", twice, failed, "the container holds two members of the same name"},
        {"huge.bmp", bmpHuge + QByteArray(1024, '\0'), failed, "picture of 1073741824 x 2147483648 pixels is too large"},
        {"huge.gif", QByteArray(gif).replace(6, 4, "\xff\xff\xff\xff"), failed, "picture of 65535 x 65535 pixels is too large"},
        // Found by the picture fuzzer: a header whose size overflowed the size check.
        {"fuzz.bmp", QByteArray::fromHex("424dffffff0100000000000000ffffffffffffff6d6d6d6d6d6d6d6d6d6d6d6d6d6d"
                                         "ffffffffffffffffffffffffffffffffffffffffffffffffff"), failed, {}},
        {"bomb.Gipso", container(jpg.left(4) + QByteArray(8 << 20, '\0')), failed, "m.jpg: inflates more than 100-fold"},
        {"sparse.jpg", {}, failed, "larger than 1073741824 bytes"},
        {"pipe.jpg", {}, failed, "not a regular file"},
    };
    for (const auto &[name, bytes, status, error] : cases) {
        SCOPED_TRACE(name);
        if (!bytes.isNull())
            writeAll(w + name, bytes);
        const MapLoad load = loadMapFile(w + name, f.temp);
        EXPECT_EQ(load.status, status);
        EXPECT_FALSE(load.error.isEmpty());
        EXPECT_TRUE(error.isEmpty() || load.error == error) << load.error.toStdString();
        EXPECT_EQ(load.picture.isNull(), status == MapLoad::Failed);
        EXPECT_FALSE(load.calibration.has_value());
        EXPECT_EQ(entries(f.temp), QStringList());
    }
}

TEST(MapFiles, OpeningAndSavingOnTheProgramState)
{
    Folders f;
    AppState st;
    st.tempDir = f.temp;
    const auto recents = [&] { return QStringList({recentMap(st.settings, 1), recentMap(st.settings, 2), recentMap(st.settings, 3)}); };
    QString none;
    for (const char *name : {"a.cal", "b.cal", "c.cal", "d.cal"})
        saveMapFile(testPicture(), exampleCalibration(), f.work + name, f.temp, none);

    // Recent maps: newest first, a listed map keeps its place, a fourth drops the oldest.
    for (const char *name : {"a.cal", "b.cal", "c.cal", "a.cal"})
        openMapFile(st, f.work + name);
    EXPECT_EQ(recents(), QStringList({f.work + "c.cal", f.work + "b.cal", f.work + "a.cal"}));
    openMapFile(st, f.work + "d.cal");
    EXPECT_EQ(recents(), QStringList({f.work + "d.cal", f.work + "c.cal", f.work + "b.cal"}));
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);

    // A container: its JPEG backs the map.
    const QByteArray jpg = encoded(testPicture(64, 48));
    writeAll(f.work + "one.Gipso", container(jpg));
    openMapFile(st, f.work + "one.Gipso");
    EXPECT_EQ(st.tempMapFile, f.temp + "m.jpg");
    EXPECT_EQ(recentMap(st.settings, 1), f.work + "one.Gipso");

    // Saving as another container moves the backing JPEG (the picture is not encoded again:
    // the JPEG of another picture comes out) and clears mapModified; a failed save keeps the flag.
    st.store.mapModified = true;
    st.mapPicture = testPicture();
    saveCalibratedMapFile(st, f.work + "two.Gipso");
    saveCalibratedMapFile(st, f.work + "two.Gipso"); // the backing JPEG has that name already
    EXPECT_FALSE(st.store.mapModified);
    EXPECT_EQ(st.tempMapFile, f.temp + "two.jpg");
    EXPECT_EQ(entries(f.temp), QStringList({"two.jpg"}));
    EXPECT_EQ(readAll(st.tempMapFile), jpg);
    st.store.mapModified = true;
    EXPECT_THROW(saveCalibratedMapFile(st, f.work + "no/such/dir/x.Gipso"), GipsoError);
    EXPECT_TRUE(st.store.mapModified);
    EXPECT_TRUE(QFileInfo::exists(st.tempMapFile)); // wherever it went before the failure

    // A file that is no map leaves the map shown and the list alone.
    const QString backing = st.tempMapFile;
    writeAll(f.work + "broken.Gipso", "PK broken");
    EXPECT_EQ(openMapFile(st, f.work + "broken.Gipso").status, MapLoad::Failed);
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(st.tempMapFile, backing);
    EXPECT_EQ(recentMap(st.settings, 1), f.work + "one.Gipso");

    // A rejected calibration: the picture opens uncalibrated, the list stays, and neither its
    // extracted JPEG nor the one of the picture no longer shown stays behind.
    writeAll(f.work + "bad.Gipso", container(encoded(testPicture(50, 40)), QByteArray(kExampleText).replace("45.1\r\n", "91\r\n")));
    EXPECT_EQ(openMapFile(st, f.work + "bad.Gipso").status, MapLoad::CalibrationRejected);
    EXPECT_EQ(st.mapMode, MapMode::Uncalibrated);
    EXPECT_EQ(QSize(st.mapWidth, st.mapHeight), QSize(50, 40));
    EXPECT_EQ(recentMap(st.settings, 1), f.work + "one.Gipso");
    EXPECT_EQ(entries(f.temp), QStringList());
    EXPECT_TRUE(st.tempMapFile.isEmpty());
}

TEST(JpegSave, RightSideUpKeepingTheReplacedFilesTimesElseError26001)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/map.jpg";
    const QImage img = testPicture(37, 21); // odd width: padded rows in the bitmap buffer
    // An older file of the same name: its times and permissions go over to the new one.
    writeAll(path, "old");
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    const QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile::setPermissions(path, perms);
    const QString direct = dir.path() + "/direct.jpg";
    for (const QImage &picture : {img, img.convertToFormat(QImage::Format_Indexed8), img.convertToFormat(QImage::Format_ARGB32)}) {
        DibBuffer dib;
        ASSERT_TRUE(dib.copyFrom(picture));
        saveJpeg(dib, path, 95);
        // Straight from the picture's own pixels: the same bytes, without the buffer's copy.
        saveJpeg(picture, direct, 95);
        EXPECT_EQ(readAll(direct), readAll(path));
        EXPECT_EQ(QFileInfo(path).lastModified(), old);
        EXPECT_EQ(QFileInfo(path).permissions() & QFile::Permissions(0x7077), perms);
        const QImage back = QImage::fromData(readAll(path), "JPG");
        EXPECT_EQ(back.size(), img.size());
        EXPECT_TRUE(qRed(back.pixel(2, 2)) > 220 && qGreen(back.pixel(2, 2)) < 40);   // red top-left
        EXPECT_TRUE(qBlue(back.pixel(30, 18)) > 220 && qRed(back.pixel(30, 18)) < 40); // blue bottom-right
    }

    // A failure raises 26001 and leaves nothing behind.
    QFile::remove(path);
    QFile::remove(direct);
    DibBuffer dib;
    ASSERT_TRUE(dib.copyFrom(img));
    try {
        saveJpeg(dib, dir.path() + "/no/such/folder/x.jpg", 95);
        FAIL() << "no error";
    } catch (const GipsoError &e) {
        EXPECT_EQ(e.number(), 26001);
        EXPECT_TRUE(e.description().startsWith(formatMessage(messageText(msg::JpegSaveFailed), {QString()})));
    }
    EXPECT_FALSE(DibBuffer().copyFrom(QImage()));
    EXPECT_THROW(saveJpeg(DibBuffer(), dir.path() + "/empty.jpg", 95), GipsoError);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}
