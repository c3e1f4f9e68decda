#pragma once

// A Garmin link over the in-memory fake port, in English, collecting warnings and the
// exchange log; and the errors of the calls tested.

#include "base/Error.h"
#include "base/Messages.h"
#include "gps/GarminLink.h"
#include "support/FakeLink.h"

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
