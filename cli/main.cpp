#include "base/Config.h"
#include "base/Messages.h"
#include "base/SafeFile.h"
#include "cli/Commands.h"
#include "cli/Help.h"
#include "cli/Options.h"
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
void print(FILE *to, const QString &text) { std::fputs(text.toLocal8Bit().constData(), to); }
} // namespace

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
    if (args.isEmpty()) {
        print(stderr, gipso::cli::usageText());
        return 1;
    }
    const QString &first = args[0];
    if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
        (first == QLatin1String("help") && args.size() == 1)) {
        print(stdout, gipso::cli::usageText());
        return 0;
    }
    if (first == QLatin1String("--version")) {
        print(stdout, gipso::cli::versionText());
        return 0;
    }
    // help COMMAND, or COMMAND --help: what it does and its options.
    const bool askedHelp = first == QLatin1String("help") || args.contains(QLatin1String("--help")) ||
                           args.contains(QLatin1String("-h"));
    const QString command = first == QLatin1String("help") ? args.value(1) : first;
    const std::map<QString, std::function<int(const QStringList &)>> commands = {
        {QStringLiteral("convert"), gipso::cli::convert},   {QStringLiteral("info"), gipso::cli::info},
        {QStringLiteral("map"), gipso::cli::map},           {QStringLiteral("render"), gipso::cli::render},
        {QStringLiteral("download"), gipso::cli::download}, {QStringLiteral("upload"), gipso::cli::upload},
        {QStringLiteral("nmea"), gipso::cli::nmea},         {QStringLiteral("list"), gipso::cli::list},
        {QStringLiteral("stats"), gipso::cli::stats},       {QStringLiteral("profile"), gipso::cli::profile},
    };
    auto it = commands.find(command);
    if (it == commands.end()) {
        const int status = gipso::cli::fail(first == QLatin1String("help")
                                                ? QStringLiteral("help: unknown command '%1'").arg(command)
                                                : QStringLiteral("unknown command '%1'").arg(command));
        print(stderr, gipso::cli::usageText());
        return status;
    }
    if (askedHelp) {
        print(stdout, gipso::cli::commandHelp(command));
        return 0;
    }
    args.removeFirst();
    try {
        const int status = it->second(args);
        // After the line that says what is wrong, how the command is written.
        if (status != 0 && gipso::cli::Options::mistakeReported())
            print(stderr, gipso::cli::commandUsage(command));
        return status;
    } catch (const std::bad_alloc &) {
        // The imports say so themselves, naming the file; anything else that runs out of memory ends here.
        return gipso::cli::fail(QStringLiteral("%1: %2").arg(command, qt_error_string(ENOMEM)));
    }
}
