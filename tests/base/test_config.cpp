#include "base/Config.h"
#include "base/IniFile.h"
#include "base/Messages.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::readAll;
using gipso::test::writeAll;

namespace {
struct ConfigFixture {
    QTemporaryDir dir;
    ConfigEnvironment env;
    ConfigFixture(const QByteArray &lng = "[Languages]\r\nLang01=Italiano,1040\r\nLang02= English , 2057 \r\n")
    {
        env.configFile = dir.filePath(QStringLiteral("Gipso.cfg"));
        env.languageFile = dir.filePath(QStringLiteral("Gipso.lng"));
        env.programDir = QStringLiteral("/opt/gipso");
        env.loginName = QStringLiteral("anna");
        env.systemLanguage = 0;
        if (!lng.isNull())
            writeAll(env.languageFile, lng);
    }
    void cfg(const QByteArray &text) { writeAll(env.configFile, text); }
    QByteArray written() { return readAll(env.configFile); }
};
} // namespace

TEST(Configuration, LanguageComesFromInstallSystemAndUser)
{
    {
        // No user section, system language English: English, and written back at exit.
        ConfigFixture f;
        f.env.systemLanguage = 2057;
        Settings s;
        ConfigResult r = readConfiguration(f.env, s);
        ASSERT_EQ(r.languages.size(), 2);
        EXPECT_EQ(r.languages[1].caption, QStringLiteral("English"));
        EXPECT_EQ(r.languages[1].id, 2057);
        EXPECT_EQ(r.language, 2057);
        ASSERT_TRUE(writeConfiguration(f.env, r.userSection, s, 2057));
        EXPECT_TRUE(f.written().contains("[User anna]\r\nLanguage=2057\r\n"));
    }
    {
        // System language 1033 is not listed; the installation's 2057 is.
        ConfigFixture f;
        f.env.systemLanguage = 1033;
        f.cfg("[Install]\r\nLanguage=2057\r\n");
        Settings s;
        EXPECT_EQ(readConfiguration(f.env, s).language, 2057);
    }
    {
        // A user language that is not listed leaves the language of the installation.
        ConfigFixture f;
        f.cfg("[Install]\nLanguage=2057\n[User anna]\nLanguage=1031\n");
        Settings s;
        EXPECT_EQ(readConfiguration(f.env, s).language, 2057);
    }
    {
        // Without a language list the language is Italian whatever the files say.
        ConfigFixture f{QByteArray()};
        f.env.systemLanguage = 2057;
        f.cfg("[Install]\nLanguage=2057\n[User anna]\nLanguage=2057\n");
        Settings s;
        ConfigResult r = readConfiguration(f.env, s);
        EXPECT_TRUE(r.languages.isEmpty());
        EXPECT_EQ(r.language, 1040);
    }
    {
        // Without a login name, no user value is read.
        ConfigFixture f;
        f.env.loginName.reset();
        f.cfg("[User anna]\nLanguage=2057\nSymbolDim=9\n");
        Settings s;
        ConfigResult r = readConfiguration(f.env, s);
        EXPECT_EQ(r.language, 1040);
        EXPECT_EQ(s.SymbolDim, 6);
        EXPECT_TRUE(r.userSection.isEmpty());
    }
}

TEST(Configuration, DefaultsValuesAndColours)
{
    ConfigFixture f;
    Settings s;
    readConfiguration(f.env, s);
    EXPECT_EQ(s.RouteLengths, 0);
    for (int16_t flag : {s.WayPointSymbol, s.WayPointName, s.RoutePointSymbol, s.RoutePointName, s.RouteHeadings,
                         s.TrackPointSymbol, s.TrackPointName, s.AutoTrackPointColor, s.IgnoreTxTDescription,
                         s.IgnoreGPXDescription})
        EXPECT_EQ(flag, 1);
    EXPECT_EQ(s.WayPointColor, 0xFF);
    EXPECT_EQ(s.TrackColor, 0xFF0000);
    EXPECT_EQ(s.Units, -1);
    EXPECT_EQ(s.WindowWidth, 9225);
    EXPECT_EQ(s.CurrentDir, QStringLiteral("/opt/gipso"));

    f.cfg("[User anna]\r\nWayPointColor=FF00\r\nRouteColor=\r\nTrackColor=zz\r\nCharDimension=20\r\n"
          "Units=0\r\nCurrentDir=/home/anna/maps\r\nLastMap2=/home/anna/b.Gipso\r\nLastMap1=\r\n");
    readConfiguration(f.env, s);
    EXPECT_EQ(s.WayPointColor, 0x00FF00); // pure green
    EXPECT_EQ(s.RouteColor, 0);           // empty value keeps the default
    EXPECT_EQ(s.TrackColor, 0xFF0000);    // unreadable hex keeps the default
    EXPECT_EQ(s.CharDimension, 20);
    EXPECT_EQ(s.Units, 0);
    EXPECT_FALSE(s.unitsMetric());
    EXPECT_EQ(s.CurrentDir, QStringLiteral("/home/anna/maps"));
    EXPECT_EQ(s.LastMap1, QString());
    EXPECT_EQ(s.LastMap2, QStringLiteral("/home/anna/b.Gipso"));
}

TEST(Configuration, WritingKeepsOtherUsersAndOrdersKeys)
{
    ConfigFixture f;
    f.cfg("[Install]\r\nLanguage=1040\r\n[User bruno]\r\nSymbolDim=3\r\n[User anna]\r\nLastMap1=/x.cal\r\nSymbolDim=8\r\n");
    Settings s;
    ConfigResult r = readConfiguration(f.env, s);
    EXPECT_EQ(s.SymbolDim, 8);
    s.WayPointColor = 0x00FF00;
    s.WindowMax = 1;
    ASSERT_TRUE(writeConfiguration(f.env, r.userSection, s, 0));
    const QString text = QString::fromUtf8(f.written());
    EXPECT_TRUE(text.contains(QStringLiteral("[User bruno]\r\nSymbolDim=3\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[Install]\r\nLanguage=1040\r\n")));
    const QString anna = text.mid(text.indexOf(QStringLiteral("[User anna]")));
    QStringList keys;
    for (const QString &line : anna.split(QStringLiteral("\r\n")).mid(1))
        if (line.contains(QLatin1Char('=')))
            keys << line.section(QLatin1Char('='), 0, 0);
    const QStringList order = QStringLiteral(
        "SerialPort WayPointColor RouteColor TrackColor CharDimension LineThickness CursorThickness SymbolDim "
        "WayPointSymbol WayPointName RoutePointSymbol RoutePointName RouteHeadings RouteLengths TrackPointSymbol "
        "TrackPointName AutoTrackPointColor IgnoreTxTDescription IgnoreGPXDescription Units NMEASentence NMEATime "
        "WindowLeft WindowTop WindowWidth WindowHeight WindowMax CurrentDir LastMap1 LastMap2 LastMap3").split(u' ');
    EXPECT_EQ(keys, order); // no Language key: no entry was checked
    EXPECT_TRUE(anna.contains(QStringLiteral("WayPointColor=FF00\r\n")));
    EXPECT_TRUE(anna.contains(QStringLiteral("TrackColor=FF0000\r\n")));
    EXPECT_TRUE(anna.contains(QStringLiteral("RouteColor=0\r\n")));
    EXPECT_TRUE(anna.contains(QStringLiteral("Units=-1\r\n")));
    EXPECT_TRUE(anna.contains(QStringLiteral("WindowMax=1\r\n")));

    // Bruno's own run reads his values, not Anna's.
    f.env.loginName = QStringLiteral("bruno");
    Settings b;
    readConfiguration(f.env, b);
    EXPECT_EQ(b.SymbolDim, 3);
    EXPECT_EQ(b.WayPointColor, 0xFF);
}

TEST(Configuration, IniReaderToleratesOddFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("odd.cfg"));
    // Windows-1252 bytes, blanks, comments, a key before any section, a duplicate key, huge numbers.
    writeAll(path, "stray=1\n; comment\n[ User \xC9lan ]\n  Name = caf\xE9  \nName=second\nBig=99999999999\nNeg=-12abc\nNone=abc\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    EXPECT_EQ(ini.text(QStringLiteral("user \u00c9lan"), QStringLiteral("name"), {}), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(ini.integer(QStringLiteral("User \u00c9lan"), QStringLiteral("Big"), 0), INT32_MAX);
    EXPECT_EQ(ini.integer(QStringLiteral("User \u00c9lan"), QStringLiteral("Neg"), 0), -12);
    EXPECT_EQ(ini.integer(QStringLiteral("User \u00c9lan"), QStringLiteral("None"), 7), 0);
    EXPECT_EQ(ini.integer(QStringLiteral("User \u00c9lan"), QStringLiteral("Missing"), 7), 7);
    EXPECT_FALSE(ini.value(QStringLiteral("nosection"), QStringLiteral("stray")));
    EXPECT_FALSE(IniFile().load(dir.filePath(QStringLiteral("missing.cfg"))));

    EXPECT_EQ(languageIdForLocale(QStringLiteral("it_IT.UTF-8")), 1040);
    EXPECT_EQ(languageIdForLocale(QStringLiteral("en_GB")), 2057);
    EXPECT_EQ(languageIdForLocale(QStringLiteral("en_US.UTF-8")), 1033);
    EXPECT_EQ(languageIdForLocale(QStringLiteral("C")), 0);
}
