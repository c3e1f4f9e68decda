#include "analysis/Analysis.h"

#include "base/DateValue.h"

#include <cmath>

namespace gipso {

double pointMoment(const GpsPoint &point)
{
    const double day = std::floor(point.date);
    const double timeOfDay = point.time - std::floor(point.time);
    return day + timeOfDay;
}

} // namespace gipso

namespace gipso {

int64_t timeStep(const GpsPoint &a, const GpsPoint &b)
{
    return std::llround((pointMoment(b) - pointMoment(a)) * 86400.0);
}

namespace {

// The first separator of a date or time format of the locale ("dd.MM.yy" gives "."), quoted
// text passed over; the fallback when there is none.
QChar formatSeparator(const QString &format, QChar fallback)
{
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && !c.isLetterOrNumber() && !c.isSpace())
            return c;
    }
    return fallback;
}

} // namespace

QChar dateSeparator(const QLocale &locale)
{
    return locale.language() == QLocale::C ? QChar(u'/') : formatSeparator(locale.dateFormat(QLocale::ShortFormat), u'/');
}

QChar timeSeparator(const QLocale &locale)
{
    return locale.language() == QLocale::C ? QChar(u':') : formatSeparator(locale.timeFormat(QLocale::ShortFormat), u':');
}

QString fixedNumber(double value, int decimals, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = plain.toString(value, 'f', decimals);
    // A value that rounds to zero shows without its sign.
    if (text.startsWith(plain.negativeSign()) && plain.toDouble(text) == 0.0)
        text.remove(0, plain.negativeSign().size());
    return text;
}

QString dateText(double value, const QLocale &locale)
{
    return formatDateValue(value).replace(u'/', dateSeparator(locale));
}

QString timeText(double value, const QLocale &locale)
{
    return formatTimeValue(value).replace(u':', timeSeparator(locale));
}

QString durationText(int64_t seconds, const QLocale &locale)
{
    const uint64_t magnitude = seconds < 0 ? 0 - static_cast<uint64_t>(seconds) : static_cast<uint64_t>(seconds);
    const QChar sep = timeSeparator(locale);
    auto two = [](uint64_t v) { return QString::number(v).rightJustified(2, u'0'); };
    return (seconds < 0 ? QStringLiteral("-") : QString()) + two(magnitude / 3600) + sep + two(magnitude / 60 % 60) + sep +
           two(magnitude % 60);
}

} // namespace gipso
