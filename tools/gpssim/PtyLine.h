#pragma once

// The line: the master side of a pseudo-terminal, with an optional baud-rate throttle.

#include <QByteArray>
#include <QString>

#include <chrono>

namespace gpssim {

class PtyLine {
public:
    using Clock = std::chrono::steady_clock;

    // baud > 0 throttles both directions to its byte time (10 bits a byte).
    explicit PtyLine(int baud);

    // Opens the pseudo-terminal in raw mode; returns the path a host opens.
    QString open();

    // Waits for bytes from the host up to timeoutMs (-1: forever). Returns them; an empty
    // result is a time-out. While no host has the terminal open, waits without spinning.
    QByteArray read(int timeoutMs);
    bool hostPresent();
    // Takes and clears the note that the host went away since the last call.
    bool hostWasGone();

    // Sends bytes. Throttled, they reach the host when their last byte would have: a host
    // cannot act on a packet before it has all of it.
    void write(const QByteArray &bytes);
    // A deliberate pause of the device (fault injection): the line stays idle meanwhile.
    void pause(int ms);
    // After idling (no host listening) the line starts afresh from now.
    void restart();
    void hangUp();

private:
    void arrived(qsizetype n);

    int fd_ = -1;
    std::chrono::nanoseconds byteTime_;
    Clock::time_point lineFree_;     // when the line is free on the ideal timeline
    Clock::time_point lastWrite_;    // real time of our last write
    Clock::time_point lastWriteEnd_; // its end on the ideal timeline
    bool wrote_ = false;
    bool responding_ = false;
    bool hostGone_ = false;
};

} // namespace gpssim
