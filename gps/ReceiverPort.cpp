#include "gps/ReceiverPort.h"

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

} // namespace gipso
