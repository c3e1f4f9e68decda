#include "files/PointFiles.h"

namespace gipso {

bool isGpxPath(const QString &path) { return path.right(4).compare(QLatin1String(".gpx"), Qt::CaseInsensitive) == 0; }

QString productAddress() { return QStringLiteral("https://gipso.example.org"); }

QString programSignature()
{
    return QStringLiteral("Gipso %1.%2 - ").arg(GIPSO_VERSION_MAJOR).arg(GIPSO_VERSION_MINOR) + productAddress();
}

} // namespace gipso
