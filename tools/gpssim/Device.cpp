#include "Device.h"

#include "base/Error.h"
#include "files/PointFiles.h"
#include "gps/Records.h"

#include <cstdio>
#include <cstdlib>

using namespace gipso;

namespace gpssim {

namespace {

// A point uploaded by the host: the record at full precision, its comment as the description.
GpsPoint uploadedPoint(const QByteArray &data, PointKind kind)
{
    const WaypointRecord r = decodeWaypoint(data);
    GpsPoint p;
    p.kind = kind;
    p.latitude = r.latitude;
    p.longitude = r.longitude;
    p.altitude = r.altitude;
    p.name = r.name;
    p.description = r.comment;
    return p;
}

} // namespace

void Device::run()
{
    QList<Packet> packets;
    for (;;) {
        const QByteArray bytes = line_.read(-1);
        if (line_.hostWasGone()) { // a new host starts from scratch
            reader_.reset();
            queue_.clear();
            awaitingAck_ = false;
        }
        reader_.feed(bytes, packets);
        while (!packets.isEmpty())
            handle(packets.takeFirst());
    }
}

void Device::send(const Packet &packet, bool resend)
{
    const int number = resend ? sentInTransfer_ : ++sentInTransfer_;
    bool badChecksum = false, badTrailer = false, garbled = false;
    int stallMs = -1;
    for (const Fault &f : o_.faults) {
        if (f.packet != number || (resend && !f.every))
            continue;
        if (f.kind == QLatin1String("checksum"))
            badChecksum = true;
        else if (f.kind == QLatin1String("trailer"))
            badTrailer = true;
        else if (f.kind == QLatin1String("garble"))
            garbled = true;
        else if (f.kind == QLatin1String("silence"))
            line_.pause(f.ms);
        else if (f.kind == QLatin1String("stall"))
            stallMs = f.ms;
        else if (f.kind == QLatin1String("garbage"))
            line_.write(QByteArray("\x55\xAA\x13\x11\xFF\x00\x7E", 7));
        else if (f.kind == QLatin1String("hangup")) {
            std::fprintf(stderr, "gipso-gpssim: hanging up before packet %d\n", number);
            line_.hangUp();
            std::exit(0);
        }
    }
    uint8_t check = checksum(packet.id, packet.data);
    Packet sent = packet;
    if (garbled) { // a bit flipped on the way: in the middle of the data, else in the checksum
        if (sent.data.isEmpty())
            check ^= 0x01;
        else
            sent.data[sent.data.size() / 2] = char(sent.data[sent.data.size() / 2] ^ 0x01);
    }
    QByteArray wire = framePacket(sent, badChecksum ? uint8_t(check + 1) : check);
    if (badTrailer)
        wire.back() = 0x04;
    if (stallMs >= 0) {
        line_.write(wire.left(4));
        line_.pause(stallMs);
        line_.write(wire.mid(4));
    } else {
        line_.write(wire);
    }
    lastSent_ = packet;
    lastSentDamaged_ = garbled || badChecksum || badTrailer;
}

bool Device::plannedNak(int number, bool resend) const
{
    for (const Fault &f : o_.faults)
        if (f.kind == QLatin1String("nak") && f.packet == number && (!resend || f.every))
            return true;
    return false;
}

void Device::ack(uint8_t id) { send({pid::Ack, encodeAck(id)}); }

void Device::queueAndStart(QList<Packet> packets)
{
    queue_ = std::move(packets);
    awaitingAck_ = false;
    sendNext();
}

void Device::sendNext()
{
    if (queue_.isEmpty()) {
        awaitingAck_ = false;
        return;
    }
    send(queue_.takeFirst());
    awaitingAck_ = true;
}

void Device::handle(const Packet &p)
{
    if (p.id != pid::Ack && p.id != pid::Nak) {
        // A resend keeps its number: the packet after our NAK, or the same packet again after
        // an ACK of ours that a fault damaged (the host could not read it).
        const bool repeat = !nakSent_ && lastSentDamaged_ && p.id == lastReceived_.id && p.data == lastReceived_.data;
        const bool resend = nakSent_ || repeat;
        if (!resend && (p.id == pid::Records || p.id == pid::CommandData || p.id == pid::ProductRequest))
            receivedInTransfer_ = 0;
        const int number = resend ? receivedInTransfer_ : ++receivedInTransfer_;
        nakSent_ = !p.intact || plannedNak(number, resend);
        if (nakSent_) {
            std::fprintf(stderr, "gipso-gpssim: NAK for the host's packet %d\n", number);
            send({pid::Nak, encodeAck(p.id)});
            return;
        }
        lastReceived_ = p;
        if (repeat) { // taken already: acknowledged again only
            ack(p.id);
            return;
        }
    }
    switch (p.id) {
    case pid::Ack:
        if (awaitingAck_)
            sendNext();
        return;
    case pid::Nak:
        if (awaitingAck_) {
            std::fprintf(stderr, "gipso-gpssim: NAK from the host, packet %d sent again\n", sentInTransfer_);
            send(lastSent_, true);
        }
        return;
    case pid::ProductRequest:
        sentInTransfer_ = 0;
        ack(p.id);
        queueAndStart(productPackets());
        return;
    case pid::CommandData: {
        sentInTransfer_ = 0;
        ack(p.id);
        const int command = decodeCommand(p.data);
        if (command == cmd::TransferWaypoints)
            queueAndStart(wayPointPackets());
        else if (command == cmd::TransferRoute)
            queueAndStart(routePackets());
        else if (command == cmd::TransferTrackLog)
            queueAndStart(trackPackets());
        else if (command == cmd::AbortTransfer)
            queue_.clear(), awaitingAck_ = false;
        return;
    }
    case pid::Records:
        sentInTransfer_ = 0;
        ack(p.id);
        upWay_.clear();
        upRoute_.clear();
        routeHeaderSeen_ = false;
        return;
    case pid::WaypointData:
        ack(p.id);
        upWay_.append(uploadedPoint(p.data, PointKind::Way));
        return;
    case pid::RouteWaypoint:
        ack(p.id);
        upRoute_.append(uploadedPoint(p.data, PointKind::Route));
        return;
    case pid::TransferComplete: {
        // Stored before the acknowledgement, so the host never sees the end first.
        const int command = decodeCommand(p.data);
        // Some hosts close a route with the waypoint command number: the route header tells.
        if (routeHeaderSeen_ || command == cmd::TransferRoute)
            commitUpload(served_.routePoints, upRoute_, "RoutePoints");
        else if (command == cmd::TransferWaypoints)
            commitUpload(served_.wayPoints, upWay_, "WayPoints");
        routeHeaderSeen_ = false;
        ack(p.id);
        return;
    }
    case pid::RouteHeader:
        ack(p.id);
        routeHeaderSeen_ = true;
        return;
    default: // route links, anything else: acknowledged and ignored
        ack(p.id);
        return;
    }
}

void Device::commitUpload(PointList &target, const PointList &received, const char *what)
{
    target = received;
    std::fprintf(stderr, "gipso-gpssim: %d %s received\n", int(received.count()), what);
    if (o_.record.isEmpty())
        return;
    PointStore rec;
    rec.wayPoints = served_.wayPoints;
    rec.routePoints = served_.routePoints;
    try {
        writePointFile(o_.record, rec);
    } catch (const GipsoError &e) {
        std::fprintf(stderr, "gipso-gpssim: cannot write %s: %s\n", qPrintable(o_.record), qPrintable(e.description()));
    }
}

QList<Packet> Device::productPackets() const
{
    QByteArray protocols; // each a tag letter and its number
    for (const char *tag : {"P000", "L001", "A010", "A100", "D108", "A201", "D202", "D108", "D210", "A301", "D310", "D301"}) {
        const int number = std::atoi(tag + 1);
        protocols += tag[0];
        protocols += char(number & 0xFF);
        protocols += char(number >> 8);
    }
    return {{pid::ProductData, encodeProductData(130, 215, QStringLiteral("eTrex Software Version 2.15"))},
            {pid::ProtocolArray, protocols}};
}

QList<Packet> Device::withRecords(QList<Packet> records, uint16_t command) const
{
    QList<Packet> all;
    all.reserve(records.size() + 2);
    all.append({pid::Records, encodeRecords(int32_t(records.size()))});
    all += records;
    all.append({pid::TransferComplete, encodeCommand(command)});
    return all;
}

QList<Packet> Device::wayPointPackets() const
{
    QList<Packet> r;
    for (const GpsPoint &p : served_.wayPoints)
        r.append({pid::WaypointData, encodeWaypoint(p)});
    return withRecords(r, cmd::TransferWaypoints);
}

QList<Packet> Device::routePackets() const
{
    QList<Packet> r;
    const PointList &route = served_.routePoints;
    if (!route.isEmpty()) {
        r.append({pid::RouteHeader, encodeRouteHeader(QStringLiteral("ROUTE"))});
        for (int32_t i = 1; i <= route.count(); ++i) {
            if (i > 1)
                r.append({pid::RouteLink, encodeRouteLink()});
            r.append({pid::RouteWaypoint, encodeWaypoint(route[i])});
        }
    }
    return withRecords(r, cmd::TransferRoute);
}

QByteArray Device::trackHeader(int index, const QString &name) const
{
    const QString title = o_.trackNamesGiven ? o_.trackNames.value(index) : name;
    if (!o_.dleHeaders)
        return encodeTrackHeader(title);
    // Size 16 (0x10), colour 0x10, and a display byte that makes the checksum 0x10.
    QByteArray data = QByteArray(1, '\0') + char(DLE) + latin1Text(title).leftJustified(13, ' ', true) + '\0';
    data[0] = char(checksum(pid::TrackHeader, data) - DLE);
    return data;
}

QList<Packet> Device::trackPackets() const
{
    QList<Packet> r;
    const PointList &log = served_.trackPoints;
    int tracks = 0;
    r.reserve(log.count() + 8);
    for (int32_t i = 1; i <= log.count(); ++i) {
        const bool starts = trackStarts(log, i);
        if (starts)
            r.append({pid::TrackHeader, trackHeader(tracks++, log[i].description)});
        r.append({pid::TrackData, encodeTrackPoint(log[i], starts)});
    }
    return withRecords(r, cmd::TransferTrackLog);
}

} // namespace gpssim
