#pragma once

#include "gps/ByteLink.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace gipso {

// Error raised by the receive loops when the line stays silent too long (message 656).
constexpr int kInputTimeOutError = 20001;

// The Garmin link layer and the NMEA line reader over a ByteLink.
//
// invia/ricevi/riceviNMEA report every packet or line to the exchange callback as the log
// line of the communication dialog: "--> " or "<-- " + hex text + CR LF, or "<-- " + the
// NMEA line (which ends with its CR LF). Checksum and trailer faults go to the warning
// callback (the dialog shows a message box, the command line prints them) and the packet
// is returned as received. A silent line raises GipsoError(20001, "Input Time Out").
class GarminLink {
public:
    using LineFn = std::function<void(const QString &line)>;
    using ClockFn = std::function<qint64()>; // monotonic milliseconds

    explicit GarminLink(ByteLink &link);

    ByteLink &byteLink() { return link_; }

    void setExchangeLog(LineFn fn) { exchange_ = std::move(fn); }
    void setWarning(LineFn fn) { warning_ = std::move(fn); }
    // Time-outs: for the first byte of a packet (from the start of ricevi), between later bytes
    // of a packet, and for a whole NMEA line. Defaults 5000, 5000, 10000 ms.
    void setTimeouts(int firstByteMs, int nextByteMs, int nmeaLineMs);
    int firstByteTimeout() const { return firstByteMs_; }
    int nextByteTimeout() const { return nextByteMs_; }
    int nmeaLineTimeout() const { return nmeaLineMs_; }
    // Replaces the clock that measures the time-outs (the default is a monotonic timer).
    void setClock(ClockFn clock) { clock_ = std::move(clock); }

    // Sends a complete packet given as hex text (already framed, e.g. from completastr).
    void invia(const QString &hex);
    // Receives one packet: de-stuffed hex text from the leading "10" to the trailing "1003".
    QString ricevi();
    // Receives one text line including its CR LF.
    QString riceviNMEA();

    // Appends a line (CR LF added) to the exchange log: result texts of the transfers.
    void log(const QString &text);
    void warn(const QString &text);

    // Bytes sent and received so far (for the throughput figures).
    qint64 bytesSent() const { return sent_; }
    qint64 bytesReceived() const { return received_; }

private:
    uint8_t nextByte(qint64 deadlineMs);
    [[noreturn]] void timeOut();

    ByteLink &link_;
    LineFn exchange_;
    LineFn warning_;
    ClockFn clock_;
    int firstByteMs_ = 5000;
    int nextByteMs_ = 5000;
    int nmeaLineMs_ = 10000;
    QByteArray buffer_; // bytes read from the link and not yet consumed
    qsizetype pos_ = 0;
    qint64 sent_ = 0;
    qint64 received_ = 0;
};

// The dialog's log: appends a line and keeps the last nine lines (tronca with n = 10).
void appendToLog(QString &log, const QString &line);

} // namespace gipso
