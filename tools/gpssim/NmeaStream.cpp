#include "NmeaStream.h"

#include "base/DateValue.h"
#include "gps/Nmea.h"

#include <QFile>
#include <QStringList>

#include <cmath>
#include <cstdlib>
#include <thread>

using namespace gipso;

namespace gpssim {

namespace {

QString withChecksum(const QString &body)
{
    const QString line = QLatin1Char('$') + body;
    return line + QLatin1Char('*') + QString::number(nmeaChecksum(line.toLatin1()), 16).toUpper().rightJustified(2, u'0') +
           QStringLiteral("\r\n");
}

// ddmm.mmmm (two or three degree digits) and the hemisphere letter.
QString nmeaAngle(double value, int degreeDigits, char positive, char negative)
{
    const qint64 total = std::llround(std::fabs(value) * 600000.0); // ten-thousandths of a minute
    const qint64 degrees = total / 600000;
    const qint64 rest = total % 600000;
    return QStringLiteral("%1%2.%3,%4")
        .arg(degrees, degreeDigits, 10, QLatin1Char('0'))
        .arg(rest / 10000, 2, 10, QLatin1Char('0'))
        .arg(rest % 10000, 4, 10, QLatin1Char('0'))
        .arg(QLatin1Char(value < 0 ? negative : positive));
}

QStringList fixSentences(const GpsPoint &p, const QString &which)
{
    const QTime t = timeOfValue(p.time);
    const QDate d = dateOfValue(p.date);
    const QString hms = t.toString(QStringLiteral("HHmmss")) + QStringLiteral(".00");
    const QString lat = nmeaAngle(p.latitude, 2, 'N', 'S');
    const QString lon = nmeaAngle(p.longitude, 3, 'E', 'W');
    QStringList out;
    if (which != QLatin1String("rmc"))
        out << withChecksum(QStringLiteral("GPGGA,%1,%2,%3,1,08,1.0,%4,M,0.0,M,,")
                                .arg(hms, lat, lon, QString::number(double(p.altitude), 'f', 1)));
    if (which != QLatin1String("gga"))
        out << withChecksum(QStringLiteral("GPRMC,%1,A,%2,%3,0.0,0.0,%4,,")
                                .arg(hms, lat, lon, d.toString(QStringLiteral("ddMMyy"))));
    return out;
}

// The lines of a log as groups, one fix per group: the pause comes after each.
QList<QStringList> logGroups(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        usageError(QStringLiteral("cannot read %1").arg(path));
    QList<QStringList> groups;
    QString firstTag;
    QStringList group;
    while (!f.atEnd()) {
        QString line = QString::fromLatin1(f.readLine());
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        group << line + QStringLiteral("\r\n");
        const QString tag = line.mid(3, 3);
        if (firstTag.isEmpty() && (tag == QLatin1String("GGA") || tag == QLatin1String("RMC")))
            firstTag = tag;
        if (tag == firstTag) { // one fix per epoch: the pause follows it
            groups << group;
            group.clear();
        }
    }
    if (!group.isEmpty())
        groups << group;
    return groups;
}

} // namespace

void streamNmea(const Options &o, PtyLine &line, const PointStore &store)
{
    QList<QStringList> groups;
    if (!o.nmeaLog.isEmpty()) {
        groups = logGroups(o.nmeaLog);
    } else {
        for (const GpsPoint &p : store.trackPoints)
            groups << fixSentences(p, o.nmea);
    }
    do {
        for (const QStringList &group : groups) {
            if (!line.hostPresent()) {
                while (!line.hostPresent()) // the stream starts when a host listens
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                line.restart();
            }
            for (const QString &l : group)
                line.write(l.toLatin1());
            if (o.nmeaInterval > 0)
                line.pause(o.nmeaInterval);
        }
    } while (o.nmeaRepeat && !groups.isEmpty());
    if (o.hangupAtEnd) {
        // Closing the master drops what the host has not read yet: give it time to read.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        line.hangUp();
        std::exit(0);
    }
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

} // namespace gpssim
