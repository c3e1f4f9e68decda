#include "files/PointFiles.h"

namespace gipso {

bool isGpxPath(const QString &path) { return path.right(4).compare(QLatin1String(".gpx"), Qt::CaseInsensitive) == 0; }

ImportResult importPointFile(const QString &path, PointStore &store, const Settings &settings,
                             const ProgressFn &progress)
{
    return isGpxPath(path) ? readGpx(path, store, settings.IgnoreGPXDescription == 1, progress)
                           : readTextPointFile(path, store, settings.IgnoreTxTDescription == 1, progress);
}

ImportResult readPointFile(const QString &path, PointStore &store)
{
    Settings keepAll;
    keepAll.IgnoreTxTDescription = keepAll.IgnoreGPXDescription = 0;
    return importPointFile(path, store, keepAll);
}

void writePointFile(const QString &path, PointStore &store, const ProgressFn &progress)
{
    if (isGpxPath(path))
        writeGpx(path, store, progress);
    else
        writeTextPointFile(path, store, progress);
}

} // namespace gipso
