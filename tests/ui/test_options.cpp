// The options dialog, the About box with System Info, and Help. The size fields' reading, the
// About and System Info texts are tested in tests/options.
#include "MainWindowFixture.h"

#include "options/About.h"
#include "options/ui/frmAbout.h"
#include "options/ui/frmOpt.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

using namespace gipso;
using namespace gipso::test;

namespace {

void type(QLineEdit *field, const char *text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

} // namespace

TEST(OptionsUi, SizesGoBackWhenLeftAndAreConvertedAgainOnApplyAndOk)
{
    MainWindowFixture f;
    Settings &s = f.state().settings;
    s.LineThickness = 4;
    QStringList shown;
    f.dialogs.onExec = [&](QDialog &d) {
        auto &o = dynamic_cast<frmOpt &>(d);
        o.show();
        o.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&o)); // the keys go to the active window
        for (const char *typed : {"abc", "-12"}) {
            type(o.sizeFields[0], typed);
            QTest::keyClick(o.sizeFields[0], Qt::Key_Tab); // to the next field
            shown << o.sizeFields[0]->text();
        }
        // Enter and the accelerators press a button without the field losing the focus.
        type(o.sizeFields[2], "x7"); // Symbol Size
        o.sizeFields[1]->setText("20");
        QTest::keyClick(o.sizeFields[2], Qt::Key_P, Qt::AltModifier); // A&pply, clicked on the event loop
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.CharDimension == 20; }));
        EXPECT_TRUE(o.sizeFields[2]->hasFocus());
        EXPECT_EQ(o.sizeFields[2]->text(), "6");
        type(o.sizeFields[0], "abc");
        QTest::keyClick(o.sizeFields[0], Qt::Key_Return); // OK, the default button
        return o.result();
    };
    f.window->action("mnuOpt")->trigger();
    EXPECT_EQ(shown, QStringList({"4", "-12"}));
    EXPECT_EQ(QList<int>({s.LineThickness, s.CharDimension, s.SymbolDim}), QList<int>({-12, 20, 6})); // no range: as typed
    EXPECT_TRUE(f.dialogs.shown.empty() && !QFileInfo::exists(f.env.configFile)); // not told; written only at exit
}

TEST(OptionsUi, FilledWhenShownApplyStoresAndRepaintsCancelKeepsWhatApplyStored)
{
    AppState state;
    ScriptedDialogs dialogs;
    Settings &s = state.settings;
    s.LineThickness = 3, s.CharDimension = -4, s.SymbolDim = 0, s.CursorThickness = 7;
    s.RouteLengths = 1, s.WayPointName = 0, s.AutoTrackPointColor = 0, s.IgnoreGPXDescription = 0, s.Units = 0;
    frmOpt o(state, dialogs);
    int repaints = 0;
    o.repaintMap = [&] { ++repaints; };
    const auto controls = [&] {
        o.show();
        QString row;
        for (QLineEdit *e : o.sizeFields)
            row += e->text() + ' ';
        for (QCheckBox *c : o.checkBoxes)
            row += c->isChecked() ? '1' : '0';
        return row + QStringLiteral(" %1%2").arg(o.cmdColt->isEnabled()).arg(o.OptUnitsNAU->isChecked());
    };
    EXPECT_EQ(controls(), "3 -4 0 7 10111111010 11");
    o.CheckAutoTrack->click(); // greys the track colour at once
    EXPECT_FALSE(o.cmdColt->isEnabled());
    o.CheckAutoTrack->click();
    // Each chooser starts from its pending colour and keeps it when cancelled.
    const QColor green(0, 255, 0);
    dialogs.colours = {green, std::nullopt, QColor(128, 128, 128), QColor(255, 255, 0)};
    for (int i : {0, 0, 1}) // WayPoints green, then cancelled; RoutePoints grey
        o.colourButtons[i]->click();
    o.sizeFields[1]->setText("0");
    o.checkBoxes[1]->click(); // WayPoint Name on
    o.OptUnitsMET->click();
    o.cmdApplica->click();
    EXPECT_EQ(repaints, 1);
    o.cmdColt->click(); // Track yellow, never applied
    o.sizeFields[1]->setText("30");
    o.cmdAnnulla->click();
    EXPECT_EQ(dialogs.colourChooserInitial, std::vector<QColor>({QColor(255, 0, 0), green, QColor(0, 0, 0), QColor(0, 0, 255)}));
    EXPECT_EQ(QList<int>({s.WayPointColor, s.RouteColor, s.TrackColor, s.CharDimension, s.WayPointName, s.Units}),
              QList<int>({0x00FF00, 0x808080, 0xFF0000, 0, 1, -1}));
    EXPECT_EQ(QStringList({state.units.distanceUnit, state.units.altitudeUnit}), QStringList({"km", "m"}));
    EXPECT_EQ(controls(), "3 0 0 7 11111111010 10"); // shown again: what Apply stored
}

// The About box follows the language, gathers System Info for the configuration in use and copies its text (the text:
// tests/options); Help opens the manual of the language, nothing for a language without one.
TEST(AboutHelpUi, SystemInfoCopiesItsTextHelpOpensTheManualOfTheLanguage)
{
    QTemporaryDir data; // no Gipso.html
    for (const char *page : {"Gipso_Eng.html", "Gipso_Ita.html"})
        writeAll(data.filePath(page), "<!DOCTYPE html>");
    const QByteArray oldData = qgetenv("GIPSO_DATA_DIR");
    qputenv("GIPSO_DATA_DIR", data.path().toUtf8());
    MainWindowFixture f; // English
    SystemInfo info;
    info.version = "2.6.0";
    auto &source = frmAbout::systemInfoSource();
    const auto realSource = source;
    QString gatheredFor, text;
    QStringList titles;
    source = [&](const QString &configFile) { return gatheredFor = configFile, std::optional<SystemInfo>(info); };
    f.dialogs.onExec = [&](QDialog &d) {
        if (auto *a = dynamic_cast<frmAbout *>(&d)) {
            titles << a->lblTitle->text();
            a->cmdSysInfo->click();
        } else if (auto *s = dynamic_cast<frmSysInfo *>(&d); s && s->txtInfo->isReadOnly()) {
            text = s->txtInfo->toPlainText();
            s->cmdCopy->click();
        }
        return int(QDialog::Accepted);
    };
    QStringList opened;
    f.window->openDocument = [&](const QUrl &url) { opened << url.toLocalFile(); };
    for (int entry : {0, 1, 2}) { // as started, Italiano, English
        if (entry)
            f.window->chooseLanguageEntry(entry);
        f.window->action("mnuHTMLHelp")->trigger();
        f.window->action("mnuAbout")->trigger();
    }
    EXPECT_EQ(titles, QStringList({"Gipso Release 2.6.0", "Gipso Versione 2.6.0", "Gipso Release 2.6.0"}));
    EXPECT_EQ(QStringList({gatheredFor, text}), QStringList({f.env.configFile, systemInfoText(info)}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
    EXPECT_TRUE(f.dialogs.shown.empty());
    // Only when nothing can be gathered: a message.
    source = [](const QString &) { return std::optional<SystemInfo>(); };
    f.window->action("mnuAbout")->trigger();
    source = realSource;
    EXPECT_EQ(f.dialogs.lastText(), "System Information not available.");
    setLanguage(1031);
    f.window->action("mnuHTMLHelp")->trigger();
    const QString eng = data.filePath("Gipso_Eng.html");
    EXPECT_EQ(opened, QStringList({eng, data.filePath("Gipso_Ita.html"), eng}));
    oldData.isNull() ? qunsetenv("GIPSO_DATA_DIR") : qputenv("GIPSO_DATA_DIR", oldData);
}
