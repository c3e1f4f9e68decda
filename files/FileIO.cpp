#include "files/FileIO.h"

#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"

#include <QFileInfo>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace gipso::fileio {

namespace {
constexpr size_t kBlock = 4 << 20;
constexpr qint64 kProgressStep = 4 << 20;
// No point line or element takes fewer bytes: <wpt lat="1"lon="2"/>.
constexpr qint64 kSmallestPoint = 20;
constexpr size_t npos = std::string_view::npos;
// Date values of 1 January 100 and 1 January 10000.
constexpr double kFirstDate = -657434.0;
constexpr double kPastLastDate = 2958466.0;

int kindSlot(const PointStore &store, const PointList &list)
{
    return &list == &store.wayPoints ? 0 : &list == &store.routePoints ? 1 : 2;
}

// A million points fill a hundred megabytes; touching that memory page by page costs more than
// reading the file, so the fresh room is offered to the kernel for large pages.
void adviseLargePages(PointList &list, size_t slotCount)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<uintptr_t>(&list[0]);
    const uintptr_t from = (first + page - 1) & ~(page - 1);
    const uintptr_t to = (first + slotCount * sizeof(GpsPoint)) & ~(page - 1);
    if (to > from)
        madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
#else
    (void)list;
    (void)slotCount;
#endif
}

void appendTwo(std::string &out, int v)
{
    out += static_cast<char>('0' + v / 10 % 10);
    out += static_cast<char>('0' + v % 10);
}

void appendYear(std::string &out, int year)
{
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, year);
    for (auto n = r.ptr - buf; n < 4; ++n)
        out += '0';
    out.append(buf, r.ptr);
}
} // namespace

// ---------------------------------------------------------------------------------------------

LineReader::LineReader(const QString &path) : file_(path)
{
    QFileInfo info(path);
    if (info.isDir())
        throw GipsoError(err::PathAccess, qt_error_string(EISDIR));
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode))
        throw GipsoError(err::PathAccess, messageText(msg::NotAFileToRead));
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw GipsoError(file_.error() == QFileDevice::OpenError && !info.exists() ? err::FileNotFound
                                                                                  : err::PathAccess,
                         file_.errorString());
    size_ = file_.size();
    // Small files are common; the block grows only with the file (or with a longer line).
    buf_.resize(static_cast<size_t>(std::clamp<qint64>(size_ + 1, 64 << 10, kBlock)));
}

bool LineReader::refill()
{
    if (eof_)
        return false;
    if (begin_ > 0) {
        // Keep the unread tail at the front.
        std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        scan_ = scan_ < begin_ ? 0 : scan_ - begin_;
        begin_ = 0;
    }
    if (end_ == buf_.size())
        buf_.resize(buf_.size() * 2); // a line longer than the buffer (up to kMaxLineBytes)
    const qint64 n = file_.read(buf_.data() + end_, static_cast<qint64>(buf_.size() - end_));
    if (n < 0)
        throw GipsoError(err::FileIo, file_.errorString());
    if (n == 0) {
        eof_ = true;
        return false;
    }
    utf8_.feed(buf_.data() + end_, static_cast<size_t>(n));
    end_ += static_cast<size_t>(n);
    read_ += n;
    if (first_) {
        first_ = false;
        if (end_ >= 3 && std::memcmp(buf_.data(), "\xEF\xBB\xBF", 3) == 0)
            begin_ = scan_ = 3;
    }
    return true;
}

void LineReader::handOut(std::string_view &line, size_t stop, size_t next, bool continues)
{
    offset_ = consumed();
    line = std::string_view(buf_.data() + begin_, stop - begin_);
    begin_ = scan_ = next;
    if (!continues_)
        ++lineNumber_;
    continues_ = continues;
}

bool LineReader::next(std::string_view &line)
{
    for (;;) {
        const char *data = buf_.data();
        const char *hit = findEither(data + std::max(scan_, begin_), data + end_, '\n', '\r');
        if (hit != data + end_) {
            const size_t stop = static_cast<size_t>(hit - data);
            // A CR at the end of the data may be the first half of CR LF.
            if (*hit == '\r' && stop + 1 == end_ && !eof_) {
                scan_ = stop;
                refill(); // moves the data: search again
                continue;
            }
            if (stop - begin_ <= kMaxLineBytes) {
                size_t after = stop + 1;
                if (buf_[stop] == '\r' && after < end_ && buf_[after] == '\n')
                    ++after;
                handOut(line, stop, after, false);
                return true;
            }
        }
        if (end_ - begin_ > kMaxLineBytes) {
            // A piece of a long line, cut before its last '<' when there is one after the start.
            const char *from = data + begin_;
            const void *lt = memrchr(from + 1, '<', kMaxLineBytes - 1);
            const size_t cut = lt ? static_cast<size_t>(static_cast<const char *>(lt) - data) : begin_ + kMaxLineBytes;
            handOut(line, cut, cut, true);
            return true;
        }
        scan_ = end_;
        if (!refill()) {
            if (begin_ >= end_)
                return false;
            handOut(line, end_, end_, false);
            return true;
        }
    }
}

bool LineReader::holdsLineAt(const char *p) const
{
    const char *end = buf_.data() + end_;
    const char *hit = findEither(p, end, '\n', '\r');
    // As next() sees it: no end held, or a CR that may be the first half of CR LF, means reading on.
    if (hit == end || (*hit == '\r' && hit + 1 == end && !eof_))
        return false;
    return static_cast<size_t>(hit - p) <= kMaxLineBytes;
}

void LineReader::resumeAt(const char *p, int64_t lineEnds)
{
    begin_ = scan_ = static_cast<size_t>(p - buf_.data());
    lineNumber_ += lineEnds - 1; // next() counts the line it hands out
    continues_ = false;
}

// ---------------------------------------------------------------------------------------------

namespace {
constexpr double kPowersOfTen[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

bool eightDigits(uint64_t w)
{
    return (((w + 0x4646464646464646) | (w - 0x3030303030303030)) & 0x8080808080808080) == 0;
}

// The value of eight ASCII digits (the first in the lowest byte), three multiplications.
uint32_t valueOfEightDigits(uint64_t w)
{
    w = (w & 0x0F0F0F0F0F0F0F0F) * 2561 >> 8;
    w = (w & 0x00FF00FF00FF00FF) * 6553601 >> 16;
    return static_cast<uint32_t>((w & 0x0000FFFF0000FFFF) * 42949672960001 >> 32);
}

} // namespace

// The digits as an integer and the power of ten are both exact doubles, so their quotient is
// the correctly rounded value, the one from_chars gives.
bool parsePlainDecimal(std::string_view t, double &out)
{
    const char *p = t.data(), *end = p + t.size();
    const bool negative = p < end && *p == '-';
    p += negative;
    const char *first = p;
    uint64_t digits = 0;
    for (; p < end && static_cast<unsigned char>(*p - '0') <= 9; ++p)
        digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    const size_t whole = static_cast<size_t>(p - first);
    size_t decimals = 0;
    if (p < end) {
        if (*p != '.')
            return false;
        first = ++p;
        // Decimals come in runs of ten or so: eight at a time, then one by one. (Past 19
        // digits the integer is garbage; it is not used.)
        for (uint64_t w; end - p >= 8 && (std::memcpy(&w, p, 8), eightDigits(w)); p += 8)
            digits = digits * 100000000 + valueOfEightDigits(w);
        for (; p < end && static_cast<unsigned char>(*p - '0') <= 9; ++p)
            digits = digits * 10 + static_cast<uint64_t>(*p - '0');
        decimals = static_cast<size_t>(p - first);
        if (decimals == 0 || p != end)
            return false;
    }
    if (whole == 0 || whole + decimals > 15)
        return false;
    const double v = static_cast<double>(digits) / kPowersOfTen[decimals];
    out = negative ? -v : v;
    return true;
}

std::optional<double> parseNumber(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+' || text.front() == 'i' || text.front() == 'I' || text.front() == 'n'
        || text.front() == 'N')
        return std::nullopt;
    double v = 0;
    if (parsePlainDecimal(text, v))
        return v;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool isWritableDateValue(double value) { return value >= kFirstDate && value < kPastLastDate; }

size_t findNoCase(std::string_view text, size_t from, std::string_view lowerNeedle)
{
    const char first = lowerNeedle.front();
    const bool letter = first >= 'a' && first <= 'z';
    while (from < text.size()) {
        size_t at;
        if (letter) {
            // Rare in our needles; a plain scan is enough.
            at = npos;
            for (size_t i = from; i < text.size(); ++i)
                if ((text[i] | 0x20) == first) {
                    at = i;
                    break;
                }
        } else {
            at = findByte(text, from, first);
        }
        if (at == npos)
            return npos;
        if (startsWithNoCase(text, at, lowerNeedle))
            return at;
        from = at + 1;
    }
    return npos;
}

// ---------------------------------------------------------------------------------------------

ImportSink::ImportSink(PointStore &store, ImportResult &result, const LineReader &in)
    : store_(store), result_(result), in_(in)
{
}

void ImportSink::append(PointList &list, GpsPoint &&point, qint64 at)
{
    const int slot = kindSlot(store_, list);
    Density &d = density_[slot];
    if (d.appended == 0)
        d.firstAt = at;
    // After a thousand points of a kind the room they took in the file tells how many more may
    // come. Room is only made ahead, so a failed reservation is no error: the list grows as it goes.
    if (++d.appended == 1024 && in_.size() > at) {
        const qint64 perPoint = std::max<qint64>(kSmallestPoint, (at - d.firstAt) / 1023);
        const qint64 more = (in_.size() - at) / perPoint + 16;
        if (more < INT32_MAX - list.count()) {
            try {
                list.reserveMore(static_cast<int32_t>(more));
                adviseLargePages(list, static_cast<size_t>(list.count()) + static_cast<size_t>(more));
            } catch (const std::bad_alloc &) {
            }
        }
    }
    list.append(std::move(point));
    result_.readable = true;
}

void ImportSink::keepRaw(PointList &list, Field field, std::string_view raw, Recode recode)
{
    kept_.push_back({&list, list.count(), field, std::string(raw), recode});
}

void ImportSink::skip(const QString &reason)
{
    if (result_.skipped++ == 0)
        result_.firstProblem = reason;
}

void ImportSink::skip(int64_t line, int reasonId, const char *element)
{
    if (result_.skipped == 0)
        skip(formatMessage(messageText(msg::ProblemAtLine),
                           {qlonglong(line), formatMessage(messageText(reasonId), {QString::fromLatin1(element)})}));
    else
        ++result_.skipped;
}

void ImportSink::finish()
{
    if (in_.utf8())
        return;
    for (const Kept &k : kept_) {
        GpsPoint &p = (*k.list)[k.index];
        (k.field == Field::Name ? p.name : p.description) = k.recode(k.raw, decodeWindows1252);
    }
}

bool ImportSink::progress(const ProgressFn &fn)
{
    if (!fn || in_.consumed() < nextProgress_)
        return true;
    nextProgress_ = in_.consumed() + kProgressStep;
    return fn(in_.consumed(), in_.size());
}

ImportResult importWithinMemory(PointStore &store, const std::function<ImportResult()> &read)
{
    int32_t before[3];
    for (PointKind kind : allPointKinds)
        before[kindIndex(kind)] = store.list(kind).count();
    try {
        return read();
    } catch (const std::bad_alloc &) {
        for (PointKind kind : allPointKinds)
            store.list(kind).truncate(before[kindIndex(kind)]);
        throw GipsoError(err::OutOfMemory, messageText(msg::NotEnoughMemory));
    }
}

// ---------------------------------------------------------------------------------------------

Output::Output(const QString &path) : writer_(path)
{
    QString error;
    if (!writer_.open(&error))
        throw GipsoError(err::PathAccess, error);
    buf_.reserve(kBlock + 4096);
}

void Output::flush()
{
    if (!writer_.write(buf_.data(), static_cast<qint64>(buf_.size())))
        throw GipsoError(err::FileIo, writer_.errorString());
    buf_.clear();
}

void Output::flushIfFull(const ProgressFn &progress, qint64 done, qint64 total)
{
    if (buf_.size() < kBlock)
        return;
    flush();
    // Stopping leaves the old file as it was; the uncommitted temporary is discarded.
    if (progress && !progress(done, total))
        throw GipsoError(err::FileIo, QStringLiteral("stopped"));
}

void Output::commit()
{
    flush();
    QString error;
    if (!writer_.commit(&error))
        throw GipsoError(err::FileIo, error);
}

// ---------------------------------------------------------------------------------------------

QString programSignature()
{
    return QStringLiteral("Gipso %1.%2 - https://gipso.example.org").arg(GIPSO_VERSION_MAJOR).arg(GIPSO_VERSION_MINOR);
}

void appendFixed(std::string &out, double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0.0;
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    const char *start = buf;
    // No "-0.00": a value that rounds to zero is written without a sign.
    if (buf[0] == '-' && std::all_of(buf + 1, r.ptr, [](char c) { return c == '0' || c == '.'; }))
        ++start;
    out.append(start, static_cast<size_t>(r.ptr - start));
}

void appendFixedRight(std::string &out, double value, int decimals, int width)
{
    const size_t at = out.size();
    appendFixed(out, value, decimals);
    const size_t len = out.size() - at;
    if (len < static_cast<size_t>(width))
        out.insert(at, static_cast<size_t>(width) - len, ' ');
}

void appendUtf8(std::string &out, const QString &text)
{
    if (text.isEmpty())
        return;
    const QByteArray u = text.toUtf8();
    out.append(u.constData(), static_cast<size_t>(u.size()));
}

void appendDate(std::string &out, double dateValue)
{
    const QDate d = dateOfValue(isWritableDateValue(dateValue) ? dateValue : 0.0);
    appendTwo(out, d.day());
    out += '/';
    appendTwo(out, d.month());
    out += '/';
    appendYear(out, d.year());
}

void appendTime(std::string &out, double timeValue)
{
    const QTime t = timeOfValue(isWritableDateValue(timeValue) ? timeValue : 0.0);
    appendTwo(out, t.hour());
    out += ':';
    appendTwo(out, t.minute());
    out += ':';
    appendTwo(out, t.second());
}

void appendIsoDateTime(std::string &out, double dateValue, double timeValue)
{
    const QDate d = dateOfValue(isWritableDateValue(dateValue) ? dateValue : 0.0);
    appendYear(out, d.year());
    out += '-';
    appendTwo(out, d.month());
    out += '-';
    appendTwo(out, d.day());
    out += 'T';
    appendTime(out, timeValue);
    out += 'Z';
}

} // namespace gipso::fileio
