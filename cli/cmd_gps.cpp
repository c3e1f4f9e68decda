#include "cli/Commands.h"

namespace gipso::cli {

int download(const QStringList &) { return fail(QStringLiteral("download: not available")); }
int upload(const QStringList &) { return fail(QStringLiteral("upload: not available")); }

} // namespace gipso::cli
