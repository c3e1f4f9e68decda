#include "base/DateValue.h"

#include <cmath>

namespace gipso {

namespace {
const QDate kEpoch(1899, 12, 30);

// Splits a value into whole days and whole seconds of the day, rounding to the second.
void splitValue(double value, qint64 &days, int &seconds)
{
    // Outside years 100 to 9999 (and for NaN) a value has no calendar day: show the epoch.
    if (!std::isfinite(value) || value < -657434.0 || value > 2958466.0) {
        days = 0;
        seconds = 0;
        return;
    }
    double whole = std::trunc(value);
    double frac = std::fabs(value - whole);
    days = static_cast<qint64>(whole);
    seconds = static_cast<int>(std::llround(frac * 86400.0));
    if (seconds >= 86400) { // rounding reached the next midnight
        seconds -= 86400;
        days += value < 0 ? -1 : 1;
    }
}

QString twoDigits(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }

bool readInt(QStringView s, int &out)
{
    if (s.isEmpty() || s.size() > 9)
        return false;
    int v = 0;
    for (QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
    }
    out = v;
    return true;
}
} // namespace

double toDateValue(const QDate &date, const QTime &time)
{
    double days = static_cast<double>(kEpoch.daysTo(date));
    double frac = time.isValid() ? time.msecsSinceStartOfDay() / 86400000.0 : 0.0;
    return days >= 0 ? days + frac : days - frac;
}

double toDateValue(const QDateTime &dt) { return toDateValue(dt.date(), dt.time()); }

QDate dateOfValue(double value)
{
    qint64 days;
    int seconds;
    splitValue(value, days, seconds);
    return kEpoch.addDays(days);
}

QTime timeOfValue(double value)
{
    qint64 days;
    int seconds;
    splitValue(value, days, seconds);
    return QTime(0, 0).addSecs(seconds);
}

QString formatDateValue(double value)
{
    QDate d = dateOfValue(value);
    return twoDigits(d.day()) + QLatin1Char('/') + twoDigits(d.month()) + QLatin1Char('/')
        + QString::number(d.year()).rightJustified(4, QLatin1Char('0'));
}

QString formatTimeValue(double value)
{
    QTime t = timeOfValue(value);
    return twoDigits(t.hour()) + QLatin1Char(':') + twoDigits(t.minute()) + QLatin1Char(':') + twoDigits(t.second());
}

std::optional<double> parseDateText(QStringView text)
{
    text = text.trimmed();
    qsizetype a = text.indexOf(QLatin1Char('/'));
    qsizetype b = a < 0 ? -1 : text.indexOf(QLatin1Char('/'), a + 1);
    if (a < 0 || b < 0)
        return std::nullopt;
    int d, m, y;
    if (!readInt(text.left(a), d) || !readInt(text.mid(a + 1, b - a - 1), m) || !readInt(text.mid(b + 1), y))
        return std::nullopt;
    QDate date(y, m, d);
    if (!date.isValid())
        return std::nullopt;
    return toDateValue(date);
}

std::optional<double> parseTimeText(QStringView text)
{
    text = text.trimmed();
    qsizetype a = text.indexOf(QLatin1Char(':'));
    if (a < 0)
        return std::nullopt;
    qsizetype b = text.indexOf(QLatin1Char(':'), a + 1);
    int h, n, s = 0;
    if (!readInt(text.left(a), h))
        return std::nullopt;
    if (b < 0) {
        if (!readInt(text.mid(a + 1), n))
            return std::nullopt;
    } else if (!readInt(text.mid(a + 1, b - a - 1), n) || !readInt(text.mid(b + 1), s)) {
        return std::nullopt;
    }
    if (h > 23 || n > 59 || s > 59)
        return std::nullopt;
    return (h * 3600 + n * 60 + s) / 86400.0;
}

} // namespace gipso
