#pragma once

#include "gps/ByteLink.h"
#include "gps/Packet.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace gipso {

class GipsoError;

// Errors of the link, each with its own number so that the reason shows in "ERROR N° ...".
constexpr int kInputTimeOutError = 20001;    // nothing at all arrived (message 656)
constexpr int kLineClosedError = 20002;      // the receiver hung up
constexpr int kNoValidInputError = 20003;    // bytes arrived, but no whole packet or line
constexpr int kDamagedPacketError = 20004;   // a packet still damaged after the resends
constexpr int kNotAcknowledgedError = 20005; // a packet sent and not acknowledged after the resends
constexpr int kNoPacketsError = 20007;       // the link relays only NMEA lines (gpsd)

// How often a damaged packet is asked for again, and a packet the receiver refuses is sent again.
constexpr int kMaxResends = 3;
// The longest NMEA line taken, CR LF included; sentences have at most 82 characters.
constexpr int kMaxNmeaLineBytes = 4096;

// The Garmin link layer and the NMEA line reader over a ByteLink.
//
// Every packet sent or received and every line received goes to the exchange log as the
// communication dialog shows it: "--> " + the packet's wire bytes in hex + CR LF, "<-- " +
// the received packet's bytes in hex (without the stuffing twins) + CR LF, or "<-- " + the
// NMEA line (which ends with its CR LF). Bytes skipped before a packet's DLE are logged as a
// "<-- " line of their own. Checksum and framing faults go to the warning outlet (the dialog
// shows a message box, the command line prints them).
using LineFn = std::function<void(const QString &line)>;

// What a user of a GarminLink chooses: the time-outs and where log lines and warnings go.
struct LinkSetup {
    int firstByteMs = 5000; // for the first byte of a packet, from the start of the receive
    int nextByteMs = 5000;  // between the later bytes of a packet
    LineFn exchangeLog;
    LineFn warning;
};

// How the receiver's answer to a packet sent is judged.
enum class Acknowledgement {
    AckOnly,   // only an intact ACK of the packet's id; anything else has the packet sent again
    AnyButNak, // anything but an intact NAK: a download's command, which the receiver follows at
               // once with its records, so that sending it again would start the transfer twice
};

class GarminLink {
public:
    using ClockFn = std::function<qint64()>; // monotonic milliseconds

    explicit GarminLink(ByteLink &link, LinkSetup setup = {});
    GarminLink(const GarminLink &) = delete; // one reader per line: bytes read stay with it
    GarminLink &operator=(const GarminLink &) = delete;

    // Replaces the clock that measures the time-outs (the default is a monotonic timer).
    void setClock(ClockFn clock) { clock_ = std::move(clock); }

    void sendPacket(const Packet &packet);
    // Sends a packet and reads the receiver's answer, sending it again (at most kMaxResends
    // times) while the answer does not acknowledge it; then raises kNotAcknowledgedError.
    void sendAcknowledged(const Packet &packet, Acknowledgement accepted = Acknowledgement::AckOnly);
    // One packet as it came, intact or not: an answer (ACK, NAK), which is never asked for again.
    Packet receiveAnswer();
    // A packet the receiver waits to have acknowledged: a damaged one is answered with a NAK
    // and taken again from the receiver's resend, at most kMaxResends times; then
    // kDamagedPacketError. What it returns is intact.
    Packet receivePacket();
    // Receives one text line including its CR LF, waiting at most timeoutMs for all of it.
    // Lines longer than kMaxNmeaLineBytes are skipped, logged and counted.
    QString receiveLine(int timeoutMs);
    int overlongLines() const { return overlongLines_; }

    // Appends a line (CR LF added) to the exchange log: result texts of the transfers.
    void log(const QString &text);
    void warn(const QString &text);

    // Bytes sent and received so far (for the throughput figures).
    qint64 bytesSent() const { return sent_; }
    qint64 bytesReceived() const { return received_; }

private:
    GipsoError lineClosed() const;
    void startReceiving(int noValidInputMessage);
    void waitForByte(qint64 deadlineMs);
    uint8_t nextByte(qint64 deadlineMs);
    void logReceived(const QByteArray &bytes);

    ByteLink &link_;
    LinkSetup setup_;
    ClockFn clock_;
    QByteArray buffer_; // bytes read from the link and not yet consumed
    qsizetype pos_ = 0;
    qint64 sent_ = 0;
    qint64 received_ = 0;
    qint64 consumed_ = 0;           // bytes taken from buffer_ so far
    qint64 consumedAtStart_ = 0;    // ... when the current receive began
    int noValidInputMessage_ = 0;   // what a time-out after some bytes says
    int overlongLines_ = 0;
};

// The dialog's log: appends a line and keeps the last nine lines.
void appendToLog(QString &log, const QString &line);

// The checksum warning: expected and received value (both as their text shows them).
QString checksumWarning(const QString &expected, const QString &received);

} // namespace gipso
