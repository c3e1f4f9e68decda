#pragma once

#include "base/ui/Dialogs.h"
#include "gps/CommMode.h"
#include "gps/ReceiverPort.h"
#include "state/AppState.h"

#include <QDialog>
#include <QStringList>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace gipso {

class GipsoError;

// The communication dialog: the port, the speed, the NMEA settings, the exchange log, and the
// transfer of its mode run inside the press of cmdOK. Once a transfer has run, the next press
// of cmdOK closes the dialog; the NMEA acquisition starts and stops with it.
//
// Ports: ComboCom lists the system's serial ports, sorted by name; serialPort N is the N-th
// of them. Any device path (a pseudo-terminal, a port the system does not list) can be typed
// in: once it opens it joins the list for the rest of the session and becomes serialDevice
// (kept in Gipso.cfg), which is opened instead of serialPort until a listed port is chosen.
// The port used is always the one the box shows: a typed path opens with Enter or with Go.
// A local gpsd that answers is offered after the system's ports (gpsd://localhost:2947), and
// any gpsd://HOST:PORT can be typed in like a path: NMEA acquisition then reads what it relays.
class frmComm : public QDialog {
    Q_OBJECT

public:
    frmComm(AppState &state, Dialogs &dialogs, CommMode mode, QWidget *parent = nullptr);
    ~frmComm() override;

    CommMode mode() const { return mode_; }
    // The transfer has been run: cmdOK now closes the dialog.
    bool finished() const { return finished_; }

    // Opens the port and prepares the controls for the mode; runs once, when the dialog is
    // first shown (tests may call it directly).
    void activate();

    // Called after every NMEA fix and when an acquisition ends: the main window's map repaint.
    std::function<void()> repaintMap;

    // Time-outs of the receive loops, ms: first byte of a packet, between its bytes, NMEA line.
    void setTimeouts(int firstByteMs, int nextByteMs, int nmeaLineMs);
    bool nmeaRunning() const { return nmeaRunning_; }
    bool portOpen() const { return port_.isOpen(); }
    QString openDevice() const { return port_.device(); }
    int baudRate() const { return baudRate_; }

    // The system's ports as ComboCom lists them (replaceable in tests).
    static std::function<QStringList()> &portLister();
    // Whether a local gpsd answers, asked when the list is filled (replaceable in tests).
    static std::function<bool()> &gpsdProbe();
    // The device paths typed in during this session and opened.
    static QStringList &sessionTypedPorts();

    QComboBox *ComboCom = nullptr;
    QComboBox *ComboBaud = nullptr;
    QComboBox *ComboNMEA = nullptr;
    QLineEdit *Texttime = nullptr;
    QPlainTextEdit *txtecho = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdAnnulla = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildControls();
    void applyCaptions();
    void fillPortList();
    QString shownPort() const;
    bool openShownPort();
    void shownPortChosen();
    void applyChosenBaud();
    void go();
    void runTransfer();
    void startNmea();
    void errorTrap(const GipsoError &e);
    void appendLog(const QString &line);
    void setSettingsEnabled(bool on);
    void requestRepaint();

    AppState &state_;
    Dialogs &dialogs_;
    const CommMode mode_;
    bool finished_ = false;
    ReceiverPort port_;
    int systemPortCount_ = 0;
    int baudRate_ = 9600;
    bool activated_ = false;
    bool nmeaRunning_ = false;
    QString log_;
    int nmeaLineMs_ = 10000;
};

} // namespace gipso
