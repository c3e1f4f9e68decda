// The transfers over the in-memory line: the first byte picks the transfer (the three
// downloads and the two uploads) and the read chunk; the rest is what the receiver sends.
// Whatever it sends, only whole points may reach the store.

#include "FuzzSupport.h"
#include "LinkSupport.h"

#include "base/Error.h"
#include "gps/Transfers.h"

using namespace gipso;
using namespace gipso::fuzz;

namespace {

constexpr CommMode kModes[] = {CommMode::DownloadWayPoints, CommMode::DownloadRoutePoints,
                               CommMode::DownloadTrackPoints, CommMode::UploadWayPoints,
                               CommMode::UploadRoutePoints};

// Two points of each list, for the uploads.
PointStore uploadStore()
{
    PointStore s;
    for (PointKind kind : allPointKinds)
        for (int i = 1; i <= 2; ++i) {
            GpsPoint p;
            p.kind = kind;
            p.latitude = 45.0 + i;
            p.longitude = 9.0 + i;
            p.name = QStringLiteral("P%1").arg(i);
            s.list(kind).append(p);
        }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const CommMode mode = kModes[(data[0] & 0x0F) % std::size(kModes)];
    const bool upload = mode == CommMode::UploadWayPoints || mode == CommMode::UploadRoutePoints;
    FuzzLine f(data + 1, size - 1, data[0] >> 4);
    PointStore store = upload ? uploadStore() : PointStore();
    const PointStore before = store;
    try {
        runTransfer(mode, f.link, store);
    } catch (const GipsoError &) {
        // a time-out (the input ran out) or an overflow: the points received so far stay
    }
    checkStore(store);
    if (upload)
        for (PointKind kind : allPointKinds)
            require(store.list(kind).count() == before.list(kind).count(), "an upload changed the store");
    return 0;
}
