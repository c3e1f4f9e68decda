#include "NmeaStream.h"

#include "base/DateValue.h"
#include "gps/Nmea.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
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

// The time of each fix, as a receiver gives it: the point's own when it is later than the fix
// before, else one step on, so that the stream's time always advances (across a repeat of the
// stream too). The first fix of points without a date is now.
class FixClock {
public:
    explicit FixClock(int stepMs) : stepMs_(std::max(stepMs, 1000)) {}
    QDateTime next(const GpsPoint &p)
    {
        const QDateTime own = p.date != 0.0 ? QDateTime(dateOfValue(p.date), timeOfValue(p.time), Qt::UTC)
                                            : QDateTime();
        if (!last_.isValid())
            last_ = own.isValid() ? own : QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
        else if (own.isValid() && own > last_)
            last_ = own;
        else
            last_ = last_.addMSecs(stepMs_);
        return last_;
    }

private:
    qint64 stepMs_;
    QDateTime last_;
};

QStringList fixSentences(const GpsPoint &p, const QDateTime &when, const QString &which)
{
    const QDate d = when.date();
    const QString hms = when.time().toString(QStringLiteral("HHmmss")) + QStringLiteral(".00");
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
    const QList<QStringList> logged = o.nmeaLog.isEmpty() ? QList<QStringList>() : logGroups(o.nmeaLog);
    const bool empty = o.nmeaLog.isEmpty() ? store.trackPoints.isEmpty() : logged.isEmpty();
    FixClock clock(o.nmeaInterval);
    auto send = [&](const QStringList &group) {
        if (!line.hostPresent()) {
            while (!line.hostPresent()) // the stream starts when a host listens
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            line.restart();
        }
        for (const QString &l : group)
            line.write(l.toLatin1());
        if (o.nmeaInterval > 0)
            line.pause(o.nmeaInterval);
    };
    do {
        if (o.nmeaLog.isEmpty()) {
            for (const GpsPoint &p : store.trackPoints)
                send(fixSentences(p, clock.next(p), o.nmea));
        } else {
            for (const QStringList &group : logged) // a recorded log keeps its own times
                send(group);
        }
    } while (o.nmeaRepeat && !empty);
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
