#pragma once

// The records of the device protocol: the data bytes of its packets, one encoder and one
// decoder per record type (a decoder where Gipso or the simulated receiver reads the record).
// Numbers are little-endian; positions in semicircles (2^31 to 180 degrees); times in seconds
// since 1989-12-31 00:00:00, unsigned; texts in Latin-1 ('?' for any other character), ended
// by a zero byte. A decoder reads bytes missing from short data as zero and ends a text at
// the first zero byte or at the end of the data. Encoders raise GipsoError (Overflow) for a
// value that does not fit its field; for a position the description names the coordinate and
// its value ("longitude 181").

#include "gps/Packet.h"
#include "points/PointStore.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace gipso {

// Ack and Nak: the id of the packet answered and a zero byte.
QByteArray encodeAck(uint8_t id);
// Whether a packet is an intact Ack of the given id.
bool isAckOf(const Packet &packet, uint8_t id);

// Command data and Transfer complete: a command number.
QByteArray encodeCommand(uint16_t command);
// -1 when the data is too short to hold one.
int decodeCommand(const QByteArray &data);

// Records: how many packets the transfer brings.
QByteArray encodeRecords(int32_t count); // at most 32767
int32_t decodeRecords(const QByteArray &data);

// D108 waypoint; a route's RoutePoints travel as waypoints too.
struct WaypointRecord {
    double latitude = 0.0; // degrees
    double longitude = 0.0;
    float altitude = 0.0f; // metres; 0 when the receiver does not know it
    QString name;          // the identifier as sent
    QString comment;
};
// The name and the description go as identifier and comment, cut so that the record fits one
// packet (the description gives way first). A longitude of +180 goes as -2^31, the same meridian.
QByteArray encodeWaypoint(const GpsPoint &point);
WaypointRecord decodeWaypoint(const QByteArray &data);

// D202 route header: the route's name.
QByteArray encodeRouteHeader(const QString &name);
// D210 route link between two RoutePoints: a direct line, no subclass, no identifier.
QByteArray encodeRouteLink();

// D310 track header: displayed, default colour, the track's name.
QByteArray encodeTrackHeader(const QString &name);
QString decodeTrackHeader(const QByteArray &data);

// D301 track point.
struct TrackPointRecord {
    double latitude = 0.0;
    double longitude = 0.0;
    double date = 0.0;     // date values; both 0 when the receiver has no time for the point
    double time = 0.0;
    float altitude = 0.0f; // 0 when unknown
    bool newTrack = false;
};
// Position, time, altitude, depth unknown, and whether the point starts a track.
QByteArray encodeTrackPoint(const GpsPoint &point, bool newTrack);
TrackPointRecord decodeTrackPoint(const QByteArray &data);

// Product data: the product id, the software version in hundredths, the description.
QByteArray encodeProductData(int16_t product, int16_t version, const QString &description);

// The Latin-1 bytes of a text, without terminator.
QByteArray latin1Text(const QString &text);

} // namespace gipso
