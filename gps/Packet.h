#pragma once

// Packets of the Garmin link layer: an id and its data bytes. On the wire a packet is
// DLE, id, size, data, checksum, DLE ETX, with every DLE among size, data and checksum sent
// twice. Framing, stuffing and the checksum live here; reading a packet off the line is
// GarminLink's.

#include <QByteArray>
#include <cstdint>

namespace gipso {

struct Packet {
    uint8_t id = 0;
    QByteArray data;
    bool intact = true; // as received: checksum and framing were right
};

// Packet ids of the device protocol.
namespace pid {
constexpr uint8_t Ack = 0x06;
constexpr uint8_t CommandData = 0x0A;
constexpr uint8_t TransferComplete = 0x0C;
constexpr uint8_t Nak = 0x15;
constexpr uint8_t Records = 0x1B;
constexpr uint8_t RouteHeader = 0x1D;
constexpr uint8_t RouteWaypoint = 0x1E;
constexpr uint8_t TrackData = 0x22;
constexpr uint8_t WaypointData = 0x23;
constexpr uint8_t RouteLink = 0x62;
constexpr uint8_t TrackHeader = 0x63;
constexpr uint8_t ProtocolArray = 0xFD;
constexpr uint8_t ProductRequest = 0xFE;
constexpr uint8_t ProductData = 0xFF;
} // namespace pid

// Command numbers of Command data and Transfer complete.
namespace cmd {
constexpr uint16_t AbortTransfer = 0;
constexpr uint16_t TransferRoute = 4;
constexpr uint16_t TransferTrackLog = 6;
constexpr uint16_t TransferWaypoints = 7;
} // namespace cmd

constexpr uint8_t DLE = 0x10;
constexpr uint8_t ETX = 0x03;

// The byte that brings id + size + data to 0 modulo 256.
uint8_t checksum(uint8_t id, const QByteArray &data);
// The wire bytes of a packet. Data longer than 255 bytes raises GipsoError (Overflow).
QByteArray framePacket(const Packet &packet);
// The same with a given checksum byte (the simulated receiver sends wrong ones on purpose).
QByteArray framePacket(const Packet &packet, uint8_t check);

} // namespace gipso
