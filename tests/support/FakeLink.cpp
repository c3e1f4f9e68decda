#include "support/FakeLink.h"

namespace gipso {

bool FakeLink::open(const QString &, int baud, QString *)
{
    open_ = true;
    baud_ = baud;
    return true;
}

bool FakeLink::write(const QByteArray &bytes)
{
    if (!open_)
        return false;
    writes_ << bytes;
    if (responder_)
        responder_(*this, bytes);
    return true;
}

QByteArray FakeLink::read(int timeoutMs)
{
    if (incoming_.isEmpty()) {
        nowMs_ += timeoutMs; // the silence lasted the whole wait
        return {};
    }
    const qsizetype n = chunk_ > 0 ? qMin<qsizetype>(chunk_, incoming_.size()) : incoming_.size();
    QByteArray out = incoming_.left(n);
    incoming_.remove(0, n);
    return out;
}

QByteArray FakeLink::written() const
{
    QByteArray all;
    for (const QByteArray &w : writes_)
        all += w;
    return all;
}

} // namespace gipso
