#include "gps/SerialLink.h"

#include "base/Messages.h"

#include <QEventLoop>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>
#include <utility>

namespace gipso {

namespace {

// A pty whose other end closed reports read errors; a device unplugged, a resource error.
bool isHangUp(QSerialPort::SerialPortError e) { return e == QSerialPort::ResourceError || e == QSerialPort::ReadError; }

} // namespace

SerialLink::SerialLink() = default;
SerialLink::~SerialLink() { close(); }

bool SerialLink::open(const QString &device, int baud, QString *error)
{
    close();
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(device); // a path ("/dev/pts/3") is taken as it is
    port_->setBaudRate(baud);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    // Software flow control would eat 0x11 and 0x13 out of the packets.
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        // The two usual reasons in the program's language; the system's words for the others.
        if (error)
            *error = port_->error() == QSerialPort::DeviceNotFoundError ? messageText(msg::PortNotFound)
                : port_->error() == QSerialPort::PermissionError        ? messageText(msg::PortNoPermission)
                                                                        : port_->errorString();
        port_.reset();
        return false;
    }
    // Some cables take their power from DTR; a pty refuses modem lines, which is no error here.
    port_->setDataTerminalReady(true);
    // Bytes left in the line from before (a receiver that was talking, an aborted transfer)
    // would put the first packet out of step.
    port_->clear(QSerialPort::Input);
    port_->clearError();
    hungUp_ = false;
    leftover_.clear();
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(), [this](QSerialPort::SerialPortError e) {
        if (hungUp_ || !isHangUp(e))
            return;
        // The device went away (a pty's other end closed, a USB cable pulled). Its read
        // notifier would fire without end: what arrived is kept and the port closed.
        hungUp_ = true;
        leftover_ += port_->readAll();
        QMetaObject::invokeMethod(port_.get(), [this] { port_->close(); }, Qt::QueuedConnection);
    });
    return true;
}

void SerialLink::close()
{
    if (port_ && port_->isOpen()) {
        port_->flush();
        port_->close();
    }
    port_.reset();
    leftover_.clear();
}

bool SerialLink::isOpen() const { return port_ && port_->isOpen(); }

bool SerialLink::setBaudRate(int baud) { return port_ && port_->setBaudRate(baud); }

bool SerialLink::write(const QByteArray &bytes)
{
    if (!isOpen() || hungUp_)
        return false;
    const bool ok = port_->write(bytes) == bytes.size();
    port_->flush(); // out now, not at the next turn of the event loop
    return ok;
}

QByteArray SerialLink::read(int timeoutMs)
{
    // What arrived before a hang-up is still read.
    if (!leftover_.isEmpty())
        return std::exchange(leftover_, {});
    if (isOpen() && port_->bytesAvailable() > 0)
        return port_->readAll();
    if (timeoutMs <= 0 || closed())
        return {};
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(port_.get(), &QSerialPort::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, &loop, [&loop](QSerialPort::SerialPortError e) {
        if (isHangUp(e))
            loop.quit();
    });
    timer.start(timeoutMs);
    loop.exec();
    if (!leftover_.isEmpty())
        return std::exchange(leftover_, {});
    return isOpen() ? port_->readAll() : QByteArray();
}

bool SerialLink::closed() const
{
    return leftover_.isEmpty() && (!isOpen() || (hungUp_ && port_->bytesAvailable() == 0));
}

QStringList SerialLink::availablePorts()
{
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names << info.portName();
    return names;
}

} // namespace gipso
