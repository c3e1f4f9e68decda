// The communication dialog: captions per mode, ports, settings, button states, the refusal
// to close while working, the error trap, a transfer against the simulator and NMEA capture.
#include "MainWindowFixture.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "files/PointFiles.h"
#include "support/SimProcess.h"
#include "support/PtyFeeder.h"
#include "gps/ui/frmComm.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

// Every test chooses the ports the dialog sees and starts without a typed port.
struct PortsScope {
    explicit PortsScope(QStringList ports)
    {
        frmComm::portLister() = [ports] { return ports; };
        frmComm::sessionTypedPort().clear();
    }
    ~PortsScope()
    {
        frmComm::portLister() = [] { return QStringList(); };
        frmComm::sessionTypedPort().clear();
    }
};

// Runs f on the event loop every few milliseconds until it returns true.
void whenReady(std::function<bool()> f)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        if (f()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

class Comm : public ::testing::Test {
protected:
    void SetUp() override { setLanguage(kEnglish); }
};

} // namespace

TEST_F(Comm, EachMenuEntryOpensTheDialogInItsModeWithItsCaption)
{
    PtyFeeder pty;
    ASSERT_TRUE(pty.ok());
    PortsScope ports({pty.slavePath()});
    MainWindowFixture f;
    f.state().settings.nmeaSentence = 2;
    f.state().settings.nmeaTime = 17;
    const struct {
        const char *mode;
        int caption;
    } entries[] = {{"1", 532}, {"2", 533}, {"3", 536}, {"4", 534}, {"5", 535}, {"6", 548}};
    size_t opened = 0;
    f.dialogs.onExec = [&](QDialog &d) {
        auto &c = dynamic_cast<frmComm &>(d);
        c.activate();
        const auto &e = entries[std::min<size_t>(opened++, 5)]; // the last run comes from the NMEA menu entry
        const bool nmeaMode = e.mode == std::string("6");
        EXPECT_EQ(c.windowTitle(), messageText(e.caption));
        EXPECT_EQ(c.mode(), QLatin1String(e.mode));
        EXPECT_EQ(c.Label2->text(), "Connect GPS to PC and turn it on before going on ...");
        EXPECT_TRUE(c.cmdOK->isEnabled());
        EXPECT_EQ(!c.ComboNMEA->isHidden(), nmeaMode);
        EXPECT_EQ(c.ComboBaud->currentText(), nmeaMode ? "4800" : "9600");
        EXPECT_EQ(c.ComboNMEA->currentText(), "RMC");
        EXPECT_EQ(c.Texttime->text(), "17");
        EXPECT_EQ(c.cmdAnnulla->text(), "&Cancel");
        EXPECT_EQ(c.cmdOK->text(), "&Go");
        EXPECT_EQ(c.Label1->text(), "Port:");
        EXPECT_EQ(c.Label3->text(), "Baud:");
        EXPECT_EQ(c.Label4->text(), messageText(310));
        EXPECT_EQ(c.Label5->text(), messageText(311));
        EXPECT_EQ(c.openDevice(), pty.slavePath()); // serialPort 1: the first listed port
        EXPECT_TRUE(c.txtecho->isReadOnly());
        const QFontMetrics metrics(c.txtecho->font()); // monospaced: every character as wide
        EXPECT_EQ(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
        return int(QDialog::Rejected);
    };
    for (const auto &e : entries)
        f.window->openComm(QLatin1String(e.mode), e.caption);
    EXPECT_EQ(opened, 6u);
    EXPECT_EQ(messageText(548), "NMEA acquisition");
    f.window->action(QStringLiteral("mnuNMEA"))->trigger(); // the menu entry reaches the same dialog
    EXPECT_EQ(opened, 7u);
}

TEST_F(Comm, PortsSettingsAndErrors)
{
    PtyFeeder a, b;
    ASSERT_TRUE(a.ok() && b.ok());
    AppState state;
    ScriptedDialogs dialogs;
    {
        // Listed ports in natural order; serialPort N opens the N-th; choosing one stores it.
        PortsScope ports({b.slavePath(), QStringLiteral("ttyS10"), a.slavePath(), QStringLiteral("ttyS2")});
        state.settings.serialPort = 2;
        frmComm c(state, dialogs);
        QStringList items;
        for (int i = 0; i < c.ComboCom->count(); ++i)
            items << c.ComboCom->itemText(i);
        ASSERT_EQ(items.size(), 4);
        EXPECT_EQ(items.mid(2), (QStringList{QStringLiteral("ttyS2"), QStringLiteral("ttyS10")})); // 2 before 10
        EXPECT_EQ(QSet<QString>(items.begin(), items.begin() + 2), (QSet<QString>{a.slavePath(), b.slavePath()}));
        const QStringList sorted = items.mid(0, 2);
        c.activate();
        EXPECT_EQ(c.openDevice(), sorted[1]);
        EXPECT_TRUE(c.cmdOK->isEnabled());
        c.ComboCom->setCurrentIndex(0);
        emit c.ComboCom->activated(0);
        EXPECT_EQ(c.openDevice(), sorted[0]);
        EXPECT_EQ(state.settings.serialPort, 1);
        EXPECT_TRUE(dialogs.shown.empty());

        // Speed, sentence and interval go to the settings; a text that is no number is ignored.
        c.ComboBaud->setCurrentIndex(5);
        emit c.ComboBaud->activated(5);
        EXPECT_EQ(c.baudRate(), 19200);
        c.ComboNMEA->setCurrentIndex(1);
        emit c.ComboNMEA->activated(1);
        EXPECT_EQ(state.settings.nmeaSentence, 2);
        c.Texttime->setText(QStringLiteral("7"));
        EXPECT_EQ(state.settings.nmeaTime, 7);
        for (const char *bad : {"", "abc", "99999", "3.5"}) {
            c.Texttime->setText(QLatin1String(bad));
            EXPECT_EQ(state.settings.nmeaTime, 7) << bad;
        }

        // A port that cannot be opened: the error box, and Go stays disabled.
        c.ComboCom->setEditText(QStringLiteral("/dev/gipso-no-such-port"));
        QTest::keyClick(c.ComboCom, Qt::Key_Return);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_TRUE(dialogs.shown[0].text.startsWith(QStringLiteral("ERROR N° 8002 - "))) << dialogs.shown[0].text.toStdString();
        EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Critical);
        EXPECT_FALSE(c.cmdOK->isEnabled());
        EXPECT_FALSE(c.portOpen());
        EXPECT_EQ(state.settings.serialPort, 1);
    }
    {
        // No listed port: nothing is opened and nothing reported; a typed path (a pty) opens,
        // leaves serialPort alone and is offered again for the rest of the session.
        PortsScope ports({});
        dialogs.shown.clear();
        state.settings.serialPort = 3;
        {
            frmComm c(state, dialogs);
            c.activate();
            EXPECT_FALSE(c.cmdOK->isEnabled());
            EXPECT_TRUE(dialogs.shown.empty());
            c.ComboCom->setEditText(a.slavePath());
            QTest::keyClick(c.ComboCom, Qt::Key_Return);
            EXPECT_TRUE(c.portOpen());
            EXPECT_TRUE(c.cmdOK->isEnabled());
            EXPECT_EQ(state.settings.serialPort, 3);
        }
        frmComm again(state, dialogs);
        again.activate();
        EXPECT_EQ(again.openDevice(), a.slavePath());
        EXPECT_TRUE(again.cmdOK->isEnabled());
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

TEST_F(Comm, TransferRefusesToCloseAndTrapsTheTimeOut)
{
    PtyFeeder silent;
    ASSERT_TRUE(silent.ok());
    PortsScope ports({silent.slavePath()});
    AppState state;
    ScriptedDialogs dialogs;
    frmComm c(state, dialogs);
    c.setMode(QStringLiteral("1"));
    c.setTimeouts(300, 300, 300);
    c.show();
    c.activate();
    ASSERT_TRUE(c.cmdOK->isEnabled());

    bool checked = false;
    whenReady([&] {
        // In the middle of the transfer: both buttons off, closing and Escape refused.
        EXPECT_FALSE(c.cmdOK->isEnabled());
        EXPECT_FALSE(c.cmdAnnulla->isEnabled());
        EXPECT_FALSE(c.ComboCom->isEnabled());
        EXPECT_EQ(c.Label2->text(), messageText(659));
        EXPECT_FALSE(c.close());
        QTest::keyClick(&c, Qt::Key_Escape);
        EXPECT_TRUE(c.isVisible());
        checked = true;
        return true;
    });
    c.cmdOK->click();
    EXPECT_TRUE(checked);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "ERROR N° 20001 - Input Time Out");
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Critical);
    EXPECT_FALSE(c.cmdOK->isEnabled());
    EXPECT_TRUE(c.cmdAnnulla->isEnabled());
    EXPECT_EQ(c.mode(), "0");
    // The command went out and is in the log.
    EXPECT_TRUE(c.txtecho->toPlainText().startsWith(QStringLiteral("--> 100A020700ED1003")));
    EXPECT_EQ(state.store.wayPoints.count(), 0);
    EXPECT_FALSE(state.store.pointsModified);
    EXPECT_TRUE(c.close());
}

TEST_F(Comm, RouteDownloadFromTheSimulator)
{
    const QString points = testData(QStringLiteral("gpx/route.gpx"));
    PointStore expected;
    readGpx(points, expected, true);
    ASSERT_GT(expected.routePoints.count(), 1);

    SimProcess sim({QStringLiteral("--points"), points});
    ASSERT_TRUE(sim.ok()) << "gipso-gpssim must be built";
    PortsScope ports({sim.path()});

    MainWindowFixture f;
    QString result, log;
    bool okAfter = false, cancelAfter = true;
    f.dialogs.onExec = [&](QDialog &d) {
        auto &c = dynamic_cast<frmComm &>(d);
        c.activate();
        c.cmdOK->click(); // the whole transfer runs inside the press
        result = c.Label2->text();
        log = c.txtecho->toPlainText();
        okAfter = c.cmdOK->isEnabled() && c.cmdOK->text() == messageText(670);
        cancelAfter = c.cmdAnnulla->isEnabled();
        EXPECT_FALSE(c.close()); // finished, but only OK closes it
        c.cmdOK->click();        // closes
        EXPECT_EQ(c.result(), int(QDialog::Accepted));
        EXPECT_FALSE(c.portOpen());
        return c.result();
    };
    f.window->openComm(QStringLiteral("2"), 533);

    const int k = expected.routePoints.count();
    EXPECT_EQ(result, formatMessage(messageText(663), {k}));
    EXPECT_TRUE(okAfter);
    EXPECT_FALSE(cancelAfter);
    ASSERT_EQ(f.state().store.routePoints.count(), k);
    EXPECT_TRUE(f.state().store.pointsModified);
    for (int i = 1; i <= k; ++i)
        EXPECT_NEAR(f.state().store.routePoints[i].latitude, expected.routePoints[i].latitude, 1e-6);
    // The log keeps the last nine lines and ends with the result.
    const QStringList lines = log.split(u'\n');
    EXPECT_EQ(lines.size(), 9);
    EXPECT_EQ(lines.last(), result);
    EXPECT_TRUE(lines[lines.size() - 2].startsWith(QStringLiteral("--> ")));
    f.state().store.pointsModified = false;
}

TEST_F(Comm, NmeaStartStopMarkerAndTimeOut)
{
    PtyFeeder pty;
    ASSERT_TRUE(pty.ok());
    PortsScope ports({pty.slavePath()});
    AppState state;
    state.settings.nmeaSentence = 1;
    state.settings.nmeaTime = 0;
    ScriptedDialogs dialogs;
    frmComm c(state, dialogs);
    int repaints = 0;
    c.repaintMap = [&] { ++repaints; };
    c.setMode(QStringLiteral("6"));
    c.setTimeouts(300, 300, 300);
    c.show();
    c.activate();
    ASSERT_TRUE(c.cmdOK->isEnabled());
    pty.repeat(receiverLog(QStringLiteral("nmea/garmin48.log")));

    bool checked = false;
    whenReady([&] {
        if (state.store.trackPoints.count() < 3)
            return false;
        const GpsPoint &last = state.store.trackPoints[state.store.trackPoints.count()];
        EXPECT_TRUE(c.nmeaRunning());
        EXPECT_EQ(c.cmdOK->text(), messageText(308));
        EXPECT_TRUE(c.cmdOK->isEnabled());
        EXPECT_FALSE(c.cmdAnnulla->isEnabled());
        EXPECT_FALSE(c.Texttime->isEnabled());
        EXPECT_EQ(c.Label2->text(), "NMEA running...");
        EXPECT_FALSE(c.close());
        EXPECT_TRUE(state.nmeaMarkerOn);
        EXPECT_EQ(state.nmeaMarkerLat, last.latitude);
        EXPECT_EQ(state.nmeaMarkerLon, last.longitude);
        c.cmdOK->click(); // Stop: the loop ends at its next turn
        checked = true;
        return true;
    });
    c.cmdOK->click();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(c.nmeaRunning());
    EXPECT_EQ(c.mode(), "6");
    EXPECT_EQ(c.Label2->text(), "NMEA stopped.");
    EXPECT_EQ(c.cmdOK->text(), "&Go");
    EXPECT_TRUE(c.cmdOK->isEnabled());
    EXPECT_TRUE(c.cmdAnnulla->isEnabled());
    EXPECT_FALSE(state.nmeaMarkerOn);
    EXPECT_FALSE(state.store.pointsModified);
    EXPECT_TRUE(dialogs.shown.empty());
    const int taken = state.store.trackPoints.count();
    EXPECT_GE(taken, 3);
    EXPECT_GE(repaints, taken + 2); // each fix, the start and the end
    for (const GpsPoint &p : state.store.trackPoints) {
        EXPECT_NEAR(p.latitude, -(45 + 27.458 / 60), 1e-9);
        EXPECT_TRUE(p.description.isEmpty());
    }
    const QStringList shown = c.txtecho->toPlainText().split(u'\n');
    EXPECT_LE(shown.size(), 9);
    EXPECT_TRUE(shown.last().startsWith(QStringLiteral("<-- $")));

    // The receiver falls silent: started again, the wait ends in the error trap.
    pty.stop();
    c.cmdOK->click();
    EXPECT_FALSE(c.nmeaRunning());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "ERROR N° 20001 - Input Time Out");
    EXPECT_FALSE(c.cmdOK->isEnabled());
    EXPECT_TRUE(c.cmdAnnulla->isEnabled());
    EXPECT_FALSE(state.nmeaMarkerOn);
    EXPECT_GE(state.store.trackPoints.count(), taken); // points taken before stay
    EXPECT_TRUE(c.close());
}
