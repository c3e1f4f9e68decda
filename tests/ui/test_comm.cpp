// The communication dialog: captions per mode, ports, settings, button states, the refusal
// to close while working, the error trap, the end of a transfer and the NMEA capture. The
// transfers, the NMEA, gpsd and the port list's order are tested in tests/gps.
#include "MainWindowFixture.h"

#include "gps/Records.h"
#include "gps/ui/frmComm.h"
#include "support/PtyFeeder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using namespace gipso;
using namespace gipso::test;

namespace {

// Runs f on the event loop until it returns true.
void whenReady(std::function<bool()> f)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        if (f()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(5);
}

// The status line and each button's caption, "+" when enabled.
QString controls(const frmComm &c)
{
    auto button = [](const QPushButton *b) { return b->text() + (b->isEnabled() ? "+" : "-"); };
    return c.Label2->text() + " | " + button(c.cmdOK) + " " + button(c.cmdAnnulla);
}

QByteArray twoWayPoints(const char *name)
{
    const QByteArray point = framePacket({pid::WaypointData, encodeWaypoint(makePoint(PointKind::Way, name, 1, 2))});
    return QByteArray::fromHex("1006020A00EE1003" "101B020200E11003") + point + point + QByteArray::fromHex("100C020700EB1003");
}

// The system's serial ports are the pty alone unless a test lists others; none typed yet.
class Comm : public ::testing::Test {
protected:
    PtyFeeder pty;
    AppState state;
    ScriptedDialogs dialogs;
    void SetUp() override
    {
        setLanguage(kEnglish);
        ASSERT_TRUE(pty.ok());
        listPorts({pty.slavePath()});
        frmComm::gpsdProbe() = [] { return false; };
    }
    void TearDown() override { listPorts({}), frmComm::gpsdProbe() = [] { return false; }; }
    static void listPorts(const QStringList &ports)
    {
        frmComm::portLister() = [ports] { return ports; };
        frmComm::sessionTypedPorts().clear();
    }
};

} // namespace

TEST_F(Comm, EachMenuEntryOpensTheDialogInItsModeWithItsCaption)
{
    MainWindowFixture f;
    f.state().settings.nmeaSentence = 2;
    f.state().settings.nmeaTime = 17;
    QStringList shown; // mode, title, speed, and the NMEA settings where shown
    f.dialogs.onExec = [&](QDialog &d) {
        auto &c = dynamic_cast<frmComm &>(d);
        c.activate();
        shown << QString::number(int(c.mode())) + " " + c.windowTitle() + " " + c.ComboBaud->currentText() +
                     (c.ComboNMEA->isHidden() ? "" : " " + c.ComboNMEA->currentText() + " " + c.Texttime->text());
        return int(QDialog::Rejected);
    };
    for (const char *entry : {"mnuDownw", "mnuDownr", "mnuDownt", "mnuUplw", "mnuUplr", "mnuNMEA"})
        f.window->action(entry)->trigger();
    EXPECT_EQ(shown, QStringList({"0 Download Waypoints from GPS 9600", "1 Download RoutePoints from GPS 9600",
                                  "2 Download TrackPoints from GPS 9600", "3 Upload Waypoints to GPS 9600",
                                  "4 Upload RoutePoints to GPS 9600", "5 NMEA acquisition 4800 RMC 17"}));
    frmComm c(state, dialogs, CommMode::NmeaAcquisition);
    EXPECT_EQ(QStringList({c.Label1->text(), c.Label3->text(), c.Label4->text(), c.Label5->text(), c.cmdOK->text(), c.cmdAnnulla->text()}),
              QStringList({"Port:", "Baud:", "NMEA Data:", "Acquisition time (s):", "&Go", "&Cancel"}));
    const QFontMetrics metrics(c.txtecho->font()); // read-only and monospaced: every character as wide
    EXPECT_TRUE(c.txtecho->isReadOnly() && metrics.horizontalAdvance(u'i') == metrics.horizontalAdvance(u'W'));
}

TEST_F(Comm, PortsSettingsAndErrors)
{
    { // The start port that does not open is named; a port chosen is opened and stored.
        listPorts({"xyS10", pty.slavePath()});
        state.settings.serialPort = 2;
        frmComm c(state, dialogs, CommMode::DownloadWayPoints);
        c.activate();
        EXPECT_FALSE(c.cmdOK->isEnabled()); // there is no /dev/xyS10
        EXPECT_TRUE(dialogs.lastText().startsWith("ERROR N° 8002 - ")) << dialogs.lastText().toStdString();
        EXPECT_EQ(c.Label2->text(), "Connect GPS to PC and turn it on before going on ...");
        c.ComboCom->setCurrentIndex(0);
        emit c.ComboCom->activated(0);
        EXPECT_EQ(c.openDevice() + c.ComboCom->currentText(), pty.slavePath() + pty.slavePath());
        EXPECT_TRUE(c.cmdOK->isEnabled() && state.settings.serialPort == 1);
        // Speed, sentence and interval go to the settings as they are chosen.
        c.ComboBaud->setCurrentIndex(5);
        emit c.ComboBaud->activated(5);
        c.ComboNMEA->setCurrentIndex(1);
        emit c.ComboNMEA->activated(1);
        c.Texttime->setText("7");
        c.Texttime->setText("abc");
        EXPECT_EQ(QList<int>({c.baudRate(), state.settings.nmeaSentence, state.settings.nmeaTime}), QList<int>({19200, 2, 7}));
    }
    // No port listed or typed: nothing opened, nothing reported. A local gpsd that answers is
    // listed (the order: tests/gps; what is read through it: tests/gps).
    listPorts({});
    frmComm::gpsdProbe() = [] { return true; };
    dialogs.shown.clear();
    frmComm c(state, dialogs, CommMode::DownloadWayPoints);
    c.activate();
    EXPECT_FALSE(c.portOpen() || c.cmdOK->isEnabled());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(c.ComboCom->itemText(0), "gpsd://localhost:2947");
}

TEST_F(Comm, GoUsesThePortTheBoxShowsAndTypedPathsAreKept)
{
    // The listed pty is open; another receiver is typed and left with Tab, a third with Go at once.
    PtyFeeder second, third;
    ASSERT_TRUE(second.ok() && third.ok());
    for (PtyFeeder *typed : {&second, &third}) {
        SCOPED_TRACE(typed->slavePath().toStdString());
        state = AppState();
        frmComm c(state, dialogs, CommMode::DownloadWayPoints);
        c.show();
        c.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&c));
        c.activate();
        pty.feed(twoWayPoints("OLD"));
        typed->feed(twoWayPoints("NEW"));
        QLineEdit *box = c.ComboCom->lineEdit();
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, typed->slavePath());
        if (typed == &second)
            QTest::keyClick(box, Qt::Key_Tab);
        c.cmdOK->click();
        EXPECT_EQ(state.store.wayPoints[1].name + " " + c.openDevice(), "NEW " + typed->slavePath());
        EXPECT_EQ(state.settings.serialDevice, typed->slavePath()); // for Gipso.cfg
        pty.stop();
    }
    // A new dialog lists the typed paths after the listed port and opens the last; a path that
    // does not open is named, and Go runs nothing.
    frmComm c(state, dialogs, CommMode::DownloadWayPoints);
    c.activate();
    EXPECT_EQ(QStringList({c.ComboCom->itemText(1), c.ComboCom->itemText(2), c.openDevice()}),
              QStringList({second.slavePath(), third.slavePath(), third.slavePath()}));
    c.ComboCom->setEditText("/dev/gipso-none");
    c.cmdOK->click();
    EXPECT_FALSE(c.finished() || c.portOpen());
    EXPECT_EQ(dialogs.lastText(), "ERROR N° 8002 - Port /dev/gipso-none cannot be opened: no such device");
}

TEST_F(Comm, TransferRefusesToCloseAndTrapsTheTimeOut)
{
    frmComm c(state, dialogs, CommMode::DownloadWayPoints); // the receiver stays silent
    c.setTimeouts(300, 300, 300);
    c.show();
    c.activate();
    bool checked = false;
    whenReady([&] { // in the middle of the transfer: closing and Escape refused
        EXPECT_EQ(controls(c), "Downloading WayPoints... | &Go- &Cancel-");
        EXPECT_FALSE(c.ComboCom->isEnabled() || c.close());
        QTest::keyClick(&c, Qt::Key_Escape);
        EXPECT_TRUE(c.isVisible());
        return checked = true;
    });
    c.cmdOK->click();
    EXPECT_TRUE(checked && c.finished());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text == "ERROR N° 20001 - Input Time Out" && dialogs.shown[0].icon == Dialogs::Icon::Critical);
    EXPECT_EQ(controls(c), "Downloading WayPoints... | &Go- &Cancel+");
    EXPECT_EQ(c.txtecho->toPlainText(), "--> 100A020700ED1003"); // the command went out
    EXPECT_TRUE(c.close());
}

TEST_F(Comm, AFinishedTransferClosesOnlyWithGo)
{
    MainWindowFixture f;
    QString log;
    f.dialogs.onExec = [&](QDialog &d) {
        auto &c = dynamic_cast<frmComm &>(d);
        c.activate();
        pty.feed(twoWayPoints("A"));
        c.cmdOK->click(); // the whole transfer runs inside the press
        log = c.txtecho->toPlainText();
        EXPECT_EQ(controls(c), "2 WayPoints downloaded. | &OK+ &Cancel-");
        EXPECT_FALSE(c.close()); // only OK closes it now
        c.cmdOK->click();
        EXPECT_TRUE(!c.portOpen() && c.result() == QDialog::Accepted);
        return c.result();
    };
    f.window->openComm(CommMode::DownloadWayPoints, msg::DownloadWayPointsCaption);
    EXPECT_EQ(f.state().store.wayPoints.count(), 2); // into the window's store
    // Eleven lines were logged; the dialog shows the last nine, ending with the result.
    const QStringList lines = log.split(u'\n');
    EXPECT_EQ(QStringList({QString::number(lines.size()), lines.first(), lines.last()}),
              QStringList({"9", "<-- 101B020200E11003", "2 WayPoints downloaded."}));
}

TEST_F(Comm, NmeaStartStopMarkerAndTimeOut)
{
    state.settings.nmeaSentence = 1;
    state.settings.nmeaTime = 0;
    int repaints = 0;
    frmComm c(state, dialogs, CommMode::NmeaAcquisition);
    c.setTimeouts(300, 300, 300);
    c.show();
    c.activate();
    c.repaintMap = [&] { ++repaints; };
    pty.repeat(receiverLog("nmea/garmin48.log"));
    const PointList &taken = state.store.trackPoints;
    bool checked = false;
    whenReady([&] {
        if (taken.count() < 3)
            return false; // then running: Go is Stop, Cancel and settings off, the marker on the newest fix
        EXPECT_EQ(controls(c), "NMEA running... | &Stop+ &Cancel-");
        EXPECT_FALSE(c.Texttime->isEnabled() || c.close());
        EXPECT_TRUE(c.nmeaRunning() && state.nmeaMarkerOn);
        EXPECT_EQ(state.nmeaMarkerLat, taken[taken.count()].latitude);
        c.cmdOK->click(); // Stop: the loop ends at its next turn
        return checked = true;
    });
    c.cmdOK->click();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(c.nmeaRunning() || c.finished() || state.nmeaMarkerOn || state.store.pointsModified);
    EXPECT_EQ(controls(c), "NMEA stopped. | &Go+ &Cancel+");
    EXPECT_TRUE(dialogs.shown.empty());
    const int count = taken.count();
    EXPECT_GE(repaints, count + 2); // each fix, the start and the end
    // The receiver falls silent: started again, the wait ends in the error trap; the points stay.
    pty.stop();
    c.cmdOK->click();
    EXPECT_FALSE(c.nmeaRunning() || state.nmeaMarkerOn);
    EXPECT_EQ(controls(c), "NMEA running... | &Go- &Cancel+");
    EXPECT_EQ(dialogs.lastText(), "ERROR N° 20001 - Input Time Out");
    EXPECT_GE(taken.count(), count);
    EXPECT_TRUE(c.close());
}
