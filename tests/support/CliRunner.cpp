#include "support/CliRunner.h"

#include "support/TestSupport.h"

#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
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

QProcessEnvironment cliEnvironment(const QString &configDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("GIPSO_CONFIG_DIR"), configDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

bool haveProgram(const QString &name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

QImage pdfPage(const QString &pdf)
{
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("page"));
    runProgram(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"),
                                            QStringLiteral("-singlefile"), pdf, page});
    return QImage(page + QStringLiteral(".png"));
}

} // namespace gipso::test
