#include "gps/GarminLink.h"

#include "base/Error.h"
#include "base/Messages.h"

#include <QElapsedTimer>
#include <memory>

namespace gipso {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString hexText(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

} // namespace

GarminLink::GarminLink(ByteLink &link, LinkSetup setup)
    : link_(link), setup_(std::move(setup))
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    clock_ = [timer] { return timer->elapsed(); };
}

void GarminLink::log(const QString &text)
{
    if (setup_.exchangeLog)
        setup_.exchangeLog(text + kCrLf);
}

void GarminLink::warn(const QString &text)
{
    if (setup_.warning)
        setup_.warning(text);
}

void GarminLink::waitForByte(qint64 deadlineMs)
{
    while (pos_ >= buffer_.size()) {
        const qint64 left = deadlineMs - clock_();
        if (left <= 0)
            throw GipsoError(kInputTimeOutError, messageText(656));
        buffer_ = link_.read(int(left));
        pos_ = 0;
        received_ += buffer_.size();
    }
}

uint8_t GarminLink::nextByte(qint64 deadlineMs)
{
    waitForByte(deadlineMs);
    return uint8_t(buffer_[pos_++]);
}

void GarminLink::sendPacket(const Packet &packet)
{
    const QByteArray wire = framePacket(packet);
    link_.write(wire);
    sent_ += wire.size();
    if (setup_.exchangeLog)
        setup_.exchangeLog(QLatin1String("--> ") + hexText(wire) + kCrLf);
}

Packet GarminLink::receivePacket()
{
    // The first byte must come within the first time-out of the call; every later byte
    // within the second time-out of the byte before it.
    QByteArray received; // what the log shows: the bytes without the stuffing twins
    received.reserve(64);
    auto next = [&] {
        const uint8_t b = nextByte(clock_() + setup_.nextByteMs);
        received += char(b);
        return b;
    };
    // A DLE among size, data and checksum comes twice; the twin is dropped.
    auto unstuffed = [&] {
        const uint8_t b = next();
        if (b == DLE) {
            waitForByte(clock_() + setup_.nextByteMs);
            if (uint8_t(buffer_[pos_]) == DLE)
                ++pos_;
        }
        return b;
    };
    received += char(nextByte(clock_() + setup_.firstByteMs)); // DLE
    Packet packet;
    packet.id = next();
    const int size = unstuffed();
    packet.data.reserve(size);
    for (int k = 0; k < size; ++k)
        packet.data += char(unstuffed());
    const uint8_t expected = checksum(packet.id, packet.data);
    const uint8_t check = unstuffed();
    packet.checksumOk = check == expected;
    if (!packet.checksumOk)
        warn(messageText(657) + QString::number(expected) + QLatin1Char(' ') + QString::number(check));
    const uint8_t end1 = next();
    const uint8_t end2 = next();
    if (end1 != DLE || end2 != ETX)
        warn(messageText(658));
    if (setup_.exchangeLog)
        setup_.exchangeLog(QLatin1String("<-- ") + hexText(received) + kCrLf);
    return packet;
}

QString GarminLink::receiveLine(int timeoutMs)
{
    const qint64 deadline = clock_() + timeoutMs;
    QByteArray line;
    while (!(line.size() > 2 && line.endsWith("\r\n")))
        line += char(nextByte(deadline));
    const QString text = QString::fromLatin1(line);
    if (setup_.exchangeLog)
        setup_.exchangeLog(QLatin1String("<-- ") + text);
    return text;
}

void appendToLog(QString &log, const QString &line)
{
    log += line;
    // Cut before the tenth CR LF from the end, so that at most nine lines stay.
    qsizetype from = log.size();
    for (int found = 0; found < 10; ++found) {
        if (from < 2)
            return;
        const qsizetype hit = log.lastIndexOf(kCrLf, from - 2);
        if (hit < 0)
            return;
        from = hit;
    }
    log.remove(0, from + 2);
}

} // namespace gipso
