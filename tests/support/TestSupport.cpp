#include "support/TestSupport.h"

#include "base/DateValue.h"

#include <QFile>

namespace gipso::test {

QString testData(const QString &relative)
{
    QString d = qEnvironmentVariable("GIPSO_TESTDATA");
    if (d.isEmpty())
        d = qEnvironmentVariable("GIPSO_SOURCE_DIR") + QStringLiteral("/../shared/testdata");
    return d + QLatin1Char('/') + relative;
}

QString buildDir() { return QStringLiteral(GIPSO_BUILD_DIR); }

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    if (QFile f(path); f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

GpsPoint makePoint(PointKind kind, const QString &name, double lat, double lon, float alt, const QDateTime &when,
                   const QString &description)
{
    GpsPoint p{lat, lon, alt, 0, 0, kind, name, description};
    if (when.isValid()) {
        p.date = toDateValue(when.date());
        p.time = toDateValue(QDate(1899, 12, 30), when.time());
    }
    return p;
}

QString stamp(const GpsPoint &p) { return formatDateValue(p.date) + QLatin1Char(' ') + formatTimeValue(p.time); }

QByteArray withNmeaSum(const QByteArray &sentence)
{
    unsigned char x = 0;
    for (qsizetype i = 1; i < sentence.size(); ++i)
        x ^= static_cast<unsigned char>(sentence[i]);
    return sentence + '*' + QByteArray::number(x, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

} // namespace gipso::test
