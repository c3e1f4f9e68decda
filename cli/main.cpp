#include "base/Config.h"
#include "base/Messages.h"
#include "base/SafeFile.h"
#include "cli/Commands.h"
#include "map/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace gipso::cli {

namespace {
// Gipso.cfg, read once at start-up for every command.
Settings &settingsRead()
{
    static Settings settings;
    return settings;
}
} // namespace

int fail(const QString &message)
{
    std::fprintf(stderr, "gipso-cli: %s\n", message.toLocal8Bit().constData());
    return 1;
}

const Settings &userSettings() { return settingsRead(); }

} // namespace gipso::cli

namespace {
const char *kUsage =
    "usage: gipso-cli COMMAND ...\n"
    "  convert IN OUT                 convert a point file (.txt or .gpx, by extension)\n"
    "  info FILE                      count the points of a point file\n"
    "  map FILE [--save OUT]          show a map's size and calibration, or save it as .cal/.Gipso\n"
    "  render MAP [POINTFILE...] -o OUT.png [--size WxH] [--zoom F] [--scroll H,V]\n"
    "  download waypoints|route|tracks --port DEV [--baud N] [--timeout MS] [--verbose] -o FILE\n"
    "  upload waypoints|route --port DEV [--baud N] [--timeout MS] [--verbose] FILE\n"
    "  nmea --port DEV [--baud N] [--sentence GGA|RMC] [--interval S] (--duration S | --count N) [--timeout MS] [--verbose] -o FILE\n"
    "  list waypoints|route|tracks FILE... [--units metric|nautical] [--lang it|en]\n"
    "  stats FILE... [--units metric|nautical] [--lang it|en]\n"
    "  profile route|tracks FILE... -o OUT.png [--size WxH] [--units metric|nautical] [--lang it|en]\n";
}

int main(int argc, char **argv)
{
    // A stopped run leaves no temporary behind; first, before any thread starts.
    gipso::removeTemporariesOnSignals();
    // Rendering needs fonts and painting, which need a GUI application; keep it off any display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform wants a runtime folder; give it a private one rather than a warning.
    // It is made only where a private temporary folder can be made, and goes at exit.
    std::unique_ptr<gipso::TempFolder> runtime;
    std::unique_ptr<gipso::TemporaryGuard> runtimeGuard;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime = std::make_unique<gipso::TempFolder>(QStringLiteral("gipso-runtime"));
        if (runtime->isValid()) {
            runtimeGuard = std::make_unique<gipso::TemporaryGuard>(runtime->path());
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
        }
    }
    QGuiApplication app(argc, argv);
    // Gipso.cfg once for every command; messages in the user's language, as the program shows them.
    const gipso::ConfigResult config = gipso::readConfiguration(gipso::ConfigEnvironment::system(),
                                                                gipso::cli::settingsRead());
    gipso::setLanguage(config.language);
    for (const QString &warning : config.warnings)
        std::fprintf(stderr, "gipso-cli: warning: %s\n", warning.toLocal8Bit().constData());
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 1 : 0;
    }
    const std::map<QString, std::function<int(const QStringList &)>> commands = {
        {QStringLiteral("convert"), gipso::cli::convert},   {QStringLiteral("info"), gipso::cli::info},
        {QStringLiteral("map"), gipso::cli::map},           {QStringLiteral("render"), gipso::cli::render},
        {QStringLiteral("download"), gipso::cli::download}, {QStringLiteral("upload"), gipso::cli::upload},
        {QStringLiteral("nmea"), gipso::cli::nmea},         {QStringLiteral("list"), gipso::cli::list},
        {QStringLiteral("stats"), gipso::cli::stats},       {QStringLiteral("profile"), gipso::cli::profile},
    };
    const QString command = args.takeFirst();
    auto it = commands.find(command);
    if (it == commands.end()) {
        std::fputs(kUsage, stderr);
        return gipso::cli::fail(QStringLiteral("unknown command '%1'").arg(command));
    }
    try {
        return it->second(args);
    } catch (const std::bad_alloc &) {
        // The imports say so themselves, naming the file; anything else that runs out of memory ends here.
        return gipso::cli::fail(QStringLiteral("%1: %2").arg(command, qt_error_string(ENOMEM)));
    }
}
