// gipso-gpssim: a simulated Garmin handheld of the eTrex family on a pseudo-terminal. It
// serves WayPoints, a route and a track log from a point file, records what a host uploads,
// streams NMEA, and can misbehave on purpose to test a host's fault handling.
#include "Device.h"
#include "NmeaStream.h"
#include "Options.h"
#include "PtyLine.h"

#include "base/Error.h"
#include "files/PointFiles.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

using namespace gpssim;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    const Options o = parseOptions(QCoreApplication::arguments().mid(1));

    gipso::PointStore served;
    if (!o.points.isEmpty()) {
        try {
            gipso::readPointFile(o.points, served);
        } catch (const gipso::GipsoError &e) {
            usageError(QStringLiteral("cannot read %1: %2").arg(o.points, e.description()));
        }
    }

    PtyLine line(o.baud);
    const QString path = line.open();
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    std::fprintf(stderr, "gipso-gpssim: %d WayPoints, %d RoutePoints, %d TrackPoints\n", int(served.wayPoints.count()),
                 int(served.routePoints.count()), int(served.trackPoints.count()));

    if (!o.nmea.isEmpty() || !o.nmeaLog.isEmpty())
        streamNmea(o, line, served);
    Device(o, line, served).run();
}
