// The options dialog, the About box with System Info, and Help, from the main window's menus.
#include "MainWindowFixture.h"

#include "edit/ui/frmWayPoint.h"
#include "options/About.h"
#include "options/ui/frmAbout.h"
#include "options/ui/frmOpt.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

using namespace gipso;
using namespace gipso::test;

namespace {

// The options dialog shown and active, driven by script; returns how it ended.
template <class Script> void onOptions(MainWindowFixture &f, Script script)
{
    f.dialogs.onExec = [script](QDialog &d) {
        auto &o = dynamic_cast<frmOpt &>(d);
        o.show();
        o.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&o));
        script(o);
        const int result = o.isVisible() ? int(QDialog::Rejected) : o.result();
        o.hide();
        return result;
    };
}

QLineEdit *lineThickness(frmOpt &o) { return o.sizeFields[0]; }

} // namespace

TEST(OptionsUi, FilledFromTheSettingsEachTimeItOpens)
{
    MainWindowFixture f;
    Settings &s = f.state().settings;
    s.LineThickness = 3, s.CharDimension = -4, s.SymbolDim = 0, s.CursorThickness = 7;
    s.RouteLengths = 1, s.WayPointName = 0, s.AutoTrackPointColor = 0, s.IgnoreGPXDescription = 0, s.Units = 0;
    QStringList seen;
    onOptions(f, [&](frmOpt &o) {
        QStringList row{o.windowTitle(), o.framelin->title(), o.sizeLabels[0]->text(), o.cmdColt->text(),
                        o.CheckAutoTrack->text(), o.OptUnitsNAU->text(), o.cmdApplica->text()};
        for (QLineEdit *e : o.sizeFields)
            row << e->text();
        QString boxes;
        for (QCheckBox *c : o.checkBoxes)
            boxes += c->isChecked() ? '1' : '0';
        row << boxes << (o.cmdColt->isEnabled() ? "track colour on" : "track colour off")
            << (o.OptUnitsNAU->isChecked() ? "nautical" : o.OptUnitsMET->isChecked() ? "metric" : "none");
        seen << row.join(" | ");
        // Auto Track greys the track colour at once. Typed, never applied: the next opening
        // shows the settings again.
        lineThickness(o)->setText("9");
        o.CheckAutoTrack->click();
        EXPECT_FALSE(o.cmdColt->isEnabled());
        o.OptUnitsMET->click();
    });
    f.window->action("mnuOpt")->trigger();
    f.window->action("mnuOpt")->trigger();
    const QString expected = "Options | Lines and Symbols | Line Thickness: | Track... | Auto Track | Nautical (nm, nm/h, f, f/s) | "
                             "A&pply | 3 | -4 | 0 | 7 | 10111111010 | track colour on | nautical";
    EXPECT_EQ(seen, QStringList({expected, expected}));
    EXPECT_EQ(s.LineThickness, 3);
    EXPECT_EQ(s.AutoTrackPointColor, 0);
    EXPECT_EQ(s.Units, 0);
}

TEST(OptionsUi, ASizeThatIsNotA16BitIntegerGoesBackWhenTheFieldIsLeft)
{
    MainWindowFixture f;
    f.state().settings.LineThickness = 4;
    QStringList shown;
    onOptions(f, [&](frmOpt &o) {
        for (const char *typed : {"abc", "40000", "2.5", "-12", "0"}) {
            lineThickness(o)->setFocus();
            lineThickness(o)->selectAll();
            QTest::keyClicks(lineThickness(o), typed);
            QTest::keyClick(lineThickness(o), Qt::Key_Tab); // to the next field
            shown << lineThickness(o)->text();
        }
        lineThickness(o)->setText("-12");
        o.cmdOK->click();
    });
    f.window->action("mnuOpt")->trigger();
    EXPECT_EQ(shown, QStringList({"4", "4", "4", "-12", "0"}));
    EXPECT_EQ(f.state().settings.LineThickness, -12); // no range: taken as typed
}

TEST(OptionsUi, FieldsAreConvertedAgainOnApplyAndOk)
{
    // Enter and the accelerators press a button without the field losing the focus.
    MainWindowFixture f;
    Settings &s = f.state().settings;
    onOptions(f, [&](frmOpt &o) {
        o.sizeFields[2]->setFocus(); // Symbol Size
        o.sizeFields[2]->selectAll();
        QTest::keyClicks(o.sizeFields[2], "x7");
        o.sizeFields[1]->setText("20"); // Character Size, valid
        QTest::keyClick(o.sizeFields[2], Qt::Key_P, Qt::AltModifier); // A&pply, clicked on the event loop
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.CharDimension == 20; }));
        EXPECT_TRUE(o.sizeFields[2]->hasFocus());
        EXPECT_EQ(o.sizeFields[2]->text(), "6");
        lineThickness(o)->setFocus();
        lineThickness(o)->selectAll();
        QTest::keyClicks(lineThickness(o), "abc");
        QTest::keyClick(lineThickness(o), Qt::Key_Return); // OK, the default button
    });
    f.window->action("mnuOpt")->trigger();
    EXPECT_EQ(std::vector<int>({s.LineThickness, s.CharDimension, s.SymbolDim}), std::vector<int>({2, 20, 6}));
    EXPECT_EQ(f.dialogs.shown.size(), 0u); // the user is not told
}

TEST(OptionsUi, ColoursArePendingUntilApplyOrOk)
{
    MainWindowFixture f;
    Settings &s = f.state().settings;
    s.AutoTrackPointColor = 0;
    const QColor green(0, 255, 0), grey(128, 128, 128), yellow(255, 255, 0);
    // A new WayPoint colour, then Cancel: nothing is stored.
    f.dialogs.colours = {green};
    onOptions(f, [&](frmOpt &o) {
        o.colourButtons[0]->click();
        EXPECT_EQ(o.pendingColour(0), 0x00FF00);
        o.cmdAnnulla->click();
    });
    f.window->action("mnuOpt")->trigger();
    EXPECT_EQ(s.WayPointColor, 0x0000FF);

    // Each chooser starts from its pending colour and keeps it when cancelled; Apply stores
    // the three, then Cancel keeps what Apply stored.
    f.dialogs.colourChooserInitial.clear();
    f.dialogs.colours = {green, std::nullopt, grey, yellow};
    onOptions(f, [&](frmOpt &o) {
        o.colourButtons[0]->click(); // green
        o.colourButtons[0]->click(); // cancelled: stays green
        o.colourButtons[1]->click(); // route grey
        o.cmdApplica->click();
        o.cmdColt->click(); // track yellow, never applied
        o.cmdAnnulla->click();
    });
    f.window->action("mnuOpt")->trigger();
    EXPECT_EQ(f.dialogs.colourChooserInitial, std::vector<QColor>({QColor(255, 0, 0), green, QColor(0, 0, 0), QColor(0, 0, 255)}));
    EXPECT_EQ(std::vector<int32_t>({s.WayPointColor, s.RouteColor, s.TrackColor}), std::vector<int32_t>({0x00FF00, 0x808080, 0xFF0000}));
}

TEST(OptionsUi, ApplyStoresAndRepaintsWithTheDialogOpenCancelKeepsIt)
{
    AppState state;
    ScriptedDialogs dialogs;
    setLanguage(kEnglish);
    frmOpt o(state, dialogs);
    int repaints = 0;
    o.repaintMap = [&] { ++repaints; };
    o.activate();
    o.sizeFields[1]->setText("0"); // Character Size 0: stored, drawn at 1
    o.checkBoxes[5]->click();      // Route Lengths on
    o.checkBoxes[9]->click();      // Ignore TrackPoint description in Gipso files off
    o.cmdApplica->click();
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(std::vector<int>({state.settings.CharDimension, state.settings.RouteLengths, state.settings.IgnoreTxTDescription}),
              std::vector<int>({0, 1, 0}));
    o.sizeFields[1]->setText("30");
    o.cmdAnnulla->click();
    EXPECT_EQ(state.settings.CharDimension, 0);
    EXPECT_EQ(o.result(), int(QDialog::Rejected));
}

TEST(OptionsUi, UnitsSwitchWhatIsShownAndNothingIsWrittenBeforeExit)
{
    MainWindowFixture f;
    f.window->setMapMode(MapMode::Calibrated);
    onOptions(f, [&](frmOpt &o) {
        o.OptUnitsNAU->click();
        o.cmdApplica->click();
        lineThickness(o)->setText("5");
        o.cmdOK->click();
    });
    f.window->action("mnuOpt")->trigger();
    const UnitSettings &u = f.state().units;
    EXPECT_EQ(QStringList({u.distanceUnit, u.altitudeUnit, u.speedUnit, u.verticalSpeedUnit}), QStringList({"NM", "ft", "NM/h", "ft/s"}));
    EXPECT_EQ(u.altitudeFactor, unitSettings(false).altitudeFactor);
    // The point dialog opened afterwards asks for feet.
    QString altitudeLabel;
    f.dialogs.onExec = [&](QDialog &d) {
        altitudeLabel = dynamic_cast<frmWayPoint &>(d).lblQuota->text();
        return int(QDialog::Rejected);
    };
    f.window->action("mnuInsWay")->trigger();
    EXPECT_TRUE(altitudeLabel.contains("(ft)")) << altitudeLabel.toStdString();

    EXPECT_FALSE(QFileInfo::exists(f.env.configFile));
    f.window->close();
    const QByteArray cfg = readAll(f.env.configFile);
    EXPECT_TRUE(cfg.contains("\r\nLineThickness=5\r\n") && cfg.contains("\r\nUnits=0\r\n")) << cfg.toStdString();
}

TEST(AboutUi, TitleCaptionsAndDisclaimerFollowTheLanguage)
{
    MainWindowFixture f; // English
    QStringList seen;
    f.dialogs.onExec = [&](QDialog &d) {
        auto &a = dynamic_cast<frmAbout &>(d);
        seen << QStringList({a.windowTitle(), a.lblTitle->text(), a.lblDescription->text(), a.Label1->text(),
                             a.cmdSysInfo->text(), a.cmdOK->text(), a.Text1->toPlainText().section('\n', 0, 0)})
                    .join(" | ");
        EXPECT_EQ(a.size(), QSize(496, 326));
        EXPECT_TRUE(a.Text1->isReadOnly());
        EXPECT_FALSE(a.lblAuthors->text().isEmpty());
        return int(QDialog::Accepted);
    };
    f.window->action("mnuAbout")->trigger();
    f.window->chooseLanguageEntry(1); // Italiano
    f.window->action("mnuAbout")->trigger();
    f.window->chooseLanguageEntry(2); // English again
    f.window->action("mnuAbout")->trigger();
    const QString english = "About Gipso | Gipso Release 2.6.0 | Freeware software for GPS data management. | "
                            "(Please carefully read the following license agreement) | &System Info... | &OK | "
                            "GIPSO - LICENCE AGREEMENT AND DISCLAIMER";
    const QString italian = "Informazioni su Gipso | Gipso Versione 2.6.0 | Codice freeware per la gestione di informazioni GPS. | "
                            "(Leggere attentamente l'accordo di licenza sottostante) | &Sistema... | &OK | "
                            "GIPSO - ACCORDO DI LICENZA ED ESCLUSIONE DI RESPONSABILITÀ";
    EXPECT_EQ(seen, QStringList({english, italian, english}));
}

TEST(AboutUi, SystemInfoShowsWhatAReportNeedsWithCopy)
{
    MainWindowFixture f;
    SystemInfo info;
    info.version = "2.6.0";
    info.configFolder = "/cfg";
    auto &source = frmAbout::systemInfoSource();
    const auto realSource = source;
    QString gatheredFor;
    source = [&](const QString &configFile) {
        gatheredFor = configFile;
        return std::optional<SystemInfo>(info);
    };
    QString text;
    bool readOnly = false;
    f.dialogs.onExec = [&](QDialog &d) {
        if (auto *a = dynamic_cast<frmAbout *>(&d)) {
            a->cmdSysInfo->click();
            return int(QDialog::Accepted);
        }
        auto &s = dynamic_cast<frmSysInfo &>(d);
        text = s.txtInfo->toPlainText();
        readOnly = s.txtInfo->isReadOnly();
        s.cmdCopy->click();
        return int(QDialog::Accepted);
    };
    f.window->action("mnuAbout")->trigger();
    EXPECT_EQ(gatheredFor, f.env.configFile);
    EXPECT_EQ(text, systemInfoText(info));
    EXPECT_TRUE(text.startsWith("Gipso version: 2.6.0\n"));
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
    EXPECT_TRUE(f.dialogs.shown.empty());

    // Only when nothing can be gathered: message 842.
    source = [](const QString &) { return std::optional<SystemInfo>(); };
    f.window->action("mnuAbout")->trigger();
    EXPECT_EQ(f.dialogs.lastText(), "System Information not available.");
    source = realSource;
}

TEST(HelpUi, OpensTheManualOfTheLanguageAndNothingWhenItIsMissing)
{
    QTemporaryDir data;
    for (const char *name : {"Gipso_Eng.html", "Gipso_Ita.html", "Gipso.html"})
        writeAll(data.filePath(name), "<!DOCTYPE html>");
    const QByteArray oldData = qgetenv("GIPSO_DATA_DIR");
    qputenv("GIPSO_DATA_DIR", data.path().toUtf8());
    MainWindowFixture f;
    QStringList opened;
    f.window->openDocument = [&](const QUrl &url) { opened << url.toLocalFile(); };
    f.window->action("mnuHTMLHelp")->trigger();
    f.window->chooseLanguageEntry(1); // Italiano
    f.window->action("mnuHTMLHelp")->trigger();
    setLanguage(1031); // a language without a manual of its own
    f.window->action("mnuHTMLHelp")->trigger();
    QFile::remove(data.filePath("Gipso.html"));
    f.window->action("mnuHTMLHelp")->trigger();
    setLanguage(kEnglish);
    EXPECT_EQ(opened, QStringList({data.filePath("Gipso_Eng.html"), data.filePath("Gipso_Ita.html"), data.filePath("Gipso.html")}));
    EXPECT_TRUE(f.dialogs.shown.empty());
    if (oldData.isNull())
        qunsetenv("GIPSO_DATA_DIR");
    else
        qputenv("GIPSO_DATA_DIR", oldData);
}
