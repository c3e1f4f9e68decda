#include "gps/ReceiverPort.h"

#include "base/Messages.h"

#include <QFileInfo>

namespace gipso {

bool ReceiverPort::open(const QString &device, int baud, QString *error)
{
    close();
    if (!serial_.open(device, baud, error))
        return false;
    device_ = device;
    return true;
}

void ReceiverPort::close()
{
    serial_.close();
    device_.clear();
}

GipsoError portOpenError(const QString &device, const QString &reason)
{
    // A port name ("ttyS0") is the node /dev/ttyS0; a path stays as it is.
    const QString node = device.contains(QLatin1Char('/')) ? device : QStringLiteral("/dev/") + device;
    return GipsoError(QFileInfo::exists(node) ? kPortUnavailable : kPortInvalid,
                      formatMessage(messageText(msg::PortOpenFailed), {device, reason}));
}

} // namespace gipso
