#include "cli/Commands.h"

namespace gipso::cli {

int profile(const QStringList &) { return fail(QStringLiteral("profile: not available yet")); }

} // namespace gipso::cli
