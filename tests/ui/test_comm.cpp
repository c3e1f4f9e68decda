// The communication dialog: captions per mode, ports, settings, button states, the refusal
// to close while working, the error trap, the end of a transfer and the NMEA capture.
#include "MainWindowFixture.h"

#include "base/Messages.h"
#include "gps/Records.h"
#include "gps/ui/frmComm.h"
#include "support/PtyFeeder.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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
        CommMode mode;
        msg::Id caption;
        const char *title;
    } entries[] = {{CommMode::DownloadWayPoints, msg::DownloadWayPointsCaption, "Download Waypoints from GPS"},
                   {CommMode::DownloadRoutePoints, msg::DownloadRoutePointsCaption, "Download RoutePoints from GPS"},
                   {CommMode::DownloadTrackPoints, msg::DownloadTrackPointsCaption, "Download TrackPoints from GPS"},
                   {CommMode::UploadWayPoints, msg::UploadWayPointsCaption, "Upload Waypoints to GPS"},
                   {CommMode::UploadRoutePoints, msg::UploadRoutePointsCaption, "Upload RoutePoints to GPS"},
                   {CommMode::NmeaAcquisition, msg::NmeaAcquisitionCaption, "NMEA acquisition"}};
    size_t opened = 0;
    QStringList texts;
    f.dialogs.onExec = [&](QDialog &d) {
        auto &c = dynamic_cast<frmComm &>(d);
        c.activate();
        const auto &e = entries[std::min<size_t>(opened++, 5)]; // the last run comes from the NMEA menu entry
        const bool nmeaMode = e.mode == CommMode::NmeaAcquisition;
        EXPECT_EQ(c.windowTitle(), QLatin1String(e.title));
        EXPECT_EQ(c.mode(), e.mode);
        EXPECT_EQ(!c.ComboNMEA->isHidden(), nmeaMode);
        EXPECT_EQ(c.ComboBaud->currentText(), nmeaMode ? "4800" : "9600");
        EXPECT_EQ(c.openDevice(), pty.slavePath()); // serialPort 1: the first listed port
        EXPECT_TRUE(c.cmdOK->isEnabled());
        texts = QStringList{c.Label1->text(), c.Label2->text(), c.Label3->text(), c.Label4->text(), c.Label5->text(),
                            c.cmdOK->text(), c.cmdAnnulla->text(), c.ComboNMEA->currentText(), c.Texttime->text()};
        EXPECT_TRUE(c.txtecho->isReadOnly());
        const QFontMetrics metrics(c.txtecho->font()); // monospaced: every character as wide
        EXPECT_EQ(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
        return int(QDialog::Rejected);
    };
    for (const auto &e : entries)
        f.window->openComm(e.mode, e.caption);
    EXPECT_EQ(opened, 6u);
    EXPECT_EQ(texts, QStringList({"Port:", "Connect GPS to PC and turn it on before going on ...", "Baud:", "NMEA Data:",
                                  "Acquisition time (s):", "&Go", "&Cancel", "RMC", "17"}));
    f.window->action(QStringLiteral("mnuNMEA"))->trigger(); // the menu entry reaches the same dialog
    EXPECT_EQ(opened, 7u);
}

TEST_F(Comm, PortsSettingsAndErrors)
{
    PtyFeeder a;
    ASSERT_TRUE(a.ok());
    AppState state;
    ScriptedDialogs dialogs;
    {
        // Listed ports in natural order; serialPort N opens the N-th; choosing one stores it.
        PortsScope ports({QStringLiteral("xyS10"), a.slavePath(), QStringLiteral("xyS2")});
        state.settings.serialPort = 3;
        frmComm c(state, dialogs, CommMode::DownloadWayPoints);
        c.activate();
        EXPECT_EQ(c.ComboCom->itemText(1), QLatin1String("xyS2"));
        EXPECT_EQ(c.ComboCom->itemText(2), QLatin1String("xyS10"));
        EXPECT_FALSE(c.cmdOK->isEnabled()); // there is no /dev/xyS10
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_TRUE(dialogs.shown[0].text.startsWith(QStringLiteral("ERROR N° 8002 - "))) << dialogs.shown[0].text.toStdString();
        EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Critical);
        c.ComboCom->setCurrentIndex(0); // the pty: "/dev/pts/N" sorts before "xyS"
        emit c.ComboCom->activated(0);
        EXPECT_EQ(c.openDevice(), a.slavePath());
        EXPECT_EQ(c.ComboCom->currentText(), c.openDevice());
        EXPECT_TRUE(c.cmdOK->isEnabled());
        EXPECT_EQ(state.settings.serialPort, 1);

        // Speed, sentence and interval go to the settings; a text that is no number is ignored.
        c.ComboBaud->setCurrentIndex(5);
        emit c.ComboBaud->activated(5);
        EXPECT_EQ(c.baudRate(), 19200);
        c.ComboNMEA->setCurrentIndex(1);
        emit c.ComboNMEA->activated(1);
        EXPECT_EQ(state.settings.nmeaSentence, 2);
        for (const char *text : {"7", "", "abc", "99999", "3.5"})
            c.Texttime->setText(QLatin1String(text));
        EXPECT_EQ(state.settings.nmeaTime, 7);
    }
    {
        // No listed port: nothing is opened and nothing reported; a typed path (a pty) opens,
        // leaves serialPort alone and is offered again for the rest of the session.
        PortsScope ports({});
        dialogs.shown.clear();
        {
            frmComm c(state, dialogs, CommMode::DownloadWayPoints);
            c.activate();
            EXPECT_FALSE(c.cmdOK->isEnabled());
            c.ComboCom->setEditText(a.slavePath());
            QTest::keyClick(c.ComboCom, Qt::Key_Return);
            EXPECT_TRUE(c.cmdOK->isEnabled());
        }
        frmComm again(state, dialogs, CommMode::DownloadWayPoints);
        again.activate();
        EXPECT_EQ(again.openDevice(), a.slavePath());
        EXPECT_TRUE(again.cmdOK->isEnabled());
        EXPECT_EQ(state.settings.serialPort, 1);
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
    frmComm c(state, dialogs, CommMode::DownloadWayPoints);
    c.setTimeouts(300, 300, 300);
    c.show();
    c.activate();
    ASSERT_TRUE(c.cmdOK->isEnabled());

    bool checked = false;
    whenReady([&] {
        // In the middle of the transfer: both buttons off, closing and Escape refused.
        EXPECT_FALSE(c.cmdOK->isEnabled() || c.cmdAnnulla->isEnabled() || c.ComboCom->isEnabled());
        EXPECT_EQ(c.Label2->text(), "Downloading WayPoints...");
        EXPECT_FALSE(c.close());
        QTest::keyClick(&c, Qt::Key_Escape);
        EXPECT_TRUE(c.isVisible());
        return checked = true;
    });
    c.cmdOK->click();
    EXPECT_TRUE(checked);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "ERROR N° 20001 - Input Time Out");
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Critical);
    EXPECT_FALSE(c.cmdOK->isEnabled());
    EXPECT_TRUE(c.cmdAnnulla->isEnabled());
    EXPECT_TRUE(c.finished());
    EXPECT_EQ(c.txtecho->toPlainText(), QStringLiteral("--> 100A020700ED1003")); // the command went out
    EXPECT_TRUE(c.close());
}

TEST_F(Comm, AFinishedTransferClosesOnlyWithGo)
{
    PtyFeeder receiver;
    ASSERT_TRUE(receiver.ok());
    PortsScope ports({receiver.slavePath()});
    MainWindowFixture f;
    QString log;
    int result = -1;
    f.dialogs.onExec = [&](QDialog &d) {
        auto &c = dynamic_cast<frmComm &>(d);
        c.activate();
        // The receiver's answers to a download of two WayPoints.
        const QByteArray point = framePacket({pid::WaypointData, encodeWaypoint(makePoint(PointKind::Way, QStringLiteral("A"), 1, 2))});
        receiver.feed(QByteArray::fromHex("1006020A00EE1003" "101B020200E11003") + point + point + QByteArray::fromHex("100C020700EB1003"));
        c.cmdOK->click(); // the whole transfer runs inside the press
        log = c.txtecho->toPlainText();
        EXPECT_EQ(c.Label2->text(), "2 WayPoints downloaded.");
        EXPECT_EQ(c.cmdOK->text(), "&OK");
        EXPECT_TRUE(c.cmdOK->isEnabled());
        EXPECT_FALSE(c.cmdAnnulla->isEnabled());
        EXPECT_FALSE(c.close()); // only OK closes it now
        c.cmdOK->click();
        EXPECT_FALSE(c.portOpen());
        return result = c.result();
    };
    f.window->openComm(CommMode::DownloadWayPoints, msg::DownloadWayPointsCaption);
    EXPECT_EQ(result, int(QDialog::Accepted));
    EXPECT_EQ(f.state().store.wayPoints.count(), 2); // into the window's store
    // Eleven lines were logged; the dialog shows the last nine, ending with the result.
    const QStringList lines = log.split(u'\n');
    EXPECT_EQ(lines.size(), 9);
    EXPECT_EQ(lines.first(), "<-- 101B020200E11003");
    EXPECT_EQ(lines.last(), "2 WayPoints downloaded.");
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
    frmComm c(state, dialogs, CommMode::NmeaAcquisition);
    int repaints = 0;
    c.repaintMap = [&] { ++repaints; };
    c.setTimeouts(300, 300, 300);
    c.show();
    c.activate();
    ASSERT_TRUE(c.cmdOK->isEnabled());
    pty.repeat(receiverLog(QStringLiteral("nmea/garmin48.log")));

    bool checked = false;
    whenReady([&] {
        if (state.store.trackPoints.count() < 3)
            return false;
        // Running: Go is Stop, Cancel and the settings are off, the marker on the newest fix.
        EXPECT_TRUE(c.nmeaRunning());
        EXPECT_EQ(c.cmdOK->text(), "&Stop");
        EXPECT_TRUE(c.cmdOK->isEnabled());
        EXPECT_FALSE(c.cmdAnnulla->isEnabled() || c.Texttime->isEnabled());
        EXPECT_EQ(c.Label2->text(), "NMEA running...");
        EXPECT_FALSE(c.close());
        EXPECT_TRUE(state.nmeaMarkerOn);
        EXPECT_EQ(state.nmeaMarkerLat, state.store.trackPoints[state.store.trackPoints.count()].latitude);
        c.cmdOK->click(); // Stop: the loop ends at its next turn
        return checked = true;
    });
    c.cmdOK->click();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(c.nmeaRunning() || c.finished() || state.nmeaMarkerOn || state.store.pointsModified);
    EXPECT_EQ(c.Label2->text(), "NMEA stopped.");
    EXPECT_EQ(c.cmdOK->text(), "&Go");
    EXPECT_TRUE(c.cmdOK->isEnabled() && c.cmdAnnulla->isEnabled());
    EXPECT_TRUE(dialogs.shown.empty());
    const int taken = state.store.trackPoints.count();
    EXPECT_GE(repaints, taken + 2); // each fix, the start and the end
    const QStringList shown = c.txtecho->toPlainText().split(u'\n');
    EXPECT_LE(shown.size(), 9);
    EXPECT_TRUE(shown.last().startsWith(QStringLiteral("<-- $")));

    // The receiver falls silent: started again, the wait ends in the error trap.
    pty.stop();
    c.cmdOK->click();
    EXPECT_FALSE(c.nmeaRunning() || state.nmeaMarkerOn || c.cmdOK->isEnabled());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "ERROR N° 20001 - Input Time Out");
    EXPECT_GE(state.store.trackPoints.count(), taken); // points taken before stay
    EXPECT_TRUE(c.close());
}
