#include "base/TextCodec.h"

#include <QStringDecoder>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gipso {

namespace {
// Windows-1252 differs from Latin-1 only in 0x80-0x9F.
constexpr char16_t kCp1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                  0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
} // namespace

QString decodeWindows1252(std::string_view bytes)
{
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar *d = out.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *d++ = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252[b - 0x80]) : QChar(b);
    }
    return out;
}

QString decodeText(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(std::string_view(view.data(), static_cast<size_t>(view.size())));
}

bool isAscii(std::string_view bytes)
{
    uint64_t any = 0;
    for (; bytes.size() >= 8; bytes.remove_prefix(8)) {
        uint64_t w;
        std::memcpy(&w, bytes.data(), 8);
        any |= w;
    }
    if (any & 0x8080808080808080ULL)
        return false;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

QString decodeUtf8(std::string_view bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // Qt drops a byte order mark at the start of what it decodes; inside a file it is a
    // character of the field, kept so that a field reads back as it was written.
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return QChar(0xFEFF) + QString::fromUtf8(bytes.data() + 3, static_cast<qsizetype>(bytes.size() - 3));
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void Utf8Check::feed(const char *data, size_t size)
{
    size_t i = 0;
    while (ok_ && i < size) {
        if (need_ == 0) {
            // Plain ASCII goes 64 bytes at a time, then eight.
#if defined(__SSE2__)
            while (i + 64 <= size) {
                const auto *p = reinterpret_cast<const __m128i *>(data + i);
                const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(p), _mm_loadu_si128(p + 1)),
                                                 _mm_or_si128(_mm_loadu_si128(p + 2), _mm_loadu_si128(p + 3)));
                if (_mm_movemask_epi8(any))
                    break;
                i += 64;
            }
#endif
            while (i + 8 <= size) {
                uint64_t w;
                std::memcpy(&w, data + i, 8);
                if (w & 0x8080808080808080ULL)
                    break;
                i += 8;
            }
            if (i >= size)
                break;
            auto c = static_cast<unsigned char>(data[i++]);
            if (c < 0x80)
                continue;
            lo_ = 0x80;
            hi_ = 0xBF;
            if (c < 0xC2) {
                ok_ = false;
            } else if (c < 0xE0) {
                need_ = 1;
            } else if (c < 0xF0) {
                need_ = 2;
                if (c == 0xE0)
                    lo_ = 0xA0; // overlong
                else if (c == 0xED)
                    hi_ = 0x9F; // surrogates
            } else if (c < 0xF5) {
                need_ = 3;
                if (c == 0xF0)
                    lo_ = 0x90; // overlong
                else if (c == 0xF4)
                    hi_ = 0x8F; // above U+10FFFF
            } else {
                ok_ = false;
            }
        } else {
            auto c = static_cast<unsigned char>(data[i++]);
            if (c < lo_ || c > hi_) {
                ok_ = false;
            } else {
                lo_ = 0x80;
                hi_ = 0xBF;
                --need_;
            }
        }
    }
}

} // namespace gipso
