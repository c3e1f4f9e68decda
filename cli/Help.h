#pragma once

#include <QString>

namespace gipso::cli {

// What gipso-cli says about itself: --help, help COMMAND, --version, and the usage line shown
// after an argument mistake.

// Every command, one line each.
QString usageText();
// "usage: gipso-cli COMMAND ARGUMENTS...", one line; empty for an unknown command.
QString commandUsage(const QString &command);
// The usage line, what the command does and its options; empty for an unknown command.
QString commandHelp(const QString &command);
QString versionText();

} // namespace gipso::cli
