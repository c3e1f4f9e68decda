#pragma once

// The simulated eTrex: answers the product request with its protocol array (A010, A100/D108,
// A201/D202/D108/D210, A301/D310/D301), serves WayPoints, a route and a track log, records
// what a host uploads, and misbehaves on purpose when told to.

#include "Options.h"
#include "PacketReader.h"
#include "PtyLine.h"

#include "gps/Packet.h"
#include "points/PointStore.h"

#include <QList>

namespace gpssim {

class Device {
public:
    // served: what the receiver holds; completed uploads replace its WayPoints or route.
    Device(const Options &o, PtyLine &line, gipso::PointStore &served) : o_(o), line_(line), served_(served) {}

    // Answers the host until the program is killed.
    [[noreturn]] void run();

private:
    void send(const gipso::Packet &packet);
    void ack(uint8_t id);
    void queueAndStart(QList<gipso::Packet> packets);
    void sendNext();
    void handle(const gipso::Packet &p);
    void commitUpload(gipso::PointList &target, const gipso::PointList &received, const char *what);

    QList<gipso::Packet> productPackets() const;
    QList<gipso::Packet> withRecords(QList<gipso::Packet> records, uint16_t command) const;
    QList<gipso::Packet> wayPointPackets() const;
    QList<gipso::Packet> routePackets() const;
    QList<gipso::Packet> trackPackets() const;
    QByteArray trackHeader(int index, const QString &name) const;

    const Options &o_;
    PtyLine &line_;
    gipso::PointStore &served_;
    PacketReader reader_;
    QList<gipso::Packet> queue_; // packets that wait for the host's acknowledgement one by one
    bool awaitingAck_ = false;
    gipso::Packet lastSent_;
    int sentInTransfer_ = 0;
    gipso::PointList upWay_;
    gipso::PointList upRoute_;
    bool routeHeaderSeen_ = false;
};

} // namespace gpssim
