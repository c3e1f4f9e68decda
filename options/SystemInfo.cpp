#include "options/SystemInfo.h"

#include "base/Config.h"
#include "base/Messages.h"
#include "options/About.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

namespace gipso {

SystemInfo gatherSystemInfo(const QString &configFile)
{
    SystemInfo info;
    info.version = programVersion();
    info.qtRuntime = QString::fromLatin1(qVersion());
    info.qtBuild = QStringLiteral(QT_VERSION_STR);
    info.system = QSysInfo::prettyProductName();
    info.kernel = QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion() + QStringLiteral(" (") +
                  QSysInfo::currentCpuArchitecture() + QLatin1Char(')');
    info.configFolder = QFileInfo(configFile).absolutePath();
    info.configFolderExists = QFileInfo(info.configFolder).isDir();
    info.dataFolder = QDir::cleanPath(QFileInfo(dataDir()).absoluteFilePath());
    info.dataFolderExists = QFileInfo(info.dataFolder).isDir();
    return info;
}

QString systemInfoText(const SystemInfo &info)
{
    auto folder = [](const QString &path, bool exists) {
        return exists ? path : path + QLatin1Char(' ') + messageText(msg::SysInfoNotFound);
    };
    QStringList lines{
        formatMessage(messageText(msg::SysInfoVersion), {info.version}),
        formatMessage(messageText(msg::SysInfoQt), {info.qtRuntime, info.qtBuild}),
        formatMessage(messageText(msg::SysInfoSystem), {info.system}),
        formatMessage(messageText(msg::SysInfoKernel), {info.kernel}),
        formatMessage(messageText(msg::SysInfoConfigFolder), {folder(info.configFolder, info.configFolderExists)}),
        formatMessage(messageText(msg::SysInfoDataFolder), {folder(info.dataFolder, info.dataFolderExists)}),
        messageText(msg::SysInfoPorts),
    };
    if (info.ports.isEmpty())
        lines << QStringLiteral("  ") + messageText(msg::SysInfoNoPorts);
    for (const SerialPortEntry &p : info.ports) {
        QString line = QStringLiteral("  ") + p.path;
        if (!p.description.isEmpty())
            line += QStringLiteral(" (") + p.description + QLatin1Char(')');
        line += QStringLiteral(": ") + (p.usable            ? messageText(msg::SysInfoPortUsable)
                                        : p.group.isEmpty() ? messageText(msg::SysInfoPortDenied)
                                                            : formatMessage(messageText(msg::SysInfoPortDeniedGroup), {p.group}));
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace gipso
