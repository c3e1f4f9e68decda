#include "files/PointFiles.h"

namespace gipso {

bool isGpxPath(const QString &path) { return path.right(4).compare(QLatin1String(".gpx"), Qt::CaseInsensitive) == 0; }

ImportResult readPointFile(const QString &path, PointStore &store, bool ignoreTxtDescription,
                           bool ignoreGpxDescription, const ProgressFn &progress)
{
    return isGpxPath(path) ? readGpx(path, store, ignoreGpxDescription, progress)
                           : readTextPointFile(path, store, ignoreTxtDescription, progress);
}

void writePointFile(const QString &path, PointStore &store, const ProgressFn &progress)
{
    if (isGpxPath(path))
        writeGpx(path, store, progress);
    else
        writeTextPointFile(path, store, progress);
}

QString productAddress() { return QStringLiteral("https://gipso.example.org"); }

QString programSignature()
{
    return QStringLiteral("Gipso %1.%2 - ").arg(GIPSO_VERSION_MAJOR).arg(GIPSO_VERSION_MINOR) + productAddress();
}

} // namespace gipso
