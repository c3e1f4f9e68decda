// Altitude profile: labels and axis texts in both unit systems, the message when there is
// nothing to draw, the place of every point, and the pixels of the drawing.

#include "analysis/AltitudeProfile.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

const double kKm = 1000.0 / 6366707.0 * 180.0 / M_PI; // one kilometre due north
const QSize kSurface(400, 300); // margin lines x 20 and 380, y 20 and 280
const QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255);

// Points due north of (45, 7): (kilometres, altitude, description).
struct At {
    double km;
    float altitude;
    const char *description = "";
};
PointList walk(PointKind kind, std::initializer_list<At> points)
{
    PointList list;
    int n = 0;
    for (const At &a : points)
        list.append(makePoint(kind, QStringLiteral("P%1").arg(++n), 45 + a.km * kKm, 7, a.altitude, {},
                              QString::fromLatin1(a.description)));
    return list;
}

Settings plainSettings(bool autoColour = true)
{
    Settings s;
    s.AutoTrackPointColor = autoColour ? 1 : 0;
    s.TrackPointName = 1;
    return s;
}

QImage drawn(const AltitudeProfile &profile)
{
    QImage image(kSurface, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter p(&image);
    profile.paintSurface(p, kSurface);
    return image;
}

// The colours within a pixel of (x, y).
QSet<QRgb> around(const QImage &image, int x, int y)
{
    QSet<QRgb> colours;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            colours.insert(image.pixel(x + dx, y + dy) | 0xff000000u);
    return colours;
}

// The first and the last row that holds a pixel of the colour.
std::pair<int, int> rowsOf(const QImage &image, QRgb colour)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xff000000u) == colour) {
                if (first < 0)
                    first = y;
                last = y;
            }
    return {first, last};
}

QStringList axisLabels(const AltitudeProfile &p, bool altitude)
{
    QStringList out;
    for (int k = 0; k <= 4; ++k)
        out << (altitude ? p.altitudeLabel(k) : p.lengthLabel(k));
    return out;
}

} // namespace

TEST(Profile, LabelsAndAxesInBothUnitSystems)
{
    setLanguage(kEnglish);
    const PointList route = walk(PointKind::Route, {{0, 100}, {1, 350}, {2, 225}});
    const AltitudeProfile metric(route, ProfileKind::Route, unitSettings(true), plainSettings(), QLocale::c());
    EXPECT_EQ(metric.label1(), "H min: 100.0 m   H max: 350.0 m   Altitude Range: 250.0 m");
    EXPECT_EQ(metric.label2(), "Route length: 2.000 km");
    EXPECT_EQ(axisLabels(metric, true), QStringList({"100", "162", "225", "287", "350"}));
    EXPECT_EQ(axisLabels(metric, false), QStringList({"0.000", "0.500", "1.000", "1.500", "2.000"}));

    const PointList track = walk(PointKind::Track, {{0, 100}, {1, 350}, {2, 225}});
    const AltitudeProfile nautical(track, ProfileKind::Track, unitSettings(false), plainSettings(), QLocale::c());
    EXPECT_EQ(nautical.label1(), "H min: 328.1 ft   H max: 1148.3 ft   Altitude Range: 820.2 ft");
    EXPECT_EQ(nautical.label2(), "Track length: 1.080 NM");
    EXPECT_EQ(axisLabels(nautical, true), QStringList({"328", "533", "738", "943", "1148"}));

    setLanguage(kItalian);
    const AltitudeProfile italian(track, ProfileKind::Track, unitSettings(true), plainSettings(),
                                  QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(italian.label1(), "H min: 100,0 m   H max: 350,0 m   Salto Quota: 250,0 m");
    EXPECT_EQ(italian.label2(), "Lunghezza percorso: 2,000 km");
    setLanguage(kEnglish);

    EXPECT_EQ(profileKindOfMode("2"), ProfileKind::Route);
    EXPECT_EQ(profileKindOfMode("3"), ProfileKind::Track);
    EXPECT_EQ(profileKindOfMode("1"), std::nullopt);
}

TEST(Profile, NothingToDrawWhenAllAltitudesAreEqual)
{
    setLanguage(kEnglish);
    struct Case {
        PointList points;
        bool metric;
        QString message;
    };
    const std::vector<Case> cases = {
        {PointList(), true, "All points altitude is 0.0 m"},
        {walk(PointKind::Track, {{0, 100}}), false, "All points altitude is 328.1 ft"},
        {walk(PointKind::Track, {{0, 250}, {1, 250}, {2, 250, "Second"}}), true, "All points altitude is 250.0 m"},
    };
    for (const Case &c : cases) {
        const AltitudeProfile p(c.points, ProfileKind::Track, unitSettings(c.metric), plainSettings(), QLocale::c());
        EXPECT_TRUE(p.flat());
        EXPECT_EQ(p.flatMessage(), c.message);
    }
}

TEST(Profile, PointsStandBetweenTheMarginLines)
{
    setLanguage(kEnglish);
    // Two tracks: the jump to the second adds no length.
    const PointList track = walk(PointKind::Track, {{0, 100}, {1, 200}, {50, 300, "Second"}, {51, 100}});
    const AltitudeProfile p(track, ProfileKind::Track, unitSettings(true), plainSettings(), QLocale::c());
    EXPECT_NEAR(p.totalLength(), 2.0, 1e-9);
    const std::vector<QPoint> expected = {{20, 280}, {200, 150}, {200, 20}, {380, 280}};
    for (int32_t i = 1; i <= 4; ++i)
        EXPECT_EQ(p.position(i, kSurface), expected[size_t(i - 1)]) << i;

    // Without length (every point starts a track) and with differing altitudes: the left margin.
    const PointList starts = walk(PointKind::Track, {{0, 100, "A"}, {3, 200, "B"}, {5, 300, "C"}});
    const AltitudeProfile q(starts, ProfileKind::Track, unitSettings(true), plainSettings(), QLocale::c());
    EXPECT_EQ(q.position(2, kSurface), QPoint(20, 150));
    EXPECT_EQ(axisLabels(q, false), QStringList({"0.000", "0.000", "0.000", "0.000", "0.000"}));
    EXPECT_EQ(q.label2(), "Track length: 0.000 km");

    // Lists longer than 32767 points.
    PointList longLog;
    for (int i = 0; i < 40000; ++i)
        longLog.append(makePoint(PointKind::Track, {}, 45 + i * kKm / 1000, 7, float(i % 7)));
    const AltitudeProfile r(longLog, ProfileKind::Track, unitSettings(true), plainSettings(), QLocale::c());
    EXPECT_EQ(r.position(40000, kSurface), QPoint(380, 237)); // altitude 1 of 0 to 6
}

TEST(Profile, PositionsTheFormulaeCannotTakeRaiseTheError)
{
    PointList route = walk(PointKind::Route, {{0, 100}, {1, 200}});
    route[2].latitude = 95;
    try {
        const AltitudeProfile p(route, ProfileKind::Route, unitSettings(true), plainSettings(), QLocale::c());
        FAIL() << "no error";
    } catch (const GipsoError &e) {
        setLanguage(kEnglish);
        EXPECT_EQ(errorMessage(e), "ERROR N° 5 - Invalid procedure call or argument");
    }
}

TEST(Profile, DrawsTheGridAndTheTrackColouredByAltitude)
{
    // Climbing to the highest point, then down to the lowest.
    const PointList track = walk(PointKind::Track, {{0, 225}, {1, 350}, {2, 100}});
    const QImage image = drawn(AltitudeProfile(track, ProfileKind::Track, unitSettings(true), plainSettings(), QLocale::c()));
    // The surface is cleared; the grid lines run across it at the margins and the quarters.
    EXPECT_EQ(image.pixel(5, 5), kWhite);
    for (int y : {280, 215, 150, 85, 20})
        EXPECT_EQ(image.pixel(5, y), kBlack) << y;
    for (int x : {20, 110, 200, 290, 380})
        EXPECT_EQ(image.pixel(x, 297), kBlack) << x;
    EXPECT_EQ(image.pixel(5, 100), kWhite);
    // The leg up to the highest point is red and reaches the top margin line; the leg down to
    // the lowest is blue and reaches the bottom one.
    EXPECT_TRUE(around(image, 65, 117).contains(kRed));
    EXPECT_TRUE(around(image, 335, 215).contains(kBlue));
    EXPECT_EQ(rowsOf(image, kRed).first, 20);
    EXPECT_EQ(rowsOf(image, kBlue).second, 280);
}

TEST(Profile, TrackStartsGetASquareAndNoLine)
{
    Settings s = plainSettings(false);
    s.TrackColor = 0x00FF00; // green
    const PointList track = walk(PointKind::Track, {{0, 100}, {1, 200}, {50, 300, "Second"}, {51, 100}});
    const QImage image = drawn(AltitudeProfile(track, ProfileKind::Track, unitSettings(true), s, QLocale::c()));
    const QRgb green = qRgb(0, 255, 0);
    EXPECT_TRUE(around(image, 110, 215).contains(green)); // the first track's leg
    // No line from the end of the first track (200, 150) up to the second's start (200, 20):
    // the grid line at x 200 is all that is there.
    for (int y = 40; y <= 135; ++y)
        ASSERT_EQ(image.pixel(200, y), kBlack) << y;
    // The square around (200, 20), half-size SymbolDim 6, and the description to its right.
    EXPECT_EQ(image.pixel(197, 26), green);
    EXPECT_EQ(image.pixel(194, 17), green);
    int descriptionPixels = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 211; x < 260; ++x)
            descriptionPixels += image.pixel(x, y) == green;
    EXPECT_GT(descriptionPixels, 10);
}
