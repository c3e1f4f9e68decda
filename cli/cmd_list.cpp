#include "cli/Commands.h"

namespace gipso::cli {

int list(const QStringList &) { return fail(QStringLiteral("list: not available yet")); }

} // namespace gipso::cli
