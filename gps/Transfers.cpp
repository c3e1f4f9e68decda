#include "gps/Transfers.h"

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Error.h"
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

// Sends a download's command; the receiver acknowledges it and sends its Records count.
int32_t startDownload(GarminLink &link, uint16_t command)
{
    link.sendAcknowledged({pid::CommandData, encodeCommand(command)}, Acknowledgement::AnyButNak);
    return decodeRecords(link.receivePacket().data);
}

// Reads the closing Transfer complete and acknowledges it; message 660 when something else came.
void closeDownload(GarminLink &link, uint8_t lastId)
{
    link.sendPacket(ack(lastId));
    if (link.receivePacket().id != pid::TransferComplete)
        link.warn(messageText(msg::TransmissionAborted));
    link.sendPacket(ack(pid::TransferComplete));
}

QString result(GarminLink &link, msg::Id message, std::initializer_list<QVariant> counts)
{
    const QString text = formatMessage(messageText(message), counts);
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

// The Records packet of an upload of count points, each taking packetsPerPoint packets.
Packet uploadRecords(int32_t count, int packetsPerPoint, msg::Id kindName)
{
    const int32_t most = 32767 / packetsPerPoint;
    if (count > most)
        throw GipsoError(err::Overflow, formatMessage(messageText(msg::TooManyPoints), {count, messageText(kindName), most}));
    return {pid::Records, encodeRecords(count * packetsPerPoint)};
}

// The packets of the points of an upload, each a waypoint record with the given id. A value
// that does not fit its field is reported with the point's kind, number and name.
QList<Packet> encodedPoints(const PointList &list, uint8_t id, msg::Id kindName)
{
    QList<Packet> packets;
    packets.reserve(list.count());
    for (int32_t i = 1; i <= list.count(); ++i) {
        try {
            packets.append({id, encodeWaypoint(list[i])});
        } catch (const GipsoError &e) {
            if (e.number() != err::Overflow)
                throw;
            throw GipsoError(err::Overflow, formatMessage(messageText(msg::PointValueOutOfRange),
                                                          {messageText(kindName), i, list[i].name, e.description()}));
        }
    }
    return packets;
}

} // namespace

msg::Id progressMessageId(CommMode mode)
{
    switch (mode) {
    case CommMode::DownloadWayPoints: return msg::DownloadingWayPoints;
    case CommMode::DownloadRoutePoints: return msg::DownloadingRoutePoints;
    case CommMode::DownloadTrackPoints: return msg::DownloadingTrackPoints;
    case CommMode::UploadWayPoints: return msg::UploadingWayPoints;
    case CommMode::UploadRoutePoints: return msg::UploadingRoutePoints;
    case CommMode::NmeaAcquisition: break;
    }
    return msg::NmeaRunning;
}

QString downloadWayPoints(GarminLink &link, PointStore &store)
{
    const int32_t n = startDownload(link, cmd::TransferWaypoints);
    for (int32_t i = 1; i <= n; ++i) {
        link.sendPacket(ack(i == 1 ? pid::Records : pid::WaypointData));
        store.wayPoints.append(downloadedPoint(link.receivePacket(), PointKind::Way));
    }
    closeDownload(link, pid::WaypointData);
    const QString text = result(link, msg::WayPointsDownloaded, {n});
    if (n > 0)
        store.pointsModified = true;
    return text;
}

QString downloadRoutePoints(GarminLink &link, PointStore &store)
{
    const int32_t n = startDownload(link, cmd::TransferRoute);
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
    const QString text = result(link, msg::RoutePointsDownloaded, {int32_t(std::nearbyint(n / 2.0))});
    if (n > 0)
        store.pointsModified = true;
    return text;
}

QString downloadTrackPoints(GarminLink &link, PointStore &store)
{
    const int32_t n = startDownload(link, cmd::TransferTrackLog);
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
    const QString text = result(link, msg::TrackPointsDownloaded, {n - tracks, tracks});
    if (n - tracks > 0)
        store.pointsModified = true;
    return text;
}

QString uploadWayPoints(GarminLink &link, const PointStore &store)
{
    const PointList &list = store.wayPoints;
    // Everything is encoded before the first packet goes, so a value that does not fit its
    // field stops the transfer before the receiver is left half-way.
    const Packet records = uploadRecords(list.count(), 1, msg::WayPointName);
    const QList<Packet> packets = encodedPoints(list, pid::WaypointData, msg::WayPointName);
    link.sendAcknowledged(records);
    for (const Packet &packet : packets)
        link.sendAcknowledged(packet);
    link.sendAcknowledged({pid::TransferComplete, encodeCommand(cmd::TransferWaypoints)});
    return result(link, msg::WayPointsUploaded, {list.count()});
}

QString uploadRoutePoints(GarminLink &link, const PointStore &store)
{
    const PointList &list = store.routePoints;
    const int32_t k = list.count();
    // The header, the points and the links between them.
    const Packet records = uploadRecords(k, 2, msg::RoutePointName);
    const QList<Packet> packets = encodedPoints(list, pid::RouteWaypoint, msg::RoutePointName);
    link.sendAcknowledged(records);
    link.sendAcknowledged({pid::RouteHeader, encodeRouteHeader(QStringLiteral("ROUTE"))});
    for (int32_t i = 1; i <= k; ++i) {
        link.sendAcknowledged(packets[i - 1]);
        link.sendAcknowledged(i == k ? Packet{pid::TransferComplete, encodeCommand(cmd::TransferRoute)}
                                     : Packet{pid::RouteLink, encodeRouteLink()});
    }
    if (k == 0) // an empty route goes without Transfer complete
        link.warn(messageText(msg::TransmissionAborted));
    return result(link, msg::RoutePointsUploaded, {k});
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
