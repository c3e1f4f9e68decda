// The options' logic: size fields, how the stored sizes are drawn; the version, the
// manual and the disclaimer of each language; the System Info text.
#include "base/DrawingStyle.h"
#include "base/Messages.h"
#include "options/About.h"
#include "options/Options.h"
#include "options/SystemInfo.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

TEST(Options, SizeFieldReadsOnlyA16BitInteger)
{
    const struct { const char *text; std::optional<int16_t> value; } rows[] = {
        {"2", 2}, {" -3 ", -3}, {"+7", 7}, {"0", 0}, {"007", 7}, {"32767", 32767}, {"-32768", -32768},
        {"32768", std::nullopt}, {"-32769", std::nullopt}, {"99999999999999999999", std::nullopt},
        {"abc", std::nullopt}, {"", std::nullopt}, {"  ", std::nullopt}, {"-", std::nullopt}, {"2.5", std::nullopt},
        {"2,5", std::nullopt}, {"1e2", std::nullopt}, {"1 2", std::nullopt}, {"0x10", std::nullopt},
        {"\xef\xbc\x91\xef\xbc\x92", std::nullopt}, // full-width digits
    };
    for (const auto &r : rows)
        EXPECT_EQ(readSizeField(QString::fromUtf8(r.text)), r.value) << r.text;
}

TEST(Options, StoredSizesAsDrawn)
{
    // Sizes are stored as typed; a font below 1 is drawn at 1, a line of 0 or less not at all.
    const struct { int16_t chars, line; int drawnChars, drawnLine; } rows[] = {
        {16, 2, 16, 2}, {1, 1, 1, 1}, {0, 0, 1, 0}, {-5, -3, 1, 0}, {-32768, -32768, 1, 0}};
    for (const auto &r : rows) {
        Settings s;
        s.CharDimension = r.chars, s.LineThickness = r.line;
        const DrawingSizes d = drawingSizes(s);
        EXPECT_EQ(std::make_pair(d.chars, d.line), std::make_pair(r.drawnChars, r.drawnLine)) << r.chars << " " << r.line;
    }
}

TEST(About, VersionManualAndDisclaimerByLanguage)
{
    const struct { int language; const char *manual, *firstLine, *mentions; } rows[] = {
        {kEnglish, "Gipso_Eng.html", "GIPSO - LICENCE AGREEMENT AND DISCLAIMER", "not a navigation instrument"},
        {kItalian, "Gipso_Ita.html", "GIPSO - ACCORDO DI LICENZA ED ESCLUSIONE DI RESPONSABILITÀ", "non è uno strumento di navigazione"},
        {1033, "Gipso.html", "", ""},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.language);
        EXPECT_EQ(helpFileName(r.language), r.manual);
        const QString text = disclaimerText(r.language, QStringLiteral(GIPSO_SOURCE_DATA_DIR));
        EXPECT_EQ(text.section('\n', 0, 0), QString::fromUtf8(r.firstLine));
        EXPECT_TRUE(text.contains(QString::fromUtf8(r.mentions)));
    }
    QTemporaryDir empty;
    EXPECT_EQ(disclaimerText(kEnglish, empty.path()), "");
}

TEST(SystemInfo, TextInBothLanguages)
{
    SystemInfo info;
    info.version = "2.6.0", info.qtRuntime = "6.4.2", info.qtBuild = "6.4.1";
    info.system = "Debian GNU/Linux 12 (bookworm)", info.kernel = "linux 6.1.0 (x86_64)";
    info.configFolder = "/home/anna/.config/gipso", info.dataFolder = "/usr/share/gipso", info.dataFolderExists = true;
    info.ports = {{"/dev/ttyS0", "", false, "dialout"},
                  {"/dev/ttyUSB0", "USB-Serial Controller, Prolific, 067b:2303", true, "dialout"},
                  {"/dev/ttyUSB1", "", false, ""}};
    setLanguage(kEnglish);
    EXPECT_EQ(systemInfoText(info), "Gipso version: 2.6.0\n"
                                    "Qt version: 6.4.2 (built with 6.4.1)\n"
                                    "Operating system: Debian GNU/Linux 12 (bookworm)\n"
                                    "Kernel: linux 6.1.0 (x86_64)\n"
                                    "Configuration folder: /home/anna/.config/gipso (not found)\n"
                                    "Data folder: /usr/share/gipso\n"
                                    "Serial ports:\n"
                                    "  /dev/ttyS0: no permission for this user (the port belongs to the group dialout)\n"
                                    "  /dev/ttyUSB0 (USB-Serial Controller, Prolific, 067b:2303): this user may read and write it\n"
                                    "  /dev/ttyUSB1: no permission for this user");
    setLanguage(kItalian);
    info.ports.clear();
    EXPECT_EQ(systemInfoText(info).split('\n').mid(4), QStringList({"Cartella della configurazione: /home/anna/.config/gipso (non trovata)",
                                                                    "Cartella dei dati: /usr/share/gipso", "Porte seriali:", "  nessuna trovata"}));
}

TEST(SystemInfo, GatheredFromThisSystem)
{
    QTemporaryDir dir;
    const SystemInfo info = gatherSystemInfo(dir.filePath("Gipso.cfg"));
    EXPECT_EQ(QStringList({info.version, info.configFolder, info.kernel.section(' ', 0, 0)}), QStringList({"2.6.0", dir.path(), "linux"}));
    EXPECT_TRUE(info.configFolderExists && info.dataFolderExists) << info.dataFolder.toStdString();
}
