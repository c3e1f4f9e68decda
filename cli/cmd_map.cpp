#include "cli/Commands.h"

namespace gipso::cli {

int map(const QStringList &) { return fail(QStringLiteral("map: not available")); }
int render(const QStringList &) { return fail(QStringLiteral("render: not available")); }

} // namespace gipso::cli
