#pragma once

// Packets from the host, as a receiver reads them: it waits for a DLE, drops a packet whose
// stuffing or trailer is broken and starts over, and marks a wrong checksum (to answer with
// a Nak).

#include "gps/Packet.h"

#include <QByteArray>
#include <QList>

namespace gpssim {

class PacketReader {
public:
    // Feeds bytes; complete packets are appended to out.
    void feed(const QByteArray &bytes, QList<gipso::Packet> &out);
    void reset() { state_ = WaitDle; }

private:
    enum State { WaitDle, Id, Size, Data, Check, EndDle, EndEtx };

    void take(uint8_t b, QList<gipso::Packet> &out);

    State state_ = WaitDle;
    gipso::Packet cur_;
    int size_ = 0;
    bool pendingDle_ = false;
};

} // namespace gpssim
