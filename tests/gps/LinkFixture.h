#pragma once

// A Garmin link over the in-memory fake port, in English, collecting warnings and the
// exchange log.

#include "base/Messages.h"
#include "gps/GarminLink.h"
#include "support/FakeLink.h"

#include <gtest/gtest.h>

namespace gipso::test {

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
