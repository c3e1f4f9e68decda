#include "FuzzSupport.h"

#include "base/Clock.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "base/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace gipso::fuzz {

const QString &privateDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/gipso-fuzz-XXXXXX"));
    static const QString path = dir.isValid() ? dir.path() + QLatin1Char('/') : QString();
    require(!path.isEmpty(), "no private temporary folder");
    return path;
}

QString writeInput(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = privateDir() + name;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    require(writeFileAtomically(path, bytes), "cannot write the input file");
    return path;
}

QStringList privateFiles() { return QDir(privateDir()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

void clearPrivateDir()
{
    QDir dir(privateDir());
    for (const QString &name : privateFiles())
        dir.remove(name);
}

void require(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "gipso fuzz: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void checkStore(const PointStore &store)
{
    for (PointKind kind : allPointKinds)
        for (const GpsPoint &p : store.list(kind)) {
            require(p.kind == kind, "a point in the list of another kind");
            require(std::isfinite(p.latitude) && std::isfinite(p.longitude) && std::isfinite(p.altitude)
                        && std::isfinite(p.date) && std::isfinite(p.time),
                    "a point with a value that is not finite");
        }
}

bool importChecked(Importer import, const QString &path, PointStore &store, bool ignoreDescriptions)
{
    ImportResult r;
    try {
        r = import(path, store, ignoreDescriptions, {});
    } catch (const GipsoError &) {
        return false;
    }
    checkStore(store);
    require(store.allEmpty() || r.readable, "points imported from a file called unreadable");
    return true;
}

void exportAndImport(Exporter save, Importer import, const QString &path, PointStore &store, PointStore &again)
{
    try {
        save(path, store, {});
        import(path, again, false, {});
    } catch (const GipsoError &e) {
        require(false, qPrintable(QStringLiteral("imported points do not export and import: ") + e.description()));
    }
}

} // namespace gipso::fuzz

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    gipso::setClock([] { return QDateTime(QDate(2026, 5, 12), QTime(17, 44, 27)); });
    gipso::setLanguage(gipso::kEnglish);
    return 0;
}
