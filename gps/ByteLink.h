#pragma once

#include <QByteArray>
#include <QString>

namespace gipso {

// A byte stream to the receiver: a serial port, a pseudo-terminal or an in-memory fake.
// Reads wait without spinning a core and keep the window's events flowing.
class ByteLink {
public:
    virtual ~ByteLink() = default;
    virtual bool open(const QString &device, int baud, QString *error = nullptr) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool write(const QByteArray &bytes) = 0;
    // Waits at most timeoutMs for bytes; returns what has arrived (empty on time-out).
    virtual QByteArray read(int timeoutMs) = 0;
    // Bytes waiting, without blocking.
    virtual qint64 bytesAvailable() = 0;
};

} // namespace gipso
