#pragma once

#include <QByteArray>

namespace gipso {

// A byte stream to the receiver: a serial port, a pseudo-terminal or an in-memory fake.
// Reads wait without spinning a core and keep the window's events flowing.
class ByteLink {
public:
    virtual ~ByteLink() = default;
    // Queues all bytes for sending, in order, and pushes them out without waiting for the line.
    virtual bool write(const QByteArray &bytes) = 0;
    // Waits at most timeoutMs for bytes; returns what has arrived (empty on time-out).
    // A closed or hung-up link waits out the time as well, so callers never spin.
    virtual QByteArray read(int timeoutMs) = 0;
};

} // namespace gipso
