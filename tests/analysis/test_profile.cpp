// Altitude profile: its texts in both unit systems, the message when there is nothing to draw,
// the place of every point and the pixels of the drawing.
#include "analysis/AltitudeProfile.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

const double kKm = 1000.0 / 6366707.0 * 180.0 / M_PI; // degrees of latitude of one kilometre
const QSize kSurface(400, 300); // margin lines at x 20 and 380, y 20 and 280

// Points km kilometres north of (45, 7).
PointList walk(std::initializer_list<std::tuple<double, float, const char *>> points, PointKind kind = PointKind::Track)
{
    PointList list;
    for (const auto &[km, alt, description] : points)
        list.append(makePoint(kind, "P", 45 + km * kKm, 7, alt, {}, description));
    return list;
}

// The profile keeps a reference to the list: the list must outlive it.
AltitudeProfile profileOf(const PointList &points, bool metric = true, const Settings &s = {}, ProfileKind kind = ProfileKind::Track)
{
    return AltitudeProfile(points, kind, unitSettings(metric), s, QLocale::c());
}

QStringList axis(const AltitudeProfile &p, bool altitude)
{
    QStringList out;
    for (int k = 0; k <= 4; ++k)
        out << (altitude ? p.altitudeLabel(k) : p.lengthLabel(k));
    return out;
}

QImage drawn(const AltitudeProfile &profile)
{
    QImage image(kSurface, QImage::Format_RGB32);
    QPainter p(&image);
    profile.paintSurface(p, kSurface);
    return image;
}

// The rows of the first and the last pixel of a colour.
std::pair<int, int> rowsOf(const QImage &image, QRgb colour)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                last = y, first = first < 0 ? y : first;
    return {first, last};
}

} // namespace

TEST(Profile, TextsInBothUnitSystems)
{
    setLanguage(kEnglish);
    const PointList points = walk({{0, 100, ""}, {1, 350, ""}, {2, 225, ""}}, PointKind::Route);
    const AltitudeProfile metric = profileOf(points, true, {}, ProfileKind::Route), nautical = profileOf(points, false);
    EXPECT_EQ(QStringList({metric.label1(), metric.label2(), nautical.label1(), nautical.label2()}),
              QStringList({"H min: 100.0 m   H max: 350.0 m   Altitude Range: 250.0 m", "Route length: 2.000 km",
                           "H min: 328.1 ft   H max: 1148.3 ft   Altitude Range: 820.2 ft", "Track length: 1.080 NM"}));
    EXPECT_EQ(axis(metric, true), QStringList({"100", "162", "225", "287", "350"}));
    EXPECT_EQ(axis(metric, false), QStringList({"0.000", "0.500", "1.000", "1.500", "2.000"}));
    EXPECT_EQ(axis(nautical, true), QStringList({"328", "533", "738", "943", "1148"}));

    // Nothing to draw: all at one altitude, or no points.
    const PointList level = walk({{0, 250, ""}, {1, 250, ""}, {2, 250, "Second"}}), none;
    EXPECT_EQ(profileOf(level, false).flatMessage(), "All points altitude is 820.2 ft");
    EXPECT_TRUE(profileOf(none).flat());
    EXPECT_EQ(profileOf(none).flatMessage(), "All points altitude is 0.0 m");
}

TEST(Profile, TwoTracksJoinWithoutLengthOrLine)
{
    Settings s;
    s.AutoTrackPointColor = 0, s.TrackColor = 0x00FF00;
    const PointList points = walk({{0, 100, ""}, {1, 200, ""}, {50, 300, "Second"}, {51, 100, ""}});
    const AltitudeProfile two = profileOf(points, true, s);
    EXPECT_EQ(QList<QPoint>({two.position(1, kSurface), two.position(2, kSurface), two.position(3, kSurface), two.position(4, kSurface)}),
              QList<QPoint>({{20, 280}, {200, 150}, {200, 20}, {380, 280}}));
    const QImage image = drawn(two);
    const QRgb green = qRgb(0, 255, 0);
    EXPECT_EQ(image.pixel(110, 215), green); // the first track
    // From the first track's end (200, 150) to the second's start (200, 20): only the grid line.
    for (int y = 40; y <= 135; ++y)
        ASSERT_EQ(image.pixel(200, y), qRgb(0, 0, 0)) << y;
    // The square around (200, 20), SymbolDim 6 either side.
    EXPECT_EQ(image.pixel(197, 26), green);
    EXPECT_EQ(image.pixel(194, 17), green);
}

TEST(Profile, NoLengthLongLogsAndFormulaErrors)
{
    // No length (every point starts a track) but differing altitudes: the left margin line.
    const PointList starts = walk({{0, 100, "A"}, {3, 200, "B"}, {5, 300, "C"}});
    const AltitudeProfile none = profileOf(starts);
    EXPECT_EQ(none.position(2, kSurface), QPoint(20, 150));
    EXPECT_EQ(axis(none, false), QStringList({"0.000", "0.000", "0.000", "0.000", "0.000"}));

    PointList longLog; // more than 32767 points; the last at altitude 1 of 0 to 6
    for (int i = 0; i < 40000; ++i)
        longLog.append(makePoint(PointKind::Track, {}, 45 + i * kKm / 1000, 7, float(i % 7)));
    EXPECT_EQ(profileOf(longLog).position(40000, kSurface), QPoint(380, 237));

    PointList beyond = walk({{0, 100, ""}, {1, 200, ""}}, PointKind::Route);
    beyond[2].latitude = 95; // no rhumb line: the error, not a NaN
    EXPECT_THROW(profileOf(beyond, true, {}, ProfileKind::Route), GipsoError);
}

TEST(Profile, DrawsTheGridAndTheTrackColouredByAltitude)
{
    // Up to the highest point, then down to the lowest.
    const QImage image = drawn(profileOf(walk({{0, 225, ""}, {1, 350, ""}, {2, 100, ""}})));
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), black = qRgb(0, 0, 0);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(image.pixel(5, 280 - 65 * k), black);
        EXPECT_EQ(image.pixel(20 + 90 * k, 297), black);
    }
    EXPECT_EQ(image.pixel(5, 100), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(65, 117), red);       // on the leg up to the highest point
    EXPECT_EQ(image.pixel(335, 216), blue);     // on the leg down to the lowest
    EXPECT_EQ(rowsOf(image, red).first, 20);    // the top margin line
    EXPECT_EQ(rowsOf(image, blue).second, 280); // the bottom one
}
