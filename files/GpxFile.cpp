// GPX: a fixed-layout GPX 1.0 writer and a line-based tag scanner for reading. The scanner is
// not an XML parser on purpose: which files import, and how, is decided by plain searches for
// the point elements and their children, and that is kept exactly.

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Error.h"
#include "files/FileIO.h"
#include "files/PointFiles.h"

#include <cmath>
#include <cstring>

namespace gipso {

using namespace fileio;

namespace {

constexpr size_t npos = std::string_view::npos;
constexpr size_t kUnknown = npos - 1;
// An element longer than this is not a point anybody wrote; it is skipped without holding it all.
constexpr size_t kMaxElement = 64u << 20;

struct ElementKind {
    std::string_view open;  // lower case, searched ignoring case
    std::string_view close;
    const char *name;
};
const ElementKind kKinds[3] = {{"<wpt", "</wpt>", "wpt"}, {"<rtept", "</rtept>", "rtept"}, {"<trkpt", "</trkpt>", "trkpt"}};

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
        const qsizetype semi = s[i] == QLatin1Char('&') ? s.indexOf(QLatin1Char(';'), i + 1) : -1;
        if (semi < 0 || semi - i > 12) {
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

// Text of a child: a CDATA section as it stands, or plain text with its references decoded.
QString gpxText(std::string_view raw, Decoder decoder)
{
    if (findNoCase(raw, 0, kCdataOpen) != npos)
        return decoder(cdataText(raw));
    return decodeEntities(decoder(raw));
}

std::optional<double> gpxNumber(std::string_view raw)
{
    if (raw.find_first_of("<&") == npos)
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

// YYYY-MM-DDThh:mm:ss by the character positions; anything after the seconds is ignored and
// there is no time-zone conversion. A shorter text gives what it holds: the date alone, or
// hours and minutes.
bool readTime(std::string_view t, double &date, double &time)
{
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    int y, m, d, hh = 0, mm = 0, ss = 0;
    if (t.size() < 10 || !readDigits(t, 0, 4, y) || !readDigits(t, 5, 2, m) || !readDigits(t, 8, 2, d))
        return false;
    const QDate day(y, m, d);
    if (!day.isValid())
        return false;
    if (t.size() >= 16 && (!readDigits(t, 11, 2, hh) || !readDigits(t, 14, 2, mm)))
        return false;
    if (t.size() >= 19 && !readDigits(t, 17, 2, ss))
        return false;
    if (hh > 23 || mm > 59 || ss > 59)
        return false;
    date = toDateValue(day);
    time = (hh * 3600 + mm * 60 + ss) / 86400.0;
    return isWritableDateValue(date);
}

class GpxReader {
public:
    GpxReader(PointStore &store, ImportSink &sink, bool ignoreGpxDescription)
        : store_(store), sink_(sink), ignoreDescription_(ignoreGpxDescription)
    {
    }

    void convert(std::string_view t, PointKind kind, int64_t line);

private:
    QString problem(int64_t line, PointKind kind, const char *what) const
    {
        return QStringLiteral("line %1: %2 %3").arg(line).arg(QLatin1String(kKinds[kindIndex(kind)].name), QLatin1String(what));
    }
    const QString &autoName()
    {
        // Elements without a name are called by the number of WayPoints plus one.
        if (autoNameFor_ != store_.wayPoints.count()) {
            autoNameFor_ = store_.wayPoints.count();
            autoName_ = QString::number(autoNameFor_ + 1);
        }
        return autoName_;
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
    std::optional<double> now_;
};

std::optional<double> attribute(std::string_view t, size_t at)
{
    // Skip lat=" (five characters) and take the text up to the next double quote.
    if (at == npos || at + 5 > t.size())
        return std::nullopt;
    const size_t quote = findByte(t, at + 5, '"');
    if (quote == npos)
        return std::nullopt;
    return parseNumber(t.substr(at + 5, quote - at - 5));
}

// Text of a child from its start tag (found ignoring case) to the first end tag of exact case.
bool childText(std::string_view t, size_t open, size_t openLength, std::string_view close, std::string_view &out)
{
    const size_t from = open + openLength;
    const size_t end = findExact(t, from, close);
    if (end == npos)
        return false;
    out = t.substr(from, end - from);
    return true;
}

void GpxReader::convert(std::string_view t, PointKind kind, int64_t line)
{
    // First "lat=" and "lon=", ignoring case, found through their equals signs.
    size_t lat = npos, lon = npos;
    for (size_t i = findByte(t, 0, '='); i != npos && (lat == npos || lon == npos); i = findByte(t, i + 1, '=')) {
        if (i < 3)
            continue;
        if (lat == npos && startsWithNoCase(t, i - 3, "lat="))
            lat = i - 3;
        else if (lon == npos && startsWithNoCase(t, i - 3, "lon="))
            lon = i - 3;
    }
    // First start tag of each child, ignoring case.
    size_t name = npos, ele = npos, desc = npos, time = npos;
    for (size_t i = findByte(t, 0, '<'); i != npos; i = findByte(t, i + 1, '<')) {
        if (name == npos && startsWithNoCase(t, i, "<name>"))
            name = i;
        else if (ele == npos && startsWithNoCase(t, i, "<ele>"))
            ele = i;
        else if (desc == npos && startsWithNoCase(t, i, "<desc>"))
            desc = i;
        else if (time == npos && startsWithNoCase(t, i, "<time>"))
            time = i;
    }

    GpsPoint p;
    const auto latitude = attribute(t, lat);
    if (!latitude)
        return sink_.skip(problem(line, kind, "has no readable lat=\"...\""));
    const auto longitude = attribute(t, lon);
    if (!longitude)
        return sink_.skip(problem(line, kind, "has no readable lon=\"...\""));
    p.latitude = *latitude;
    p.longitude = *longitude;

    std::string_view rawName, rawDesc, text;
    if (name != npos && !childText(t, name, 6, "</name>", rawName))
        return sink_.skip(problem(line, kind, "has a name without </name>"));
    if (ele != npos) {
        if (!childText(t, ele, 5, "</ele>", text))
            return sink_.skip(problem(line, kind, "has an elevation without </ele>"));
        const auto altitude = gpxNumber(text);
        if (!altitude || !std::isfinite(static_cast<float>(*altitude)))
            return sink_.skip(problem(line, kind, "has an elevation that is not a number"));
        p.altitude = static_cast<float>(*altitude);
    }
    if (desc != npos && !childText(t, desc, 6, "</desc>", rawDesc))
        return sink_.skip(problem(line, kind, "has a description without </desc>"));
    if (kind == PointKind::Track && ignoreDescription_)
        rawDesc = {};
    if (time != npos) {
        if (!childText(t, time, 6, "</time>", text))
            return sink_.skip(problem(line, kind, "has a time without </time>"));
        if (!readTime(text, p.date, p.time))
            return sink_.skip(problem(line, kind, "has a time that is not yyyy-mm-ddThh:mm:ss"));
    } else {
        p.date = p.time = now();
    }

    p.name = name != npos ? gpxText(rawName, decodeUtf8) : autoName();
    if (!rawDesc.empty())
        p.description = gpxText(rawDesc, decodeUtf8);
    PointList &list = store_.list(kind);
    p.kind = kind;
    sink_.append(list, std::move(p));
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

} // namespace

ImportResult readGpx(const QString &path, PointStore &store, bool ignoreGpxDescription, const ProgressFn &progress)
{
    LineReader in(path);
    ImportResult result;
    ImportSink sink(store, result, in);
    GpxReader reader(store, sink, ignoreGpxDescription);
    std::string joined;
    std::string_view line;
    bool more = in.next(line);
    while (more) {
        // Next occurrence of each start tag at or after pos in the current line (npos: none).
        size_t found[3] = {kUnknown, kUnknown, kUnknown};
        size_t pos = 0;
        for (;;) {
            int kind = -1;
            for (int k = 0; k < 3 && kind < 0; ++k) {
                if (found[k] == kUnknown || (found[k] != npos && found[k] < pos))
                    found[k] = findNoCase(line, pos, kKinds[k].open);
                if (found[k] != npos)
                    kind = k;
            }
            if (kind < 0)
                break;
            const ElementKind &ek = kKinds[kind];
            const int64_t startLine = in.lineNumber();
            const std::string_view rest = line.substr(found[kind]);
            size_t close = findNoCase(rest, 0, ek.close);
            if (close != npos) {
                pos = found[kind] + close + ek.close.size();
                reader.convert(rest.substr(0, close + ek.close.size()), allPointKinds[kind], startLine);
                continue;
            }
            // The element goes on over the next lines, joined with no separator.
            joined.assign(rest);
            bool closed = false;
            while (in.next(line)) {
                close = findNoCase(line, 0, ek.close);
                const size_t take = close == npos ? line.size() : close + ek.close.size();
                if (joined.size() <= kMaxElement)
                    joined.append(line.substr(0, take));
                if (close != npos) {
                    closed = true;
                    pos = take;
                    break;
                }
            }
            if (!closed) {
                sink.skip(QStringLiteral("line %1: %2 does not end before the end of the file")
                              .arg(startLine)
                              .arg(QLatin1String(ek.name)));
                sink.finish();
                return result;
            }
            std::fill(std::begin(found), std::end(found), kUnknown);
            if (joined.size() > kMaxElement)
                sink.skip(QStringLiteral("line %1: %2 is too long").arg(startLine).arg(QLatin1String(ek.name)));
            else
                reader.convert(joined, allPointKinds[kind], startLine);
        }
        if (!sink.progress(progress))
            break;
        more = in.next(line);
    }
    sink.finish();
    return result;
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
    if (!store.trackPoints.isEmpty()) {
        b += " <trk>\r\n  <trkseg>\r\n";
        for (const GpsPoint &p : store.trackPoints) {
            appendPointElement(b, "trkpt", p, "   ");
            out.flushIfFull(progress, ++done, total);
        }
        b += "  </trkseg>\r\n </trk>\r\n";
    }
    b += "</gpx>\r\n";
    out.commit();
    store.pointsModified = false;
}

} // namespace gipso
