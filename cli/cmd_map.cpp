#include "cli/Commands.h"
#include "cli/Options.h"

#include "base/Error.h"
#include "base/SafeFile.h"
#include "map/MapFiles.h"
#include "map/TempFolder.h"

#include <QFileInfo>
#include <cstdio>

namespace gipso::cli {

// map FILE: size and stored calibration; map IN --save OUT: IN written as .cal or .Gipso.
int map(const QStringList &args)
{
    Options o(QStringLiteral("map"), args, {QStringLiteral("--save")});
    const QString in = o.positional().value(0);
    const QString out = o.value(QStringLiteral("--save"));
    const bool save = o.has(QStringLiteral("--save"));
    if (in.isEmpty())
        o.reject(QStringLiteral("no map file given"));
    if (o.positional().size() > 1)
        o.reject(QStringLiteral("more than one map file given"));
    if (!o.ok())
        return fail(o.error());
    if (!QFileInfo(in).isFile())
        return fail(QStringLiteral("%1: no such file").arg(in));
    if (save && mapFileKind(out) == MapFileKind::Picture)
        return fail(QStringLiteral("%1: the output must end in .cal or .Gipso").arg(out));

    // The container's JPEG is extracted here, as the program extracts it into its own folder;
    // only containers need it.
    const TempFolder temp(QStringLiteral("gipso-cli"));
    if (!temp.isValid()) {
        for (const QString &file : {in, out})
            if (mapFileKind(file) == MapFileKind::Container)
                return fail(QStringLiteral("%1: %2").arg(file, temp.error()));
    }
    const TemporaryGuard removedOnSignals(temp.path());
    const QString tempDir = temp.path();
    const MapLoad load = loadMapFile(in, tempDir);
    if (load.status != MapLoad::Loaded)
        return fail(QStringLiteral("%1: %2").arg(in, load.error));

    if (!save) {
        std::printf("size %d %d\n", load.picture.width(), load.picture.height());
        if (!load.calibration) {
            std::printf("calibration none\n");
        } else {
            QStringList numbers;
            for (double v : storedNumbers(*load.calibration))
                numbers << storedNumberText(v);
            std::printf("calibration %s\n", numbers.join(QLatin1Char(' ')).toUtf8().constData());
        }
        return 0;
    }

    if (!load.calibration)
        return fail(QStringLiteral("%1: the map is not calibrated").arg(in));
    QString backing = load.imagePath;
    try {
        saveMapFile(load.picture, *load.calibration, out, tempDir, backing);
    } catch (const GipsoError &e) {
        return fail(e.description());
    }
    return 0;
}

} // namespace gipso::cli
