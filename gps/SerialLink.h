#pragma once

#include "gps/ByteLink.h"

#include <QStringList>
#include <array>
#include <memory>

class QSerialPort;

namespace gipso {

// The speeds the communication dialog offers (and gipso-cli accepts), slowest first.
inline constexpr std::array<int, 9> kBaudRates = {1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400, 56000};

// A serial port (or a pseudo-terminal given by its path) through QSerialPort.
// Waiting runs a local event loop woken by readyRead or a timer: the window repaints and
// no core spins. Modem-line calls that a pty refuses are ignored. A hang-up closes the port
// (the bytes that came before it are still read) and closed() reports it.
class SerialLink : public ByteLink {
public:
    SerialLink();
    ~SerialLink() override;

    // device: a system port name ("ttyUSB0", "/dev/ttyS0") or any device path (a pty).
    // Always 8 data bits, no parity, 1 stop bit, no flow control. The reason of a failure is
    // in the current language when the device is missing or refused.
    bool open(const QString &device, int baud, QString *error = nullptr);
    void close();
    bool isOpen() const;
    // Changes the speed of the open port; false when it refuses.
    bool setBaudRate(int baud);
    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;
    bool closed() const override;

    // The system's serial ports, by name ("ttyS0", "ttyUSB0"); ptys are not listed but open by path.
    static QStringList availablePorts();

private:
    std::unique_ptr<QSerialPort> port_;
    bool hungUp_ = false;
    QByteArray leftover_; // read when the device hung up, not handed out yet
};

} // namespace gipso
