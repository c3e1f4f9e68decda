#include "gps/Transfers.h"

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "gps/Packet.h"

#include <QStringList>
#include <cmath>

namespace gipso {

namespace {

const QDate kGarminEpoch(1989, 12, 31);
constexpr double kTwo31 = 2147483648.0;
// The largest text bytes a waypoint record can carry and still fit a one-byte size:
// 48 head + name + 0x00 + description + 0x00 + four empty texts = 255.
constexpr int kMaxTextBytes = 255 - 48 - 2 - 4;

QString spacesTrimmed(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// Altitudes are stored truncated toward zero. Garmin marks an unknown altitude with 1.0e25;
// that, and anything not finite, is stored as 0.
float storedAltitude(float value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1.0e24f)
        return 0.0f;
    const float t = std::trunc(value);
    return t == 0.0f ? 0.0f : t;
}

// Reads the closing Transfer complete; false (and message 660) when it is something else.
bool closingComplete(GarminLink &link, const char *ackSent)
{
    link.invia(QString::fromLatin1(ackSent));
    const QString hex = link.ricevi();
    const bool ok = hex.indexOf(QLatin1String("0C")) == 2;
    if (!ok)
        link.warn(messageText(660));
    link.invia(QString::fromLatin1(pkt::AckTransferComplete));
    return ok;
}

TransferResult finish(GarminLink &link, int messageId, int32_t points, int32_t tracks, bool complete)
{
    TransferResult r;
    r.messageId = messageId;
    r.points = points;
    r.tracks = tracks;
    r.completeAcked = complete;
    r.text = messageId == 665 ? formatMessage(messageText(665), {points, tracks})
                              : formatMessage(messageText(messageId), {points});
    link.log(r.text);
    return r;
}

// Records count as sent by the device: a 16-bit count, read without sign (counts are 32-bit here).
int32_t recordsCount(GarminLink &link)
{
    link.ricevi(); // the device's acknowledgement of the command
    return leggiint2(link.ricevi(), 4) & 0xFFFF;
}

GpsPoint nowStamped(GpsPoint p)
{
    const double now = toDateValue(currentDateTime());
    p.date = now;
    p.time = now;
    return p;
}

} // namespace

int progressMessageId(TransferMode mode)
{
    switch (mode) {
    case TransferMode::DownloadWayPoints: return 659;
    case TransferMode::DownloadRoutePoints: return 662;
    case TransferMode::DownloadTrackPoints: return 664;
    case TransferMode::UploadWayPoints: return 666;
    case TransferMode::UploadRoutePoints: return 668;
    }
    return 0;
}

double semicirclesToDegrees(int32_t semicircles) { return semicircles * 180.0 / kTwo31; }

int32_t degreesToSemicircles(double degrees)
{
    const double v = std::nearbyint(degrees / 180.0 * kTwo31); // ties to even
    if (v == kTwo31)
        return INT32_MIN; // +180 is the meridian of -180
    if (!(v >= -kTwo31 && v < kTwo31))
        throw GipsoError(err::Overflow, QStringLiteral("Overflow"));
    return int32_t(v);
}

void garminTimeToDateValues(uint32_t seconds, double &date, double &time)
{
    if (seconds == 0xFFFFFFFFu) { // the device knows no time for this point
        date = 0.0;
        time = 0.0;
        return;
    }
    const uint32_t days = seconds / 86400;
    const uint32_t r = seconds - days * 86400;
    date = toDateValue(kGarminEpoch) + days;
    time = r / 86400.0;
}

uint32_t dateValuesToGarminTime(double date, double time)
{
    const qint64 days = kGarminEpoch.daysTo(dateOfValue(date));
    if (days < 0)
        return 0;
    return uint32_t(days * 86400 + timeOfValue(time).msecsSinceStartOfDay() / 1000);
}

QString waypointRecordData(const GpsPoint &point)
{
    QString name = point.name;
    QString description = point.description;
    // A record must fit one packet: the description gives way first, then the name.
    if (name.size() > kMaxTextBytes)
        name.truncate(kMaxTextBytes);
    if (name.size() + description.size() > kMaxTextBytes)
        description.truncate(kMaxTextBytes - name.size());
    QString d;
    d.reserve(2 * (54 + name.size() + description.size()));
    d += QLatin1String("00FF0060"             // class, colour, display, attributes
                       "1200"                 // symbol 18
                       "000000000000FFFFFFFFFFFFFFFFFFFFFFFF");
    d += scriviint4(degreesToSemicircles(point.latitude));
    d += scriviint4(degreesToSemicircles(point.longitude));
    d += scrivifloat(point.altitude);
    d += QLatin1String("00000000" "00000000" "20202020"); // depth, proximity, state and country
    d += scrivistr(name, 0);
    d += scrivistr(description, 0);
    d += QLatin1String("00000000"); // facility, city, address, cross road: empty
    return d;
}

QString trackPointRecordData(const GpsPoint &point, bool newTrack)
{
    return scriviint4(degreesToSemicircles(point.latitude)) + scriviint4(degreesToSemicircles(point.longitude))
        + scriviint4(int32_t(dateValuesToGarminTime(point.date, point.time))) + scrivifloat(point.altitude)
        + scrivifloat(1.0e25f) /* depth unknown */ + scriviint1(newTrack ? 1 : 0);
}

GpsPoint waypointFromRecord(const QString &hex, PointKind kind)
{
    GpsPoint p;
    p.kind = kind;
    p.latitude = semicirclesToDegrees(leggiint4(hex, 28));
    p.longitude = semicirclesToDegrees(leggiint4(hex, 32));
    p.altitude = storedAltitude(leggifloat(hex, 36));
    p.name = spacesTrimmed(leggistr(hex, 52));
    return nowStamped(std::move(p));
}

GpsPoint trackPointFromRecord(const QString &hex, const QString &trackName)
{
    GpsPoint p;
    p.kind = PointKind::Track;
    p.latitude = semicirclesToDegrees(leggiint4(hex, 4));
    p.longitude = semicirclesToDegrees(leggiint4(hex, 8));
    garminTimeToDateValues(uint32_t(leggiint4(hex, 12)), p.date, p.time);
    p.altitude = storedAltitude(leggifloat(hex, 16));
    if (leggiint1(hex, 24) != 0)
        p.description = trackName;
    return p;
}

TransferResult downloadWayPoints(GarminLink &link, PointStore &store)
{
    link.invia(QString::fromLatin1(pkt::CmdTransferWaypoints));
    const int32_t n = recordsCount(link);
    for (int32_t i = 1; i <= n; ++i) {
        link.invia(QString::fromLatin1(i == 1 ? pkt::AckRecords : pkt::AckWaypointData));
        store.wayPoints.append(waypointFromRecord(link.ricevi(), PointKind::Way));
    }
    const bool complete = closingComplete(link, pkt::AckWaypointData);
    TransferResult r = finish(link, 661, n, 0, complete);
    if (n > 0)
        store.pointsModified = true;
    return r;
}

TransferResult downloadRoutePoints(GarminLink &link, PointStore &store)
{
    link.invia(QString::fromLatin1(pkt::CmdTransferRoute));
    const int32_t n = recordsCount(link);
    // Header, waypoint, then link and waypoint alternately: each packet is acknowledged
    // when the next one is asked for.
    for (int32_t i = 1; i <= n; ++i) {
        const char *ack = i == 1 ? pkt::AckRecords : i == 2 ? pkt::AckRouteHeader
                                 : i % 2 == 1 ? pkt::AckRouteWaypoint : pkt::AckRouteLink;
        link.invia(QString::fromLatin1(ack));
        const QString hex = link.ricevi();
        if (i % 2 == 0)
            store.routePoints.append(waypointFromRecord(hex, PointKind::Route));
    }
    const bool complete = closingComplete(link, pkt::AckRouteWaypoint);
    TransferResult r = finish(link, 663, int32_t(std::nearbyint(n / 2.0)), 0, complete);
    if (n > 0)
        store.pointsModified = true;
    return r;
}

TransferResult downloadTrackPoints(GarminLink &link, PointStore &store)
{
    link.invia(QString::fromLatin1(pkt::CmdTransferTrackLog));
    const int32_t n = recordsCount(link);
    int32_t tracks = 0;
    QString trackName;
    store.trackPoints.reserveMore(n);
    for (int32_t i = 1; i <= n; ++i) {
        link.invia(QString::fromLatin1(i == 1 ? pkt::AckRecords : pkt::AckTrackData));
        const QString hex = link.ricevi();
        if (leggiint1(hex, 2) == pid::TrackData) {
            store.trackPoints.append(trackPointFromRecord(hex, trackName));
        } else { // a track header
            ++tracks;
            trackName = leggistr(hex, 6);
        }
    }
    const bool complete = closingComplete(link, pkt::AckTrackData);
    TransferResult r = finish(link, 665, n - tracks, tracks, complete);
    if (n - tracks > 0)
        store.pointsModified = true;
    return r;
}

TransferResult uploadWayPoints(GarminLink &link, const PointStore &store)
{
    const PointList &list = store.wayPoints;
    // Everything is encoded before the first packet goes, so a value that does not fit its
    // field stops the transfer before the device is left half-way.
    const QString records = buildPacket(pid::Records, scriviint2(list.count()));
    QStringList packets;
    packets.reserve(list.count());
    for (const GpsPoint &p : list)
        packets << buildPacket(pid::WaypointData, waypointRecordData(p));
    link.invia(records);
    link.ricevi();
    for (const QString &packet : packets) {
        link.invia(packet);
        link.ricevi();
    }
    link.invia(QString::fromLatin1(pkt::CompleteWaypoints));
    const bool complete = link.ricevi().indexOf(QLatin1String("06020C00EC")) == 2;
    if (!complete)
        link.warn(messageText(660));
    return finish(link, 667, list.count(), 0, complete);
}

TransferResult uploadRoutePoints(GarminLink &link, const PointStore &store)
{
    const PointList &list = store.routePoints;
    const int32_t k = list.count();
    const QString records = buildPacket(pid::Records, scriviint2(2 * k));
    QStringList packets;
    packets.reserve(k);
    for (const GpsPoint &p : list)
        packets << buildPacket(pid::RouteWaypoint, waypointRecordData(p));
    link.invia(records);
    QString last = link.ricevi();
    link.invia(QString::fromLatin1(pkt::RouteHeaderROUTE));
    last = link.ricevi();
    for (int32_t i = 1; i <= k; ++i) {
        link.invia(packets[i - 1]);
        link.ricevi();
        link.invia(QString::fromLatin1(i == k ? pkt::CompleteRoute : pkt::RouteLink));
        last = link.ricevi();
    }
    const bool complete = last.indexOf(QLatin1String("06020C00EC")) == 2;
    if (!complete)
        link.warn(messageText(660));
    return finish(link, 669, k, 0, complete);
}

TransferResult runTransfer(TransferMode mode, GarminLink &link, PointStore &store)
{
    switch (mode) {
    case TransferMode::DownloadWayPoints: return downloadWayPoints(link, store);
    case TransferMode::DownloadRoutePoints: return downloadRoutePoints(link, store);
    case TransferMode::DownloadTrackPoints: return downloadTrackPoints(link, store);
    case TransferMode::UploadWayPoints: return uploadWayPoints(link, store);
    case TransferMode::UploadRoutePoints: return uploadRoutePoints(link, store);
    }
    return {};
}

} // namespace gipso
