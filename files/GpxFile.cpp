// GPX: a fixed-layout GPX 1.0 writer and a line-based tag scanner for reading. The scanner is
// not an XML parser on purpose: which files import, and how, is decided by plain searches for
// the point elements and their children, and that is kept exactly.

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "files/FileIO.h"
#include "files/PointFiles.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace gipso {

using namespace fileio;

namespace {

constexpr size_t npos = std::string_view::npos;
constexpr size_t kUnknown = npos - 1;
// An element longer than this is not a point anybody wrote; it is skipped without holding it all.
constexpr size_t kMaxElement = 64u << 20;

// A tag of up to eight bytes compared in one step, its letters in either case (or, made exact,
// only as written). Millions of tags are looked at per file.
class Tag {
public:
    constexpr Tag(std::string_view lower, bool exact = false) : text_(lower)
    {
        for (size_t k = 0; k < lower.size(); ++k) {
            const auto c = static_cast<uint64_t>(static_cast<unsigned char>(lower[k]));
            value_ |= c << (8 * k);
            care_ |= uint64_t(0xFF) << (8 * k);
            if (!exact && lower[k] >= 'a' && lower[k] <= 'z')
                fold_ |= uint64_t(0x20) << (8 * k);
        }
        exact_ = exact;
    }
    constexpr std::string_view text() const { return text_; }
    constexpr size_t size() const { return text_.size(); }
    // Whether t holds the tag at position i.
    [[gnu::always_inline]] bool at(std::string_view t, size_t i) const
    {
        if (i <= t.size() && t.size() - i >= 8) {
            uint64_t x;
            std::memcpy(&x, t.data() + i, 8);
            return ((x | fold_) & care_) == value_;
        }
        return nearEnd(t, i);
    }

private:
    [[gnu::noinline]] bool nearEnd(std::string_view t, size_t i) const
    {
        return exact_ ? t.substr(std::min(i, t.size())).starts_with(text_) : startsWithNoCase(t, i, text_);
    }

    std::string_view text_;
    uint64_t value_ = 0, fold_ = 0, care_ = 0;
    bool exact_ = false;
};
static_assert(std::endian::native == std::endian::little, "Tag compares little-endian words");

struct ElementKind {
    Tag open;  // lower case, searched ignoring case
    Tag close;
    const char *name;
};
constexpr ElementKind kKinds[3] = {{Tag("<wpt"), Tag("</wpt>"), "wpt"},
                                   {Tag("<rtept"), Tag("</rtept>"), "rtept"},
                                   {Tag("<trkpt"), Tag("</trkpt>"), "trkpt"}};

constexpr std::string_view kCdataOpen = "<![cdata[";

// The CDATA rule on bytes; adjacent sections are joined, as the writer splits a section
// wherever its text would otherwise end it early.
std::string cdataText(std::string_view text)
{
    const size_t marker = findNoCase(text, 0, kCdataOpen);
    if (marker == npos)
        return std::string(text);
    std::string out;
    size_t from = marker + kCdataOpen.size();
    for (;;) {
        const size_t end = findExact(text, from, "]]>");
        if (end == npos) { // unterminated: the rest is the text
            out.append(text.substr(from));
            break;
        }
        out.append(text.substr(from, end - from));
        if (!startsWithNoCase(text, end + 3, kCdataOpen))
            break;
        from = end + 3 + kCdataOpen.size();
    }
    return out;
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// The five entities and numeric character references; anything else is left as written.
QString decodeEntities(const QString &s)
{
    if (!s.contains(QLatin1Char('&')))
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        // A reference ends within twelve characters; looking no further keeps the decoding linear.
        qsizetype semi = -1;
        if (s[i] == QLatin1Char('&'))
            for (qsizetype j = i + 1; j < s.size() && j - i <= 12 && semi < 0; ++j)
                if (s[j] == QLatin1Char(';'))
                    semi = j;
        if (semi < 0) {
            out += s[i];
            continue;
        }
        const QStringView ref = QStringView(s).mid(i + 1, semi - i - 1);
        QString replacement;
        if (ref == QLatin1String("amp"))
            replacement = QStringLiteral("&");
        else if (ref == QLatin1String("lt"))
            replacement = QStringLiteral("<");
        else if (ref == QLatin1String("gt"))
            replacement = QStringLiteral(">");
        else if (ref == QLatin1String("quot"))
            replacement = QStringLiteral("\"");
        else if (ref == QLatin1String("apos"))
            replacement = QStringLiteral("'");
        else if (ref.size() >= 2 && ref[0] == QLatin1Char('#')) {
            const bool hex = ref[1] == QLatin1Char('x');
            bool ok = false;
            const uint code = ref.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && ref.mid(hex ? 2 : 1).front().isLetterOrNumber() && isXmlChar(code)) {
                const char32_t c = code;
                replacement = QString::fromUcs4(&c, 1);
            }
        }
        if (replacement.isEmpty()) {
            out += s[i];
            continue;
        }
        out += replacement;
        i = semi;
    }
    return out;
}

bool hasMarkup(std::string_view raw)
{
    for (char c : raw)
        if (c == '<' || c == '&')
            return true;
    return false;
}

// Text of a child: a CDATA section as it stands, or plain text with its references decoded.
QString gpxText(std::string_view raw, Decoder decoder)
{
    // The two common forms go straight to the decoder: one whole section as we write it, and
    // text with no markup at all.
    constexpr size_t sectionSize = kCdataOpen.size() + 3;
    if (raw.size() >= sectionSize && raw.starts_with("<![CDATA[") && raw.ends_with("]]>")
        && raw.substr(kCdataOpen.size(), raw.size() - kCdataOpen.size() - 1).find("]]>") == npos)
        return decoder(raw.substr(kCdataOpen.size(), raw.size() - sectionSize));
    if (!hasMarkup(raw))
        return decoder(raw);
    if (findNoCase(raw, 0, kCdataOpen) != npos)
        return decoder(cdataText(raw));
    return decodeEntities(decoder(raw));
}

std::optional<double> gpxNumber(std::string_view raw)
{
    if (double v; parsePlainDecimal(raw, v))
        return v;
    if (!hasMarkup(raw))
        return parseNumber(raw);
    const QByteArray text = gpxText(raw, decodeUtf8).toUtf8();
    return parseNumber(std::string_view(text.constData(), static_cast<size_t>(text.size())));
}

bool readDigits(std::string_view t, size_t at, size_t n, int &out)
{
    int v = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (t[i] < '0' || t[i] > '9')
            return false;
        v = v * 10 + (t[i] - '0');
    }
    out = v;
    return true;
}

// The last day read and its date value: points of a track share their day.
struct DayCache {
    int y = -1, m = 0, d = 0;
    bool valid = false;
    double value = 0;
};

// YYYY-MM-DDThh:mm:ss by the character positions; anything after the seconds is ignored and
// there is no time-zone conversion. A shorter text gives what it holds: the date alone, or
// hours and minutes.
bool readTime(std::string_view t, double &date, double &time, DayCache &day)
{
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    int y, m, d, hh = 0, mm = 0, ss = 0;
    if (t.size() < 10 || !readDigits(t, 0, 4, y) || !readDigits(t, 5, 2, m) || !readDigits(t, 8, 2, d))
        return false;
    if (y != day.y || m != day.m || d != day.d) {
        const QDate calendarDay(y, m, d);
        day = {y, m, d, calendarDay.isValid(), calendarDay.isValid() ? toDateValue(calendarDay) : 0};
    }
    if (!day.valid)
        return false;
    if (t.size() >= 16 && (!readDigits(t, 11, 2, hh) || !readDigits(t, 14, 2, mm)))
        return false;
    if (t.size() >= 19 && !readDigits(t, 17, 2, ss))
        return false;
    if (hh > 23 || mm > 59 || ss > 59)
        return false;
    date = day.value;
    time = (hh * 3600 + mm * 60 + ss) / 86400.0;
    return isWritableDateValue(date);
}

struct Parts;

class GpxReader {
public:
    GpxReader(PointStore &store, ImportSink &sink, bool ignoreGpxDescription)
        : store_(store), sink_(sink), ignoreDescription_(ignoreGpxDescription)
    {
    }

    // One whole element, read into its parts, which begins at byte at of the file on the given line.
    void convert(const Parts &parts, PointKind kind, int64_t line, qint64 at);

    // Track boundaries: every <trk> starts a track, and so does every <trkseg> after its first;
    // the <trk>'s <name> (before its first point) names the track.
    void startTrack()
    {
        newTrack_ = true;
        segments_ = 0;
        trackName_.clear();
        inTrackHeader_ = true;
    }
    void startSegment()
    {
        if (++segments_ > 1)
            newTrack_ = true;
        inTrackHeader_ = false;
    }
    bool wantsTrackName() const { return inTrackHeader_; }
    void setTrackName(std::string_view raw)
    {
        trackName_.assign(raw);
        inTrackHeader_ = false;
    }

private:
    void skip(int64_t line, PointKind kind, int reasonId) { sink_.skip(line, reasonId, kKinds[kindIndex(kind)].name); }
    const QString &autoName()
    {
        // Elements without a name are called by the number of WayPoints plus one.
        if (autoNameFor_ != store_.wayPoints.count()) {
            autoNameFor_ = store_.wayPoints.count();
            autoName_ = QString::number(autoNameFor_ + 1);
        }
        return autoName_;
    }
    // The tracks in the list so far, counted on from where the last call stopped: a file of
    // many unnamed tracks must not walk the whole log for each of them.
    int32_t tracksSoFar()
    {
        const PointList &tracks = store_.trackPoints;
        for (; tracksCountedTo_ < tracks.count(); ++tracksCountedTo_)
            if (trackStarts(tracks, tracksCountedTo_ + 1))
                ++tracks_;
        return tracks_;
    }
    double now()
    {
        if (!now_)
            now_ = toDateValue(currentDateTime());
        return *now_;
    }

    PointStore &store_;
    ImportSink &sink_;
    bool ignoreDescription_;
    int32_t autoNameFor_ = -1;
    QString autoName_;
    int32_t tracksCountedTo_ = 0;
    int32_t tracks_ = 0;
    std::optional<double> now_;
    DayCache day_;
    bool newTrack_ = false;
    bool inTrackHeader_ = false;
    int segments_ = 0;
    std::string trackName_; // as in the file
};

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The lat and lon attributes of a point's start tag (names in any case, values in either
// quote), and where the start tag ends (npos: it does not).
struct StartTag {
    std::optional<std::string_view> lat, lon;
    size_t end = npos;
};

// Characters that end an attribute's name in a start tag, by class.
enum : uint8_t { kBlank = 1, kSlash = 2, kTagEnd = 4, kEquals = 8 };
constexpr std::array<uint8_t, 256> kTagChars = [] {
    std::array<uint8_t, 256> c{};
    c[' '] = c['\t'] = c['\r'] = c['\n'] = kBlank;
    c['/'] = kSlash;
    c['>'] = kTagEnd;
    c['='] = kEquals;
    return c;
}();
uint8_t tagChar(char c) { return kTagChars[static_cast<unsigned char>(c)]; }

// Whether a three-letter name is the lower-case one given, in any case.
bool isName3(std::string_view name, const char (&lower)[4])
{
    return name.size() == 3 && (name[0] | 0x20) == lower[0] && (name[1] | 0x20) == lower[1] && (name[2] | 0x20) == lower[2];
}

StartTag readStartTag(std::string_view t, size_t nameLength)
{
    StartTag tag;
    for (size_t i = nameLength; i < t.size();) {
        const uint8_t c = tagChar(t[i]);
        if (c & (kBlank | kSlash)) {
            ++i;
            continue;
        }
        if (c == kTagEnd) {
            tag.end = i + 1;
            break;
        }
        const size_t name = i;
        while (i < t.size() && !tagChar(t[i]))
            ++i;
        const std::string_view attribute = t.substr(name, i - name);
        while (i < t.size() && tagChar(t[i]) == kBlank)
            ++i;
        if (i == t.size() || t[i] != '=')
            continue;
        do
            ++i;
        while (i < t.size() && tagChar(t[i]) == kBlank);
        const size_t close = i < t.size() && (t[i] == '"' || t[i] == '\'') ? findByte(t, i + 1, t[i]) : npos;
        if (close == npos)
            break; // not an attribute any more: what follows cannot be read as one
        const std::string_view value = t.substr(i + 1, close - i - 1);
        if (!tag.lat && isName3(attribute, "lat"))
            tag.lat = value;
        else if (!tag.lon && isName3(attribute, "lon"))
            tag.lon = value;
        i = close + 1;
    }
    return tag;
}

// The children a point keeps: the first start tag of each, found ignoring case, and its text
// up to the first end tag of exact case after it.
enum ChildIndex { kName, kEle, kDesc, kTime, kChildren };
constexpr Tag kChildOpen[kChildren] = {Tag("<name>"), Tag("<ele>"), Tag("<desc>"), Tag("<time>")};
constexpr Tag kChildClose[kChildren] = {Tag("</name>", true), Tag("</ele>", true), Tag("</desc>", true),
                                        Tag("</time>", true)};

// The child whose start tag or end tag may stand at i, by the letter after '<' or "</" (any
// case; kChildren: none).
int childByLetter(char c)
{
    switch (c | 0x20) {
    case 'n': return kName;
    case 'e': return kEle;
    case 'd': return kDesc;
    case 't': return kTime;
    default: return kChildren;
    }
}

struct Child {
    size_t open = npos;
    bool closed = false;
    std::string_view text;
};

// What a point element holds: its start tag and its children.
struct Parts {
    StartTag tag;
    Child child[kChildren];
};

// Which child a start tag opens at position i (a '<'; kChildren: none).
[[gnu::always_inline]] inline int childOpenedAt(std::string_view t, size_t i)
{
    const int c = i + 1 < t.size() ? childByLetter(t[i + 1]) : kChildren;
    return c < kChildren && kChildOpen[c].at(t, i) ? c : kChildren;
}

// The parts of one whole element t; an element closed in its start tag has no children.
Parts readParts(std::string_view t, const ElementKind &kind)
{
    Parts parts;
    parts.tag = readStartTag(t, kind.open.size());
    const size_t content = std::min(parts.tag.end, t.size());
    for (size_t i = findByte(t, content, '<'); i != npos; i = findByte(t, i + 1, '<')) {
        const int c = childOpenedAt(t, i);
        if (c < kChildren && parts.child[c].open == npos)
            parts.child[c].open = i;
    }
    for (int c = 0; c < kChildren; ++c) {
        Child &child = parts.child[c];
        if (child.open == npos)
            continue;
        const size_t from = child.open + kChildOpen[c].size();
        const size_t end = findExact(t, from, kChildClose[c].text());
        child.closed = end != npos;
        if (child.closed)
            child.text = t.substr(from, end - from);
    }
    return parts;
}

// An element read where it stands in the bytes held: its parts, its length, and the line ends
// it takes in (lastLine: where its last line starts).
struct InPlace {
    Parts parts;
    size_t end = 0;
    size_t lastLine = 0;
    int64_t lineEnds = 0;
};

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Reads the point element at the start of held where it stands, when that gives exactly what
// joining its lines does: the element ends within held (and a bound), its start tag ends on
// its first line, every line end lies between two tags (after '>' or a blank, before '<' or a
// blank, where no tag the scanner looks for can be made by joining) and outside the children's
// texts. One pass over the '<' and line ends finds the children, their end tags and the
// element's end. False: the element is read line by line.
bool readInPlace(std::string_view held, const ElementKind &kind, InPlace &e)
{
    // A point takes a few hundred bytes; longer ones (descriptions pasted into GPX) go line by line.
    constexpr size_t kBound = 64 << 10;
    const std::string_view v = held.substr(0, std::min(held.size(), kBound));
    Parts &parts = e.parts;
    parts.tag = readStartTag(v, kind.open.size());
    const size_t content = parts.tag.end;
    if (content == npos || findEither(v.data(), v.data() + content, '\r', '\n') != v.data() + content)
        return false;
    // Closed by "/>": the last character before '>' that is not blank (quotes and values alike).
    size_t last = content - 2;
    while (blank(v[last]))
        --last;
    if (v[last] == '/') {
        e.end = content;
        return true;
    }
    int open = 0; // children open and not closed yet
    for (size_t block = content; block < v.size(); block += 16) {
        const size_t n = std::min<size_t>(16, v.size() - block);
        uint32_t mask = 0;
#if defined(__SSE2__)
        if (n == 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(v.data() + block));
            const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('<')),
                                              _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\r')),
                                                           _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n'))));
            mask = static_cast<uint32_t>(_mm_movemask_epi8(hits));
        } else
#endif
        {
            for (size_t k = 0; k < n; ++k)
                if (v[block + k] == '<' || isLineEnd(v[block + k]))
                    mask |= 1u << k;
        }
        for (; mask; mask &= mask - 1) {
            const size_t i = block + static_cast<size_t>(__builtin_ctz(mask));
            if (v[i] != '<') {
                // A line end (CR LF as one): it must lie between tags, and outside every text that is kept.
                if (i < e.lastLine)
                    continue; // the LF of a CR LF
                size_t next = i + 1;
                if (v[i] == '\r' && next < v.size() && v[next] == '\n')
                    ++next;
                if (open > 0 || next >= v.size())
                    return false;
                const char before = v[i - 1], after = v[next];
                if (!isLineEnd(before) && before != '>' && before != ' ' && before != '\t')
                    return false;
                if (!isLineEnd(after) && after != '<' && after != ' ' && after != '\t')
                    return false;
                ++e.lineEnds;
                e.lastLine = next;
                continue;
            }
            if (i + 2 < v.size() && v[i + 1] == '/') {
                if (kind.close.at(v, i)) {
                    e.end = i + kind.close.size();
                    return true;
                }
                const int c = childByLetter(v[i + 2]);
                if (c < kChildren && parts.child[c].open != npos && !parts.child[c].closed && kChildClose[c].at(v, i)) {
                    Child &child = parts.child[c];
                    const size_t from = child.open + kChildOpen[c].size();
                    child.closed = true;
                    child.text = v.substr(from, i - from);
                    --open;
                }
            } else if (const int c = childOpenedAt(v, i); c < kChildren && parts.child[c].open == npos) {
                parts.child[c].open = i;
                ++open;
            }
        }
    }
    return false;
}

void GpxReader::convert(const Parts &parts, PointKind kind, int64_t line, qint64 at)
{
    const StartTag &tag = parts.tag;
    GpsPoint p;
    const auto latitude = tag.lat ? gpxNumber(*tag.lat) : std::nullopt;
    if (!latitude)
        return skip(line, kind, msg::GpxNoLatitude);
    const auto longitude = tag.lon ? gpxNumber(*tag.lon) : std::nullopt;
    if (!longitude)
        return skip(line, kind, msg::GpxNoLongitude);
    p.latitude = *latitude;
    p.longitude = *longitude;

    const Child &name = parts.child[kName], &ele = parts.child[kEle], &desc = parts.child[kDesc],
                &time = parts.child[kTime];
    std::string_view rawName = name.text, rawDesc = desc.text;
    if (name.open != npos && !name.closed)
        return skip(line, kind, msg::GpxNameUnclosed);
    if (ele.open != npos) {
        if (!ele.closed)
            return skip(line, kind, msg::GpxElevationUnclosed);
        const auto altitude = gpxNumber(ele.text);
        if (!altitude || !std::isfinite(static_cast<float>(*altitude)))
            return skip(line, kind, msg::GpxElevationNotNumber);
        p.altitude = static_cast<float>(*altitude);
    }
    if (desc.open != npos && !desc.closed)
        return skip(line, kind, msg::GpxDescriptionUnclosed);
    // The first point of a track carries its name: its own description when kept, else the
    // <trk>'s name, else "Track N". Ignoring descriptions empties only the other points'.
    bool startsTrack = false;
    if (kind == PointKind::Track) {
        startsTrack = newTrack_;
        newTrack_ = false;
        inTrackHeader_ = false;
        if (ignoreDescription_)
            rawDesc = {};
        if (startsTrack && rawDesc.empty() && !cdataText(trackName_).empty())
            rawDesc = trackName_;
    }
    if (time.open != npos) {
        if (!time.closed)
            return skip(line, kind, msg::GpxTimeUnclosed);
        if (!readTime(time.text, p.date, p.time, day_))
            return skip(line, kind, msg::GpxTimeNotReadable);
    } else {
        p.date = p.time = now();
    }

    p.name = name.open != npos ? gpxText(rawName, decodeUtf8) : autoName();
    if (!rawDesc.empty())
        p.description = gpxText(rawDesc, decodeUtf8);
    if (startsTrack && p.description.isEmpty())
        p.description = formatMessage(messageText(msg::GeneratedTrackName), {tracksSoFar() + 1});
    PointList &list = store_.list(kind);
    p.kind = kind;
    sink_.append(list, std::move(p), at);
    if (!isAscii(rawName))
        sink_.keepRaw(list, ImportSink::Field::Name, rawName, gpxText);
    if (!isAscii(rawDesc))
        sink_.keepRaw(list, ImportSink::Field::Description, rawDesc, gpxText);
}

// CDATA content: nothing of it may read as markup, neither to an XML reader ("]]>") nor to the
// tag scanner ("</name>", "<desc>" ...), so the section is closed and reopened at those places.
// Characters XML does not allow at all are dropped.
void appendCdata(std::string &out, const QString &text)
{
    out += "<![CDATA[";
    const QByteArray u = text.toUtf8();
    const char *s = u.constData();
    const size_t n = static_cast<size_t>(u.size());
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            continue;
        if (c == 0xEF && i + 2 < n && static_cast<unsigned char>(s[i + 1]) == 0xBF
            && (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE) { // U+FFFE, U+FFFF
            i += 2;
            continue;
        }
        if (c == '<') {
            out += "<]]><![CDATA[";
        } else if (c == ']' && i + 2 < n && s[i + 1] == ']' && s[i + 2] == '>') {
            out += "]]]]><![CDATA[>";
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += "]]>";
}

void appendPointElement(std::string &out, const char *tag, const GpsPoint &p, const char *indent)
{
    out += indent;
    out += '<';
    out += tag;
    out += " lat=\"";
    appendFixed(out, p.latitude, 10);
    out += "\" lon=\"";
    appendFixed(out, p.longitude, 10);
    out += "\">\r\n";
    out += indent;
    out += " <ele>";
    appendFixed(out, p.altitude, 2);
    out += "</ele>\r\n";
    out += indent;
    out += " <time>";
    appendIsoDateTime(out, p.date, p.time);
    out += "</time>\r\n";
    out += indent;
    out += " <name>";
    appendCdata(out, p.name);
    out += "</name>\r\n";
    out += indent;
    out += " <desc>";
    appendCdata(out, p.description);
    out += "</desc>\r\n";
    out += indent;
    out += "</";
    out += tag;
    out += ">\r\n";
}

void appendAttribute(std::string &out, const QString &value)
{
    QString v = value;
    v.replace(QLatin1Char('&'), QLatin1String("&amp;")).replace(QLatin1Char('<'), QLatin1String("&lt;"));
    v.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    appendUtf8(out, v);
}

// What the scan looks for on a line: the start of a point element ("<wpt", "<rtept" or
// "<trkpt" in any case, ended by a blank, '>', '/' or the line's end), and the markup between
// points: "<trk", "<trkseg", "<gpx" and "</gpx" tags (any case, ended by a blank, '>' or the
// line's end), and "<name>" when the track's name is wanted.
enum Markup { kWptStart, kRteptStart, kTrkptStart, kTrkTag, kTrksegTag, kTrackName, kGpxTag, kGpxEndTag };

bool tagEnds(std::string_view line, size_t after, bool slashToo)
{
    return after == line.size() || blank(line[after]) || line[after] == '>' || (slashToo && line[after] == '/');
}

// Where the first of them is at or after from (npos: none), and which.
size_t nextMarkup(std::string_view line, size_t from, bool wantName, Markup &which)
{
    static constexpr std::pair<Tag, Markup> kBetween[] = {
        {Tag("<trkseg"), kTrksegTag}, {Tag("<trk"), kTrkTag}, {Tag("<gpx"), kGpxTag}, {Tag("</gpx"), kGpxEndTag}};
    static constexpr Tag kName("<name>");
    for (size_t i = findByte(line, from, '<'); i != npos; i = findByte(line, i + 1, '<')) {
        for (int k = 0; k < 3; ++k)
            if (kKinds[k].open.at(line, i) && tagEnds(line, i + kKinds[k].open.size(), true)) {
                which = Markup(k);
                return i;
            }
        for (const auto &[tag, w] : kBetween)
            if (tag.at(line, i) && tagEnds(line, i + tag.size(), false)) {
                which = w;
                return i;
            }
        if (wantName && kName.at(line, i)) {
            which = kTrackName;
            return i;
        }
    }
    return npos;
}

// Finds where a point element ends, given its text piece by piece: just past "/>" when its
// start tag closes it, else just past its end tag (exact name, any case). A '>' inside an
// attribute value (quoted after '=', as readStartTag reads it) does not end the start tag.
class ElementEnd {
public:
    explicit ElementEnd(const ElementKind &kind) : kind_(kind) {}
    // The position in piece just past the end, or npos when the element goes on after it.
    size_t find(std::string_view piece, size_t from)
    {
        size_t i = from;
        for (; !inContent_ && i < piece.size(); ++i) {
            const char c = piece[i];
            if (quote_) {
                if (c == quote_)
                    quote_ = 0;
            } else if ((c == '"' || c == '\'') && last_ == '=') {
                quote_ = c;
            } else if (c == '>') {
                if (last_ == '/')
                    return i + 1;
                inContent_ = true;
            }
            if (!blank(c))
                last_ = c; // outside a value, the last character that is not blank
        }
        if (!inContent_)
            return npos;
        const size_t close = findNoCase(piece, i, kind_.close.text());
        return close == npos ? npos : close + kind_.close.size();
    }

private:
    const ElementKind &kind_;
    bool inContent_ = false;
    char quote_ = 0, last_ = 0;
};

} // namespace

ImportResult readGpx(const QString &path, PointStore &store, bool ignoreGpxDescription, const ProgressFn &progress)
{
    return importWithinMemory(store, [&] {
        LineReader in(path);
        ImportResult result;
        ImportSink sink(store, result, in);
        GpxReader reader(store, sink, ignoreGpxDescription);
        std::string joined;
        std::string_view line;
        // A document that opens <gpx> and never closes it was cut off between two points.
        bool opened = false, closed = false, stopped = false;
        while (in.next(line)) {
            // Every element that starts on the line; one that goes on takes the lines it needs,
            // and the scan goes on where it ends.
            for (size_t pos = 0;;) {
                Markup which = kWptStart;
                const size_t start = nextMarkup(line, pos, reader.wantsTrackName(), which);
                if (start == npos)
                    break;
                if (which == kGpxTag || which == kGpxEndTag) {
                    (which == kGpxTag ? opened : closed) = true;
                    pos = start + 4;
                    continue;
                }
                if (which == kTrkTag) {
                    reader.startTrack();
                    pos = start + 4;
                    continue;
                }
                if (which == kTrksegTag) {
                    reader.startSegment();
                    pos = start + 7;
                    continue;
                }
                if (which == kTrackName) {
                    const size_t end = findExact(line, start + 6, "</name>");
                    // A name that runs on over lines is not looked for further.
                    reader.setTrackName(end == npos ? std::string_view() : line.substr(start + 6, end - start - 6));
                    pos = end == npos ? start + 6 : end + 7;
                    continue;
                }
                const int kind = which;
                const ElementKind &ek = kKinds[kind];
                const int64_t startLine = in.lineNumber();
                const qint64 at = in.offset() + static_cast<qint64>(start);
                const std::string_view rest = line.substr(start);
                // Mostly the element is read where it stands, and the scan goes on in its last line.
                InPlace e;
                if (!in.continues()) {
                    const std::string_view held = in.heldFrom(rest.data());
                    if (readInPlace(held, ek, e) && (e.lineEnds == 0 || in.holdsLineAt(held.data() + e.lastLine))) {
                        reader.convert(e.parts, allPointKinds[kind], startLine, at);
                        if (e.lineEnds == 0) {
                            pos = start + e.end;
                        } else {
                            in.resumeAt(held.data() + e.lastLine, e.lineEnds);
                            in.next(line); // held whole, as holdsLineAt said
                            pos = e.end - e.lastLine;
                        }
                        continue;
                    }
                }
                ElementEnd scan(ek);
                const size_t end = scan.find(rest, ek.open.size());
                if (end != npos) {
                    reader.convert(readParts(rest.substr(0, end), ek), allPointKinds[kind], startLine, at);
                    pos = start + end;
                    continue;
                }
                // The element goes on over the next lines (or pieces of a long line), joined
                // with no separator and held up to a bound.
                bool tooLong = rest.size() > kMaxElement;
                joined.assign(tooLong ? std::string_view() : rest);
                size_t close = npos;
                while (close == npos && in.next(line)) {
                    close = scan.find(line, 0);
                    const size_t take = close == npos ? line.size() : close;
                    tooLong = tooLong || joined.size() + take > kMaxElement;
                    if (!tooLong)
                        joined.append(line.substr(0, take));
                }
                if (close == npos) {
                    sink.skip(startLine, msg::GpxElementCutOff, ek.name);
                    sink.finish();
                    return result;
                }
                if (tooLong)
                    sink.skip(startLine, msg::GpxElementTooLong, ek.name);
                else
                    reader.convert(readParts(joined, ek), allPointKinds[kind], startLine, at);
                pos = close;
            }
            if (!sink.progress(progress)) {
                stopped = true;
                break;
            }
        }
        if (opened && !closed && !stopped)
            sink.skip(in.lineNumber(), msg::GpxDocumentCutOff);
        sink.finish();
        return result;
    });
}

void writeGpx(const QString &path, PointStore &store, const ProgressFn &progress)
{
    Output out(path);
    std::string &b = out.buffer();
    const double now = toDateValue(currentDateTime());
    b += "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<gpx\r\n version=\"1.0\"\r\n creator=\"";
    appendAttribute(b, programSignature());
    // The namespace makes the document valid GPX 1.0 for namespace-aware readers.
    b += "\"\r\n xmlns=\"http://www.topografix.com/GPX/1/0\">\r\n <time>";
    appendIsoDateTime(b, now, now);
    b += "</time>\r\n";

    const qint64 total = qint64(store.wayPoints.count()) + store.routePoints.count() + store.trackPoints.count();
    qint64 done = 0;
    for (const GpsPoint &p : store.wayPoints) {
        appendPointElement(b, "wpt", p, " ");
        out.flushIfFull(progress, ++done, total);
    }
    if (!store.routePoints.isEmpty()) {
        b += " <rte>\r\n";
        for (const GpsPoint &p : store.routePoints) {
            appendPointElement(b, "rtept", p, "  ");
            out.flushIfFull(progress, ++done, total);
        }
        b += " </rte>\r\n";
    }
    // Each track of the list is a <trk> of its own, named by the description of its first point.
    const PointList &track = store.trackPoints;
    for (int32_t i = 1; i <= track.count(); ++i) {
        if (trackStarts(track, i)) {
            if (i > 1)
                b += "  </trkseg>\r\n </trk>\r\n";
            b += " <trk>\r\n  <name>";
            appendCdata(b, track[i].description);
            b += "</name>\r\n  <trkseg>\r\n";
        }
        appendPointElement(b, "trkpt", track[i], "   ");
        out.flushIfFull(progress, ++done, total);
    }
    if (!track.isEmpty())
        b += "  </trkseg>\r\n </trk>\r\n";
    b += "</gpx>\r\n";
    out.commit();
    store.pointsModified = false;
}

} // namespace gipso
