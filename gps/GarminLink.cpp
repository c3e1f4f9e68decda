#include "gps/GarminLink.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "gps/Records.h"

#include <QElapsedTimer>
#include <memory>

namespace gipso {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// Bytes skipped before a packet that the log shows; the rest is counted.
constexpr qsizetype kMaxNoiseLogged = 64;

QString hexText(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }
QString hexByte(uint8_t b) { return QString::asprintf("%02X", b); }

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

void GarminLink::logReceived(const QByteArray &bytes)
{
    if (setup_.exchangeLog)
        setup_.exchangeLog(QLatin1String("<-- ") + hexText(bytes) + kCrLf);
}

void GarminLink::startReceiving(int noValidInputMessage)
{
    consumedAtStart_ = consumed_;
    noValidInputMessage_ = noValidInputMessage;
}

GipsoError GarminLink::lineClosed() const
{
    const QString text = link_.hangUpText();
    return GipsoError(kLineClosedError, text.isEmpty() ? messageText(msg::LineClosed) : text);
}

void GarminLink::waitForByte(qint64 deadlineMs)
{
    while (pos_ >= buffer_.size()) {
        if (link_.closed())
            throw lineClosed();
        const qint64 left = deadlineMs - clock_();
        if (left <= 0) {
            // Bytes that made nothing whole are not the silence of a receiver that is off.
            if (consumed_ > consumedAtStart_)
                throw GipsoError(kNoValidInputError, messageText(noValidInputMessage_));
            throw GipsoError(kInputTimeOutError, messageText(msg::InputTimeOut));
        }
        buffer_ = link_.read(int(left));
        pos_ = 0;
        received_ += buffer_.size();
    }
}

uint8_t GarminLink::nextByte(qint64 deadlineMs)
{
    waitForByte(deadlineMs);
    ++consumed_;
    return uint8_t(buffer_[pos_++]);
}

void GarminLink::sendPacket(const Packet &packet)
{
    const QByteArray wire = framePacket(packet);
    if (!link_.carriesPackets())
        throw GipsoError(kNoPacketsError, messageText(msg::GpsdNoTransfers));
    if (!link_.write(wire) && link_.closed())
        throw lineClosed();
    sent_ += wire.size();
    if (setup_.exchangeLog)
        setup_.exchangeLog(QLatin1String("--> ") + hexText(wire) + kCrLf);
}

void GarminLink::sendAcknowledged(const Packet &packet, Acknowledgement accepted)
{
    for (int resends = 0;; ++resends) {
        sendPacket(packet);
        const Packet answer = receiveAnswer();
        const bool acknowledged = accepted == Acknowledgement::AnyButNak ? !(answer.intact && answer.id == pid::Nak)
                                                                          : isAckOf(answer, packet.id);
        if (acknowledged)
            return;
        if (resends == kMaxResends)
            throw GipsoError(kNotAcknowledgedError,
                             formatMessage(messageText(msg::PacketNotAcknowledged), {hexByte(packet.id), kMaxResends}));
    }
}

Packet GarminLink::receiveAnswer()
{
    startReceiving(msg::NoValidPacket);
    // The first byte must come within the first time-out of the call; every later byte
    // within the second time-out of the byte before it. Before the packet's DLE, noise is
    // skipped, and so are DLE DLE and DLE ETX: the stuffed bytes and the end of a packet
    // whose framing broke.
    QByteArray noise;
    qint64 skipped = 0;
    auto skip = [&](uint8_t b) {
        if (noise.size() < kMaxNoiseLogged)
            noise += char(b);
        ++skipped;
    };
    auto logNoise = [&] {
        if (skipped > 0)
            log(QLatin1String("<-- ") + hexText(noise) + (skipped > noise.size() ? QStringLiteral(" ... (%1)").arg(skipped) : QString()));
    };
    const qint64 firstDeadline = clock_() + setup_.firstByteMs;
    Packet packet;
    try {
        for (;;) {
            const uint8_t b = nextByte(firstDeadline);
            if (b != DLE) {
                skip(b);
                continue;
            }
            packet.id = nextByte(clock_() + setup_.nextByteMs);
            if (packet.id != DLE && packet.id != ETX)
                break;
            skip(b);
            skip(packet.id);
        }
    } catch (const GipsoError &) {
        logNoise();
        throw;
    }
    logNoise();

    QByteArray received; // what the log shows: the bytes without the stuffing twins
    received.reserve(64);
    received += char(DLE);
    received += char(packet.id);
    auto next = [&] {
        const uint8_t b = nextByte(clock_() + setup_.nextByteMs);
        received += char(b);
        return b;
    };
    // A DLE among size, data and checksum comes twice; a lone one means the packet was cut,
    // and reading it stops there.
    auto unstuffed = [&](uint8_t &b) {
        b = next();
        if (b != DLE)
            return true;
        waitForByte(clock_() + setup_.nextByteMs);
        if (uint8_t(buffer_[pos_]) != DLE)
            return false;
        ++pos_;
        ++consumed_;
        return true;
    };
    uint8_t size = 0;
    uint8_t check = 0;
    bool framed = unstuffed(size);
    for (int k = 0; framed && k < size; ++k) {
        uint8_t b = 0;
        framed = unstuffed(b);
        packet.data += char(b);
    }
    if (framed)
        framed = unstuffed(check);
    if (!framed) {
        packet.intact = false;
        warn(messageText(msg::LoneDle));
    } else {
        const uint8_t expected = checksum(packet.id, packet.data);
        if (check != expected) {
            packet.intact = false;
            warn(checksumWarning(hexByte(expected), hexByte(check)));
        }
        const uint8_t end1 = next();
        const uint8_t end2 = next();
        if (end1 != DLE || end2 != ETX) {
            packet.intact = false;
            warn(formatMessage(messageText(msg::PacketEndWrong), {hexByte(end1) + QLatin1Char(' ') + hexByte(end2)}));
        }
    }
    logReceived(received);
    return packet;
}

Packet GarminLink::receivePacket()
{
    for (int resends = 0;; ++resends) {
        Packet packet = receiveAnswer();
        if (packet.intact)
            return packet;
        if (resends == kMaxResends)
            throw GipsoError(kDamagedPacketError,
                             formatMessage(messageText(msg::PacketStillDamaged), {hexByte(packet.id), kMaxResends}));
        sendPacket({pid::Nak, encodeAck(packet.id)});
    }
}

QString GarminLink::receiveLine(int timeoutMs)
{
    startReceiving(msg::NoCompleteLine);
    const qint64 deadline = clock_() + timeoutMs;
    QByteArray line;
    bool skipping = false; // through a line too long to take, up to its CR LF
    char last = 0;
    for (;;) {
        const char c = char(nextByte(deadline));
        const bool lineEnd = last == '\r' && c == '\n';
        last = c;
        if (skipping) {
            skipping = !lineEnd;
            continue;
        }
        line += c;
        if (lineEnd && line.size() > 2) // a bare CR LF does not end a line
            break;
        if (line.size() == kMaxNmeaLineBytes) {
            ++overlongLines_;
            log(formatMessage(messageText(msg::OverlongLineSkipped), {kMaxNmeaLineBytes}));
            line.clear();
            skipping = true;
        }
    }
    const QString text = QString::fromLatin1(line);
    if (setup_.exchangeLog)
        setup_.exchangeLog(QLatin1String("<-- ") + text);
    return text;
}

QString checksumWarning(const QString &expected, const QString &received)
{
    return formatMessage(messageText(msg::ChecksumMismatch), {expected, received});
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
