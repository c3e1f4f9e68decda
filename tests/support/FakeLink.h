#pragma once

#include "gps/ByteLink.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace gipso {

// An in-memory link for tests. Bytes fed in are what the receiver "sends"; everything
// written is kept. It has its own clock: a read that finds nothing advances the clock by
// its time-out at once, so time-out tests run instantly. After hangUp() the bytes fed are
// still read, then the link is closed.
class FakeLink : public ByteLink {
public:
    bool write(const QByteArray &bytes) override;
    QByteArray read(int timeoutMs) override;
    bool closed() const override { return hungUp_ && incoming_.isEmpty(); }
    void hangUp() { hungUp_ = true; }

    // What the receiver sends next: bytes, or hex text ("1006020A00EE1003").
    void feed(const QByteArray &bytes) { incoming_ += bytes; }
    void feedHex(const QStringList &packets);
    // Every write in hex, in order; forgetting them starts a new count.
    QStringList sentHex() const;
    void clearWritten() { writes_.clear(); }
    // Bytes fed and not read yet.
    qsizetype pending() const { return incoming_.size(); }
    // Largest number of bytes handed out by one read (0 = all that is waiting).
    void setChunk(int bytes) { chunk_ = bytes; }

    qint64 nowMs() const { return nowMs_; }
    std::function<qint64()> clock() const { return [this] { return nowMs_; }; }

private:
    int chunk_ = 0;
    bool hungUp_ = false;
    qint64 nowMs_ = 0;
    QByteArray incoming_;
    QList<QByteArray> writes_;
};

} // namespace gipso
