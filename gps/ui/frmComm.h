#pragma once

#include "state/AppState.h"
#include "base/ui/Dialogs.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace gipso {

class ByteLink;
class GipsoError;

// The communication dialog: the port, the speed, the NMEA settings, the exchange log, and the
// transfer of its mode run inside the press of cmdOK. Mode tags: "1" to "3" downloads of
// WayPoints, RoutePoints and TrackPoints, "4" and "5" uploads of WayPoints and RoutePoints,
// "6" NMEA acquisition, "0" a finished transfer (the next cmdOK closes the dialog).
//
// Ports: ComboCom lists the system's serial ports, sorted by name; serialPort N is the N-th
// of them. Any device path (a pseudo-terminal, a port the system does not list) can be typed
// in; it joins the list and is remembered for the rest of the session, while serialPort keeps
// naming a listed port.
class frmComm : public QDialog {
    Q_OBJECT

public:
    frmComm(AppState &state, Dialogs &dialogs, QWidget *parent = nullptr);
    ~frmComm() override;

    void setMode(const QString &tag) { mode_ = tag; }
    QString mode() const { return mode_; }

    // Opens the port and prepares the controls for the mode; runs once, when the dialog is
    // first shown (tests may call it directly).
    void activate();

    // Called after every NMEA fix and when an acquisition ends: the main window's map repaint.
    std::function<void()> repaintMap;

    // Time-outs of the receive loops, ms: first byte of a packet, between its bytes, NMEA line.
    void setTimeouts(int firstByteMs, int nextByteMs, int nmeaLineMs);
    bool nmeaRunning() const { return nmeaRunning_; }
    bool portOpen() const;
    QString openDevice() const { return openDevice_; }
    int baudRate() const { return baudRate_; }
    QString exchangeLog() const { return log_; }

    // The system's ports as ComboCom lists them (replaceable in tests).
    static std::function<QStringList()> &portLister();
    // The device path typed in during this session, if any.
    static QString &sessionTypedPort();

    // Event handlers by the controls' names.
    void ComboCom_Click();
    void ComboBaud_Click();
    void ComboNMEA_Click();
    void Texttime_Change();
    void cmdOK_Click();
    void cmdAnnulla_Click();

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

    static const QList<int> &baudRates();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildControls();
    void applyCaptions();
    void fillPortList();
    void typedPortEntered();
    void runTransfer();
    void startNmea();
    void errorTrap(const GipsoError &e);
    void appendLog(const QString &line);
    void setSettingsEnabled(bool on);
    void closePort();
    void requestRepaint();

    AppState &state_;
    Dialogs &dialogs_;
    QString mode_;
    std::unique_ptr<ByteLink> link_;
    QString openDevice_;
    int systemPortCount_ = 0;
    int baudRate_ = 9600;
    bool activated_ = false;
    bool nmeaRunning_ = false;
    QString log_;
    int firstByteMs_ = 5000;
    int nextByteMs_ = 5000;
    int nmeaLineMs_ = 10000;
};

} // namespace gipso
