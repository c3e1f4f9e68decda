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
    // Sends a packet, with the faults planned for its number; a resend keeps the number.
    void send(const gipso::Packet &packet, bool resend = false);
    // Whether the host's packet (numbered in its transfer) is to be refused with a NAK.
    bool plannedNak(int number, bool resend) const;
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
    int receivedInTransfer_ = 0; // the host's packets, ACK and NAK aside
    bool nakSent_ = false;       // the host's last packet was refused: the next one is its resend
    bool lastSentDamaged_ = false; // a fault damaged the last packet sent
    gipso::Packet lastReceived_;   // the host's last packet taken
    gipso::PointList upWay_;
    gipso::PointList upRoute_;
    bool routeHeaderSeen_ = false;
};

} // namespace gpssim
