#pragma once

#include "base/Settings.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace gipso {

// One entry of the Languages submenu: caption and language id (the tag).
struct LanguageEntry {
    QString caption;
    int id = 0;
};

// Where the configuration lives and who is running the program.
struct ConfigEnvironment {
    QString configFile;           // Gipso.cfg
    QString languageFile;         // Gipso.lng
    QString programDir;           // default of CurrentDir
    std::optional<QString> loginName; // nullopt when it cannot be obtained
    int systemLanguage = 0;       // the user's default language id, 0 when unknown

    // The real environment: $GIPSO_CONFIG_DIR or $XDG_CONFIG_HOME/gipso (~/.config/gipso)
    // for Gipso.cfg; Gipso.lng from the config folder if present there, else the data folder.
    static ConfigEnvironment system();
};

// Maps a locale name to one of the program's languages by its primary language: it_* -> 1040,
// en_* and C/POSIX -> 2057; 0 for any other.
int languageIdForLocale(const QString &localeName);
// The folder of the read-only data (Gipso.lng, help, disclaimers).
QString dataDir();

struct ConfigResult {
    QVector<LanguageEntry> languages; // entries 1 to n of the Languages submenu
    int language = 1040;              // the language to show: the caller applies it (setLanguage)
    QString userSection;              // empty when the login name was not available
    QStringList warnings;             // files or lines left out, for stderr
    bool windowStored = false;        // the user's section holds the window's size
};

// Defaults first, then the file's values; the language is chosen, not applied.
ConfigResult readConfiguration(const ConfigEnvironment &env, Settings &settings);
// Writes every key of the user section in the order of the table, keeping other sections. A
// Gipso.cfg too large to be read is left as it is (false, with the reason).
// checkedLanguage: the tag of the checked Languages entry, or 0 when none is checked (the
// user's Language key then stays as it was).
bool writeConfiguration(const ConfigEnvironment &env, const QString &userSection, const Settings &settings,
                        int checkedLanguage, QString *error = nullptr);

// Colours are written as upper-case hex without prefix or leading zeros.
QString colourToHex(int32_t colour);

} // namespace gipso
