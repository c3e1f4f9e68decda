// Reading the configuration at start-up: a Gipso.cfg of 40,000 keys (read in one pass, each key
// found at once) and one of 300 MB of comments (not read at all: beyond the size bound).
// Usage: bench_config

#include "base/Config.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace gipso;

namespace {

void timeRead(const char *what, const ConfigEnvironment &env)
{
    Settings settings;
    QElapsedTimer t;
    t.start();
    const ConfigResult r = readConfiguration(env, settings);
    std::printf("%-28s %8.3f s  (%lld warnings)\n", what, t.nsecsElapsed() / 1e9, static_cast<long long>(r.warnings.size()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ConfigEnvironment env;
    env.configFile = dir.filePath(QStringLiteral("Gipso.cfg"));
    env.languageFile = dir.filePath(QStringLiteral("Gipso.lng"));
    env.loginName = QStringLiteral("anna");
    QFile lng(env.languageFile);
    lng.open(QIODevice::WriteOnly);
    lng.write("[Languages]\r\nLang01=Italiano,1040\r\nLang02=English,2057\r\n");
    lng.close();

    QFile cfg(env.configFile);
    cfg.open(QIODevice::WriteOnly);
    cfg.write("[User anna]\r\n");
    for (int i = 0; i < 40000; ++i)
        cfg.write(QByteArray("Key") + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n");
    cfg.close();
    timeRead("Gipso.cfg of 40,000 keys", env);

    cfg.open(QIODevice::WriteOnly);
    const QByteArray comments = QByteArray(1023, ';') + '\n';
    for (int i = 0; i < 300 * 1024; ++i)
        cfg.write(comments);
    cfg.close();
    timeRead("Gipso.cfg of 300 MB", env);
    return 0;
}
