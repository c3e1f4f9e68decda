// The packet receive path: the input after its first byte (the read chunk) is what the
// receiver sends; every packet is read and given to each record decoder.

#include "FuzzSupport.h"
#include "LinkSupport.h"

#include "base/Error.h"
#include "gps/Records.h"

#include <cmath>

using namespace gipso;
using namespace gipso::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    FuzzLine f(data + 1, size - 1, data[0] % 8);
    try {
        for (;;) {
            const Packet p = f.link.receivePacket();
            require(p.data.size() <= 255, "a packet longer than its size byte allows");
            const WaypointRecord w = decodeWaypoint(p.data);
            const TrackPointRecord t = decodeTrackPoint(p.data);
            require(std::fabs(w.latitude) <= 180 && std::fabs(w.longitude) <= 180 && std::isfinite(w.altitude),
                    "a waypoint record decoded out of range");
            require(std::fabs(t.latitude) <= 180 && std::fabs(t.longitude) <= 180 && std::isfinite(t.altitude)
                        && std::isfinite(t.date) && std::isfinite(t.time),
                    "a track point record decoded out of range");
            require(decodeRecords(p.data) >= 0, "a negative Records count");
            decodeTrackHeader(p.data);
            decodeCommand(p.data);
            isAckOf(p, p.id);
        }
    } catch (const GipsoError &) {
        // the input ran out: the line fell silent
    }
    return 0;
}
