#include "gps/Packet.h"

#include "base/Error.h"

namespace gipso {

uint8_t checksum(uint8_t id, const QByteArray &data)
{
    unsigned sum = id + unsigned(data.size());
    for (char c : data)
        sum += uint8_t(c);
    return uint8_t(256 - sum % 256);
}

QByteArray framePacket(const Packet &packet) { return framePacket(packet, checksum(packet.id, packet.data)); }

QByteArray framePacket(const Packet &packet, uint8_t check)
{
    if (packet.data.size() > 255)
        throw GipsoError(err::Overflow);
    QByteArray wire;
    wire.reserve(packet.data.size() + 12);
    auto stuffed = [&wire](uint8_t b) {
        wire += char(b);
        if (b == DLE)
            wire += char(DLE);
    };
    wire += char(DLE);
    wire += char(packet.id);
    stuffed(uint8_t(packet.data.size()));
    for (char c : packet.data)
        stuffed(uint8_t(c));
    stuffed(check);
    wire += char(DLE);
    wire += char(ETX);
    return wire;
}

} // namespace gipso
