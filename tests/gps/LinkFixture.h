#pragma once

// A Garmin link over the in-memory fake port, in English, collecting warnings and the
// exchange log; the errors of the calls tested; points as one line of text.

#include "base/Error.h"
#include "base/Messages.h"
#include "gps/GarminLink.h"
#include "support/FakeLink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace gipso::test {

// The error a call raises, as "number - description"; "no error" when it returns.
template <typename Call> QString errorOf(Call &&call)
{
    try {
        call();
    } catch (const GipsoError &e) {
        return QString::number(e.number()) + QLatin1String(" - ") + e.description();
    }
    return QStringLiteral("no error");
}

// "WP lat lon alt name|description dd/MM/yyyy hh:mm:ss", positions to 1e-7 degree (-0 shows).
inline QString pointText(const GpsPoint &p)
{
    return QLatin1String(kindTag(p.kind).data(), 2) + QString::asprintf(" %.7f %.7f %g ", p.latitude, p.longitude, p.altitude) + p.name +
           u'|' + p.description + u' ' + stamp(p);
}
inline QStringList pointTexts(const PointList &list)
{
    QStringList out;
    for (const GpsPoint &p : list)
        out << pointText(p);
    return out;
}

struct LinkFixture : ::testing::Test {
    void SetUp() override
    {
        setLanguage(kEnglish);
        link.setClock(fake.clock());
    }
    LinkSetup setup()
    {
        LinkSetup s;
        s.exchangeLog = [this](const QString &l) { log += l; };
        s.warning = [this](const QString &w) { warnings << w; };
        return s;
    }
    FakeLink fake;
    QStringList warnings;
    QString log;
    GarminLink link{fake, setup()};
};

} // namespace gipso::test
