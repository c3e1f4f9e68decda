#include "gps/Records.h"

#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"

#include <cmath>
#include <cstring>

namespace gipso {

namespace {

const QDate kGarminEpoch(1989, 12, 31);
constexpr double kTwo31 = 2147483648.0;
// The text bytes a waypoint record can carry and still fit a one-byte size:
// 48 head + name + 0x00 + description + 0x00 + four empty texts = 255.
constexpr int kMaxTextBytes = 255 - 48 - 2 - 4;
// How the receiver marks an unknown altitude or depth.
constexpr float kUnknown = 1.0e25f;

[[noreturn]] void overflow() { throw GipsoError(err::Overflow); }

void putInt16(QByteArray &out, int value)
{
    if (value < -32768 || value > 32767)
        overflow();
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void putUint32(QByteArray &out, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        out += char(value >> (8 * k));
}

void putFloat(QByteArray &out, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putUint32(out, bits);
}

void putText(QByteArray &out, const QString &text)
{
    out += latin1Text(text);
    out += '\0';
}

// Byte k of the data; bytes past its end read as 0.
uint8_t byteAt(const QByteArray &data, qsizetype k) { return k < data.size() ? uint8_t(data[k]) : 0; }

uint16_t uint16At(const QByteArray &data, qsizetype k) { return uint16_t(byteAt(data, k) | byteAt(data, k + 1) << 8); }

uint32_t uint32At(const QByteArray &data, qsizetype k)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | byteAt(data, k + i);
    return v;
}

float floatAt(const QByteArray &data, qsizetype k)
{
    const uint32_t bits = uint32At(data, k);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

// The text from byte k to the next zero byte or the end of the data; *end is set past it.
QString textAt(const QByteArray &data, qsizetype k, qsizetype *end = nullptr)
{
    qsizetype stop = k < data.size() ? data.indexOf('\0', k) : data.size();
    if (stop < 0)
        stop = data.size();
    if (end)
        *end = stop + 1;
    return k < stop ? QString::fromLatin1(data.constData() + k, stop - k) : QString();
}

double semicirclesToDegrees(int32_t semicircles) { return semicircles * 180.0 / kTwo31; }

// Rounded to nearest, ties to even; values past the 32-bit range overflow, the error naming
// the coordinate (valueText) and its value.
int32_t degreesToSemicircles(double degrees, msg::Id valueText)
{
    const double v = std::nearbyint(degrees / 180.0 * kTwo31);
    if (v == kTwo31)
        return INT32_MIN; // +180 is the meridian of -180
    if (!(v >= -kTwo31 && v < kTwo31))
        throw GipsoError(err::Overflow, formatMessage(messageText(valueText), {QString::number(degrees, 'g', 10)}));
    return int32_t(v);
}

void putPosition(QByteArray &out, const GpsPoint &point)
{
    putUint32(out, uint32_t(degreesToSemicircles(point.latitude, msg::LatitudeValue)));
    putUint32(out, uint32_t(degreesToSemicircles(point.longitude, msg::LongitudeValue)));
}

// An altitude as stored: 0 for the receiver's "unknown" and anything not finite.
float knownAltitude(float value) { return std::isfinite(value) && std::fabs(value) < 1.0e24f ? value : 0.0f; }

} // namespace

QByteArray latin1Text(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text)
        bytes += (c.unicode() > 0 && c.unicode() < 256) ? char(c.unicode()) : '?';
    return bytes;
}

QByteArray encodeAck(uint8_t id) { return QByteArray(1, char(id)) + '\0'; }

bool isAckOf(const Packet &packet, uint8_t id)
{
    // Some receivers send the id alone, without the zero byte.
    return packet.id == pid::Ack && packet.intact && !packet.data.isEmpty() && uint8_t(packet.data[0]) == id;
}

QByteArray encodeCommand(uint16_t command)
{
    QByteArray out;
    putInt16(out, int16_t(command));
    return out;
}

int decodeCommand(const QByteArray &data) { return data.size() >= 2 ? uint16At(data, 0) : -1; }

QByteArray encodeRecords(int32_t count)
{
    QByteArray out;
    putInt16(out, count);
    return out;
}

int32_t decodeRecords(const QByteArray &data) { return uint16At(data, 0); }

QByteArray encodeWaypoint(const GpsPoint &point)
{
    QString name = point.name;
    QString comment = point.description;
    if (name.size() > kMaxTextBytes)
        name.truncate(kMaxTextBytes);
    if (name.size() + comment.size() > kMaxTextBytes)
        comment.truncate(kMaxTextBytes - name.size());
    QByteArray d;
    d.reserve(54 + name.size() + comment.size());
    // Class user waypoint, default colour, display symbol and name, attributes, symbol 18,
    // and the subclass of a user waypoint.
    d += QByteArray::fromHex("00FF0060" "1200" "000000000000FFFFFFFFFFFFFFFFFFFFFFFF");
    putPosition(d, point);
    putFloat(d, point.altitude);
    d += QByteArray::fromHex("00000000" "00000000" "20202020"); // depth, proximity, state and country
    putText(d, name);
    putText(d, comment);
    d += QByteArray(4, '\0'); // facility, city, address, cross road: empty
    return d;
}

WaypointRecord decodeWaypoint(const QByteArray &data)
{
    WaypointRecord r;
    r.latitude = semicirclesToDegrees(int32_t(uint32At(data, 24)));
    r.longitude = semicirclesToDegrees(int32_t(uint32At(data, 28)));
    r.altitude = knownAltitude(floatAt(data, 32));
    qsizetype next = 0;
    r.name = textAt(data, 48, &next);
    r.comment = textAt(data, next);
    return r;
}

QByteArray encodeRouteHeader(const QString &name)
{
    QByteArray out;
    putText(out, name);
    return out;
}

QByteArray encodeRouteLink() { return QByteArray::fromHex("0300" "000000000000" "FFFFFFFFFFFFFFFFFFFFFFFF" "00"); }

QByteArray encodeTrackHeader(const QString &name)
{
    QByteArray out = QByteArray::fromHex("01FF"); // displayed, default colour
    putText(out, name);
    return out;
}

QString decodeTrackHeader(const QByteArray &data) { return textAt(data, 2); }

QByteArray encodeTrackPoint(const GpsPoint &point, bool newTrack)
{
    QByteArray d;
    d.reserve(21);
    putPosition(d, point);
    uint32_t seconds = 0; // dates before the receiver's epoch go as 0
    const qint64 days = kGarminEpoch.daysTo(dateOfValue(point.date));
    if (days >= 0)
        seconds = uint32_t(days * 86400 + timeOfValue(point.time).msecsSinceStartOfDay() / 1000);
    putUint32(d, seconds);
    putFloat(d, point.altitude);
    putFloat(d, kUnknown); // depth
    d += char(newTrack ? 1 : 0);
    return d;
}

TrackPointRecord decodeTrackPoint(const QByteArray &data)
{
    TrackPointRecord r;
    r.latitude = semicirclesToDegrees(int32_t(uint32At(data, 0)));
    r.longitude = semicirclesToDegrees(int32_t(uint32At(data, 4)));
    const uint32_t seconds = uint32At(data, 8);
    if (seconds != 0xFFFFFFFFu) { // otherwise the receiver knows no time for the point
        const uint32_t days = seconds / 86400;
        r.date = toDateValue(kGarminEpoch) + days;
        r.time = (seconds - days * 86400) / 86400.0;
    }
    r.altitude = knownAltitude(floatAt(data, 12));
    r.newTrack = byteAt(data, 20) != 0;
    return r;
}

QByteArray encodeProductData(int16_t product, int16_t version, const QString &description)
{
    QByteArray out;
    putInt16(out, product);
    putInt16(out, version);
    putText(out, description);
    return out;
}

} // namespace gipso
