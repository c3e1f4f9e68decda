#include "PacketReader.h"

using gipso::DLE;
using gipso::ETX;

namespace gpssim {

void PacketReader::feed(const QByteArray &bytes, QList<gipso::Packet> &out)
{
    for (char c : bytes)
        take(uint8_t(c), out);
}

void PacketReader::take(uint8_t b, QList<gipso::Packet> &out)
{
    if (state_ == WaitDle) {
        if (b == DLE)
            state_ = Id;
        return;
    }
    if (state_ == Id) {
        if (b == DLE || b == ETX) { // not a packet start after all
            state_ = b == DLE ? Id : WaitDle;
            return;
        }
        cur_ = gipso::Packet{};
        cur_.id = b;
        state_ = Size;
        pendingDle_ = false;
        return;
    }
    if (state_ == Size || state_ == Data || state_ == Check) {
        if (pendingDle_) {
            pendingDle_ = false;
            if (b != DLE) { // a lone DLE: give up on this packet
                state_ = b == ETX ? WaitDle : Id;
                return;
            }
        } else if (b == DLE) {
            pendingDle_ = true;
            return;
        }
        if (state_ == Size) {
            size_ = b;
            state_ = size_ ? Data : Check;
        } else if (state_ == Data) {
            cur_.data += char(b);
            if (cur_.data.size() == size_)
                state_ = Check;
        } else {
            cur_.intact = gipso::checksum(cur_.id, cur_.data) == b;
            state_ = EndDle;
        }
        return;
    }
    if (state_ == EndDle) {
        state_ = b == DLE ? EndEtx : WaitDle;
        return;
    }
    if (b == ETX)
        out << cur_;
    state_ = WaitDle;
}

} // namespace gpssim
