#pragma once

#include "base/Settings.h"

#include <QStringList>

namespace gipso {
class ReceiverPort;
}

namespace gipso::cli {

// Each command takes its arguments (after the command word) and returns the exit status.
// Errors are one line on stderr naming the file and the reason, and status 1.
int convert(const QStringList &args); // convert IN OUT
int info(const QStringList &args);    // info FILE
int map(const QStringList &args);     // map FILE [--save OUT]
int render(const QStringList &args);  // render MAP [POINTFILE...] -o OUT.png [--size WxH] [--zoom F] [--scroll H,V]
int download(const QStringList &args); // download waypoints|route|tracks --port DEV [--baud N] -o FILE
int upload(const QStringList &args);   // upload waypoints|route --port DEV [--baud N] FILE
int nmea(const QStringList &args);     // nmea --port DEV ... -o FILE
int list(const QStringList &args);     // list waypoints|route|tracks FILE... [--units U] [--lang L]
int stats(const QStringList &args);    // stats FILE... [--units U] [--lang L]
int profile(const QStringList &args);  // profile route|tracks FILE... -o OUT.png [--size WxH] [--units U] [--lang L]

// Prints "gipso-cli: " + message on stderr and returns 1.
int fail(const QString &message);

// Opens the receiver's port for a gps or nmea command: with verbose the exchange log goes to
// stderr, warnings always do. False, with the reason printed, when the port does not open.
bool openReceiver(ReceiverPort &port, const QString &command, const QString &device, int baud, bool verbose);
// The user's settings from Gipso.cfg, read once at start-up (import options, units).
const Settings &userSettings();

} // namespace gipso::cli
