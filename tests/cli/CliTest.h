#pragma once

#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gipso::test {

// gipso-cli in English, without a display, with a folder and a configuration of its own.
class CliTest : public ::testing::Test {
protected:
    CliTest()
    {
        QDir().mkpath(path(QStringLiteral("config")));
        env.insert(QStringLiteral("GIPSO_CONFIG_DIR"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_GB.UTF-8"));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString inDir(QString text) const { return text.replace(u'@', dir.path() + u'/'); }
    // The arguments split at blanks, "@" standing for the folder.
    CliRun run(const QString &args) const { return runCli(inDir(args).split(u' '), env); }
    // Each command fails with status 1, nothing on stdout and one error line: its own, or one that
    // starts with it where it ends in a blank (the system words the reason). No file is made.
    void expectFailures(const std::vector<std::pair<QString, QString>> &rows) const
    {
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        for (const auto &[args, line] : rows) {
            SCOPED_TRACE(args.toStdString());
            const CliRun r = run(args);
            const QString expected = QStringLiteral("gipso-cli: ") + inDir(line), got = r.errorLines().value(0);
            EXPECT_EQ(r.status, 1);
            EXPECT_TRUE(r.out.isEmpty());
            EXPECT_EQ(r.errorLines().size(), 1) << r.err.toStdString();
            if (expected.endsWith(u' '))
                EXPECT_TRUE(got.startsWith(expected) && got.size() > expected.size()) << got.toStdString();
            else
                EXPECT_EQ(got, expected);
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
    }
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

} // namespace gipso::test
