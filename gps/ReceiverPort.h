#pragma once

#include "base/Error.h"
#include "gps/GarminLink.h"
#include "gps/GpsdLink.h"
#include "gps/SerialLink.h"

#include <QString>

namespace gipso {

// The receiver on a serial port, or the NMEA a gpsd relays (a name gpsd://HOST:PORT): the
// port, and the set-up every Garmin link over it gets. The communication dialog and the
// command line open the port and make their links here.
class ReceiverPort {
public:
    explicit ReceiverPort(LinkSetup setup = {}) : setup_(std::move(setup)) {}

    // Opens the device at the speed, closing what was open; false and the reason when it fails.
    bool open(const QString &device, int baud, QString *error = nullptr);
    void close();
    bool isOpen() const { return serial_.isOpen() || gpsd_.isOpen(); }
    // The device open, empty when none is.
    const QString &device() const { return device_; }
    // gpsd sets the receiver's speed itself: nothing to change then.
    bool setBaudRate(int baud) { return gpsd_.isOpen() || serial_.setBaudRate(baud); }

    LinkSetup &setup() { return setup_; }
    // A link over the open port: one per transfer or acquisition, so that nothing read for
    // an earlier one is left over.
    GarminLink link()
    {
        if (gpsd_.isOpen())
            return GarminLink(gpsd_, setup_);
        return GarminLink(serial_, setup_);
    }

private:
    LinkSetup setup_;
    SerialLink serial_;
    GpsdLink gpsd_;
    QString device_;
};

// Numbers of a port that does not open, as the serial control of the first platform gave them.
constexpr int kPortInvalid = 8002;     // no such device
constexpr int kPortUnavailable = 8010; // the device exists but cannot be opened

// A failed open as it is shown: the number by whether the device exists, the text naming the
// port and the reason ReceiverPort::open gave.
GipsoError portOpenError(const QString &device, const QString &reason);

} // namespace gipso
