#include "base/Config.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "support/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace gipso;
using gipso::test::readAll;
using gipso::test::writeAll;

namespace {
// Anna's configuration in a private folder; Italian and English are listed.
struct ConfigFixture {
    QTemporaryDir dir;
    ConfigEnvironment env{dir.filePath("Gipso.cfg"), dir.filePath("Gipso.lng"), "/opt/gipso", "anna"};
    Settings settings;
    ConfigFixture(const QByteArray &lng = "[Languages]\r\nLang01=Italiano,1040\r\nLang02= English , 2057 \r\n")
    {
        if (!lng.isNull())
            writeAll(env.languageFile, lng);
    }
    ConfigResult read(const QByteArray &cfg, int systemLanguage = 0)
    {
        writeAll(env.configFile, cfg);
        env.systemLanguage = systemLanguage;
        return readConfiguration(env, settings);
    }
};
} // namespace

TEST(Configuration, LanguageComesFromInstallSystemAndUser)
{
    const QByteArray listed = "[Languages]\r\nLang01=Italiano,1040\r\nLang02=English,2057\r\n";
    const struct {
        const char *why;
        QByteArray lng, cfg;
        int systemLanguage, expected;
    } cases[] = {
        {"system language not listed: the installation's", listed, "[Install]\r\nLanguage=2057\r\n", 1033, 2057},
        {"user language not listed: the installation's", listed, "[Install]\nLanguage=2057\n[User anna]\nLanguage=1031\n", 0, 2057},
        {"the user's over the system's", listed, "[User anna]\nLanguage=1040\n", 2057, 1040},
        {"no language list: Italian", QByteArray(), "[Install]\nLanguage=2057\n[User anna]\nLanguage=2057\n", 2057, 1040},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ConfigFixture(c.lng).read(c.cfg, c.systemLanguage).language, c.expected) << c.why;

    // No user section: the system language when listed; chosen, not applied, and written back.
    ConfigFixture f;
    setLanguage(kItalian);
    const ConfigResult r = f.read("", 2057);
    ASSERT_EQ(r.languages.size(), 2);
    EXPECT_EQ(r.languages[1].caption, QStringLiteral("English"));
    EXPECT_EQ(r.languages[1].id, 2057);
    EXPECT_EQ(r.language, 2057);
    EXPECT_EQ(currentLanguage(), kItalian);
    ASSERT_TRUE(writeConfiguration(f.env, r.userSection, f.settings, 2057));
    EXPECT_TRUE(readAll(f.env.configFile).contains("[User anna]\r\nLanguage=2057\r\n"));

    // Without a login name no user value is read.
    f.env.loginName.reset();
    const ConfigResult nobody = f.read("[User anna]\nLanguage=2057\nSymbolDim=9\n");
    EXPECT_EQ(nobody.language, 1040);
    EXPECT_EQ(f.settings.SymbolDim, 6);
    EXPECT_TRUE(nobody.userSection.isEmpty());
}

TEST(Configuration, TheSystemLocaleCountsByItsPrimaryLanguage)
{
    const std::pair<const char *, int> locales[] = {
        {"en_US", 2057}, {"en_AU.UTF-8", 2057}, {"en_GB", 2057}, {"en_IE@euro", 2057}, {"en", 2057},
        {"it_IT.UTF-8", 1040}, {"it_CH", 1040}, {"C", 2057}, {"C.UTF-8", 2057}, {"POSIX", 2057},
        {"de_DE.UTF-8", 0}, {"fr_CA", 0}, {"", 0}};
    for (const auto &[name, id] : locales)
        EXPECT_EQ(languageIdForLocale(name), id) << name;
}

TEST(Configuration, KeysOfThisRunOnlyAreNotWrittenBack)
{
    // No language list this run: Italian is shown, and the user's English stays in the file. A
    // typed port path is read and written beside SerialPort, and only while there is one.
    ConfigFixture f{QByteArray()};
    const ConfigResult r = f.read("[User anna]\r\nLanguage=2057\r\nSerialPort=2\r\nSerialDevice=/dev/pts/7\r\n");
    EXPECT_EQ(r.language, 1040);
    EXPECT_EQ(f.settings.serialDevice, QStringLiteral("/dev/pts/7"));
    ASSERT_TRUE(writeConfiguration(f.env, r.userSection, f.settings, 0));
    EXPECT_TRUE(readAll(f.env.configFile).startsWith("[User anna]\r\nLanguage=2057\r\nSerialPort=2\r\nSerialDevice=/dev/pts/7\r\nWayPointColor=FF\r\n"));
    f.settings.serialDevice.clear();
    ASSERT_TRUE(writeConfiguration(f.env, r.userSection, f.settings, 1040));
    EXPECT_TRUE(readAll(f.env.configFile).startsWith("[User anna]\r\nLanguage=1040\r\nSerialPort=2\r\nWayPointColor=FF\r\n"));
}

TEST(Configuration, ValuesAreWrittenBackInTheTablesOrderKeepingOtherUsers)
{
    ConfigFixture f;
    f.read("");
    EXPECT_EQ(f.settings.CurrentDir, QStringLiteral("/opt/gipso"));
    // Colours in hex without prefix (FF00: pure green); an empty or unreadable value keeps the
    // default; a 16-bit key holds what fits.
    const ConfigResult r = f.read("[Install]\r\nLanguage=1040\r\n[User bruno]\r\nSymbolDim=3\r\n[User anna]\r\nWayPointColor=FF00\r\n"
                                  "RouteColor=\r\nTrackColor=zz\r\nSymbolDim=99999\r\nUnits=0\r\nCurrentDir=/home/anna/maps\r\nLastMap1=/x.cal\r\n");
    EXPECT_EQ(f.settings.WayPointColor, 0x00FF00);
    EXPECT_EQ(f.settings.SymbolDim, 32767);
    EXPECT_FALSE(f.settings.unitsMetric());
    f.settings.WindowMax = 1;
    ASSERT_TRUE(writeConfiguration(f.env, r.userSection, f.settings, 0));
    // No Language key: no entry of the Languages menu was checked.
    EXPECT_EQ(readAll(f.env.configFile),
              "[Install]\r\nLanguage=1040\r\n\r\n[User bruno]\r\nSymbolDim=3\r\n\r\n[User anna]\r\n"
              "SerialPort=1\r\nWayPointColor=FF00\r\nRouteColor=0\r\nTrackColor=FF0000\r\nCharDimension=16\r\n"
              "LineThickness=2\r\nCursorThickness=1\r\nSymbolDim=32767\r\nWayPointSymbol=1\r\nWayPointName=1\r\n"
              "RoutePointSymbol=1\r\nRoutePointName=1\r\nRouteHeadings=1\r\nRouteLengths=0\r\nTrackPointSymbol=1\r\n"
              "TrackPointName=1\r\nAutoTrackPointColor=1\r\nIgnoreTxTDescription=1\r\nIgnoreGPXDescription=1\r\n"
              "Units=0\r\nNMEASentence=1\r\nNMEATime=20\r\nWindowLeft=105\r\nWindowTop=105\r\nWindowWidth=9225\r\n"
              "WindowHeight=5115\r\nWindowMax=1\r\nCurrentDir=/home/anna/maps\r\nLastMap1=/x.cal\r\nLastMap2=\r\nLastMap3=\r\n"
              "PointFileFilter=1\r\n");
    f.env.loginName = QStringLiteral("bruno"); // Bruno's own run reads his values, not Anna's
    f.read(readAll(f.env.configFile));
    EXPECT_EQ(f.settings.SymbolDim, 3);
    EXPECT_EQ(f.settings.WayPointColor, 0xFF);
}

TEST(Configuration, IniReaderToleratesOddFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("odd.cfg");
    // Windows-1252 bytes, blanks, comments, a key before any section, a duplicate key, quotes, huge numbers.
    writeAll(path, "stray=1\n; comment\n[ User \xC9lan ]\n  Name = caf\xE9  \nName=second\nQuoted=\"a b\"\n"
                   "Big=99999999999\nNeg=-12abc\nNone=abc\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    const QString section = QStringLiteral("user \u00c9lan");
    EXPECT_EQ(ini.text(section, "name", {}), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(ini.text(section, "Quoted", {}), QStringLiteral("a b"));
    EXPECT_EQ(ini.integer(section, "Big", 0), INT32_MAX);
    EXPECT_EQ(ini.integer(section, "Neg", 0), -12);
    EXPECT_EQ(ini.integer(section, "None", 7), 0);
    EXPECT_EQ(ini.integer(section, "Missing", 7), 7);
    EXPECT_FALSE(ini.value("nosection", "stray"));
    EXPECT_FALSE(IniFile().load(dir.filePath("missing.cfg")));
}

TEST(Configuration, FilesAndLinesBeyondTheBoundsAreLeftOut)
{
    setLanguage(kEnglish);
    ConfigFixture f;
    // 9 MB of comments: ignored with a warning, and not overwritten by the settings at exit.
    QByteArray big = "[User anna]\r\nSymbolDim=9\r\n";
    while (big.size() <= 9 << 20)
        big += QByteArray(1000, ';') + "\r\n";
    ConfigResult r = f.read(big);
    EXPECT_EQ(r.warnings, QStringList{f.env.configFile + " is ignored: larger than 8388608 bytes"});
    EXPECT_EQ(f.settings.SymbolDim, 6);
    QString error;
    EXPECT_FALSE(writeConfiguration(f.env, r.userSection, f.settings, 0, &error));
    EXPECT_EQ(error, QStringLiteral("larger than 8388608 bytes"));
    EXPECT_EQ(readAll(f.env.configFile).size(), big.size());

    // A line of 2 MB is skipped and counted; the keys around it are read. A language list that
    // is a pipe is not waited for.
    QFile::remove(f.env.languageFile);
    ASSERT_EQ(::mkfifo(QFile::encodeName(f.env.languageFile).constData(), 0600), 0);
    r = f.read("[User anna]\r\nSymbolDim=8\r\nNote=" + QByteArray(2 << 20, 'x') + "\r\nCharDimension=20\r\n");
    EXPECT_EQ(r.warnings, (QStringList{f.env.configFile + ": 1 lines longer than 1048576 bytes skipped",
                                       f.env.languageFile + " is ignored: not a regular file"}));
    EXPECT_EQ(f.settings.SymbolDim, 8);
    EXPECT_EQ(f.settings.CharDimension, 20);
}
