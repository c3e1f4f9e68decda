#include "analysis/Analysis.h"

#include <cmath>

namespace gipso {

double pointMoment(const GpsPoint &point)
{
    const double day = std::floor(point.date);
    const double timeOfDay = point.time - std::floor(point.time);
    return day + timeOfDay;
}

} // namespace gipso
