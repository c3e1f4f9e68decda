#pragma once

// Hex text and the Garmin link-layer framing.
//
// Every packet is built, sent, received and inspected as hex text: two uppercase digits per
// byte, no separators. A byte string is a QByteArray (one byte per byte). Byte numbers given
// to the reading codecs are 1-based positions in the hex text of a received packet: byte 1
// is the leading DLE, byte 2 the id, byte 3 the size, byte 4 the first data byte.
//
// The writing codecs raise GipsoError (err::Overflow, "Overflow") for a value that does not
// fit their type.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace gipso {

// Fixed packets, checksums included.
namespace pkt {
inline constexpr const char *CmdTransferWaypoints = "100A020700ED1003";
inline constexpr const char *CmdTransferRoute = "100A020400F01003";
inline constexpr const char *CmdTransferTrackLog = "100A020600EE1003";
inline constexpr const char *AckRecords = "1006021B00DD1003";
inline constexpr const char *AckRouteHeader = "1006021D00DB1003";
inline constexpr const char *AckRouteWaypoint = "1006021E00DA1003";
inline constexpr const char *AckRouteLink = "1006026200961003";
inline constexpr const char *AckTrackData = "1006022200D61003";
inline constexpr const char *AckWaypointData = "1006022300D51003";
inline constexpr const char *AckTransferComplete = "1006020C00EC1003";
inline constexpr const char *CompleteWaypoints = "100C020700EB1003";
inline constexpr const char *CompleteRoute = "100C020400EE1003";
inline constexpr const char *RouteHeaderROUTE = "101D06524F555445004E1003";
inline constexpr const char *RouteLink = "1062150300000000000000FFFFFFFFFFFFFFFFFFFFFFFF00921003";
} // namespace pkt

// Packet ids and command numbers of the device protocol.
namespace pid {
constexpr int Ack = 0x06;
constexpr int Nak = 0x15;
constexpr int CommandData = 0x0A;
constexpr int TransferComplete = 0x0C;
constexpr int Records = 0x1B;
constexpr int RouteHeader = 0x1D;
constexpr int RouteWaypoint = 0x1E;
constexpr int TrackData = 0x22;
constexpr int WaypointData = 0x23;
constexpr int RouteLink = 0x62;
constexpr int TrackHeader = 0x63;
constexpr int ProtocolArray = 0xFD;
constexpr int ProductRequest = 0xFE;
constexpr int ProductData = 0xFF;
} // namespace pid
namespace cmd {
constexpr int TransferRoute = 4;
constexpr int TransferTrackLog = 6;
constexpr int TransferWaypoints = 7;
} // namespace cmd

constexpr uint8_t DLE = 0x10;
constexpr uint8_t ETX = 0x03;

// Hex text <-> byte string. hex2string ignores a trailing odd digit.
QByteArray hex2string(QStringView hex);
QString string2hex(const QByteArray &bytes);

// Checksum of id, size and data given as hex: (256 - sum mod 256) mod 256, two digits.
QString creacheck(QStringView hex);
// Wire form of id, size, data and checksum: every 0x10 byte doubled, "10" in front, "1003" behind.
QString completastr(QStringView hex);
// Complete wire packet (hex) for an id and data bytes given as hex: size, checksum, framing.
QString buildPacket(int id, QStringView dataHex);

// Writing codecs.
QString scriviint1(int value);     // 0..255: two digits
QString scriviint2(int value);     // i16, little-endian
QString scriviint4(int64_t value); // i32, little-endian
QString scrivifloat(float value);  // IEEE-754 single, little-endian
// n > 0: the Latin-1 bytes of s cut or padded with spaces to n bytes; n = 0: the bytes and one 0x00.
// Characters outside Latin-1 are sent as '?'.
QString scrivistr(const QString &s, int n);

// Reading codecs (byte numbers are 1-based; see above).
int leggiint1(QStringView hex, int i);     // 0..255
int leggiint2(QStringView hex, int i);     // signed 16-bit
int32_t leggiint4(QStringView hex, int i); // signed 32-bit
float leggifloat(QStringView hex, int i);
// The bytes from byte i up to the next 0x00 byte (Latin-1), searched byte by byte. An
// unterminated text runs to the end of the packet's data (or of the hex text, if it is no packet).
QString leggistr(QStringView hex, int i);

// The text after the n-th CR LF counted from the end; the whole text if it has fewer.
QString tronca(const QString &text, int n);

} // namespace gipso
