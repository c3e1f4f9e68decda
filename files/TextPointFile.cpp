// The program's own text point file: a header line, then one line per point with
// comma-separated, fixed-width fields.

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "files/FileIO.h"
#include "files/PointFiles.h"

#include <cmath>

namespace gipso {

using namespace fileio;

namespace {

std::string_view trimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

QString plainText(std::string_view raw, Decoder decoder) { return decoder(raw); }

// Dates and times go through the program's own parsers; the fields are short, so they are
// widened on the stack rather than allocated.
template <typename Parse>
std::optional<double> parseField(std::string_view field, Parse parse)
{
    char16_t wide[64];
    if (field.size() > std::size(wide))
        return parse(QString::fromLatin1(field.data(), static_cast<qsizetype>(field.size())));
    for (size_t i = 0; i < field.size(); ++i)
        wide[i] = static_cast<unsigned char>(field[i]);
    return parse(QStringView(wide, static_cast<qsizetype>(field.size())));
}

// The last date field read and its value (parseDateText's): the points of a file share few days.
struct LastDate {
    std::string text;
    std::optional<double> value;
};

// One line: a point line that cannot be converted is counted as skipped and nothing of it is kept.
void readLine(std::string_view line, int64_t number, qint64 at, PointStore &store, ImportResult &result, ImportSink &sink,
              bool ignoreTxtDescription, LastDate &lastDate)
{
    if (line.size() < 2)
        return;
    const char a = upper(line[0]), b = upper(line[1]);
    if (!((a == 'W' || a == 'R' || a == 'T') && b == 'P'))
        return;

    // Eight fields, each trimmed of spaces; missing ones are empty, anything after the eighth comma is ignored.
    std::string_view f[8];
    std::string_view rest = line;
    for (auto &field : f) {
        const size_t comma = findByte(rest, 0, ',');
        if (comma == std::string_view::npos) {
            field = trimSpaces(rest);
            rest = {};
        } else {
            field = trimSpaces(rest.substr(0, comma));
            rest = rest.substr(comma + 1);
        }
    }
    // TrackPoint lines carry no name.
    if (f[0].size() == 2 && upper(f[0][0]) == 'T' && upper(f[0][1]) == 'P') {
        for (int i = 7; i >= 2; --i)
            f[i] = f[i - 1];
        f[1] = {};
    }

    const auto lat = parseNumber(f[2]);
    if (!lat)
        return sink.skip(number, msg::LatitudeNotNumber);
    const auto lon = parseNumber(f[3]);
    if (!lon)
        return sink.skip(number, msg::LongitudeNotNumber);
    const auto alt = parseNumber(f[4]);
    if (!alt || !std::isfinite(static_cast<float>(*alt)))
        return sink.skip(number, msg::AltitudeNotNumber);
    if (f[5] != lastDate.text) {
        lastDate.text.assign(f[5]);
        lastDate.value = parseField(f[5], parseDateText);
    }
    const auto date = lastDate.value;
    if (!date || !isWritableDateValue(*date))
        return sink.skip(number, msg::DateNotReadable);
    const auto time = parseField(f[6], parseTimeText);
    if (!time)
        return sink.skip(number, msg::TimeNotReadable);

    result.readable = true;
    const std::optional<PointKind> kind = kindFromTag(f[0]);
    if (!kind)
        return sink.skip(number, msg::RecordTypeUnknown);
    PointList *list = &store.list(*kind);

    GpsPoint p;
    p.latitude = *lat;
    p.longitude = *lon;
    p.altitude = static_cast<float>(*alt);
    p.date = *date;
    p.time = *time;
    p.kind = *kind;
    const std::string_view name = f[1];
    const std::string_view description = *kind == PointKind::Track && ignoreTxtDescription ? std::string_view() : f[7];
    p.name = decodeUtf8(name);
    p.description = decodeUtf8(description);
    sink.append(*list, std::move(p), at);
    if (!isAscii(name))
        sink.keepRaw(*list, ImportSink::Field::Name, name, plainText);
    if (!isAscii(description))
        sink.keepRaw(*list, ImportSink::Field::Description, description, plainText);
}

// Text fields are written as they are, except line breaks, which would end the record.
void appendField(std::string &out, const QString &text)
{
    const size_t at = out.size();
    appendUtf8(out, text);
    for (size_t i = at; i < out.size(); ++i)
        if (out[i] == '\r' || out[i] == '\n')
            out[i] = ' ';
}

int characterCount(const QString &text)
{
    int n = 0;
    for (QChar c : text)
        n += c.isLowSurrogate() ? 0 : 1;
    return n;
}

void appendPointLine(std::string &out, const char *tag, const GpsPoint &p, bool named)
{
    out += tag;
    if (named) {
        // "!@@@@@@": left-aligned in six characters; a longer name is kept whole.
        appendField(out, p.name);
        for (int n = characterCount(p.name); n < 6; ++n)
            out += ' ';
        out += ", ";
    }
    appendFixedRight(out, p.latitude, 10, 15);
    out += ", ";
    appendFixedRight(out, p.longitude, 10, 15);
    out += ", ";
    appendFixedRight(out, p.altitude, 2, 8);
    out += ", ";
    appendDate(out, p.date);
    out += ", ";
    appendTime(out, p.time);
    out += ", ";
    appendField(out, p.description);
    out += "\r\n";
}

} // namespace

ImportResult readTextPointFile(const QString &path, PointStore &store, bool ignoreTxtDescription, const ProgressFn &progress)
{
    return importWithinMemory(store, [&] {
        LineReader in(path);
        ImportResult result;
        ImportSink sink(store, result, in);
        std::string_view line;
        bool inLongLine = false;
        LastDate lastDate; // an empty field, which is no date
        while (in.next(line)) {
            // A line longer than any point line is passed over, piece by piece.
            if (!inLongLine && in.continues())
                sink.skip(formatMessage(messageText(msg::LineTooLong), {qlonglong(in.lineNumber()), qulonglong(kMaxLineBytes)}));
            else if (!inLongLine)
                readLine(line, in.lineNumber(), in.offset(), store, result, sink, ignoreTxtDescription, lastDate);
            inLongLine = in.continues();
            if (!sink.progress(progress))
                break;
        }
        sink.finish();
        return result;
    });
}

void writeTextPointFile(const QString &path, PointStore &store, const ProgressFn &progress)
{
    Output out(path);
    std::string &b = out.buffer();
    const double now = toDateValue(currentDateTime());
    appendUtf8(b, programSignature());
    b += "           ";
    appendDate(b, now);
    b += "  ";
    appendTime(b, now);
    b += "\r\n\r\n\r\n";

    const qint64 total = qint64(store.wayPoints.count()) + store.routePoints.count() + store.trackPoints.count();
    qint64 done = 0;
    for (const GpsPoint &p : store.wayPoints) {
        appendPointLine(b, "WP, ", p, true);
        out.flushIfFull(progress, ++done, total);
    }
    b += "\r\n";
    for (const GpsPoint &p : store.routePoints) {
        appendPointLine(b, "RP, ", p, true);
        out.flushIfFull(progress, ++done, total);
    }
    b += "\r\n";
    for (const GpsPoint &p : store.trackPoints) {
        appendPointLine(b, "TP, ", p, false);
        out.flushIfFull(progress, ++done, total);
    }
    out.commit();
    store.pointsModified = false;
}

} // namespace gipso
