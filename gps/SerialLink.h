#pragma once

#include "gps/ByteLink.h"

#include <QStringList>
#include <memory>

class QSerialPort;

namespace gipso {

// A serial port (or a pseudo-terminal given by its path) through QSerialPort.
// Waiting runs a local event loop woken by readyRead or a timer: the window repaints and
// no core spins. Modem-line calls that a pty refuses are ignored. A hang-up closes the port
// (the bytes that came before it are still read) and closed() reports it.
class SerialLink : public ByteLink {
public:
    SerialLink();
    ~SerialLink() override;

    // device: a system port name ("ttyUSB0", "/dev/ttyS0") or any device path (a pty).
    // Always 8 data bits, no parity, 1 stop bit, no flow control.
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
