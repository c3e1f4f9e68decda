#include "options/About.h"

#include "base/Messages.h"
#include "base/TextCodec.h"

#include <QFile>
#include <QFileInfo>

namespace gipso {

QString programVersion()
{
    return QStringLiteral("%1.%2.%3").arg(GIPSO_VERSION_MAJOR).arg(GIPSO_VERSION_MINOR).arg(GIPSO_VERSION_REVISION);
}

QString helpFileName(int language)
{
    const QString suffix = language == kItalian ? QStringLiteral("_Ita") : language == kEnglish ? QStringLiteral("_Eng") : QString();
    return QStringLiteral("Gipso") + suffix + QStringLiteral(".html");
}

QString disclaimerText(int language, const QString &dataFolder)
{
    const char *name = language == kItalian ? "Disclaimer_Ita.txt" : language == kEnglish ? "Disclaimer_Eng.txt" : nullptr;
    if (!name)
        return {};
    const QString path = dataFolder + QLatin1Char('/') + QLatin1String(name);
    QFile file(path);
    // A page of text: anything much larger, or not a plain file, is not ours to show.
    constexpr qint64 kMaxBytes = 64 * 1024;
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes)
        return {};
    return decodeText(file.read(kMaxBytes));
}

} // namespace gipso
