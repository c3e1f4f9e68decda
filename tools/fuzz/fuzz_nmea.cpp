// NMEA acquisition: the first byte chooses the sentence (bit 0), the interval (bits 1-2), an
// end time (bit 3) and the read chunk (bits 4-7); the rest is what the receiver sends. The
// capture loop runs on the line's clock until the input runs out, as the dialog runs it.

#include "FuzzSupport.h"
#include "LinkSupport.h"

#include "base/Error.h"
#include "gps/Nmea.h"

#include <cmath>

using namespace gipso;
using namespace gipso::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t config = data[0];
    static const int kIntervals[] = {0, 1, 5, 20};
    FuzzLine f(data + 1, size - 1, config >> 4);
    NmeaCapture capture(config & 1 ? NmeaSentence::RMC : NmeaSentence::GGA, kIntervals[(config >> 1) & 3]);
    NmeaRunOptions options;
    options.now = [&f] { return f.line.nowMs() / 1000.0; };
    if (config & 8)
        options.endAt = 3.0; // shorter than the wait for a line: the capture ends quietly
    int32_t lines = 0;
    options.onLine = [&lines](const QString &, const NmeaCapture::Result &r) {
        ++lines;
        require(r.point.has_value() == (r.verdict == NmeaVerdict::Accepted),
                "a point without a fix, or a fix without a point");
    };
    PointList track;
    int32_t taken = 0;
    try {
        taken = runNmeaCapture(f.link, capture, track, options);
    } catch (const GipsoError &) {
        taken = track.count(); // the line fell silent: the points taken stay
    }
    require(taken == track.count() && taken <= lines, "points counted that were not appended");
    for (const GpsPoint &p : track)
        require(p.kind == PointKind::Track && std::fabs(p.latitude) <= 90 && std::fabs(p.longitude) <= 180
                    && std::isfinite(p.altitude),
                "a TrackPoint out of range");
    return 0;
}
