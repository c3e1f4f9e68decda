#include "cli/Commands.h"

namespace gipso::cli {

int convert(const QStringList &) { return fail(QStringLiteral("convert: not available")); }
int info(const QStringList &) { return fail(QStringLiteral("info: not available")); }

} // namespace gipso::cli
