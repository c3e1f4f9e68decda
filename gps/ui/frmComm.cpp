#include "gps/ui/frmComm.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "gps/CommSetup.h"
#include "gps/Nmea.h"
#include "gps/Transfers.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <optional>

namespace gipso {

std::function<QStringList()> &frmComm::portLister()
{
    static std::function<QStringList()> lister = [] { return SerialLink::availablePorts(); };
    return lister;
}

std::function<bool()> &frmComm::gpsdProbe()
{
    // A local connection is refused or accepted at once: the bound only guards a stalled gpsd.
    static std::function<bool()> probe = [] { return GpsdLink::answers(QStringLiteral("127.0.0.1"), kGpsdDefaultPort, 200); };
    return probe;
}

QStringList &frmComm::sessionTypedPorts()
{
    static QStringList paths;
    return paths;
}

frmComm::frmComm(AppState &state, Dialogs &dialogs, CommMode mode, QWidget *parent)
    : QDialog(parent), state_(state), dialogs_(dialogs), mode_(mode)
{
    setObjectName(QStringLiteral("frmComm"));
    port_.setup().exchangeLog = [this](const QString &line) { appendLog(line); };
    port_.setup().warning = [this](const QString &text) { dialogs_.message(this, text, Dialogs::Icon::None); };
    buildControls();
    applyCaptions();
    fillPortList();
}

frmComm::~frmComm() { port_.close(); }

void frmComm::buildControls()
{
    auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    Label1 = static_cast<QLabel *>(named(new QLabel(this), "Label1"));
    Label3 = static_cast<QLabel *>(named(new QLabel(this), "Label3"));
    Label4 = static_cast<QLabel *>(named(new QLabel(this), "Label4"));
    Label5 = static_cast<QLabel *>(named(new QLabel(this), "Label5"));
    Label2 = static_cast<QLabel *>(named(new QLabel(this), "Label2"));
    Label2->setWordWrap(true);

    ComboCom = static_cast<QComboBox *>(named(new QComboBox(this), "ComboCom"));
    ComboCom->setEditable(true); // a device path can be typed in
    ComboCom->setInsertPolicy(QComboBox::NoInsert);
    ComboCom->setMinimumContentsLength(14);
    ComboBaud = static_cast<QComboBox *>(named(new QComboBox(this), "ComboBaud"));
    for (int rate : kBaudRates)
        ComboBaud->addItem(QString::number(rate));
    ComboNMEA = static_cast<QComboBox *>(named(new QComboBox(this), "ComboNMEA"));
    ComboNMEA->addItems({nmeaSentenceName(NmeaSentence::GGA), nmeaSentenceName(NmeaSentence::RMC)});
    Texttime = static_cast<QLineEdit *>(named(new QLineEdit(this), "Texttime"));
    Texttime->setMaximumWidth(80);

    txtecho = static_cast<QPlainTextEdit *>(named(new QPlainTextEdit(this), "txtecho"));
    txtecho->setReadOnly(true);
    txtecho->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setStyleHint(QFont::Monospace);
    txtecho->setFont(mono);
    txtecho->setMinimumSize(520, 170);

    cmdOK = static_cast<QPushButton *>(named(new QPushButton(this), "cmdOK"));
    cmdAnnulla = static_cast<QPushButton *>(named(new QPushButton(this), "cmdAnnulla"));
    cmdOK->setDefault(true);
    cmdOK->setEnabled(false); // only while a port is open

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(ComboCom, 0, 1);
    grid->addWidget(Label3, 0, 2);
    grid->addWidget(ComboBaud, 0, 3);
    grid->addWidget(Label4, 1, 0);
    grid->addWidget(ComboNMEA, 1, 1);
    grid->addWidget(Label5, 1, 2);
    grid->addWidget(Texttime, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdAnnulla);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(txtecho, 1);
    layout->addWidget(Label2);
    layout->addLayout(buttons);

    connect(ComboCom, &QComboBox::activated, this, &frmComm::shownPortChosen);
    // A path being typed (and left with Tab or a click elsewhere): Go opens it, and only it.
    connect(ComboCom->lineEdit(), &QLineEdit::textEdited, this, [this] { cmdOK->setEnabled(!shownPort().isEmpty()); });
    connect(ComboBaud, &QComboBox::activated, this, &frmComm::applyChosenBaud);
    // The sentence and the interval go to the settings as they are chosen; an interval that
    // is no number is ignored.
    connect(ComboNMEA, &QComboBox::activated, this, [this] {
        if (ComboNMEA->currentIndex() >= 0)
            state_.settings.nmeaSentence = static_cast<int16_t>(ComboNMEA->currentIndex() + 1);
    });
    connect(Texttime, &QLineEdit::textChanged, this, [this] {
        if (const std::optional<int16_t> value = nmeaIntervalOfText(Texttime->text()))
            state_.settings.nmeaTime = *value;
    });
    connect(cmdOK, &QPushButton::clicked, this, &frmComm::go);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmComm::reject);
}

void frmComm::applyCaptions()
{
    cmdAnnulla->setText(messageText(msg::CommCancel));
    cmdOK->setText(messageText(msg::CommGo));
    Label1->setText(messageText(msg::CommPort));
    Label3->setText(messageText(msg::CommBaud));
    Label4->setText(messageText(msg::CommNmeaData));
    Label5->setText(messageText(msg::CommAcquisitionTime));
}

void frmComm::fillPortList()
{
    const QStringList system = portLister() ? portLister()() : QStringList();
    systemPortCount_ = int(system.size());
    ComboCom->clear();
    ComboCom->addItems(commPortList(system, gpsdProbe() && gpsdProbe()(), sessionTypedPorts(), state_.settings.serialDevice));
    ComboCom->setCurrentIndex(-1);
}

void frmComm::setTimeouts(int firstByteMs, int nextByteMs, int nmeaLineMs)
{
    port_.setup().firstByteMs = firstByteMs;
    port_.setup().nextByteMs = nextByteMs;
    nmeaLineMs_ = nmeaLineMs;
}

void frmComm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // After the window is up, so that a port error's message box has it as its parent.
    if (!activated_)
        QMetaObject::invokeMethod(this, &frmComm::activate, Qt::QueuedConnection);
}

void frmComm::activate()
{
    if (activated_)
        return;
    activated_ = true;
    const bool nmeaMode = mode_ == CommMode::NmeaAcquisition;
    // The speed first, so that the port opens at the mode's speed.
    ComboBaud->setCurrentIndex(ComboBaud->findText(QString::number(commStartBaud(mode_))));
    applyChosenBaud();

    QStringList listed;
    for (int i = 0; i < ComboCom->count(); ++i)
        listed << ComboCom->itemText(i);
    const int pos = commStartPort(listed, systemPortCount_, state_.settings.serialDevice, state_.settings.serialPort);
    if (pos >= 0) {
        ComboCom->setCurrentIndex(pos);
        openShownPort();
    }
    // Without a port to open, the user picks or types one; nothing to report yet.

    if (!nmeaMode) {
        Label4->hide();
        Label5->hide();
        ComboNMEA->hide();
        Texttime->hide();
    }
    const int sentence = state_.settings.nmeaSentence;
    ComboNMEA->setCurrentIndex(sentence >= 1 && sentence <= ComboNMEA->count() ? sentence - 1 : -1);
    Texttime->setText(QString::number(state_.settings.nmeaTime));
    Label2->setText(messageText(msg::ConnectGps));
}

QString frmComm::shownPort() const { return ComboCom->currentText().trimmed(); }

bool frmComm::openShownPort()
{
    cmdOK->setEnabled(false);
    port_.close();
    const QString device = shownPort();
    if (device.isEmpty())
        return false;
    QString why;
    if (!port_.open(device, baudRate_, &why)) {
        dialogs_.error(this, errorMessage(portOpenError(device, why), msg::CommErrorPrefix));
        return false;
    }
    const int pos = ComboCom->findText(device);
    if (pos >= 0 && pos < systemPortCount_) {
        state_.settings.serialPort = static_cast<int16_t>(pos + 1);
        state_.settings.serialDevice.clear();
    } else {
        state_.settings.serialDevice = device;
        if (!sessionTypedPorts().contains(device))
            sessionTypedPorts() << device;
        if (pos < 0)
            ComboCom->addItem(device);
        ComboCom->setCurrentIndex(ComboCom->findText(device));
    }
    cmdOK->setEnabled(true);
    return true;
}

// Chosen from the list, or typed and confirmed with Enter (which goes on to Go, the default button).
void frmComm::shownPortChosen()
{
    if (!(portOpen() && shownPort() == port_.device()))
        openShownPort();
}

void frmComm::applyChosenBaud()
{
    const int pos = ComboBaud->currentIndex();
    if (pos < 0 || pos >= int(kBaudRates.size()))
        return;
    baudRate_ = kBaudRates[size_t(pos)];
    if (portOpen())
        port_.setBaudRate(baudRate_);
}

void frmComm::go()
{
    if (finished_) {
        cmdAnnulla->setEnabled(true);
        port_.close();
        accept();
        return;
    }
    if (mode_ == CommMode::NmeaAcquisition && nmeaRunning_) {
        nmeaRunning_ = false; // the loop ends at its next turn
        return;
    }
    // The port the box shows, typed or chosen, is the one used.
    if (!(portOpen() && shownPort() == port_.device()) && !openShownPort())
        return;
    if (mode_ == CommMode::NmeaAcquisition)
        startNmea();
    else
        runTransfer();
}

void frmComm::setSettingsEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(ComboCom), static_cast<QWidget *>(ComboBaud),
                       static_cast<QWidget *>(ComboNMEA), static_cast<QWidget *>(Texttime)})
        w->setEnabled(on);
}

void frmComm::appendLog(const QString &line)
{
    appendToLog(log_, line);
    QString shown = log_;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    txtecho->setPlainText(shown);
    txtecho->moveCursor(QTextCursor::End);
}

void frmComm::requestRepaint()
{
    if (repaintMap)
        repaintMap();
}

void frmComm::errorTrap(const GipsoError &e)
{
    cmdOK->setEnabled(false);
    cmdAnnulla->setEnabled(true);
    dialogs_.error(this, errorMessage(e, msg::CommErrorPrefix));
}

void frmComm::runTransfer()
{
    if (!portOpen())
        return;
    finished_ = true;
    cmdAnnulla->setEnabled(false);
    cmdOK->setEnabled(false);
    setSettingsEnabled(false);
    log_.clear();
    txtecho->clear();
    Label2->setText(messageText(progressMessageId(mode_)));

    GarminLink link = port_.link();
    try {
        Label2->setText(gipso::runTransfer(mode_, link, state_.store));
        cmdOK->setText(messageText(msg::CommOk));
        cmdOK->setEnabled(true);
    } catch (const GipsoError &e) {
        errorTrap(e);
    }
}

void frmComm::startNmea()
{
    if (!portOpen())
        return;
    log_.clear();
    txtecho->clear();
    Label2->setText(messageText(progressMessageId(mode_)));
    cmdOK->setText(messageText(msg::CommStop));
    cmdAnnulla->setEnabled(false);
    setSettingsEnabled(false);
    nmeaRunning_ = true;

    // The live marker sits on the newest TrackPoint while the acquisition runs.
    const PointList &track = state_.store.trackPoints;
    state_.nmeaMarkerOn = !track.isEmpty();
    if (!track.isEmpty()) {
        state_.nmeaMarkerLat = track[track.count()].latitude;
        state_.nmeaMarkerLon = track[track.count()].longitude;
    }
    requestRepaint();

    GarminLink link = port_.link();
    NmeaCapture capture(NmeaSentence(state_.settings.nmeaSentence), state_.settings.nmeaTime);
    NmeaRunOptions options;
    options.lineTimeoutMs = nmeaLineMs_;
    options.keepRunning = [this] { return nmeaRunning_; };
    options.onPoint = [this](const GpsPoint &p) {
        state_.nmeaMarkerOn = true;
        state_.nmeaMarkerLat = p.latitude;
        state_.nmeaMarkerLon = p.longitude;
        requestRepaint();
    };
    std::optional<GipsoError> error;
    try {
        runNmeaCapture(link, capture, state_.store.trackPoints, options);
    } catch (const GipsoError &e) {
        error = e;
    }
    nmeaRunning_ = false;
    state_.nmeaMarkerOn = false;
    requestRepaint();
    cmdOK->setText(messageText(msg::CommGo));
    if (error) {
        errorTrap(*error);
        return;
    }
    cmdAnnulla->setEnabled(true);
    cmdOK->setEnabled(true);
    setSettingsEnabled(true);
    Label2->setText(messageText(msg::NmeaStopped));
}

void frmComm::closeEvent(QCloseEvent *event)
{
    // Refused while a transfer or an acquisition runs (Cancel is disabled then).
    if (!cmdAnnulla->isEnabled()) {
        event->ignore();
        return;
    }
    port_.close();
    QDialog::closeEvent(event);
}

void frmComm::reject()
{
    if (!cmdAnnulla->isEnabled())
        return;
    port_.close();
    QDialog::reject();
}

} // namespace gipso
