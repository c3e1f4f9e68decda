#pragma once

// A Garmin link over the in-memory fake port, in English, collecting warnings and the
// exchange log.

#include "base/Messages.h"
#include "support/FakeLink.h"
#include "gps/GarminLink.h"

#include <gtest/gtest.h>

namespace gipso::test {

struct LinkFixture : ::testing::Test {
    void SetUp() override
    {
        setLanguage(kEnglish);
        fake.open(QStringLiteral("fake"), 9600);
        link.setClock(fake.clock());
        link.setWarning([this](const QString &w) { warnings << w; });
        link.setExchangeLog([this](const QString &l) { log += l; });
    }
    FakeLink fake;
    GarminLink link{fake};
    QStringList warnings;
    QString log;
};

} // namespace gipso::test
