#include "base/Error.h"
#include "map/MapFiles.h"
#include "map/Zip.h"
#include "state/AppState.h"
#include "support/CliRunner.h"
#include "support/MapSupport.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>
#include <zip.h>

using namespace gipso;
using namespace gipso::test;

namespace {

// Top-left quarter red, bottom-right blue: catches upside-down output.
QImage testPicture(int w = 320, int h = 240)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, h / 2, w / 2, h / 2, Qt::blue);
    return img;
}

QByteArray encoded(const QImage &img, const char *format)
{
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format, 90);
    return b;
}

// Writes an archive with the given members (name, data); a password encrypts them.
bool makeZip(const QString &path, const std::vector<std::pair<QByteArray, QByteArray>> &members,
             const char *password = nullptr)
{
    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za)
        return false;
    for (const auto &[name, data] : members) {
        // The members' data stays alive in the vector until zip_close.
        zip_source_t *src = zip_source_buffer(za, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t idx = zip_file_add(za, name.constData(), src, ZIP_FL_OVERWRITE);
        if (idx < 0)
            return false;
        if (password)
            zip_file_set_encryption(za, zip_uint64_t(idx), ZIP_EM_AES_256, password);
    }
    return zip_close(za) == 0;
}

QStringList entries(const QString &dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }

// The example calibration in the container's layout.
const QByteArray kExampleText = "100\r\n-100\r\n300\r\n-300\r\n9\r\n45.1\r\n9.2\r\n45\r\n";

// Where map files are written, and the program's private temporary folder.
struct Folders {
    QTemporaryDir workDir, tempDir;
    QString work = workDir.path() + '/', temp = tempDir.path() + '/';
};

} // namespace

TEST(MapFiles, CalFileIsBmpThenLittleEndianTrailerAndReopens)
{
    EXPECT_EQ(mapFileKind("/x.cal/a.jpg"), MapFileKind::Picture);
    Folders f;
    const QImage pic = testPicture();
    const MapCalibration c = exampleCalibration();
    QString backing;
    const QString path = f.work + "map.CAL";
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
    EXPECT_EQ(storedNumbers(*load.calibration), storedNumbers(c));
    EXPECT_DOUBLE_EQ(load.calibration->scale, c.scale);
    EXPECT_EQ(load.picture.convertToFormat(QImage::Format_RGB32), pic);
    EXPECT_TRUE(entries(f.temp).isEmpty());
}

TEST(MapFiles, ContainerIsReadByUnzipAndReopensExactly)
{
    Folders f;
    MapCalibration c = exampleCalibration();
    c.lon1 = 9.123456789012345; // needs all digits to come back
    computeCalibration(c);
    QString backing;
    const QString written = saveMapFile(testPicture(), c, f.work + "Valle.GIPSO", f.temp, backing);
    EXPECT_EQ(written, f.work + "Valle.Gipso"); // the extension is written as the program spells it
    EXPECT_EQ(backing, f.temp + "Valle.jpg");
    EXPECT_EQ(entries(f.temp), QStringList({"Valle.jpg"})); // the text member is not left behind

    EXPECT_EQ(runProgram("unzip", {"-t", written}).status, 0);
    EXPECT_EQ(runProgram("unzip", {"-Z1", written}).out.split('\n', Qt::SkipEmptyParts), QStringList({"Valle.jpg", "Valle.txt"}));

    Folders g;
    const MapLoad load = loadMapFile(written, g.temp);
    ASSERT_EQ(load.status, MapLoad::Loaded) << load.error.toStdString();
    EXPECT_EQ(storedNumbers(*load.calibration), storedNumbers(c));
    EXPECT_EQ(load.imagePath, g.temp + "Valle.jpg");
    EXPECT_EQ(entries(g.temp), QStringList({"Valle.jpg"}));

}

TEST(MapFiles, HandMadeContainerWithAnyNamesOpens)
{
    Folders f;
    writeAll(f.work + "any.jpg", encoded(testPicture(200, 100), "JPG"));
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

TEST(MapFiles, MemberNamesNeverLeaveTheTemporaryFolder)
{
    Folders f;
    const QByteArray jpg = encoded(testPicture(), "JPG");
    const QString sub = f.temp + "inner/"; // the temporary folder, one level down
    QDir().mkpath(sub);
    for (const char *name : {"../x.jpg", "/tmp/gipso-escape.jpg", "a/../../x.jpg", "C:\\x.jpg", "..\\x.jpg"}) {
        ASSERT_TRUE(makeZip(f.work + "evil.Gipso", {{name, jpg}, {"m.txt", kExampleText}})) << name;
        EXPECT_EQ(loadMapFile(f.work + "evil.Gipso", sub).status, MapLoad::Failed) << name;
        EXPECT_EQ(entries(sub), QStringList()) << name;
        EXPECT_EQ(entries(f.temp), QStringList()) << name;
    }
    EXPECT_FALSE(QFileInfo::exists("/tmp/gipso-escape.jpg"));
    // A member in a folder goes in under its base name.
    ASSERT_TRUE(makeZip(f.work + "sub.Gipso", {{"maps/m.jpg", jpg}, {"maps/m.txt", kExampleText}}));
    const MapLoad load = loadMapFile(f.work + "sub.Gipso", sub);
    ASSERT_EQ(load.status, MapLoad::Loaded) << load.error.toStdString();
    EXPECT_EQ(load.imagePath, sub + "m.jpg");
    EXPECT_EQ(entries(sub), QStringList({"m.jpg"}));
    EXPECT_EQ(ZipReader::safeBaseName("dir/"), "");
}

TEST(MapFiles, BadFilesFailAndLeaveNothingBehind)
{
    Folders f;
    const QString w = f.work;
    const QByteArray jpg = encoded(testPicture(), "JPG");
    const QByteArray bmp = encoded(testPicture(), "BMP");
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
    ASSERT_TRUE(makeZip(w + "ok.Gipso", {{"m.jpg", jpg}, {"m.txt", kExampleText}}));
    QByteArray flipped = readAll(w + "ok.Gipso");
    flipped[100] = char(flipped[100] ^ 0x55); // inside the JPEG's data: CRC mismatch
    std::vector<std::pair<QByteArray, QByteArray>> many(1001, {"f.txt", "1"});
    for (size_t i = 0; i < many.size(); ++i)
        many[i].first = "f" + QByteArray::number(qulonglong(i)) + ".txt";
    ASSERT_TRUE(makeZip(w + "locked.Gipso", {{"m.jpg", jpg}, {"m.txt", kExampleText}}, "secret"));
    ASSERT_TRUE(makeZip(w + "many.Gipso", many));
    ASSERT_TRUE(makeZip(w + "bigtext.Gipso", {{"m.jpg", jpg}, {"m.txt", kExampleText + QByteArray(100000, '\n')}}));
    ASSERT_TRUE(makeZip(w + "notext.Gipso", {{"m.jpg", jpg}}));
    // Two members named m.txt: the second one's name is changed after writing.
    ASSERT_TRUE(makeZip(w + "twice.Gipso", {{"m.jpg", jpg}, {"m.txt", kExampleText}, {"n.txt", kExampleText}}));
    writeAll(w + "twice.Gipso", readAll(w + "twice.Gipso").replace("n.txt", "m.txt"));
    // Headers claiming 2^30 x 2^31 pixels (the product overflows 64 bits when multiplied by 4)
    // and 65535 x 65535; 8 MB of zeros deflated to a few kB; a JPEG larger than a picture file
    // may be (read whole, 20 GB of it crashed the program); a pipe.
    QByteArray bmpHuge = bmp.left(54);
    qToLittleEndian<qint32>(1 << 30, bmpHuge.data() + 18);
    qToLittleEndian<qint32>(std::numeric_limits<qint32>::min(), bmpHuge.data() + 22);
    qToLittleEndian<quint16>(8, bmpHuge.data() + 28);
    qToLittleEndian<quint32>(1, bmpHuge.data() + 30); // run-length data: no size to check it by
    QByteArray gifHuge = gif;
    gifHuge.replace(6, 4, "\xff\xff\xff\xff");
    ASSERT_TRUE(makeZip(w + "bomb.Gipso", {{"m.jpg", jpg.left(4) + QByteArray(8 << 20, '\0')}, {"m.txt", kExampleText}}));
    writeAll(w + "sparse.jpg", jpg);
    ASSERT_TRUE(QFile(w + "sparse.jpg").resize((qint64(1) << 30) + 1)); // a hole: no disk is used
    ASSERT_EQ(mkfifo(QFile::encodeName(w + "pipe.jpg").constData(), 0600), 0);
    for (const auto &[name, bytes] : std::vector<std::pair<const char *, QByteArray>>{
             {"text.jpg", "no picture"}, {"half.jpg", jpg.left(jpg.size() / 2)}, {"half.bmp", bmp.left(bmp.size() / 2)},
             {"cut.gif", gif.left(30)}, {"short.cal", QByteArray(63, 'x')}, {"junk.Gipso", QByteArray(5000, 'j')},
             {"flip.Gipso", flipped}, {"huge.bmp", bmpHuge + QByteArray(1024, '\0')}, {"huge.gif", gifHuge},
             // Found by the picture fuzzer: a header whose size overflowed the size check.
             {"fuzz.bmp", QByteArray::fromHex("424dffffff0100000000000000ffffffffffffff6d6d6d6d6d6d6d6d6d6d6d6d6d6d"
                                              "ffffffffffffffffffffffffffffffffffffffffffffffffff")}})
        writeAll(w + name, bytes);

    // Where the reason matters it is given.
    const std::vector<std::tuple<const char *, MapLoad::Status, QString>> cases = {
        {"text.jpg", MapLoad::Failed, {}},         {"half.jpg", MapLoad::Failed, {}},
        {"half.bmp", MapLoad::Failed, {}},         {"cut.gif", MapLoad::Failed, {}},
        {"short.cal", MapLoad::Failed, {}},        {"nan.cal", MapLoad::CalibrationRejected, {}},
        {"same.cal", MapLoad::CalibrationRejected, {}}, {"junk.Gipso", MapLoad::Failed, {}},
        {"flip.Gipso", MapLoad::Failed, {}},       {"locked.Gipso", MapLoad::Failed, {}},
        {"many.Gipso", MapLoad::Failed, {}},       {"bigtext.Gipso", MapLoad::CalibrationRejected, {}},
        {"notext.Gipso", MapLoad::CalibrationRejected, {}},
        {"twice.Gipso", MapLoad::Failed, "the container holds two members of the same name"},
        {"huge.bmp", MapLoad::Failed, "BMP of 1073741824 x 2147483648 pixels refused"},
        {"huge.gif", MapLoad::Failed, "GIF of 65535 x 65535 pixels refused"},
        {"fuzz.bmp", MapLoad::Failed, {}},
        {"bomb.Gipso", MapLoad::Failed, "m.jpg: inflates more than 100-fold"},
        {"sparse.jpg", MapLoad::Failed, "file of 1073741825 bytes is too large"},
        {"pipe.jpg", MapLoad::Failed, "not a regular file"},
    };
    for (const auto &[name, status, error] : cases) {
        const MapLoad load = loadMapFile(w + name, f.temp);
        EXPECT_EQ(load.status, status) << name << ": " << load.error.toStdString();
        EXPECT_FALSE(load.error.isEmpty()) << name;
        if (!error.isEmpty()) {
            EXPECT_EQ(load.error, error) << name;
        }
        EXPECT_EQ(load.picture.isNull(), status == MapLoad::Failed) << name;
        EXPECT_FALSE(load.calibration.has_value()) << name;
        EXPECT_EQ(entries(f.temp), QStringList()) << name;
    }
}

TEST(MapFiles, ContainersAreNeverWorkedOnOutsideAPrivateTemporaryFolder)
{
    // The current folder holds a picture of the user's with the name of the container's image.
    Folders f;
    ASSERT_TRUE(makeZip(f.work + "m.Gipso", {{"m.jpg", encoded(testPicture(), "JPG")}, {"m.txt", kExampleText}}));
    writeAll(f.work + "m.jpg", "the user's own picture");
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(f.work);
    QString backing;
    for (const QString &tempDir : {QString(), QString("./"), f.work + "missing/"}) {
        const MapLoad load = loadMapFile(f.work + "m.Gipso", tempDir);
        EXPECT_EQ(load.status, MapLoad::Failed) << tempDir.toStdString();
        EXPECT_EQ(load.error, "no private temporary folder to work in") << tempDir.toStdString();
        EXPECT_THROW(saveMapFile(testPicture(), exampleCalibration(), f.work + "n.Gipso", tempDir, backing), GipsoError);
    }
    QDir::setCurrent(cwd);
    EXPECT_EQ(entries(f.work), QStringList({"m.Gipso", "m.jpg"}));
    EXPECT_EQ(readAll(f.work + "m.jpg"), "the user's own picture");
}

TEST(MapFiles, OpeningAndSavingOnTheProgramState)
{
    Folders f;
    AppState st;
    st.tempDir = f.temp;
    QString none;
    for (const char *name : {"a.cal", "b.cal", "c.cal", "d.cal"})
        saveMapFile(testPicture(), exampleCalibration(), f.work + name, f.temp, none);

    // Recent maps: newest first, a listed map keeps its place, a fourth drops the oldest.
    for (const char *name : {"a.cal", "b.cal", "c.cal", "a.cal"})
        openMapFile(st, f.work + name);
    EXPECT_EQ(QStringList({recentMap(st.settings, 1), recentMap(st.settings, 2), recentMap(st.settings, 3)}),
              QStringList({f.work + "c.cal", f.work + "b.cal", f.work + "a.cal"}));
    openMapFile(st, f.work + "d.cal");
    EXPECT_EQ(QStringList({recentMap(st.settings, 1), recentMap(st.settings, 2), recentMap(st.settings, 3)}),
              QStringList({f.work + "d.cal", f.work + "c.cal", f.work + "b.cal"}));
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);

    // A container: its JPEG backs the map.
    const QByteArray jpg = encoded(testPicture(64, 48), "JPG");
    ASSERT_TRUE(makeZip(f.work + "one.Gipso", {{"m.jpg", jpg}, {"m.txt", kExampleText}}));
    openMapFile(st, f.work + "one.Gipso");
    EXPECT_EQ(st.tempMapFile, f.temp + "m.jpg");
    EXPECT_EQ(recentMap(st.settings, 1), f.work + "one.Gipso");

    // Saving as another container moves the backing JPEG (the picture is not encoded again:
    // the JPEG of another picture comes out) and clears mapModified; a failed save keeps the
    // flag and the old file whole.
    st.store.mapModified = true;
    st.mapPicture = testPicture();
    saveCalibratedMapFile(st, f.work + "two.Gipso");
    saveCalibratedMapFile(st, f.work + "two.Gipso"); // the backing JPEG has that name already
    EXPECT_FALSE(st.store.mapModified);
    EXPECT_EQ(st.tempMapFile, f.temp + "two.jpg");
    EXPECT_EQ(entries(f.temp), QStringList({"two.jpg"}));
    EXPECT_EQ(readAll(st.tempMapFile), jpg);
    st.store.mapModified = true;
    const QByteArray before = readAll(f.work + "two.Gipso");
    EXPECT_THROW(saveCalibratedMapFile(st, f.work + "no/such/dir/x.Gipso"), GipsoError);
    EXPECT_TRUE(st.store.mapModified);
    EXPECT_EQ(readAll(f.work + "two.Gipso"), before);
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
    QByteArray text = kExampleText;
    text.replace("45.1\r\n", "91\r\n");
    ASSERT_TRUE(makeZip(f.work + "bad.Gipso", {{"m.jpg", encoded(testPicture(50, 40), "JPG")}, {"m.txt", text}}));
    EXPECT_EQ(openMapFile(st, f.work + "bad.Gipso").status, MapLoad::CalibrationRejected);
    EXPECT_EQ(st.mapMode, MapMode::Uncalibrated);
    EXPECT_EQ(QSize(st.mapWidth, st.mapHeight), QSize(50, 40));
    EXPECT_EQ(recentMap(st.settings, 1), f.work + "one.Gipso");
    EXPECT_EQ(entries(f.temp), QStringList());
    EXPECT_TRUE(st.tempMapFile.isEmpty());
}
