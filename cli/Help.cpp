#include "cli/Help.h"

#include "gps/SerialLink.h"

#include <QStringList>

namespace gipso::cli {

namespace {

struct CommandText {
    const char *name;
    const char *arguments; // after the name
    const char *summary;   // for the list of commands
    const char *about;     // for help COMMAND: what it does, lines ending in "\n"
    const char *options;   // the options other than --port and --baud, lines ending in "\n"
    int defaultBaud = 0;   // a receiver command: --port and --baud, at this speed by default
};

const char *const kTimeoutOption = "  --timeout MS    the longest wait for the receiver, in milliseconds (default 5000)\n"
                                   "  --verbose, -v   the exchange with the receiver on stderr\n";
const char *const kViewOptions = "  --units U       metric or nautical, for this run only (default: the options of Gipso.cfg)\n"
                                 "  --lang L        it or en, for this run only\n";

const CommandText kCommands[] = {
    {"convert", "IN OUT", "convert a point file (.txt or .gpx, by extension)",
     "Reads the point file IN as File > Import does, with the import options of Gipso.cfg, and writes\n"
     "its points to OUT: Gipso's text point file (.txt) or GPX (.gpx), by OUT's extension in any case.\n",
     ""},
    {"info", "FILE", "count the points of a point file",
     "Prints the number of WayPoints, RoutePoints, TrackPoints and tracks of a point file.\n", ""},
    {"map", "FILE [--save OUT]", "show a map's size and calibration, or save it as .cal/.Gipso",
     "Prints the size of a map (BMP, GIF, JPEG, .cal or .Gipso) and its calibration\n"
     "(x1 yUp1 x2 yUp2 lon1 lat1 lon2 lat2, or none).\n",
     "  --save OUT      write the calibrated map as .cal or .Gipso, by OUT's extension in any case\n"},
    {"render", "MAP [POINTFILE...] -o OUT.png [--size WxH] [--zoom F] [--scroll H,V]",
     "draw a map and its points as the window shows them",
     "Draws the view as the window shows it: the map, and the points of the point files over it\n"
     "(the map must be calibrated for them), written as a PNG picture.\n",
     "  --size WxH      the size of the view in pixels (default 1024x768)\n"
     "  --zoom F        the zoom, 1 = 100% (default 1)\n"
     "  --scroll H,V    the positions of the two scroll bars, 0 to 32000 (default 0,0)\n"},
    {"download", "waypoints|route|tracks --port DEV [--baud N] [--timeout MS] [--verbose] -o FILE",
     "download from a Garmin receiver",
     "Downloads the WayPoints, the route or the track log from a Garmin receiver and writes them to\n"
     "FILE (.txt or .gpx); the result is printed as the communication dialog shows it.\n",
     kTimeoutOption, 9600},
    {"upload", "waypoints|route --port DEV [--baud N] [--timeout MS] [--verbose] FILE", "upload to a Garmin receiver",
     "Sends the WayPoints or the route of the point file FILE to a Garmin receiver.\n", kTimeoutOption, 9600},
    {"nmea",
     "--port DEV [--baud N] [--sentence GGA|RMC] [--interval S] (--duration S | --count N) [--timeout MS] [--verbose] -o FILE",
     "record NMEA positions as TrackPoints",
     "Records the positions of the receiver's NMEA sentences as TrackPoints and writes them to FILE;\n"
     "after an error the TrackPoints taken are written all the same.\n",
     "  --port gpsd://HOST:PORT  the NMEA a gpsd relays (port 2947 when left out)\n"
     "  --sentence S    GGA (default) or RMC\n"
     "  --interval S    the least seconds between two TrackPoints (default 0)\n"
     "  --duration S    stop after S seconds\n"
     "  --count N       stop after N TrackPoints\n"
     "  --timeout MS    the longest wait for a whole line (default 10000); with --count also for a fix\n"
     "  --verbose       every line and what became of it on stderr\n",
     4800},
    {"list", "waypoints|route|tracks FILE... [--units metric|nautical] [--lang it|en]", "print the points list",
     "Prints the points list of the files (appended in turn, as Import does) as the window's\n"
     "Show List holds it, then the count, the length and the orthodrome lines.\n",
     kViewOptions},
    {"stats", "FILE... [--units metric|nautical] [--lang it|en]", "print the track statistics",
     "Prints the statistics of the track log of the files (appended in turn, as Import does).\n", kViewOptions},
    {"profile", "route|tracks FILE... -o OUT.png [--size WxH] [--units metric|nautical] [--lang it|en]",
     "draw an altitude profile",
     "Draws the altitude profile of the route or of the track log of the files as a PNG picture.\n",
     kViewOptions},
};

const CommandText *find(const QString &command)
{
    for (const CommandText &c : kCommands)
        if (command == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QString usageLine(const CommandText &c)
{
    return QStringLiteral("usage: gipso-cli %1 %2\n").arg(QLatin1String(c.name), QLatin1String(c.arguments));
}

} // namespace

QString usageText()
{
    // The short ones with their summary in a column, as before; the long ones alone.
    constexpr int kColumn = 33;
    QString text = QStringLiteral("usage: gipso-cli COMMAND ...\n");
    for (const CommandText &c : kCommands) {
        const QString line = QStringLiteral("  %1 %2").arg(QLatin1String(c.name), QLatin1String(c.arguments));
        text += line.size() < kColumn ? line.leftJustified(kColumn) + QLatin1String(c.summary) + u'\n' : line + u'\n';
    }
    return text + QStringLiteral("  help COMMAND                   what a command does and its options\n"
                                 "  --version                      the version\n");
}

QString commandUsage(const QString &command)
{
    const CommandText *c = find(command);
    return c ? usageLine(*c) : QString();
}

QString commandHelp(const QString &command)
{
    const CommandText *c = find(command);
    if (!c)
        return {};
    QString text = usageLine(*c) + u'\n' + QLatin1String(c->about);
    if (c->defaultBaud > 0) {
        QStringList rates;
        for (int rate : kBaudRates)
            rates << QString::number(rate);
        text += QStringLiteral("  --port DEV      the serial port: a system name (ttyUSB0) or a device path (/dev/ttyUSB0)\n"
                               "  --baud N        %1 (default %2)\n")
                    .arg(rates.join(QStringLiteral(", ")))
                    .arg(c->defaultBaud);
    }
    return text + QLatin1String(c->options);
}

QString versionText()
{
    return QStringLiteral("gipso-cli %1.%2\n").arg(GIPSO_VERSION_MAJOR).arg(GIPSO_VERSION_MINOR);
}

} // namespace gipso::cli
