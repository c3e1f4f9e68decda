#include "cli/Commands.h"

namespace gipso::cli {

int nmea(const QStringList &) { return fail(QStringLiteral("nmea: not available")); }

} // namespace gipso::cli
