#include "gps/Packet.h"

#include "base/Error.h"

#include <cstring>

namespace gipso {

namespace {

[[noreturn]] void overflow() { throw GipsoError(err::Overflow, QStringLiteral("Overflow")); }

int digitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return 0;
}

// Byte i (1-based) of hex text; bytes past the end read as 0, as an empty field would.
uint8_t byteAt(QStringView hex, int i)
{
    const qsizetype p = 2 * qsizetype(i) - 2;
    if (i < 1 || p + 1 >= hex.size())
        return 0;
    return uint8_t(digitValue(hex[p]) * 16 + digitValue(hex[p + 1]));
}

const char kDigits[] = "0123456789ABCDEF";

void appendByte(QString &out, uint8_t b)
{
    out += QLatin1Char(kDigits[b >> 4]);
    out += QLatin1Char(kDigits[b & 15]);
}

QString littleEndian(uint32_t value, int bytes)
{
    QString out;
    out.reserve(bytes * 2);
    for (int k = 0; k < bytes; ++k)
        appendByte(out, uint8_t(value >> (8 * k)));
    return out;
}

} // namespace

QByteArray hex2string(QStringView hex)
{
    QByteArray out;
    out.resize(hex.size() / 2);
    for (qsizetype k = 0; k < out.size(); ++k)
        out[k] = char(digitValue(hex[2 * k]) * 16 + digitValue(hex[2 * k + 1]));
    return out;
}

QString string2hex(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes)
        appendByte(out, uint8_t(c));
    return out;
}

QString creacheck(QStringView hex)
{
    unsigned sum = 0;
    for (qsizetype k = 0; k + 1 < hex.size(); k += 2)
        sum += unsigned(digitValue(hex[k]) * 16 + digitValue(hex[k + 1]));
    QString out;
    appendByte(out, uint8_t((256 - sum % 256) % 256));
    return out;
}

QString completastr(QStringView hex)
{
    QString out;
    out.reserve(hex.size() + 16);
    out += QLatin1String("10");
    for (qsizetype k = 0; k + 1 < hex.size(); k += 2) {
        out += hex.mid(k, 2);
        if (hex[k] == QLatin1Char('1') && hex[k + 1] == QLatin1Char('0'))
            out += QLatin1String("10");
    }
    out += QLatin1String("1003");
    return out;
}

QString buildPacket(int id, QStringView dataHex)
{
    QString body = scriviint1(id) + scriviint1(int(dataHex.size() / 2));
    body += dataHex;
    body += creacheck(body);
    return completastr(body);
}

QString scriviint1(int value)
{
    if (value < 0 || value > 255)
        overflow();
    QString out;
    appendByte(out, uint8_t(value));
    return out;
}

QString scriviint2(int value)
{
    if (value < -32768 || value > 32767)
        overflow();
    return littleEndian(uint32_t(value) & 0xFFFF, 2);
}

QString scriviint4(int64_t value)
{
    if (value < INT32_MIN || value > INT32_MAX)
        overflow();
    return littleEndian(uint32_t(int32_t(value)), 4);
}

QString scrivifloat(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return littleEndian(bits, 4);
}

QString scrivistr(const QString &s, int n)
{
    QByteArray bytes;
    bytes.reserve(s.size() + 1);
    for (QChar c : s) // Latin-1, as the receiver shows it; anything else becomes '?'
        bytes += (c.unicode() > 0 && c.unicode() < 256) ? char(c.unicode()) : '?';
    if (n > 0) {
        bytes.truncate(n);
        while (bytes.size() < n)
            bytes += ' ';
    } else {
        bytes += '\0';
    }
    return string2hex(bytes);
}

int leggiint1(QStringView hex, int i) { return byteAt(hex, i); }

int leggiint2(QStringView hex, int i) { return int16_t(uint16_t(byteAt(hex, i) | byteAt(hex, i + 1) << 8)); }

int32_t leggiint4(QStringView hex, int i)
{
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = v << 8 | byteAt(hex, i + k);
    return int32_t(v);
}

float leggifloat(QStringView hex, int i)
{
    const int32_t v = leggiint4(hex, i);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

QString leggistr(QStringView hex, int i)
{
    const int bytes = int(hex.size() / 2);
    // An unterminated text ends with the packet's data, not in its checksum and trailer.
    int end = bytes;
    if (bytes >= 6 && byteAt(hex, 1) == DLE && byteAt(hex, 3) + 6 == bytes)
        end = 3 + byteAt(hex, 3);
    // The terminator is searched byte by byte: a "00" formed by the low digit of one byte and
    // the high digit of the next is not a zero byte.
    QString out;
    for (int k = i; k <= end; ++k) {
        const uint8_t b = byteAt(hex, k);
        if (b == 0)
            break;
        out += QChar(b);
    }
    return out;
}

QString tronca(const QString &text, int n)
{
    qsizetype from = text.size();
    for (int found = 0; found < n; ++found) {
        if (from < 2)
            return text;
        const qsizetype hit = text.lastIndexOf(QLatin1String("\r\n"), from - 2);
        if (hit < 0)
            return text;
        from = hit;
    }
    return text.mid(from + 2);
}

} // namespace gipso
