#include "cli/Commands.h"

namespace gipso::cli {

int render(const QStringList &) { return fail(QStringLiteral("render: not available")); }

} // namespace gipso::cli
