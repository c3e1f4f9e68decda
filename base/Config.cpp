#include "base/Config.h"

#include "base/IniFile.h"
#include "base/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <pwd.h>
#include <unistd.h>

namespace gipso {

namespace {
const QString kInstall = QStringLiteral("Install");
const QString kLanguages = QStringLiteral("Languages");
// Ours, beside SerialPort, written only while a typed device path is the port in use.
const QString kSerialDevice = QStringLiteral("SerialDevice");
const QString kPointFileFilter = QStringLiteral("PointFileFilter");

std::optional<QString> systemLoginName()
{
    if (struct passwd *pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name).trimmed();
    QString env = qEnvironmentVariable("USER").trimmed();
    if (!env.isEmpty())
        return env;
    return std::nullopt;
}

// Integer keys of the user section, in the order they are written (after Language).
struct IntKey {
    const char *key;
    enum { I16, I32, Colour } type;
    void *field;
};

std::vector<IntKey> intKeys(Settings &s)
{
    return {
        {"SerialPort", IntKey::I16, &s.serialPort},
        {"WayPointColor", IntKey::Colour, &s.WayPointColor},
        {"RouteColor", IntKey::Colour, &s.RouteColor},
        {"TrackColor", IntKey::Colour, &s.TrackColor},
        {"CharDimension", IntKey::I16, &s.CharDimension},
        {"LineThickness", IntKey::I16, &s.LineThickness},
        {"CursorThickness", IntKey::I16, &s.CursorThickness},
        {"SymbolDim", IntKey::I16, &s.SymbolDim},
        {"WayPointSymbol", IntKey::I16, &s.WayPointSymbol},
        {"WayPointName", IntKey::I16, &s.WayPointName},
        {"RoutePointSymbol", IntKey::I16, &s.RoutePointSymbol},
        {"RoutePointName", IntKey::I16, &s.RoutePointName},
        {"RouteHeadings", IntKey::I16, &s.RouteHeadings},
        {"RouteLengths", IntKey::I16, &s.RouteLengths},
        {"TrackPointSymbol", IntKey::I16, &s.TrackPointSymbol},
        {"TrackPointName", IntKey::I16, &s.TrackPointName},
        {"AutoTrackPointColor", IntKey::I16, &s.AutoTrackPointColor},
        {"IgnoreTxTDescription", IntKey::I16, &s.IgnoreTxTDescription},
        {"IgnoreGPXDescription", IntKey::I16, &s.IgnoreGPXDescription},
        {"Units", IntKey::I16, &s.Units},
        {"NMEASentence", IntKey::I16, &s.nmeaSentence},
        {"NMEATime", IntKey::I16, &s.nmeaTime},
        {"WindowLeft", IntKey::I32, &s.WindowLeft},
        {"WindowTop", IntKey::I32, &s.WindowTop},
        {"WindowWidth", IntKey::I32, &s.WindowWidth},
        {"WindowHeight", IntKey::I32, &s.WindowHeight},
        {"WindowMax", IntKey::I32, &s.WindowMax},
    };
}

std::vector<std::pair<const char *, QString *>> stringKeys(Settings &s)
{
    return {{"CurrentDir", &s.CurrentDir}, {"LastMap1", &s.LastMap1}, {"LastMap2", &s.LastMap2}, {"LastMap3", &s.LastMap3}};
}

int16_t toI16(int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX)); }

// $GIPSO_CONFIG_DIR, else $XDG_CONFIG_HOME/gipso (~/.config/gipso).
QString configDir()
{
    QString dir = qEnvironmentVariable("GIPSO_CONFIG_DIR");
    if (dir.isEmpty()) {
        QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (xdg.isEmpty())
            xdg = QDir::homePath() + QStringLiteral("/.config");
        dir = xdg + QStringLiteral("/gipso");
    }
    return dir;
}
} // namespace

QString colourToHex(int32_t colour) { return QString::number(static_cast<quint32>(colour), 16).toUpper(); }

int languageIdForLocale(const QString &localeName)
{
    // By the primary language alone: every English and Italian variant is one of ours; the
    // C/POSIX locale (no language chosen) is English.
    const QString lang = localeName.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0).section(QLatin1Char('_'), 0, 0);
    if (lang.compare(QLatin1String("it"), Qt::CaseInsensitive) == 0)
        return 1040;
    if (lang.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 || lang == QLatin1String("C") ||
        lang == QLatin1String("POSIX"))
        return 2057;
    return 0;
}

QString dataDir()
{
    QString env = qEnvironmentVariable("GIPSO_DATA_DIR");
    if (!env.isEmpty())
        return env;
    if (QCoreApplication::instance()) {
        QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/gipso");
        if (QFileInfo::exists(installed + QStringLiteral("/Gipso.lng")))
            return QDir::cleanPath(installed);
    }
#ifdef GIPSO_SOURCE_DATA_DIR
    if (QFileInfo::exists(QStringLiteral(GIPSO_SOURCE_DATA_DIR "/Gipso.lng")))
        return QStringLiteral(GIPSO_SOURCE_DATA_DIR);
#endif
    return QStringLiteral(GIPSO_DATA_DIR);
}

ConfigEnvironment ConfigEnvironment::system()
{
    ConfigEnvironment env;
    const QString cfg = configDir();
    env.configFile = cfg + QStringLiteral("/Gipso.cfg");
    env.languageFile = cfg + QStringLiteral("/Gipso.lng");
    if (!QFileInfo::exists(env.languageFile))
        env.languageFile = dataDir() + QStringLiteral("/Gipso.lng");
    env.programDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    env.loginName = systemLoginName();
    QString localeName = qEnvironmentVariable("LC_ALL");
    if (localeName.isEmpty())
        localeName = qEnvironmentVariable("LC_MESSAGES");
    if (localeName.isEmpty())
        localeName = qEnvironmentVariable("LANG");
    if (localeName.isEmpty())
        localeName = QLocale::system().name();
    env.systemLanguage = languageIdForLocale(localeName);
    return env;
}

ConfigResult readConfiguration(const ConfigEnvironment &env, Settings &settings)
{
    ConfigResult result;
    IniFile cfg;
    cfg.load(env.configFile);
    IniFile lng;
    lng.load(env.languageFile);
    for (const IniFile *file : {&cfg, &lng})
        if (!file->problem().isEmpty())
            result.warnings << file->problem();

    const int installLanguage = cfg.integer(kInstall, QStringLiteral("Language"), 1040);

    for (int i = 1; i <= 99; ++i) {
        QString v = lng.text(kLanguages, QStringLiteral("Lang%1").arg(i, 2, 10, QLatin1Char('0')), QString());
        if (v.isEmpty())
            break;
        LanguageEntry e;
        qsizetype comma = v.indexOf(QLatin1Char(','));
        e.caption = (comma < 0 ? v : v.left(comma)).trimmed();
        bool ok = false;
        e.id = comma < 0 ? 0 : v.mid(comma + 1).trimmed().toInt(&ok);
        if (!ok)
            e.id = 0; // a value without a usable id shows its caption but never matches
        result.languages.push_back(e);
    }
    auto listed = [&](int id) {
        for (const auto &e : result.languages)
            if (e.id == id && id != 0)
                return true;
        return false;
    };

    settings = Settings{};
    settings.CurrentDir = env.programDir;

    int candidate = listed(installLanguage) ? installLanguage : 1040;
    result.language = candidate;

    if (!env.loginName || env.loginName->trimmed().isEmpty())
        return result;
    const QString section = QStringLiteral("User ") + env.loginName->trimmed();
    result.userSection = section;

    if (env.systemLanguage != 0 && listed(env.systemLanguage))
        candidate = env.systemLanguage;
    const int language = cfg.integer(section, QStringLiteral("Language"), candidate);
    if (listed(language))
        result.language = language;
    settings.Language = result.language;
    result.windowStored = cfg.integer(section, QStringLiteral("WindowWidth"), -1) > 0;

    for (const IntKey &k : intKeys(settings)) {
        const QString key = QLatin1String(k.key);
        switch (k.type) {
        case IntKey::I16: {
            auto *f = static_cast<int16_t *>(k.field);
            *f = toI16(cfg.integer(section, key, *f));
            break;
        }
        case IntKey::I32: {
            auto *f = static_cast<int32_t *>(k.field);
            *f = cfg.integer(section, key, *f);
            break;
        }
        case IntKey::Colour: {
            auto *f = static_cast<int32_t *>(k.field);
            QString t = cfg.text(section, key, colourToHex(*f)).trimmed();
            if (!t.isEmpty()) {
                bool ok = false;
                uint v = t.toUInt(&ok, 16);
                if (ok)
                    *f = static_cast<int32_t>(v & 0xFFFFFF);
            }
            break;
        }
        }
    }
    settings.serialDevice = cfg.text(section, kSerialDevice, QString()).trimmed();
    for (auto &[key, field] : stringKeys(settings)) {
        QString t = cfg.text(section, QLatin1String(key), *field);
        if (!t.isEmpty())
            *field = t;
    }
    settings.PointFileFilter = toI16(cfg.integer(section, kPointFileFilter, settings.PointFileFilter));
    return result;
}

bool writeConfiguration(const ConfigEnvironment &env, const QString &userSection, const Settings &settingsIn,
                        int checkedLanguage, QString *error)
{
    // Without a login name at start-up the settings go to a section of the OS user, if any.
    QString section = userSection;
    if (section.isEmpty())
        section = QStringLiteral("User ") + env.loginName.value_or(QStringLiteral("default"));
    Settings settings = settingsIn;
    IniFile cfg;
    cfg.load(env.configFile);
    if (cfg.tooLarge()) {
        if (error)
            *error = formatMessage(messageText(msg::LargerThan), {IniFile::kMaxBytes});
        return false;
    }
    // Rewrite our keys so that the section holds them in the order of the table. Without a
    // checked language entry (no language list this run) the user's choice stays as it was.
    const std::optional<QString> oldLanguage = cfg.value(section, QStringLiteral("Language"));
    cfg.removeKey(section, QStringLiteral("Language"));
    cfg.removeKey(section, kSerialDevice);
    for (const IntKey &k : intKeys(settings))
        cfg.removeKey(section, QLatin1String(k.key));
    for (auto &[key, field] : stringKeys(settings))
        cfg.removeKey(section, QLatin1String(key));
    if (checkedLanguage != 0)
        cfg.setValue(section, QStringLiteral("Language"), QString::number(checkedLanguage));
    else if (oldLanguage)
        cfg.setValue(section, QStringLiteral("Language"), *oldLanguage);
    for (const IntKey &k : intKeys(settings)) {
        const QString key = QLatin1String(k.key);
        switch (k.type) {
        case IntKey::I16:
            cfg.setValue(section, key, QString::number(*static_cast<int16_t *>(k.field)));
            break;
        case IntKey::I32:
            cfg.setValue(section, key, QString::number(*static_cast<int32_t *>(k.field)));
            break;
        case IntKey::Colour:
            cfg.setValue(section, key, colourToHex(*static_cast<int32_t *>(k.field)));
            break;
        }
        if (k.field == &settings.serialPort && !settings.serialDevice.isEmpty())
            cfg.setValue(section, kSerialDevice, settings.serialDevice);
    }
    for (auto &[key, field] : stringKeys(settings))
        cfg.setValue(section, QLatin1String(key), *field);
    // A key of ours, after those of the table.
    cfg.removeKey(section, kPointFileFilter);
    cfg.setValue(section, kPointFileFilter, QString::number(settings.PointFileFilter));
    QDir().mkpath(QFileInfo(env.configFile).absolutePath());
    return cfg.save(env.configFile, error);
}

} // namespace gipso
