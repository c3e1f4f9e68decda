#pragma once

// Byte-level reading and writing shared by the text point file and GPX. Files of a million
// points must import in a fraction of a second, so the readers scan raw bytes in large blocks
// and decode only the few text fields they keep.

#include "base/SafeFile.h"
#include "base/TextCodec.h"
#include "files/PointFiles.h"

#include <QFile>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gipso::fileio {

// Position of the first byte equal to a or b in [p, end), or end. Lines and elements are short,
// so an inline scan beats a library call per search by far.
inline const char *findEither(const char *p, const char *end, char a, char b)
{
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b);
    for (; end - p >= 16; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, va), _mm_cmpeq_epi8(chunk, vb)));
        if (mask)
            return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; p < end; ++p)
        if (*p == a || *p == b)
            return p;
    return end;
}
inline const char *findByte(const char *p, const char *end, char c) { return findEither(p, end, c, c); }
// The same on a view: position of c at or after from, or npos.
inline size_t findByte(std::string_view text, size_t from, char c)
{
    if (from >= text.size())
        return std::string_view::npos;
    const char *hit = findByte(text.data() + from, text.data() + text.size(), c);
    return hit == text.data() + text.size() ? std::string_view::npos : static_cast<size_t>(hit - text.data());
}

// Reads a file line by line in large blocks. Lines end at LF, CR LF or a lone CR; a UTF-8
// byte order mark at the start is dropped. A line is handed out as a view that stays valid
// until the next call of next(). A line longer than kMaxLineBytes comes in pieces (cut before a
// '<' where there is one, so that GPX tags stay whole); continues() tells that the piece
// handed out is not the end of its line. Devices (/dev/zero, a terminal) are refused: they
// are not files; pipes are read.
class LineReader {
public:
    // Raises GipsoError (file not found, access, a device) when the file cannot be opened.
    explicit LineReader(const QString &path);

    bool next(std::string_view &line);
    bool continues() const { return continues_; }
    qint64 consumed() const { return read_ - static_cast<qint64>(end_ - begin_); }
    // Where in the file the piece last handed out begins.
    qint64 offset() const { return offset_; }
    qint64 size() const { return size_; }
    // Whether every byte read so far is UTF-8 (decided for the whole file at the end).
    bool utf8() const { return utf8_.valid(); }
    int64_t lineNumber() const { return lineNumber_; }

    // The bytes held from p (in the line last handed out) on, so that an element running over
    // lines can be read where it stands rather than line by line.
    std::string_view heldFrom(const char *p) const
    {
        return std::string_view(p, static_cast<size_t>(buf_.data() + end_ - p));
    }
    // Whether the line that starts at p (a held byte) is held whole up to its end, so that
    // resumeAt(p) and next() hand it out without reading.
    bool holdsLineAt(const char *p) const;
    // Goes on at the line that starts at p, lineEnds line ends after the start of the line last
    // handed out (which is not a piece); next() hands it out.
    void resumeAt(const char *p, int64_t lineEnds);

private:
    bool refill();
    void handOut(std::string_view &line, size_t stop, size_t next, bool continues);

    QFile file_;
    std::vector<char> buf_;
    size_t begin_ = 0, end_ = 0;
    size_t scan_ = 0; // no line end in [begin_, scan_)
    qint64 read_ = 0, size_ = 0, offset_ = 0;
    int64_t lineNumber_ = 0;
    bool eof_ = false, first_ = true, continues_ = false;
    Utf8Check utf8_;
};

using Decoder = QString (*)(std::string_view bytes);

// A number with "." as the decimal point, the whole text (blanks around it allowed); finite only.
std::optional<double> parseNumber(std::string_view text);
// The common case of parseNumber, fast: "-ddd.ddd" alone, at most 15 digits. False: not that form.
bool parsePlainDecimal(std::string_view text, double &value);
// Date values the program can show and write: years 100 to 9999.
bool isWritableDateValue(double value);

// Whether text at position at begins with a lower-case needle, ignoring the case of ASCII letters.
inline bool startsWithNoCase(std::string_view text, size_t at, std::string_view lowerNeedle)
{
    if (at > text.size() || text.size() - at < lowerNeedle.size())
        return false;
    for (size_t i = 0; i < lowerNeedle.size(); ++i) {
        char c = text[at + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != lowerNeedle[i])
            return false;
    }
    return true;
}
// First occurrence of a needle, exact case.
inline size_t findExact(std::string_view text, size_t from, std::string_view needle)
{
    for (size_t at = findByte(text, from, needle.front()); at != std::string_view::npos;
         at = findByte(text, at + 1, needle.front()))
        if (text.size() - at >= needle.size() && std::memcmp(text.data() + at, needle.data(), needle.size()) == 0)
            return at;
    return std::string_view::npos;
}
// First occurrence of a lower-case needle starting with '<' (or any fixed first byte), ignoring case.
size_t findNoCase(std::string_view text, size_t from, std::string_view lowerNeedle);

// Appends points to the store while an import runs: counts them, reserves room once the
// density of the file is known, and keeps the non-ASCII text fields so that they can be
// decoded again as Windows-1252 if the file turns out not to be UTF-8.
class ImportSink {
public:
    ImportSink(PointStore &store, ImportResult &result, const LineReader &in);

    enum class Field { Name, Description };
    using Recode = QString (*)(std::string_view raw, Decoder decoder);

    // at: where the point's line or element begins in the file.
    void append(PointList &list, GpsPoint &&point, qint64 at);
    // Remembers that a field of the point just appended came from non-ASCII bytes.
    void keepRaw(PointList &list, Field field, std::string_view raw, Recode recode);
    void skip(const QString &reason);
    // The same for line (a message id for the reason, with element for its $0), as "line N:
    // reason"; the text is made for the first only.
    void skip(int64_t line, int reasonId, const char *element = "");
    // At the end of the file: re-decodes the kept fields when the file was not UTF-8.
    void finish();
    // Calls the progress function every few megabytes; false when it asks to stop.
    bool progress(const ProgressFn &fn);

private:
    struct Density {
        int32_t appended = 0;
        qint64 firstAt = 0;
    };
    struct Kept {
        PointList *list;
        int32_t index;
        Field field;
        std::string raw;
        Recode recode;
    };
    PointStore &store_;
    ImportResult &result_;
    const LineReader &in_;
    Density density_[3];
    std::vector<Kept> kept_;
    qint64 nextProgress_ = 0;
};

// Runs an import. When memory runs out the lists go back to what they held before it, and the
// failure is a GipsoError like any other.
ImportResult importWithinMemory(PointStore &store, const std::function<ImportResult()> &read);

// Buffered atomic output; every failure raises GipsoError and leaves the old file whole.
class Output {
public:
    explicit Output(const QString &path);
    std::string &buffer() { return buf_; }
    void flushIfFull(const ProgressFn &progress, qint64 done, qint64 total);
    void commit();

private:
    void flush();
    AtomicWriter writer_;
    std::string buf_;
};

// "Gipso " + major.minor + " - " + the product's web address: the text file header and the GPX creator.
QString programSignature();
// Number with the given decimals and "." whatever the locale.
void appendFixed(std::string &out, double value, int decimals);
// Right-aligned in width characters (a longer number is kept whole).
void appendFixedRight(std::string &out, double value, int decimals, int width);
void appendUtf8(std::string &out, const QString &text);
// "dd/mm/yyyy", "hh:nn:ss", and "yyyy-mm-ddThh:nn:ssZ" of date values (unset or unshowable: 30/12/1899).
void appendDate(std::string &out, double dateValue);
void appendTime(std::string &out, double timeValue);
void appendIsoDateTime(std::string &out, double dateValue, double timeValue);

} // namespace gipso::fileio
