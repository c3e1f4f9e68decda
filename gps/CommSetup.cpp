#include "gps/CommSetup.h"

#include "gps/GpsdLink.h"

#include <algorithm>
#include <utility>

namespace gipso {

namespace {

bool portNameLess(const QString &a, const QString &b)
{
    auto split = [](const QString &s) {
        qsizetype i = s.size();
        while (i > 0 && s[i - 1].isDigit())
            --i;
        return std::pair<QString, qlonglong>(s.left(i), i < s.size() ? s.mid(i).toLongLong() : -1);
    };
    return split(a) < split(b);
}

} // namespace

QStringList commPortList(QStringList systemPorts, bool localGpsd, const QStringList &typedPaths, const QString &lastDevice)
{
    std::sort(systemPorts.begin(), systemPorts.end(), portNameLess);
    if (localGpsd)
        systemPorts << kLocalGpsdName;
    for (const QString &typed : typedPaths + QStringList{lastDevice})
        if (!typed.isEmpty() && !systemPorts.contains(typed))
            systemPorts << typed;
    return systemPorts;
}

int commStartPort(const QStringList &ports, int systemPortCount, const QString &serialDevice, int serialPort)
{
    int pos = -1;
    if (!serialDevice.isEmpty())
        pos = int(ports.indexOf(serialDevice));
    if (pos < 0 && serialPort >= 1 && serialPort <= systemPortCount)
        pos = serialPort - 1;
    return pos;
}

int commStartBaud(CommMode mode) { return mode == CommMode::NmeaAcquisition ? 4800 : 9600; }

std::optional<int16_t> nmeaIntervalOfText(const QString &text)
{
    bool ok = false;
    const short value = text.trimmed().toShort(&ok);
    return ok ? std::optional<int16_t>(value) : std::nullopt;
}

} // namespace gipso
