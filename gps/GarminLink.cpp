#include "gps/GarminLink.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "gps/Packet.h"

#include <QElapsedTimer>
#include <memory>

namespace gipso {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

GarminLink::GarminLink(ByteLink &link)
    : link_(link)
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    clock_ = [timer] { return timer->elapsed(); };
}

void GarminLink::setTimeouts(int firstByteMs, int nextByteMs, int nmeaLineMs)
{
    firstByteMs_ = firstByteMs;
    nextByteMs_ = nextByteMs;
    nmeaLineMs_ = nmeaLineMs;
}

void GarminLink::log(const QString &text)
{
    if (exchange_)
        exchange_(text + kCrLf);
}

void GarminLink::warn(const QString &text)
{
    if (warning_)
        warning_(text);
}

void GarminLink::timeOut() { throw GipsoError(kInputTimeOutError, messageText(656)); }

uint8_t GarminLink::nextByte(qint64 deadlineMs)
{
    while (pos_ >= buffer_.size()) {
        const qint64 left = deadlineMs - clock_();
        if (left <= 0)
            timeOut();
        buffer_ = link_.read(int(left));
        pos_ = 0;
        received_ += buffer_.size();
    }
    return uint8_t(buffer_[pos_++]);
}

void GarminLink::invia(const QString &hex)
{
    const QByteArray bytes = hex2string(hex);
    link_.write(bytes);
    sent_ += bytes.size();
    if (exchange_)
        exchange_(QLatin1String("--> ") + hex + kCrLf);
}

QString GarminLink::ricevi()
{
    // The first byte must come within the first time-out of the call; every later byte
    // within the second time-out of the byte before it.
    QByteArray packet;
    packet.reserve(64);
    auto next = [&] { return nextByte(clock_() + nextByteMs_); };
    packet += char(nextByte(clock_() + firstByteMs_)); // DLE
    packet += char(next());                            // id
    packet += char(next());                            // size
    int remaining = uint8_t(packet[2]);
    bool droppedTwin = false;
    while (remaining > 0) {
        packet += char(next());
        --remaining;
        const qsizetype n = packet.size();
        if (!droppedTwin && uint8_t(packet[n - 1]) == DLE && uint8_t(packet[n - 2]) == DLE) {
            packet.chop(1); // the stuffing twin of a 0x10 in the size or data
            droppedTwin = true;
            ++remaining;
        } else {
            droppedTwin = false;
        }
    }
    unsigned sum = 0;
    for (qsizetype k = 1; k < packet.size(); ++k)
        sum += uint8_t(packet[k]);
    const int expected = int((256 - sum % 256) % 256);
    const uint8_t check = next();
    packet += char(check);
    if (check != expected)
        warn(messageText(657) + QString::number(expected) + QLatin1Char(' ') + QString::number(check));
    if (check == DLE)
        next(); // its stuffing twin
    packet += char(next());
    packet += char(next());
    if (uint8_t(packet[packet.size() - 2]) != DLE || uint8_t(packet[packet.size() - 1]) != ETX)
        warn(messageText(658));
    const QString hex = string2hex(packet);
    if (exchange_)
        exchange_(QLatin1String("<-- ") + hex + kCrLf);
    return hex;
}

QString GarminLink::riceviNMEA()
{
    const qint64 deadline = clock_() + nmeaLineMs_;
    QByteArray line;
    while (!(line.size() > 2 && line.endsWith("\r\n")))
        line += char(nextByte(deadline));
    const QString text = QString::fromLatin1(line);
    if (exchange_)
        exchange_(QLatin1String("<-- ") + text);
    return text;
}

void appendToLog(QString &log, const QString &line)
{
    log += line;
    log = tronca(log, 10);
}

} // namespace gipso
