#pragma once

#include "gps/CommMode.h"

#include <QStringList>
#include <cstdint>
#include <optional>

namespace gipso {

// What the communication dialog offers and starts with.

// The ports it lists, in order: the system's serial ports in natural order (ttyS2 before
// ttyS10, so that the numbers stay stable), the local gpsd when it answers, then the paths
// typed in this session and the one of the last run, each once.
QStringList commPortList(QStringList systemPorts, bool localGpsd, const QStringList &typedPaths, const QString &lastDevice);

// The entry of that list opened at first: the last run's device when it is listed, else the
// serialPort-th of the system's ports (1-based), else none (-1).
int commStartPort(const QStringList &ports, int systemPortCount, const QString &serialDevice, int serialPort);

// The speed a mode starts at: 4800 for NMEA, 9600 for the device protocol.
int commStartBaud(CommMode mode);

// The NMEA interval as typed; nothing when the text is no 16-bit integer (the setting stays).
std::optional<int16_t> nmeaIntervalOfText(const QString &text);

} // namespace gipso
