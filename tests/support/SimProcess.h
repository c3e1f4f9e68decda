#pragma once

// Runs gipso-gpssim for a test and hands out the path of its pseudo-terminal.

#include "support/TestSupport.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace gipso::test {

class SimProcess {
public:
    explicit SimProcess(const QStringList &args)
    {
        proc_.setProgram(buildDir() + QStringLiteral("/tools/gipso-gpssim"));
        proc_.setArguments(args);
        proc_.setProcessChannelMode(QProcess::SeparateChannels);
        proc_.start();
        if (!proc_.waitForStarted(5000))
            return;
        while (!proc_.canReadLine() && proc_.waitForReadyRead(5000)) {
        }
        path_ = QString::fromLocal8Bit(proc_.readLine()).trimmed();
    }
    ~SimProcess()
    {
        proc_.terminate();
        if (!proc_.waitForFinished(3000))
            proc_.kill();
        proc_.waitForFinished(3000);
    }

    const QString &path() const { return path_; }
    bool ok() const { return path_.startsWith(QLatin1String("/dev/")); }
    QString errors() { return QString::fromLocal8Bit(proc_.readAllStandardError()); }

private:
    QProcess proc_;
    QString path_;
};

} // namespace gipso::test
