#pragma once

#include <QByteArray>
#include <QString>

namespace gipso {

// A byte stream to the receiver: a serial port, a pseudo-terminal or an in-memory fake.
// Reads wait without spinning a core and keep the window's events flowing.
class ByteLink {
public:
    virtual ~ByteLink() = default;
    // Queues all bytes for sending, in order, and pushes them out without waiting for the line.
    virtual bool write(const QByteArray &bytes) = 0;
    // Waits at most timeoutMs for bytes; returns what has arrived (empty on time-out). Once the
    // link is closed it returns at once: callers ask closed() before they wait again.
    virtual QByteArray read(int timeoutMs) = 0;
    // The other end hung up (or the link was never open) and every byte it sent has been read.
    virtual bool closed() const = 0;
    // What a hang-up of this link is reported as; empty for the receiver's line hanging up.
    virtual QString hangUpText() const { return {}; }
    // False for a link that relays only text lines (gpsd): no packets can be exchanged.
    virtual bool carriesPackets() const { return true; }
};

} // namespace gipso
