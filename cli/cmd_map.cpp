#include "cli/Commands.h"

namespace gipso::cli {

int map(const QStringList &) { return fail(QStringLiteral("map: not available")); }

} // namespace gipso::cli
