// Receiver transfers against the simulated receiver on a pty: Gipso's track-log download
// against gpsbabel's from the same simulator, the throttled download against the wire time
// of its bytes, and the CPU time spent waiting on a silent line.
//
// usage: bench_gps [TRACKPOINTS [THROTTLED_TRACKPOINTS]]   (defaults 10000 and 300)
#include "base/DateValue.h"
#include "base/Error.h"
#include "files/PointFiles.h"
#include "gps/GarminLink.h"
#include "gps/SerialLink.h"
#include "gps/Transfers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace gipso;

namespace {

QString simulatorPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/gipso-gpssim"); }

struct Sim {
    explicit Sim(const QStringList &args)
    {
        proc.start(simulatorPath(), args);
        proc.waitForStarted(5000);
        while (!proc.canReadLine() && proc.waitForReadyRead(30000)) {
        }
        path = QString::fromLocal8Bit(proc.readLine()).trimmed();
    }
    ~Sim()
    {
        proc.terminate();
        proc.waitForFinished(3000);
    }
    QProcess proc;
    QString path;
};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QString trackFile(const QTemporaryDir &dir, int n)
{
    PointStore s;
    for (int i = 0; i < n; ++i) {
        GpsPoint p;
        p.kind = PointKind::Track;
        p.latitude = 45.0 + i * 1e-5;
        p.longitude = 9.0 + i * 1e-5;
        p.altitude = float(100 + i % 500);
        p.date = toDateValue(QDate(2026, 12, 5));
        p.time = (36000 + i) / 86400.0;
        if (i % 2500 == 0)
            p.description = QStringLiteral("T%1").arg(i / 2500 + 1);
        s.trackPoints.append(p);
    }
    const QString path = dir.filePath(QStringLiteral("track%1.txt").arg(n));
    writeTextPointFile(path, s);
    return path;
}

struct Download {
    double seconds = 0;
    double cpu = 0;
    int32_t points = 0;
    qint64 bytes = 0;
};

Download gipsoDownload(const QString &port, int baud)
{
    SerialLink serial;
    QString error;
    if (!serial.open(port, baud, &error)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(port), qPrintable(error));
        std::exit(1);
    }
    QString log; // as the dialog keeps it
    LinkSetup setup;
    setup.exchangeLog = [&log](const QString &line) { appendToLog(log, line); };
    GarminLink link(serial, setup);
    PointStore store;
    Download d;
    const double cpu0 = cpuSeconds();
    QElapsedTimer t;
    t.start();
    runTransfer(CommMode::DownloadTrackPoints, link, store);
    d.seconds = t.nsecsElapsed() / 1e9;
    d.cpu = cpuSeconds() - cpu0;
    d.points = store.trackPoints.count();
    d.bytes = link.bytesSent() + link.bytesReceived();
    return d;
}

double gpsbabelDownload(const QString &babel, const QString &port, const QString &out)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(babel, {QStringLiteral("-t"), QStringLiteral("-i"), QStringLiteral("garmin"), QStringLiteral("-f"), port,
                    QStringLiteral("-o"), QStringLiteral("gpx"), QStringLiteral("-F"), out});
    p.waitForFinished(600000);
    if (p.exitCode() != 0)
        std::fprintf(stderr, "gpsbabel failed: %s\n", p.readAllStandardError().constData());
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int nThrottled = argc > 2 ? std::atoi(argv[2]) : 300;
    QTemporaryDir dir;
    const QString babel = QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));

    // 1. Unthrottled download of n TrackPoints, Gipso and gpsbabel alternately from one simulator.
    {
        Sim sim({QStringLiteral("--points"), trackFile(dir, n)});
        std::vector<double> gipso, gb, cpu;
        Download last;
        for (int round = 0; round < 3; ++round) {
            last = gipsoDownload(sim.path, 9600);
            gipso.push_back(last.seconds);
            cpu.push_back(last.cpu);
            if (!babel.isEmpty())
                gb.push_back(gpsbabelDownload(babel, sim.path, dir.filePath(QStringLiteral("babel.gpx"))));
        }
        std::printf("download of %d TrackPoints, unthrottled (median of 3)\n", last.points);
        std::printf("  Gipso:    %.3f s (CPU %.3f s, %lld bytes)\n", median(gipso), median(cpu), (long long)last.bytes);
        if (!gb.empty())
            std::printf("  gpsbabel: %.3f s   ratio Gipso/gpsbabel %.2f\n", median(gb), median(gipso) / median(gb));
        else
            std::printf("  gpsbabel: not installed\n");
    }

    // 2. Throttled to 9600 baud: total time against the wire time of the bytes exchanged.
    {
        Sim sim({QStringLiteral("--points"), trackFile(dir, nThrottled), QStringLiteral("--baud"), QStringLiteral("9600")});
        const Download d = gipsoDownload(sim.path, 9600);
        const double wire = d.bytes * 10.0 / 9600.0;
        std::printf("download of %d TrackPoints at 9600 baud\n", d.points);
        std::printf("  total %.3f s, wire time of %lld bytes %.3f s, overhead %+.2f%%, CPU %.3f s\n", d.seconds,
                    (long long)d.bytes, wire, 100.0 * (d.seconds - wire) / wire, d.cpu);
    }

    // 3. Waiting on a silent line: the wait must cost next to no CPU.
    {
        Sim sim({});
        SerialLink serial;
        serial.open(sim.path, 9600);
        LinkSetup setup;
        setup.firstByteMs = 3000;
        GarminLink link(serial, setup);
        const double cpu0 = cpuSeconds();
        QElapsedTimer t;
        t.start();
        try {
            link.receivePacket();
        } catch (const GipsoError &) {
        }
        std::printf("silent line: waited %.3f s, CPU %.4f s (%.3f%% of one core)\n", t.nsecsElapsed() / 1e9,
                    cpuSeconds() - cpu0, 100.0 * (cpuSeconds() - cpu0) / (t.nsecsElapsed() / 1e9));
    }
    return 0;
}
