#pragma once

#include <QString>
#include <optional>

namespace gipso {

// Numbers typed into and shown in the windows: the regional decimal separator, never a group
// separator (in Italian "45.500" is refused, not read as 45500; "45,5" is 45.5).
std::optional<double> readRegionalNumber(const QString &text);
// Up to fifteen significant digits, the regional decimal separator.
QString regionalNumber(double value);
// Shortest form of value that reads back, divided by factor, as the same float: an altitude
// of 100 m shows 328.084 in feet, and 122.3 m stays 122.3.
QString regionalNumber(float value, double factor);

} // namespace gipso
