// Map files as File > Open Map reads them. Built three times: MAP_FILE_NAME picks the reader
// by its extension (a picture, a ".cal" file or a ".Gipso" container). The load must say
// what it did, leave nothing behind in the temporary folder unless it loaded a container
// (whose JPEG then backs the map), and a calibration it took must survive being written again.
//
// A container input that is not a ZIP archive is taken as its two members, the calibration
// text up to the first zero byte and the JPEG after it, zipped as the program zips them: the
// members' checksums would otherwise stop almost every change of their bytes.

#include "FuzzSupport.h"

#include "map/MapFiles.h"
#include "map/Zip.h"

#include <QDir>
#include <cstring>

using namespace gipso;
using namespace gipso::fuzz;

namespace {

void writeContainerOfMembers(const QString &path, const uint8_t *data, size_t size)
{
    const auto *zero = static_cast<const uint8_t *>(std::memchr(data, 0, size));
    const size_t textSize = zero ? size_t(zero - data) : size;
    const QString folder = privateDir() + QStringLiteral("members/");
    QDir().mkpath(folder);
    ZipWriter zip;
    zip.addFile(writeInput(QStringLiteral("members/map.jpg"), zero ? zero + 1 : data + size,
                           zero ? size - textSize - 1 : 0), true);
    zip.addFile(writeInput(QStringLiteral("members/map.txt"), data, textSize));
    require(zip.write(path), "cannot write the container of the members");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString name = QStringLiteral(MAP_FILE_NAME);
    QString path;
    if (mapFileKind(name) == MapFileKind::Container && !(size >= 2 && data[0] == 'P' && data[1] == 'K')) {
        path = privateDir() + name;
        writeContainerOfMembers(path, data, size);
    } else {
        path = writeInput(name, data, size);
    }
    const MapLoad load = loadMapFile(path, privateDir());

    switch (load.status) {
    case MapLoad::Loaded:
        require(!load.picture.isNull() && (load.calibration || mapFileKind(path) == MapFileKind::Picture),
                "a map loaded without its picture or calibration");
        break;
    case MapLoad::CalibrationRejected:
        require(!load.picture.isNull() && !load.calibration, "a rejected calibration kept, or no picture");
        break;
    case MapLoad::Failed:
        require(load.picture.isNull() && !load.calibration, "a failed load kept a picture or calibration");
        break;
    }
    require(load.status == MapLoad::Loaded || !load.error.isEmpty(), "a map not loaded without a reason");

    QStringList expected{name};
    if (!load.imagePath.isEmpty()) {
        require(load.status == MapLoad::Loaded && mapFileKind(path) == MapFileKind::Container,
                "an extracted picture kept for a map that did not load");
        require(load.imagePath.startsWith(privateDir()), "a picture extracted outside the temporary folder");
        expected << load.imagePath.mid(privateDir().size());
    }
    QStringList files = privateFiles();
    files.sort();
    expected.sort();
    require(files == expected, "files left behind in the temporary folder");

    if (load.calibration) {
        MapCalibration again;
        require(parseCalibrationText(calibrationText(*load.calibration), again)
                    && storedNumbers(again) == storedNumbers(*load.calibration),
                "a calibration does not read back as written");
    }
    clearPrivateDir();
    return 0;
}
