#include "gps/Transfers.h"

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Messages.h"
#include "gps/Records.h"

#include <QList>
#include <cmath>

namespace gipso {

namespace {

QString spacesTrimmed(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// Altitudes are stored in whole metres, truncated toward zero.
float storedAltitude(float value)
{
    const float t = std::trunc(value);
    return t == 0.0f ? 0.0f : t;
}

Packet ack(uint8_t id) { return {pid::Ack, encodeAck(id)}; }

// The device's acknowledgement of the command, then its Records count.
int32_t recordsCount(GarminLink &link)
{
    link.receivePacket();
    return decodeRecords(link.receivePacket().data);
}

// Reads the closing Transfer complete and acknowledges it; message 660 when something else came.
void closeDownload(GarminLink &link, uint8_t lastId)
{
    link.sendPacket(ack(lastId));
    if (link.receivePacket().id != pid::TransferComplete)
        link.warn(messageText(660));
    link.sendPacket(ack(pid::TransferComplete));
}

// After an upload's Transfer complete: message 660 unless the receiver acknowledged it.
void checkUploadClosed(GarminLink &link, const Packet &answer)
{
    if (!isAckOf(answer, pid::TransferComplete))
        link.warn(messageText(660));
}

QString result(GarminLink &link, int messageId, std::initializer_list<QVariant> counts)
{
    const QString text = formatMessage(messageText(messageId), counts);
    link.log(text);
    return text;
}

// A downloaded WayPoint or RoutePoint: the receiver's position, altitude and name, stamped now.
GpsPoint downloadedPoint(const Packet &packet, PointKind kind)
{
    const WaypointRecord r = decodeWaypoint(packet.data);
    GpsPoint p;
    p.kind = kind;
    p.latitude = r.latitude;
    p.longitude = r.longitude;
    p.altitude = storedAltitude(r.altitude);
    p.name = spacesTrimmed(r.name);
    p.date = p.time = toDateValue(currentDateTime());
    return p;
}

// The packets of the points of an upload, each a waypoint record with the given id.
QList<Packet> encodedPoints(const PointList &list, uint8_t id)
{
    QList<Packet> packets;
    packets.reserve(list.count());
    for (const GpsPoint &p : list)
        packets.append({id, encodeWaypoint(p)});
    return packets;
}

} // namespace

int progressMessageId(CommMode mode)
{
    switch (mode) {
    case CommMode::DownloadWayPoints: return 659;
    case CommMode::DownloadRoutePoints: return 662;
    case CommMode::DownloadTrackPoints: return 664;
    case CommMode::UploadWayPoints: return 666;
    case CommMode::UploadRoutePoints: return 668;
    case CommMode::NmeaAcquisition: return 673;
    }
    return 0;
}

QString downloadWayPoints(GarminLink &link, PointStore &store)
{
    link.sendPacket({pid::CommandData, encodeCommand(cmd::TransferWaypoints)});
    const int32_t n = recordsCount(link);
    for (int32_t i = 1; i <= n; ++i) {
        link.sendPacket(ack(i == 1 ? pid::Records : pid::WaypointData));
        store.wayPoints.append(downloadedPoint(link.receivePacket(), PointKind::Way));
    }
    closeDownload(link, pid::WaypointData);
    const QString text = result(link, 661, {n});
    if (n > 0)
        store.pointsModified = true;
    return text;
}

QString downloadRoutePoints(GarminLink &link, PointStore &store)
{
    link.sendPacket({pid::CommandData, encodeCommand(cmd::TransferRoute)});
    const int32_t n = recordsCount(link);
    // Header, RoutePoint, then link and RoutePoint alternately: each packet is acknowledged
    // when the next one is asked for.
    for (int32_t i = 1; i <= n; ++i) {
        link.sendPacket(ack(i == 1 ? pid::Records : i == 2 ? pid::RouteHeader
                               : i % 2 == 1 ? pid::RouteWaypoint : pid::RouteLink));
        const Packet packet = link.receivePacket();
        if (i % 2 == 0)
            store.routePoints.append(downloadedPoint(packet, PointKind::Route));
    }
    closeDownload(link, pid::RouteWaypoint);
    const QString text = result(link, 663, {int32_t(std::nearbyint(n / 2.0))});
    if (n > 0)
        store.pointsModified = true;
    return text;
}

QString downloadTrackPoints(GarminLink &link, PointStore &store)
{
    link.sendPacket({pid::CommandData, encodeCommand(cmd::TransferTrackLog)});
    const int32_t n = recordsCount(link);
    int32_t tracks = 0;
    QString trackName;
    store.trackPoints.reserveMore(n);
    for (int32_t i = 1; i <= n; ++i) {
        link.sendPacket(ack(i == 1 ? pid::Records : pid::TrackData));
        const Packet packet = link.receivePacket();
        if (packet.id != pid::TrackData) { // a track header
            ++tracks;
            trackName = decodeTrackHeader(packet.data);
            continue;
        }
        const TrackPointRecord r = decodeTrackPoint(packet.data);
        GpsPoint p;
        p.kind = PointKind::Track;
        p.latitude = r.latitude;
        p.longitude = r.longitude;
        p.date = r.date;
        p.time = r.time;
        p.altitude = storedAltitude(r.altitude);
        if (r.newTrack)
            p.description = trackName;
        store.trackPoints.append(p);
    }
    closeDownload(link, pid::TrackData);
    const QString text = result(link, 665, {n - tracks, tracks});
    if (n - tracks > 0)
        store.pointsModified = true;
    return text;
}

QString uploadWayPoints(GarminLink &link, const PointStore &store)
{
    const PointList &list = store.wayPoints;
    // Everything is encoded before the first packet goes, so a value that does not fit its
    // field stops the transfer before the receiver is left half-way.
    const Packet records{pid::Records, encodeRecords(list.count())};
    const QList<Packet> packets = encodedPoints(list, pid::WaypointData);
    link.sendPacket(records);
    link.receivePacket();
    for (const Packet &packet : packets) {
        link.sendPacket(packet);
        link.receivePacket();
    }
    link.sendPacket({pid::TransferComplete, encodeCommand(cmd::TransferWaypoints)});
    checkUploadClosed(link, link.receivePacket());
    return result(link, 667, {list.count()});
}

QString uploadRoutePoints(GarminLink &link, const PointStore &store)
{
    const PointList &list = store.routePoints;
    const int32_t k = list.count();
    const Packet records{pid::Records, encodeRecords(2 * k)};
    const QList<Packet> packets = encodedPoints(list, pid::RouteWaypoint);
    link.sendPacket(records);
    link.receivePacket();
    link.sendPacket({pid::RouteHeader, encodeRouteHeader(QStringLiteral("ROUTE"))});
    Packet last = link.receivePacket();
    for (int32_t i = 1; i <= k; ++i) {
        link.sendPacket(packets[i - 1]);
        link.receivePacket();
        link.sendPacket(i == k ? Packet{pid::TransferComplete, encodeCommand(cmd::TransferRoute)}
                               : Packet{pid::RouteLink, encodeRouteLink()});
        last = link.receivePacket();
    }
    checkUploadClosed(link, last);
    return result(link, 669, {k});
}

QString runTransfer(CommMode mode, GarminLink &link, PointStore &store)
{
    switch (mode) {
    case CommMode::DownloadWayPoints: return downloadWayPoints(link, store);
    case CommMode::DownloadRoutePoints: return downloadRoutePoints(link, store);
    case CommMode::DownloadTrackPoints: return downloadTrackPoints(link, store);
    case CommMode::UploadWayPoints: return uploadWayPoints(link, store);
    case CommMode::UploadRoutePoints: return uploadRoutePoints(link, store);
    case CommMode::NmeaAcquisition: break;
    }
    return {};
}

} // namespace gipso
