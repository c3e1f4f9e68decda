// CPU time of the NMEA acquisition while it waits on a silent line: it should sleep in the
// event loop, not poll. Prints user+system CPU seconds against the seconds waited.
#include "base/Error.h"
#include "gps/GarminLink.h"
#include "gps/Nmea.h"
#include "gps/SerialLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto sec = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

void report(const char *what, double cpu, double wall)
{
    std::printf("%-44s waited %6.2f s, CPU %8.4f s (%.3f%% of one core)\n", what, wall, cpu, 100.0 * cpu / wall);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;

    // A receiver that says nothing: a pseudo-terminal nobody writes to.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    gipso::SerialLink serial;
    QString why;
    if (!serial.open(slave, 4800, &why)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(slave), qPrintable(why));
        return 1;
    }
    gipso::GarminLink link(serial);

    // 1. The acquisition loop with an end time (the command line's --duration).
    {
        gipso::PointList track;
        gipso::NmeaCapture capture(gipso::NmeaSentence::GGA, 0);
        gipso::NmeaRunOptions options;
        options.endAt = gipso::nmeaClockSeconds() + seconds;
        QElapsedTimer wall;
        wall.start();
        const double cpu0 = cpuSeconds();
        gipso::runNmeaCapture(link, capture, track, options);
        report("acquisition loop, silent line", cpuSeconds() - cpu0, wall.elapsed() / 1000.0);
    }
    // 2. One line wait that ends in the time-out (the dialog's case).
    {
        QElapsedTimer wall;
        wall.start();
        const double cpu0 = cpuSeconds();
        try {
            link.receiveLine(int(seconds * 1000));
        } catch (const gipso::GipsoError &e) {
            std::printf("  (ended with error %d)\n", e.number());
        }
        report("receiveLine until its time-out", cpuSeconds() - cpu0, wall.elapsed() / 1000.0);
    }
    serial.close();
    ::close(master);
    return 0;
}
