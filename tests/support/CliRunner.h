#pragma once

// Runs gipso-cli, or a peer program (gpsbabel, xmllint), to the end and collects what it wrote.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace gipso::test {

struct CliRun {
    int status = -1; // the exit code; -1 when the program did not start, crashed or hung
    QString out;
    QString err;
    // The lines of stderr that are gipso-cli's own ("gipso-cli: ..."), without Qt's notices.
    QStringList errorLines() const;
};

// Waits in a local event loop, so that a pty feeder or a timer of the same test keeps
// running meanwhile; a program still running after timeoutMs is killed.
CliRun runProgram(const QString &program, const QStringList &args,
                  const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(), int timeoutMs = 60000);
// gipso-cli of this build.
CliRun runCli(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

bool haveProgram(const QString &name);

} // namespace gipso::test
