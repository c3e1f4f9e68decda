#include "cli/Options.h"

#include "gps/SerialLink.h"

#include <algorithm>
#include <cmath>

namespace gipso::cli {

namespace {

bool &mistake()
{
    static bool reported = false;
    return reported;
}

QString rangeText(const QString &what, double min, double max)
{
    const bool open = std::isinf(max) || max == INT_MAX;
    return open ? QStringLiteral("%1 of at least %2").arg(what, QString::number(min))
                : QStringLiteral("%1 from %2 to %3").arg(what, QString::number(min), QString::number(max));
}

} // namespace

Options::Options(const QString &command, const QStringList &args, const QStringList &valueOptions,
                 const QStringList &flags)
    : m_command(command)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (valueOptions.contains(a)) {
            if (has(a))
                reject(QStringLiteral("%1 given more than once").arg(a));
            else if (i + 1 >= args.size() || args[i + 1].isEmpty())
                reject(QStringLiteral("%1 needs a value").arg(a));
            else
                m_values.insert(a, args[i + 1]);
            ++i;
        } else if (flags.contains(a)) {
            m_values.insert(a, QString());
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            reject(QStringLiteral("unknown option '%1'").arg(a));
        } else {
            m_positional << a;
        }
    }
}

void Options::readInt(const QString &name, int &out, int min, int max)
{
    if (!has(name))
        return;
    bool ok = false;
    const int n = value(name).toInt(&ok);
    if (ok && n >= min && n <= max)
        out = n;
    else
        reject(QStringLiteral("%1 needs %2").arg(name, rangeText(QStringLiteral("a whole number"), min, max)));
}

void Options::readDouble(const QString &name, double &out, double min, double max, const QString &note)
{
    if (!has(name))
        return;
    bool ok = false;
    const double x = value(name).toDouble(&ok);
    if (ok && std::isfinite(x) && x >= min && x <= max)
        out = x;
    else
        reject(QStringLiteral("%1 needs %2%3")
                   .arg(name, rangeText(QStringLiteral("a number"), min, max), note.isEmpty() ? QString() : u' ' + note));
}

void Options::readIntPair(const QString &name, QChar separator, const QString &form, int &first, int &second,
                          int min, int max)
{
    if (!has(name))
        return;
    const QStringList parts = value(name).split(separator);
    bool ok1 = false, ok2 = false;
    const int a = parts.size() == 2 ? parts[0].toInt(&ok1) : 0;
    const int b = parts.size() == 2 ? parts[1].toInt(&ok2) : 0;
    if (ok1 && ok2 && a >= min && a <= max && b >= min && b <= max) {
        first = a;
        second = b;
    } else {
        reject(QStringLiteral("%1 needs %2, each %3").arg(name, form, rangeText(QStringLiteral("a whole number"), min, max)));
    }
}

void Options::rejectExtra(qsizetype allowed)
{
    if (m_positional.size() > allowed)
        reject(QStringLiteral("unexpected argument '%1'").arg(m_positional[allowed]));
}

void Options::readBaud(const QString &name, int &out)
{
    if (!has(name))
        return;
    bool ok = false;
    const int n = value(name).toInt(&ok);
    if (ok && std::find(kBaudRates.begin(), kBaudRates.end(), n) != kBaudRates.end()) {
        out = n;
        return;
    }
    QStringList rates;
    for (int rate : kBaudRates)
        rates << QString::number(rate);
    reject(QStringLiteral("%1 %2 is not a rate the dialog offers (%3)").arg(name, value(name), rates.join(QStringLiteral(", "))));
}

void Options::reject(const QString &text)
{
    mistake() = true;
    if (m_error.isEmpty())
        m_error = m_command + QStringLiteral(": ") + text;
}

bool Options::mistakeReported() { return mistake(); }

} // namespace gipso::cli
