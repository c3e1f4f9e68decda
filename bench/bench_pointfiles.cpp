// Point files at scale: export and import of a GPX with 1,000,000 TrackPoints and of a text
// point file with 1,000,000 points, with gpsbabel reading the same GPX for comparison; a GPX
// name of a million "&" (entity decoding must stay linear).
// Usage: bench_pointfiles [points]

#include "base/DateValue.h"
#include "files/PointFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

using namespace gipso;

namespace {

// Peak resident memory since the last reset, in MB.
double peakMb()
{
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void resetPeak()
{
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
}

void fill(PointStore &store, int n)
{
    store = PointStore{};
    store.trackPoints.reserveMore(n);
    const double day = toDateValue(QDate(2024, 6, 1));
    for (int i = 0; i < n; ++i) {
        GpsPoint p;
        p.kind = PointKind::Track;
        p.latitude = 45.0 + i * 1e-6;
        p.longitude = 9.0 + (i % 5000) * 1e-5;
        p.altitude = static_cast<float>(100 + (i % 700) * 0.25);
        p.date = day + i / 86400;
        p.time = (i % 86400) / 86400.0;
        if (i % 1000 == 0)
            p.description = QStringLiteral("Track %1").arg(i / 1000);
        store.trackPoints.append(std::move(p));
    }
}

template <typename F>
void phase(const char *what, const QString &file, int points, F f)
{
    resetPeak();
    QElapsedTimer t;
    t.start();
    f();
    const double s = t.nsecsElapsed() / 1e9;
    const double mb = QFileInfo(file).size() / 1e6;
    std::printf("%-22s %8.3f s  %7.1f MB/s  %6.2f M points/s  file %6.1f MB  peak RSS %6.1f MB\n", what, s, mb / s,
                points / s / 1e6, mb, peakMb());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir dir;
    const QString gpx = dir.filePath(QStringLiteral("bench.gpx"));
    const QString txt = dir.filePath(QStringLiteral("bench.txt"));
    std::printf("%d TrackPoints\n", n);

    PointStore store;
    fill(store, n);
    phase("GPX export", gpx, n, [&] { writeGpx(gpx, store); });
    phase("text export", txt, n, [&] { writeTextPointFile(txt, store); });
    store = PointStore{};

    double ours = 0;
    phase("GPX import", gpx, n, [&] {
        QElapsedTimer t;
        t.start();
        readGpx(gpx, store, false);
        ours = t.nsecsElapsed() / 1e9;
    });
    if (store.trackPoints.count() != n)
        std::printf("  wrong count: %d\n", store.trackPoints.count());
    store = PointStore{};
    phase("text import", txt, n, [&] { readTextPointFile(txt, store, false); });
    if (store.trackPoints.count() != n)
        std::printf("  wrong count: %d\n", store.trackPoints.count());
    store = PointStore{};

    // Hostile texts: a name of a million "&" (each once looked to the end of the text for its ";").
    const QString amp = dir.filePath(QStringLiteral("amp.gpx"));
    {
        QFile f(amp);
        f.open(QIODevice::WriteOnly);
        f.write("<gpx><wpt lat=\"1\" lon=\"2\"><name>" + QByteArray(1000000, '&') + "</name></wpt></gpx>\n");
    }
    phase("GPX name of 1M '&'", amp, 1, [&] { readGpx(amp, store, false); });
    store = PointStore{};

    const QString babel = QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));
    if (babel.isEmpty()) {
        std::printf("gpsbabel not found: no comparison\n");
        return 0;
    }
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(babel, {QStringLiteral("-t"), QStringLiteral("-i"), QStringLiteral("gpx"), QStringLiteral("-f"), gpx,
                    QStringLiteral("-o"), QStringLiteral("gpx"), QStringLiteral("-F"), QStringLiteral("/dev/null")});
    p.waitForFinished(-1);
    const double theirs = t.nsecsElapsed() / 1e9;
    std::printf("gpsbabel GPX read      %8.3f s (exit %d)\nGPX import is %.1f times faster than gpsbabel\n", theirs,
                p.exitCode(), theirs / ours);
    return 0;
}
