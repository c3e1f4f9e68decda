#include "support/FakeLink.h"

namespace gipso {

bool FakeLink::write(const QByteArray &bytes)
{
    writes_ << bytes;
    return true;
}

QByteArray FakeLink::read(int timeoutMs)
{
    if (incoming_.isEmpty()) {
        if (!hungUp_)
            nowMs_ += timeoutMs; // the silence lasted the whole wait
        return {};
    }
    const qsizetype n = chunk_ > 0 ? qMin<qsizetype>(chunk_, incoming_.size()) : incoming_.size();
    QByteArray out = incoming_.left(n);
    incoming_.remove(0, n);
    return out;
}

void FakeLink::feedHex(const QStringList &packets)
{
    for (const QString &p : packets)
        feed(QByteArray::fromHex(p.toLatin1()));
}

QStringList FakeLink::sentHex() const
{
    QStringList out;
    for (const QByteArray &w : writes_)
        out << QString::fromLatin1(w.toHex().toUpper());
    return out;
}

} // namespace gipso
