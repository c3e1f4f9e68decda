// The atomic writer that every file of the program goes through: what it refuses, what a full
// disk or a signal leaves behind, and the temporaries of earlier runs.

#include "base/Messages.h"
#include "base/SafeFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QScopeGuard>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace gipso;
using gipso::test::readAll;
using gipso::test::writeAll;

namespace {
QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}
mode_t mode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}
} // namespace

TEST(SafeFile, FullDiskKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a 64 KiB tmpfs here (needs root): " << std::strerror(errno);
    const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.constData(), MNT_DETACH); });

    const QString target = dir.filePath("existing.gpx");
    writeAll(target, "old\n");
    QFile filler(dir.filePath("filler")); // takes what is left of the disk
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) == 4096) {
    }
    filler.close();

    const QByteArray bigger(16 * 1024, 'y');
    QString error;
    EXPECT_FALSE(writeFileAtomically(target, bigger, &error));
    EXPECT_EQ(error, QStringLiteral("No space left on device"));
    // Through the device, as a picture writer uses it: the failure shows at commit.
    AtomicWriter w(target);
    ASSERT_TRUE(w.open());
    EXPECT_EQ(w.file().write(bigger), bigger.size());
    EXPECT_FALSE(w.commit(&error));
    EXPECT_EQ(error, QStringLiteral("No space left on device"));
    EXPECT_EQ(readAll(target), "old\n");
    EXPECT_EQ(entries(dir.path()), QStringList({"existing.gpx", "filler"}));
}

TEST(SafeFile, OnlyRegularFilesAreReplaced)
{
    setLanguage(kEnglish);
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.gpx"), device = dir.filePath("null.gpx"), folder = dir.filePath("folder.gpx");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/null", device));
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const QString &target : {fifo, device, folder}) {
        QString error;
        EXPECT_FALSE(writeFileAtomically(target, "data", &error)) << target.toStdString();
        EXPECT_EQ(error, QStringLiteral("not a regular file, left as it is"));
    }
    EXPECT_TRUE(S_ISFIFO(mode(fifo)) && QFileInfo(device).isSymLink() && QFileInfo(folder).isDir());

    // A link to a regular file: the file it names is replaced, with its permissions; the link stays.
    const QString real = dir.filePath("real.txt"), link = dir.filePath("link.txt");
    writeAll(real, "old");
    ::chmod(QFile::encodeName(real).constData(), 0640);
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(real), "new");
    EXPECT_EQ(mode(real) & 07777, 0640u);
    EXPECT_EQ(entries(dir.path()).size(), 5);
}

TEST(SafeFile, StaleTemporariesOfTheTargetAreRemoved)
{
    QTemporaryDir dir;
    const QStringList kept{"other.gpx.gipso-Ab12Cd", "out.gpx.backup", "out.gpx.gipso-Ab12C", "out.gpx.gipso-Zz99zz"};
    for (const QString &name : kept + QStringList{"out.gpx.gipso-Ab12Cd"})
        writeAll(dir.filePath(name), "x");
    // A writer still holds the last one.
    const int held = ::open(QFile::encodeName(dir.filePath(kept.last())).constData(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_TRUE(writeFileAtomically(dir.filePath("out.gpx"), "new"));
    ::close(held);
    EXPECT_EQ(entries(dir.path()), QStringList({"other.gpx.gipso-Ab12Cd", "out.gpx", "out.gpx.backup", "out.gpx.gipso-Ab12C", "out.gpx.gipso-Zz99zz"}));
}

TEST(SafeFile, SignalsRemoveTheTemporaries)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("out.Gipso"), folder = dir.filePath("work");
    writeAll(target, "old");
    QDir().mkdir(folder);
    writeAll(folder + "/map.jpg", "jpeg");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        removeTemporariesOnSignals();
        TemporaryGuard guard(folder);
        AtomicWriter w(target);
        if (w.open() && w.write("half a file"))
            ::kill(::getpid(), SIGTERM);
        ::sleep(60);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_EQ(entries(dir.path()), QStringList{"out.Gipso"});
    EXPECT_EQ(readAll(target), "old");
}
