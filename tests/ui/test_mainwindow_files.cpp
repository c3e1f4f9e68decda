// What the main window says when its own files cannot be written.

#include "MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

TEST(MainWindowFiles, SettingsThatCannotBeSavedAtExitAreShown)
{
    MainWindowFixture f;
    // A folder where Gipso.cfg should be: it is left as it is.
    QFile::remove(f.env.configFile);
    ASSERT_TRUE(QDir().mkdir(f.env.configFile));
    EXPECT_TRUE(f.window->close());
    EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("The settings could not be saved in %1: not a regular file, left as it is")
                                        .arg(f.env.configFile));
    EXPECT_TRUE(QFileInfo(f.env.configFile).isDir());
}
