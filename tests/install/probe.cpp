// Copied into an install's bin folder beside gipso, it finds the read-only data the way the
// program does and prints what it found; with file names, the MIME type the desktop gives each.
#include "base/Config.h"
#include "base/Messages.h"
#include "options/About.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <cstdio>

namespace {
void print(const QString &line) { std::printf("%s\n", line.toUtf8().constData()); }
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList files = QCoreApplication::arguments().mid(1);
    if (!files.isEmpty()) {
        const QMimeDatabase db;
        for (const QString &file : files) {
            const QMimeType type = db.mimeTypeForFile(file);
            print(QStringLiteral("%1 %2 %3").arg(QFileInfo(file).fileName(), type.name(), type.allAncestors().join(u',')));
        }
        return 0;
    }
    print(QStringLiteral("data ") + gipso::dataDir());
    const gipso::ConfigEnvironment env = gipso::ConfigEnvironment::system();
    gipso::Settings settings;
    for (const gipso::LanguageEntry &e : gipso::readConfiguration(env, settings).languages)
        print(QStringLiteral("language %1 %2").arg(e.id).arg(e.caption));
    for (int language : {gipso::kItalian, gipso::kEnglish, 0}) {
        const QString manual = gipso::dataDir() + u'/' + gipso::helpFileName(language);
        print(QStringLiteral("manual %1 %2").arg(language).arg(QFileInfo(manual).isFile() ? manual : QStringLiteral("missing")));
    }
    for (int language : {gipso::kItalian, gipso::kEnglish})
        print(QStringLiteral("disclaimer %1 %2").arg(language).arg(gipso::disclaimerText(language, gipso::dataDir()).size()));
    return 0;
}
