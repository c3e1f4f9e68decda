// libFuzzer target for both point-file readers: the input is written to a file and imported
// as a text point file and as GPX. Built and run by run.sh.

#include "files/PointFiles.h"

#include "base/Error.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("input"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    for (bool gpx : {false, true}) {
        gipso::PointStore store;
        if (gpx)
            gipso::readGpx(path, store, false);
        else
            gipso::readTextPointFile(path, store, true);
        // Every point is in the list of its kind.
        for (gipso::PointKind kind : gipso::allPointKinds)
            for (const gipso::GpsPoint &p : store.list(kind))
                if (p.kind != kind)
                    std::abort();
    }
    return 0;
}
