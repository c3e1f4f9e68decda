#include "cli/Commands.h"

namespace gipso::cli {

int stats(const QStringList &) { return fail(QStringLiteral("stats: not available yet")); }

} // namespace gipso::cli
