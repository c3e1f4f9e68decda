#include "support/CliRunner.h"

#include "support/TestSupport.h"

#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

namespace gipso::test {

QStringList CliRun::errorLines() const
{
    return err.split(u'\n', Qt::SkipEmptyParts).filter(QRegularExpression(QStringLiteral("^gipso-cli: ")));
}

CliRun runProgram(const QString &program, const QStringList &args, const QProcessEnvironment &env, int timeoutMs)
{
    QProcess p;
    p.setProcessEnvironment(env);
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    p.start(program, args);
    if (p.state() != QProcess::NotRunning) // a program that is not there fails inside start()
        loop.exec();
    CliRun r;
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    } else if (p.error() != QProcess::FailedToStart && p.exitStatus() == QProcess::NormalExit) {
        r.status = p.exitCode();
    }
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

CliRun runCli(const QStringList &args, const QProcessEnvironment &env)
{
    return runProgram(buildDir() + QStringLiteral("/gipso-cli"), args, env);
}

bool haveProgram(const QString &name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

} // namespace gipso::test
