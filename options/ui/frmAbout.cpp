#include "options/ui/frmAbout.h"

#include "base/Config.h"
#include "base/Messages.h"
#include "base/ui/Dialogs.h"
#include "options/About.h"

#include <QClipboard>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>
#include <algorithm>
#include <unistd.h>

namespace gipso {

namespace {

QVector<SerialPortEntry> serialPorts()
{
    QVector<SerialPortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry e;
        e.path = info.systemLocation();
        QStringList about;
        for (const QString &s : {info.description(), info.manufacturer()})
            if (!s.isEmpty() && !about.contains(s))
                about << s;
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            about << QStringLiteral("%1:%2").arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0')).arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        e.description = about.join(QStringLiteral(", "));
        const QByteArray path = QFile::encodeName(e.path);
        e.usable = ::access(path.constData(), R_OK | W_OK) == 0;
        e.group = QFileInfo(e.path).group();
        ports << e;
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortEntry &a, const SerialPortEntry &b) { return a.path < b.path; });
    return ports;
}

} // namespace

std::function<std::optional<SystemInfo>(const QString &)> &frmAbout::systemInfoSource()
{
    static std::function<std::optional<SystemInfo>(const QString &)> source = [](const QString &configFile) {
        SystemInfo info = gatherSystemInfo(configFile);
        info.ports = serialPorts();
        return std::optional<SystemInfo>(info);
    };
    return source;
}

frmAbout::frmAbout(Dialogs &dialogs, const QString &configFile, QWidget *parent)
    : QDialog(parent), dialogs_(dialogs), configFile_(configFile)
{
    setObjectName(QStringLiteral("frmAbout"));
    // A fixed client area with the controls at fixed places, as the box has always been.
    setFixedSize(496, 326);
    auto label = [this](const char *name, QRect where) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(where);
        l->setWordWrap(true);
        return l;
    };
    lblTitle = label("lblTitle", {20, 10, 456, 28});
    QFont big = lblTitle->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    lblTitle->setFont(big);
    lblAuthors = label("lblAuthors", {20, 42, 456, 36});
    lblDescription = label("lblDescription", {20, 82, 456, 20});
    Label1 = label("Label1", {20, 106, 456, 20});
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setGeometry(20, 132, 350, 180);
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(381, 240, 100, 30);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(381, 280, 100, 30);
    cmdSysInfo->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::showSystemInfo);

    setWindowTitle(messageText(msg::AboutTitle));
    lblTitle->setText(formatMessage(messageText(msg::AboutRelease), {programVersion()}));
    lblDescription->setText(messageText(msg::AboutDescription));
    lblAuthors->setText(messageText(msg::AboutCredits) + QLatin1Char('\n') + messageText(msg::AboutCreditsLibraries));
    Label1->setText(messageText(msg::AboutLicenseNote));
    Text1->setPlainText(disclaimerText(currentLanguage(), dataDir()));
    cmdSysInfo->setText(messageText(msg::AboutSystemInfo));
    cmdOK->setText(messageText(msg::AboutOk));
}

void frmAbout::showSystemInfo()
{
    const std::optional<SystemInfo> info = systemInfoSource() ? systemInfoSource()(configFile_) : std::nullopt;
    if (!info) {
        dialogs_.message(this, messageText(msg::SystemInfoMissing));
        return;
    }
    frmSysInfo window(systemInfoText(*info), this);
    dialogs_.exec(window);
}

frmSysInfo::frmSysInfo(const QString &text, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSysInfo"));
    setWindowTitle(messageText(msg::SysInfoTitle));
    txtInfo = new QPlainTextEdit(this);
    txtInfo->setObjectName(QStringLiteral("txtInfo"));
    txtInfo->setReadOnly(true);
    txtInfo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtInfo->setPlainText(text);
    cmdCopy = new QPushButton(messageText(msg::SysInfoCopy), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdCopy->setAutoDefault(false);
    cmdClose = new QPushButton(messageText(msg::SysInfoClose), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    connect(cmdCopy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(txtInfo->toPlainText()); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdClose);
    auto *all = new QVBoxLayout(this);
    all->addWidget(txtInfo);
    all->addLayout(buttons);
    resize(620, 300);
}

} // namespace gipso
