#pragma once

#include "geo/NavFormulae.h"
#include "points/PointStore.h"

#include <QString>
#include <cstdint>

namespace gipso {

// How the list writes decimals, dates and times. The window follows the regional settings;
// gipso-cli writes "." and "/" ":" as the point files do.
struct ListSeparators {
    QString decimalPoint = QStringLiteral(".");
    QString date = QStringLiteral("/");
    QString time = QStringLiteral(":");
};
// The separators of the regional settings in force (the default locale).
ListSeparators regionalSeparators();

// Lines 0 to 3 of the list are headings; from line 4 on, one line per point, and on the route a
// leg line between consecutive points. The point a line shows (1 to count), 0 when none.
int32_t pointAtLine(PointKind kind, int32_t count, int32_t line);
// The line that shows point index.
int32_t lineOfPoint(PointKind kind, int32_t index);

// The points list of one kind as a fixed-column text, with its summary labels. Lines are made
// when asked for, so that a track log of a million points is never held as one text; the
// lengths and the orthodrome are summed once, here. The list must outlive this object; a
// line of a point that is gone since reads as empty.
class PointListText {
public:
    PointListText(const PointList &points, PointKind kind, const UnitSettings &units, ListSeparators separators = {});
    PointListText(PointList &&, PointKind, const UnitSettings &, ListSeparators = {}) = delete; // it keeps a reference

    PointKind kind() const { return kind_; }
    int32_t pointCount() const { return count_; }
    int32_t lineCount() const { return lineCount_; }
    // Line i (0 to lineCount - 1), without its line end.
    QString line(int32_t i) const;
    // Lines first to last, each ended by lineEnd.
    QString text(int32_t first, int32_t last, const QString &lineEnd) const;
    QString text(const QString &lineEnd) const { return text(0, lineCount_ - 1, lineEnd); }
    int32_t pointAtLine(int32_t line) const { return gipso::pointAtLine(kind_, count_, line); }
    // Characters of the longest line.
    int32_t widestLine() const { return widest_; }

    // "N° n WayPoints." and the like.
    const QString &countLabel() const { return countLabel_; }
    // Route or track length, and the orthodrome from the first to the last point; empty for
    // WayPoints.
    const QString &lengthLabel() const { return lengthLabel_; }
    const QString &orthodromeLabel() const { return orthodromeLabel_; }

private:
    QString pointLine(int32_t index) const;
    QString legLine(int32_t to) const;
    QString fixed(double value, int decimals) const;

    const PointList &points_;
    PointKind kind_;
    UnitSettings units_;
    ListSeparators separators_;
    int32_t count_ = 0;
    int32_t lineCount_ = 0;
    int32_t widest_ = 0;
    QString title_, header_;
    QString countLabel_, lengthLabel_, orthodromeLabel_;
};

} // namespace gipso
