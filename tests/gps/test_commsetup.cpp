// What the communication dialog lists and starts with (the dialog itself: tests/ui/test_comm).
#include "gps/CommSetup.h"

#include <gtest/gtest.h>

using namespace gipso;

TEST(CommSetup, PortListAndTheStartPort)
{
    const QStringList system = {"xyS10", "/dev/pts/4", "xyS2", "ttyUSB0"};
    const struct {
        bool gpsd;
        QStringList typed;
        const char *last;
        int serialPort;
        const char *list;
        int start;
    } rows[] = {
        // Natural order; serialPort N is the N-th; none when out of the system's ports.
        {false, {}, "", 4, "/dev/pts/4 ttyUSB0 xyS2 xyS10", 3},
        {false, {}, "", 5, "/dev/pts/4 ttyUSB0 xyS2 xyS10", -1},
        {false, {}, "", 0, "/dev/pts/4 ttyUSB0 xyS2 xyS10", -1},
        // gpsd after the system's ports, then the typed paths and the last device, each once.
        {true, {"/dev/a", "xyS2"}, "/dev/b", 1, "/dev/pts/4 ttyUSB0 xyS2 xyS10 gpsd://localhost:2947 /dev/a /dev/b", 6},
        {true, {"/dev/a"}, "/dev/a", 1, "/dev/pts/4 ttyUSB0 xyS2 xyS10 gpsd://localhost:2947 /dev/a", 5},
        // The last device when it is a system port; a last device no longer listed: serialPort.
        {false, {}, "xyS2", 1, "/dev/pts/4 ttyUSB0 xyS2 xyS10", 2},
    };
    for (const auto &r : rows) {
        const QStringList list = commPortList(system, r.gpsd, r.typed, QLatin1String(r.last));
        EXPECT_EQ(list.join(' '), r.list) << r.last;
        EXPECT_EQ(commStartPort(list, int(system.size()), QLatin1String(r.last), r.serialPort), r.start) << r.last;
    }
    EXPECT_EQ(commStartPort({"ttyS0"}, 1, "/dev/gone", 1), 0);
}

TEST(CommSetup, StartSpeedAndTheTypedInterval)
{
    EXPECT_EQ(commStartBaud(CommMode::NmeaAcquisition), 4800);
    for (CommMode m : {CommMode::DownloadWayPoints, CommMode::DownloadTrackPoints, CommMode::UploadRoutePoints})
        EXPECT_EQ(commStartBaud(m), 9600);
    const struct { const char *text; std::optional<int16_t> value; } rows[] = {
        {"7", 7}, {" 12 ", 12}, {"0", 0}, {"", std::nullopt}, {"abc", std::nullopt}, {"99999", std::nullopt}, {"3.5", std::nullopt}};
    for (const auto &r : rows)
        EXPECT_EQ(nmeaIntervalOfText(QLatin1String(r.text)), r.value) << r.text;
}
