#pragma once

#include "gps/ByteLink.h"
#include "gps/Packet.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace gipso {

// Error raised by the receive loops when the line stays silent too long (message 656).
constexpr int kInputTimeOutError = 20001;

// The Garmin link layer and the NMEA line reader over a ByteLink.
//
// Every packet sent or received and every line received goes to the exchange log as the
// communication dialog shows it: "--> " + the packet's wire bytes in hex + CR LF, "<-- " +
// the received packet's bytes in hex (without the stuffing twins) + CR LF, or "<-- " + the
// NMEA line (which ends with its CR LF). Checksum and trailer faults go to the warning outlet
// (the dialog shows a message box, the command line prints them) and the packet is returned
// as received. A silent line raises GipsoError(20001, "Input Time Out").
using LineFn = std::function<void(const QString &line)>;

// What a user of a GarminLink chooses: the time-outs and where log lines and warnings go.
struct LinkSetup {
    int firstByteMs = 5000; // for the first byte of a packet, from the start of receivePacket
    int nextByteMs = 5000;  // between the later bytes of a packet
    LineFn exchangeLog;
    LineFn warning;
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
    Packet receivePacket();
    // Receives one text line including its CR LF, waiting at most timeoutMs for all of it.
    QString receiveLine(int timeoutMs);

    // Appends a line (CR LF added) to the exchange log: result texts of the transfers.
    void log(const QString &text);
    void warn(const QString &text);

    // Bytes sent and received so far (for the throughput figures).
    qint64 bytesSent() const { return sent_; }
    qint64 bytesReceived() const { return received_; }

private:
    void waitForByte(qint64 deadlineMs);
    uint8_t nextByte(qint64 deadlineMs);

    ByteLink &link_;
    LinkSetup setup_;
    ClockFn clock_;
    QByteArray buffer_; // bytes read from the link and not yet consumed
    qsizetype pos_ = 0;
    qint64 sent_ = 0;
    qint64 received_ = 0;
};

// The dialog's log: appends a line and keeps the last nine lines.
void appendToLog(QString &log, const QString &line);

} // namespace gipso
