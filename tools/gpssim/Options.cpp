#include "Options.h"

#include <cstdio>
#include <cstdlib>

namespace gpssim {

namespace {

const char *kHelp =
    "usage: gipso-gpssim [OPTIONS]\n"
    "Opens a pseudo-terminal, prints its path on the first line of standard output and acts as\n"
    "a Garmin eTrex on it (or streams NMEA) until killed.\n"
    "\n"
    "  --points FILE          serve the WayPoints, route and track log of FILE (.gpx or text file)\n"
    "  --track-names A,B,..   names of the track headers in order (empty entries allowed);\n"
    "                         by default a track is named by its first point's description\n"
    "  --record OUT           after every completed upload write the points received so far\n"
    "                         (WayPoints and route) to OUT (.gpx or text file); uploads are\n"
    "                         also served to later downloads\n"
    "  --baud N               throttle both directions to the byte time of N baud (10 bits a byte)\n"
    "  --fault FAULT          inject a fault; may be repeated. FAULT is KIND@N[:MS] where N counts\n"
    "                         the packets the simulator sends (acknowledgements included) from the\n"
    "                         start of a transfer (the host's command or Records packet), the\n"
    "                         acknowledgement of that packet being 1; a packet sent again after\n"
    "                         the host's NAK keeps its number, and a fault hits its first sending:\n"
    "                           checksum@N    wrong checksum\n"
    "                           trailer@N     DLE 0x04 instead of DLE ETX\n"
    "                           silence@N:MS  say nothing for MS ms before the packet\n"
    "                           stall@N:MS    stop for MS ms after the packet's fourth byte\n"
    "                           garbage@N     send stray bytes before the packet\n"
    "                           hangup@N      close the line instead of sending the packet\n"
    "                           garble@N      flip a bit of the packet's data (of its checksum\n"
    "                                         when it has no data), the checksum left as it was\n"
    "                           garble-every@N  the same on every resend of packet N too\n"
    "                         N counts the host's packets instead (its Records packet being 1, a\n"
    "                         resend keeping its number, ACK and NAK not counted) for:\n"
    "                           nak@N         answer the host's packet N with a NAK, once\n"
    "                           nak-every@N   ... and every resend of it\n"
    "                         and without @N:\n"
    "                           dle           track headers with a 0x10 in size, data and checksum\n"
    "                                         (names padded or cut to 13 characters)\n"
    "  --nmea gga|rmc|both    stream NMEA built from the track log of --points instead of\n"
    "                         answering the device protocol; each fix's time is its point's,\n"
    "                         or one interval (at least a second) after the fix before\n"
    "  --nmea-log FILE        stream the lines of an NMEA log (lines starting with # are skipped)\n"
    "  --nmea-interval MS     pause after each fix (default 1000; 0 = as fast as the line goes)\n"
    "  --nmea-repeat          start the stream again at its end (default: fall silent)\n"
    "  --hangup-at-end        close the line at the end of the NMEA stream\n"
    "  -h, --help             this text\n";

Fault parseFault(const QString &text)
{
    Fault f;
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    f.kind = text.left(at);
    const QStringList rest = text.mid(at + 1).split(QLatin1Char(':'));
    bool ok = false;
    f.packet = rest.value(0).toInt(&ok);
    ok = ok && at > 0;
    f.ms = rest.value(1).toInt();
    if (f.kind.endsWith(QLatin1String("-every"))) {
        f.kind.chop(6);
        f.every = true;
    }
    static const QStringList kinds = {QStringLiteral("checksum"), QStringLiteral("trailer"), QStringLiteral("silence"),
                                      QStringLiteral("stall"),    QStringLiteral("garbage"), QStringLiteral("hangup"),
                                      QStringLiteral("garble"),   QStringLiteral("nak")};
    static const QStringList everyKinds = {QStringLiteral("garble"), QStringLiteral("nak")};
    if (!ok || !kinds.contains(f.kind) || (f.every && !everyKinds.contains(f.kind)) || f.packet < 1)
        usageError(QStringLiteral("bad fault '%1'").arg(text));
    return f;
}

} // namespace

void usageError(const QString &message)
{
    std::fprintf(stderr, "gipso-gpssim: %s\n", qPrintable(message));
    std::exit(2);
}

Options parseOptions(const QStringList &args)
{
    Options o;
    for (int k = 0; k < args.size(); ++k) {
        const QString &a = args[k];
        auto value = [&]() -> QString {
            if (k + 1 >= args.size())
                usageError(a + QStringLiteral(" needs a value"));
            return args[++k];
        };
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            std::fputs(kHelp, stdout);
            std::exit(0);
        } else if (a == QLatin1String("--points")) {
            o.points = value();
        } else if (a == QLatin1String("--track-names")) {
            o.trackNames = value().split(QLatin1Char(','));
            o.trackNamesGiven = true;
        } else if (a == QLatin1String("--record")) {
            o.record = value();
        } else if (a == QLatin1String("--baud")) {
            o.baud = value().toInt();
        } else if (a == QLatin1String("--fault")) {
            const QString fault = value();
            if (fault == QLatin1String("dle"))
                o.dleHeaders = true;
            else
                o.faults << parseFault(fault);
        } else if (a == QLatin1String("--nmea")) {
            o.nmea = value().toLower();
            if (o.nmea != QLatin1String("gga") && o.nmea != QLatin1String("rmc") && o.nmea != QLatin1String("both"))
                usageError(QStringLiteral("--nmea takes gga, rmc or both"));
        } else if (a == QLatin1String("--nmea-log")) {
            o.nmeaLog = value();
        } else if (a == QLatin1String("--nmea-interval")) {
            o.nmeaInterval = value().toInt();
        } else if (a == QLatin1String("--nmea-repeat")) {
            o.nmeaRepeat = true;
        } else if (a == QLatin1String("--hangup-at-end")) {
            o.hangupAtEnd = true;
        } else {
            usageError(QStringLiteral("unknown option '%1' (see --help)").arg(a));
        }
    }
    return o;
}

} // namespace gpssim
