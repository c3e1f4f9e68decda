#pragma once

#include <QByteArray>
#include <QString>

namespace gipso {

// A byte stream to the receiver: a serial port, a pseudo-terminal or an in-memory fake.
// Reads wait without spinning a core and keep the window's events flowing.
class ByteLink {
public:
    virtual ~ByteLink() = default;
    // device: a system port name ("ttyUSB0", "/dev/ttyS0") or any device path (a pty).
    // Always 8 data bits, no parity, 1 stop bit, no flow control.
    virtual bool open(const QString &device, int baud, QString *error = nullptr) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Changes the speed of an open link; false when the link refuses it.
    virtual bool setBaudRate(int baud) { return false; }
    // Queues all bytes for sending, in order, and pushes them out without waiting for the line.
    virtual bool write(const QByteArray &bytes) = 0;
    // Waits at most timeoutMs for bytes; returns what has arrived (empty on time-out).
    // A closed or hung-up link waits out the time as well, so callers never spin.
    virtual QByteArray read(int timeoutMs) = 0;
    // Bytes waiting, without blocking.
    virtual qint64 bytesAvailable() = 0;
};

} // namespace gipso
