#include "map/MapFiles.h"

#include "state/AppState.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "base/TextCodec.h"
#include "base/SafeFile.h"
#include "map/JpegSave.h"
#include "map/TempFolder.h"
#include "map/Zip.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QLocale>
#include <QTemporaryFile>
#include <QtEndian>
#include <cstring>
#include <utility>

namespace gipso {

namespace {

bool endsWith(const QString &path, const char *ext) { return path.endsWith(QLatin1String(ext), Qt::CaseInsensitive); }

// A container's name without its ".Gipso" (in any case).
QString withoutContainerSuffix(const QString &name) { return name.left(name.size() - 6); }

void setStored(MapCalibration &c, const std::array<double, 8> &v)
{
    c.x1 = v[0];
    c.yUp1 = v[1];
    c.x2 = v[2];
    c.yUp2 = v[3];
    c.lon1 = v[4];
    c.lat1 = v[5];
    c.lon2 = v[6];
    c.lat2 = v[7];
}

// The ".cal" trailer: the eight stored numbers as little-endian doubles.
constexpr int kCalTrailerSize = 64;

QByteArray calibrationTrailer(const MapCalibration &c)
{
    QByteArray out(kCalTrailerSize, '\0');
    const auto v = storedNumbers(c);
    for (int i = 0; i < 8; ++i) {
        quint64 bits;
        std::memcpy(&bits, &v[size_t(i)], 8);
        qToLittleEndian(bits, out.data() + i * 8);
    }
    return out;
}

bool readCalibrationTrailer(const QByteArray &trailer, MapCalibration &c)
{
    if (trailer.size() != kCalTrailerSize)
        return false;
    std::array<double, 8> v;
    for (int i = 0; i < 8; ++i) {
        const quint64 bits = qFromLittleEndian<quint64>(trailer.constData() + i * 8);
        std::memcpy(&v[size_t(i)], &bits, 8);
    }
    setStored(c, v);
    return true;
}

// Takes the numbers read from a file as the calibration, when they are usable.
bool takeCalibration(const MapCalibration &read, MapLoad &load)
{
    if (!calibrationUsable(read)) {
        load.error = messageText(msg::CalibrationOutOfRange);
        return false;
    }
    MapCalibration c = read;
    computeCalibration(c);
    load.calibration = c;
    return true;
}

// Takes what was read of the picture; false when there is none.
bool takePicture(PictureRead &&read, MapLoad &load)
{
    load.picture = std::move(read.picture);
    load.size = read.size;
    load.reduction = read.reduction;
    load.fullJpeg = std::move(read.fullJpeg);
    load.error = read.error;
    return !load.picture.isNull();
}

void loadCal(const QString &path, const FirstView &firstView, MapLoad &load)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        load.error = f.errorString();
        return;
    }
    if (f.size() < kCalTrailerSize) {
        load.error = messageText(msg::CalibrationMissing);
        return;
    }
    QByteArray trailer;
    if (f.seek(f.size() - kCalTrailerSize))
        trailer = f.read(kCalTrailerSize);
    f.close();
    if (!takePicture(readMapPicture(path, firstView), load))
        return;
    MapCalibration c;
    if (!readCalibrationTrailer(trailer, c)) {
        load.error = messageText(msg::CalibrationUnreadable);
        load.status = MapLoad::CalibrationRejected;
        return;
    }
    load.status = takeCalibration(c, load) ? MapLoad::Loaded : MapLoad::CalibrationRejected;
}


void loadContainer(const QString &path, const QString &tempDir, const FirstView &firstView, MapLoad &load)
{
    if (!usableTempDir(tempDir)) {
        load.error = messageText(msg::NoTempFolderToWork);
        return;
    }
    ZipReader unzip;
    if (!unzip.open(path, &load.error))
        return;
    // As the program always did: the last ".jpg" and the last ".txt" member are the map.
    const ZipReader::Member *image = nullptr;
    const ZipReader::Member *text = nullptr;
    for (const ZipReader::Member &m : unzip.members()) {
        if (endsWith(m.name, ".jpg"))
            image = &m;
        else if (endsWith(m.name, ".txt"))
            text = &m;
    }
    if (!image) {
        load.error = formatMessage(messageText(msg::ContainerNoMember), {QStringLiteral(".jpg")});
        return;
    }
    const QString imageBase = ZipReader::safeBaseName(image->name);
    if (imageBase.isEmpty()) {
        load.error = formatMessage(messageText(msg::ContainerUnsafeName), {image->name});
        return;
    }

    // Extract under a fresh name first, so a failure never touches a JPEG that backs the
    // map shown now (it may have the same name).
    QString partial;
    {
        QTemporaryFile t(tempDir + QStringLiteral("extract-XXXXXX.part"));
        t.setAutoRemove(false);
        if (!t.open()) {
            load.error = QStringLiteral("%1: %2").arg(tempDir, t.errorString());
            return;
        }
        partial = t.fileName();
    }
    struct Cleanup {
        QString path;
        ~Cleanup()
        {
            if (!path.isEmpty())
                QFile::remove(path);
        }
    } cleanup{partial};

    if (!unzip.extract(*image, partial, kMaxImageMemberBytes, &load.error))
        return;
    if (!takePicture(readMapPicture(partial, firstView), load))
        return;

    load.status = MapLoad::CalibrationRejected;
    const QString textBase = text ? ZipReader::safeBaseName(text->name) : QString();
    QByteArray bytes;
    MapCalibration c;
    if (!text)
        load.error = formatMessage(messageText(msg::ContainerNoMember), {QStringLiteral(".txt")});
    else if (textBase.isEmpty())
        load.error = formatMessage(messageText(msg::ContainerUnsafeName), {text->name});
    else if (!unzip.read(*text, kMaxTextMemberBytes, bytes, &load.error))
        ;
    else if (!parseCalibrationText(bytes, c))
        load.error = messageText(msg::CalibrationUnreadable);
    else if (takeCalibration(c, load))
        load.status = MapLoad::Loaded;
    if (load.status != MapLoad::Loaded)
        return; // the extracted JPEG goes with the rejected calibration

    load.imagePath = tempDir + imageBase;
    if (QFileInfo::exists(load.imagePath))
        QFile::remove(load.imagePath);
    if (!QFile::rename(partial, load.imagePath)) {
        load.error = formatMessage(messageText(msg::ExtractedImageNotKept), {load.imagePath});
        load.status = MapLoad::Failed;
        load.calibration.reset();
        return;
    }
    cleanup.path.clear();
}

// Newest first; a map already in the list keeps its place; the oldest of three drops out.
void rememberRecentMap(Settings &s, const QString &path)
{
    if (path.isEmpty() || path == s.LastMap1 || path == s.LastMap2 || path == s.LastMap3)
        return;
    s.LastMap3 = s.LastMap2;
    s.LastMap2 = s.LastMap1;
    s.LastMap1 = path;
}

GipsoError saveError(const QString &path, const QString &why)
{
    return GipsoError(err::FileIo, QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why));
}

} // namespace

MapFileKind mapFileKind(const QString &path)
{
    if (endsWith(path, ".cal"))
        return MapFileKind::Cal;
    if (endsWith(path, ".Gipso"))
        return MapFileKind::Container;
    return MapFileKind::Picture;
}

bool isMapFileName(const QString &path)
{
    for (const char *ext : {".Gipso", ".cal", ".bmp", ".gif", ".jpg", ".jpeg"})
        if (endsWith(path, ext))
            return true;
    return false;
}

bool isPointFileName(const QString &path) { return endsWith(path, ".txt") || endsWith(path, ".gpx"); }

std::array<double, 8> storedNumbers(const MapCalibration &c)
{
    return {c.x1, c.yUp1, c.x2, c.yUp2, c.lon1, c.lat1, c.lon2, c.lat2};
}

QString storedNumberText(double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); }

QByteArray calibrationText(const MapCalibration &c)
{
    QByteArray out;
    for (double v : storedNumbers(c))
        out += storedNumberText(v).toLatin1() + "\r\n";
    return out;
}

bool parseCalibrationText(const QByteArray &text, MapCalibration &c)
{
    const QLocale cLocale = QLocale::c();
    std::array<double, 8> v;
    size_t n = 0;
    for (const QString &line : decodeText(text).split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (t.isEmpty())
            continue; // blank lines and the final line break
        if (n == v.size())
            return false;
        bool ok = false;
        v[n++] = cLocale.toDouble(t, &ok);
        if (!ok)
            return false;
    }
    if (n != v.size())
        return false;
    setStored(c, v);
    return true;
}

MapLoad loadMapFile(const QString &path, const QString &tempDir, const FirstView &firstView)
{
    MapLoad load;
    // A pipe or a device would block or never end.
    if (!QFileInfo(path).isFile()) {
        load.error = messageText(QFileInfo::exists(path) ? msg::NotAFileToRead : msg::NoSuchFile);
        return load;
    }
    switch (mapFileKind(path)) {
    case MapFileKind::Cal:
        loadCal(path, firstView, load);
        break;
    case MapFileKind::Container:
        loadContainer(path, tempDir, firstView, load);
        break;
    case MapFileKind::Picture:
        if (takePicture(readMapPicture(path, firstView), load))
            load.status = MapLoad::Loaded;
        break;
    }
    if (load.status == MapLoad::Failed) {
        load.picture = QImage();
        load.fullJpeg.clear();
        load.reduction = 1;
    }
    if (load.status != MapLoad::Loaded && load.error.isEmpty())
        load.error = messageText(msg::NotAMapFile);
    return load;
}

MapLoad openMapFile(AppState &st, const QString &path)
{
    MapLoad load = loadMapFile(path, st.tempDir);
    showMapLoad(st, load, path);
    return load;
}

void showMapLoad(AppState &st, const MapLoad &load, const QString &path)
{
    if (load.status == MapLoad::Failed)
        return;
    st.mapPicture = load.picture;
    st.mapPictureReduction = load.reduction;
    st.mapWidth = load.size.width();
    st.mapHeight = load.size.height();
    st.calibration = load.calibration.value_or(MapCalibration());
    st.mapMode = load.calibration ? MapMode::Calibrated : MapMode::Uncalibrated;

    // The old backing JPEG belongs to a picture that is no longer shown.
    if (!st.tempMapFile.isEmpty() && st.tempMapFile != load.imagePath && QFileInfo::exists(st.tempMapFile))
        QFile::remove(st.tempMapFile);
    st.tempMapFile = load.imagePath;

    // A map whose full picture is still to come is remembered when it has come.
    if (load.status == MapLoad::Loaded && load.reduction == 1)
        rememberRecentMap(st.settings, path);
}

void closeMap(AppState &st)
{
    st.mapPicture = QImage();
    st.mapPictureReduction = 1;
    st.mapWidth = st.mapHeight = 0;
    st.calibration = MapCalibration();
    st.mapMode = MapMode::NoMap;
    st.store.mapModified = false;
    if (!st.tempMapFile.isEmpty())
        QFile::remove(st.tempMapFile);
    st.tempMapFile.clear();
}

MapOpener::MapOpener(AppState &state, std::function<void()> notify) : st_(state), notify_(std::move(notify)) {}

MapOpener::~MapOpener() = default;

MapLoad MapOpener::open(const QString &path, const FirstView &firstView)
{
    MapLoad load = loadMapFile(path, st_.tempDir, firstView);
    show(load, path);
    return load;
}

void MapOpener::show(const MapLoad &load, const QString &path)
{
    if (load.status == MapLoad::Failed)
        return;
    cancel(); // the decode of the map shown so far
    showMapLoad(st_, load, path);
    if (load.reduction > 1) {
        path_ = path;
        remember_ = load.status == MapLoad::Loaded;
        decode_ = std::make_unique<JpegDecodeThread>(load.fullJpeg, notify_);
    }
}

int MapOpener::percent() const { return decode_ ? decode_->percent() : 100; }

MapOpener::Step MapOpener::collect(QString *error)
{
    if (!decode_)
        return Step::Idle;
    if (!decode_->finished())
        return Step::Decoding;
    decode_->wait();
    JpegDecode d = decode_->take();
    decode_.reset();
    const QString path = std::exchange(path_, QString());
    if (d.picture.isNull() || d.picture.size() != QSize(st_.mapWidth, st_.mapHeight)) {
        if (error)
            *error = d.error.isEmpty() ? messageText(msg::NotAPicture) : d.error;
        closeMap(st_);
        return Step::Failed;
    }
    st_.mapPicture = std::move(d.picture);
    st_.mapPictureReduction = 1;
    if (remember_)
        rememberRecentMap(st_.settings, path);
    return Step::Finished;
}

void MapOpener::wait()
{
    if (decode_)
        decode_->wait();
}

void MapOpener::cancel()
{
    decode_.reset();
    path_.clear();
}

QString recentMap(const Settings &s, int k) { return k == 1 ? s.LastMap1 : k == 2 ? s.LastMap2 : s.LastMap3; }

QString saveMapFile(const QImage &picture, const MapCalibration &c, const QString &path, const QString &tempDir,
                    QString &backingJpeg)
{
    if (picture.isNull())
        throw saveError(path, messageText(msg::NoMapLoaded));
    switch (mapFileKind(path)) {
    case MapFileKind::Cal: {
        AtomicWriter w(path);
        QString why;
        if (!w.open(&why))
            throw saveError(path, why);
        QImageWriter writer(&w.file(), "bmp");
        // A 24-bit BMP, as the picture-saving function of the program's first platform wrote.
        const bool ok = picture.hasAlphaChannel() ? writer.write(picture.convertToFormat(QImage::Format_RGB32))
                                                  : writer.write(picture);
        if (!ok)
            throw saveError(path, writer.errorString());
        w.write(calibrationTrailer(c));
        if (!w.commit(&why))
            throw saveError(path, why);
        return path;
    }
    case MapFileKind::Container: {
        if (!usableTempDir(tempDir))
            throw saveError(path, messageText(msg::NoTempFolderToWork));
        const QString base = withoutContainerSuffix(QFileInfo(path).fileName());
        const QString imagePath = tempDir + base + QStringLiteral(".jpg");
        const QString textPath = tempDir + base + QStringLiteral(".txt");
        if (backingJpeg.isEmpty() || !QFileInfo::exists(backingJpeg)) {
            saveJpeg(picture, imagePath, kJpegQuality);
        } else if (backingJpeg != imagePath) {
            // The picture is already encoded: move its JPEG, never encode it twice.
            QFile::remove(imagePath);
            if (!QFile::rename(backingJpeg, imagePath))
                throw saveError(path, QStringLiteral("cannot move %1").arg(backingJpeg));
        }
        backingJpeg = imagePath;
        QString why;
        if (!writeFileAtomically(textPath, calibrationText(c), &why))
            throw saveError(path, why);
        const QString archive = path; // as named: "x.gipso" is not turned into "x.Gipso"
        ZipWriter zip;
        zip.addFile(imagePath, true); // JPEG data does not shrink
        zip.addFile(textPath);
        const bool ok = zip.write(archive, &why);
        QFile::remove(textPath);
        if (!ok)
            throw saveError(archive, why);
        return archive;
    }
    case MapFileKind::Picture:
        break;
    }
    throw saveError(path, QStringLiteral("not a .cal or .Gipso name"));
}

QString saveCalibratedMapFile(AppState &st, const QString &path)
{
    QString backing = st.tempMapFile;
    // Never a reduced first view: only a container whose JPEG backs the map needs no picture.
    const bool needsPicture = mapFileKind(path) != MapFileKind::Container || backing.isEmpty() || !QFileInfo::exists(backing);
    if (st.mapPictureReduction != 1 && needsPicture)
        throw saveError(path, messageText(msg::MapStillLoading));
    QString written;
    try {
        written = saveMapFile(st.mapPicture, st.calibration, path, st.tempDir, backing);
    } catch (...) {
        st.tempMapFile = backing; // it may have moved before the failure
        throw;
    }
    st.tempMapFile = backing;
    st.store.mapModified = false;
    return written;
}

} // namespace gipso
