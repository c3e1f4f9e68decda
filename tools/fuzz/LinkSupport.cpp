#include "LinkSupport.h"

namespace gipso::fuzz {

namespace {

LinkSetup setupInto(QString &log)
{
    LinkSetup s;
    s.exchangeLog = [&log](const QString &l) { appendToLog(log, l); };
    s.warning = [&log](const QString &w) { appendToLog(log, w + QStringLiteral("\r\n")); };
    return s;
}

} // namespace

FuzzLine::FuzzLine(const uint8_t *data, size_t size, int chunk) : link(line, setupInto(log))
{
    line.feed(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    line.setChunk(chunk);
    link.setClock(line.clock());
}

} // namespace gipso::fuzz
