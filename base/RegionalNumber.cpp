#include "base/RegionalNumber.h"

#include <QLocale>
#include <cmath>

namespace gipso {

namespace {
QLocale regional()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}
} // namespace

std::optional<double> readRegionalNumber(const QString &text)
{
    bool ok = false;
    const double v = regional().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString regionalNumber(double value)
{
    // Fifteen significant digits, as a user reads a number: a click's -0.01 is not shown as
    // the -0.010000000000000009 of its binary value.
    return regional().toString(value, 'g', 15);
}

QString regionalNumber(float value, double factor)
{
    const QLocale locale = regional();
    const double shown = double(value) * factor;
    for (int decimals = 0; decimals <= 9; ++decimals) {
        const QString text = locale.toString(shown, 'f', decimals);
        bool ok = false;
        const double back = locale.toDouble(text, &ok);
        if (ok && float(back / factor) == value)
            return text;
    }
    return locale.toString(shown, 'g', QLocale::FloatingPointShortest);
}

} // namespace gipso
