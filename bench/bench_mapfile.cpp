// Opening a 10000 x 10000 JPEG map container and saving it again (the backing JPEG is moved,
// not encoded again); times and peak memory of each step.
#include "map/JpegSave.h"
#include "map/MapFiles.h"
#include "map/DibBuffer.h"
#include "map/Zip.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace gipso;

namespace {

constexpr int kSide = 10000;

double peakMegabytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

MapCalibration calibration()
{
    MapCalibration c;
    c.x1 = 100, c.yUp1 = -100, c.x2 = 9900, c.yUp2 = -9900;
    c.lat1 = 46.0, c.lon1 = 9.0, c.lat2 = 45.5, c.lon2 = 9.7;
    return c;
}

// A map-like picture: smooth colour areas with a grid of roads and contour-like curves.
int makeContainer(const QString &dir, const QString &path)
{
    QImage img(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < kSide; ++x)
            row[x] = qRgb(200 + (x / 97) % 40, 210 + (y / 131) % 30, 170 + ((x + y) / 211) % 60);
    }
    QPainter p(&img);
    p.setPen(QPen(QColor(120, 60, 20), 3));
    for (int i = 0; i < kSide; i += 250) {
        p.drawLine(i, 0, i + 300, kSide);
        p.drawLine(0, i, kSide, i - 200);
    }
    p.setPen(QPen(QColor(60, 90, 160), 2));
    for (int r = 200; r < kSide; r += 180)
        p.drawEllipse(QPoint(kSide / 2, kSide / 3), r, r * 2 / 3);
    p.end();

    QElapsedTimer t;
    t.start();
    DibBuffer dib;
    if (!dib.copyFrom(img))
        return 1;
    img = QImage();
    const QString jpg = dir + "map.jpg";
    saveJpeg(dib, jpg, kJpegQuality);
    std::printf("encode (bitmap buffer + JPEG q95, done once): %.0f ms, %.1f MB JPEG\n", double(t.elapsed()),
                QFileInfo(jpg).size() / 1048576.0);
    QString text = dir + "map.txt";
    QFile f(text);
    f.open(QIODevice::WriteOnly);
    f.write(calibrationText(calibration()));
    f.close();
    ZipWriter zip;
    zip.addFile(jpg, true);
    zip.addFile(text);
    return zip.write(path) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir work;
    const QString dir = work.path() + "/";
    const QString container = dir + "big.Gipso";

    // The container is made in a child process, so its memory does not count below.
    const pid_t child = fork();
    if (child == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        const int rc = makeContainer(dir, container);
        std::fflush(stdout);
        _exit(rc);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "could not make the test container\n");
        return 1;
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QDir().mkdir(dir + "temp");
    const QString temp = dir + "temp/";
    std::printf("container: %d x %d, %.1f MB\n", kSide, kSide, QFileInfo(container).size() / 1048576.0);
    std::printf("peak memory before opening: %.0f MB\n", peakMegabytes());

    QElapsedTimer t;
    t.start();
    MapLoad load = loadMapFile(container, temp);
    const double openMs = t.elapsed();
    if (load.status != MapLoad::Loaded) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(load.error));
        return 1;
    }
    std::printf("open (extract + decode + calibration): %.0f ms, peak memory %.0f MB (picture %.0f MB)\n", openMs,
                peakMegabytes(), load.picture.sizeInBytes() / 1048576.0);

    QString backing = load.imagePath;
    t.restart();
    saveMapFile(load.picture, *load.calibration, dir + "again.Gipso", temp, backing);
    std::printf("save as .Gipso with the backing JPEG (no encoding): %.0f ms, peak memory %.0f MB\n",
                double(t.elapsed()), peakMegabytes());
    t.restart();
    saveMapFile(load.picture, *load.calibration, dir + "again.Gipso", temp, backing);
    std::printf("save the same container again: %.0f ms\n", double(t.elapsed()));

    QString noBacking;
    t.restart();
    saveMapFile(load.picture, *load.calibration, dir + "encoded.Gipso", temp, noBacking);
    std::printf("save as .Gipso without a backing JPEG (encodes): %.0f ms, peak memory %.0f MB\n",
                double(t.elapsed()), peakMegabytes());
    t.restart();
    saveMapFile(load.picture, *load.calibration, dir + "again.cal", temp, noBacking);
    std::printf("save as .cal (BMP + trailer): %.0f ms, %.0f MB file, peak memory %.0f MB\n", double(t.elapsed()),
                QFileInfo(dir + "again.cal").size() / 1048576.0, peakMegabytes());
    return 0;
}
