// Point files, built twice: POINT_FILE_GPX picks GPX, else the text point file. The input is
// imported; what was imported must export and import again with as many points of each kind
// (a saved file the program cannot read back loses the user's points). The text format keeps
// names, descriptions and positions to its decimals; GPX may change texts (line breaks become
// spaces).

#include "FuzzSupport.h"

#include <cmath>

using namespace gipso;
using namespace gipso::fuzz;

namespace {

#ifdef POINT_FILE_GPX
constexpr bool kGpx = true;
#else
constexpr bool kGpx = false;
#endif
const Importer kImport = kGpx ? readGpx : readTextPointFile;
const Exporter kExport = kGpx ? writeGpx : writeTextPointFile;

// Equal within the decimals the text file keeps.
bool near(double a, double b, double step) { return std::fabs(a - b) <= step + 1e-12 * std::fabs(a); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString ext = kGpx ? QStringLiteral(".gpx") : QStringLiteral(".txt");
    PointStore store;
    if (!importChecked(kImport, writeInput(QStringLiteral("points") + ext, data, size), store, size % 2 == 1)
        || store.allEmpty())
        return 0;
    PointStore again;
    exportAndImport(kExport, kImport, privateDir() + QStringLiteral("export") + ext, store, again);
    for (PointKind kind : allPointKinds) {
        const PointList &x = store.list(kind), &y = again.list(kind);
        require(x.count() == y.count(), "exported points do not import again");
        for (int32_t i = 1; i <= x.count() && !kGpx; ++i) {
            require(x[i].name == y[i].name && x[i].description == y[i].description,
                    "a name or description changed on export and import");
            require(near(x[i].latitude, y[i].latitude, 1e-10) && near(x[i].longitude, y[i].longitude, 1e-10)
                        && near(x[i].altitude, y[i].altitude, 1e-2),
                    "a position changed on export and import");
        }
    }
    return 0;
}
