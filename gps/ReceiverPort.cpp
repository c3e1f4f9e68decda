#include "gps/ReceiverPort.h"

#include "base/Messages.h"

#include <QFileInfo>

namespace gipso {

bool ReceiverPort::open(const QString &device, int baud, QString *error)
{
    close();
    if (GpsdLink::isGpsdName(device) ? !gpsd_.open(device, error) : !serial_.open(device, baud, error))
        return false;
    device_ = device;
    return true;
}

void ReceiverPort::close()
{
    serial_.close();
    gpsd_.close();
    device_.clear();
}

GipsoError portOpenError(const QString &device, const QString &reason)
{
    // A port name ("ttyS0") is the node /dev/ttyS0; a path stays as it is.
    const QString node = device.contains(QLatin1Char('/')) ? device : QStringLiteral("/dev/") + device;
    // A gpsd that does not answer is there by name, like a device that cannot be opened.
    return GipsoError(GpsdLink::isGpsdName(device) || QFileInfo::exists(node) ? kPortUnavailable : kPortInvalid,
                      formatMessage(messageText(msg::PortOpenFailed), {device, reason}));
}

} // namespace gipso
