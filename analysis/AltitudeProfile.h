#pragma once

#include "base/DrawingStyle.h"
#include "base/Settings.h"
#include "geo/NavFormulae.h"
#include "points/PointStore.h"

#include <QLocale>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

class QPainter;

namespace gipso {

// The two profiles: the route's RoutePoints or the track log's TrackPoints, in list order.
enum class ProfileKind { Route, Track };
// The window's mode tag: "2" the route, "3" the track log; nothing for any other tag.
std::optional<ProfileKind> profileKindOfMode(const QString &mode);

// Altitude against distance travelled. The drawing surface leaves a margin of 20 pixels on
// every side: distance 0 on the left margin line, the whole length on the right one, the lowest
// altitude on the bottom margin line and the highest on the top one. On the track log the jump
// from one track to the start of the next adds no length and is drawn as no line.
class AltitudeProfile {
public:
    static constexpr int kMargin = 20;

    // Raises GipsoError when a leg has no rhumb line (a latitude of -90, or one beyond 90). The
    // list must outlive the profile.
    AltitudeProfile(const PointList &points, ProfileKind kind, const UnitSettings &units, const Settings &settings,
                    const QLocale &locale = QLocale());
    AltitudeProfile(PointList &&, ProfileKind, const UnitSettings &, const Settings &, const QLocale & = QLocale()) = delete;

    // All points at one altitude (or none, or one point): there is nothing to draw, and
    // flatMessage() says so ("All points altitude is 0.0 m").
    bool flat() const { return maxAltitude_ == minAltitude_; }
    QString flatMessage() const;

    // In display units.
    double minAltitude() const { return minAltitude_; }
    double maxAltitude() const { return maxAltitude_; }
    double totalLength() const { return total_; }

    // "H min: ...   H max: ...   Altitude Range: ..." and "Route length: ..." / "Track length: ...".
    const QString &label1() const { return label1_; }
    const QString &label2() const { return label2_; }
    // The axis labels k = 0 to 4, bottom to top and left to right (Laby and Labx).
    QString altitudeLabel(int k) const;
    QString lengthLabel(int k) const;

    // Where point i (1 to count) lies on a drawing surface of the given size.
    QPoint position(int32_t i, QSize surface) const;
    // The grid lines: k = 0 to 4, the altitude lines bottom to top, the length lines left to right.
    static int altitudeLineY(int k, QSize surface);
    static int lengthLineX(int k, QSize surface);

    // The drawing surface alone (picAlt): cleared, then the grid, the line, the marks and names.
    void paintSurface(QPainter &painter, QSize surface) const;
    // The surface with the axis labels around it, filling area; surfaceRect tells where the
    // surface lies in it.
    void paintChart(QPainter &painter, const QRect &area) const;
    QRect surfaceRect(const QPainter &painter, const QRect &area) const;
    // The whole picture as the window shows it: Label1 and Label2 above the chart.
    void paint(QPainter &painter, QSize size) const;

private:
    void paintRoute(QPainter &painter, QSize surface) const;
    void paintTrack(QPainter &painter, QSize surface) const;
    void writeName(QPainter &painter, QPoint topLeft, const QString &text, QSize surface) const;

    const PointList &points_;
    ProfileKind kind_;
    UnitSettings units_;
    Settings settings_;
    DrawingSizes sizes_;
    QLocale locale_;
    std::vector<double> distance_; // d(i) in display units, index 0 unused
    double minAltitude_ = 0, maxAltitude_ = 0, total_ = 0;
    QString label1_, label2_;
};

} // namespace gipso
