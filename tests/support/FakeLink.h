#pragma once

#include "gps/ByteLink.h"

#include <QList>
#include <functional>

namespace gipso {

// An in-memory link for tests. Bytes fed in are what the receiver "sends"; everything
// written is kept. It has its own clock: a read that finds nothing advances the clock by
// its time-out at once, so time-out tests run instantly.
class FakeLink : public ByteLink {
public:
    bool open(const QString &device, int baud, QString *error = nullptr) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool setBaudRate(int baud) override { baud_ = baud; return open_; }
    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;
    qint64 bytesAvailable() override { return incoming_.size(); }

    // What the receiver sends next.
    void feed(const QByteArray &bytes) { incoming_ += bytes; }
    // Called after every write with the bytes written: a scripted receiver can feed replies.
    void setResponder(std::function<void(FakeLink &, const QByteArray &)> responder) { responder_ = std::move(responder); }
    // Every write, in order, and all bytes written.
    const QList<QByteArray> &writes() const { return writes_; }
    QByteArray written() const;
    void clearWritten() { writes_.clear(); }
    // Largest number of bytes handed out by one read (0 = all that is waiting).
    void setChunk(int bytes) { chunk_ = bytes; }

    int baud() const { return baud_; }
    qint64 nowMs() const { return nowMs_; }
    std::function<qint64()> clock() const { return [this] { return nowMs_; }; }

private:
    bool open_ = false;
    int baud_ = 0;
    int chunk_ = 0;
    qint64 nowMs_ = 0;
    QByteArray incoming_;
    QList<QByteArray> writes_;
    std::function<void(FakeLink &, const QByteArray &)> responder_;
};

} // namespace gipso
