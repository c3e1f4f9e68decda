#pragma once

#include "points/PointStore.h"

namespace gipso {

// The moment of a point as the program shows and writes it: the calendar day of its date and
// the time of day of its time (a point whose two fields both hold the full moment, as after a
// Reverse, counts once).
double pointMoment(const GpsPoint &point);

} // namespace gipso
