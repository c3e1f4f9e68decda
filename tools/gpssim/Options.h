#pragma once

// The simulator's command line.

#include <QList>
#include <QString>
#include <QStringList>

namespace gpssim {

struct Fault {
    QString kind;       // checksum, trailer, silence, stall, garbage, hangup, garble; nak
    int packet = 0;     // the packet's number in its transfer, from 1 (a resend keeps it)
    int ms = 0;
    bool every = false; // on every resend of the packet too, not on its first sending only
};

struct Options {
    QString points;
    QStringList trackNames;
    bool trackNamesGiven = false;
    QString record;
    int baud = 0;
    QList<Fault> faults;
    bool dleHeaders = false;
    QString nmea; // gga, rmc, both
    QString nmeaLog;
    int nmeaInterval = 1000;
    bool nmeaRepeat = false;
    bool hangupAtEnd = false;
};

// Reads the arguments (without the program name); prints the help or an error and exits
// when they ask for it or make no sense.
Options parseOptions(const QStringList &args);

// Prints "gipso-gpssim: " + message and exits with status 2.
[[noreturn]] void usageError(const QString &message);

} // namespace gpssim
