// The atomic writer that every file of the program goes through: what it refuses, what a full
// disk or a signal leaves behind, and the temporaries of earlier runs.

#include "base/Messages.h"
#include "base/SafeFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

} // namespace

TEST(SafeFile, FullDiskKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a 64 KiB tmpfs here (needs root): " << std::strerror(errno);
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{mountPoint};

    const QString target = dir.filePath(QStringLiteral("existing.gpx"));
    writeAll(target, "old\n");
    // Fill what is left of the disk.
    QFile filler(dir.filePath(QStringLiteral("filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
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
    EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("existing.gpx"), QStringLiteral("filler")}));
}

TEST(SafeFile, OnlyRegularFilesAreReplaced)
{
    setLanguage(kEnglish);
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.gpx"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString device = dir.filePath(QStringLiteral("null.gpx"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), device));
    const QString folder = dir.filePath(QStringLiteral("folder.gpx"));
    QDir().mkdir(folder);
    for (const QString &target : {fifo, device, folder}) {
        QString error;
        EXPECT_FALSE(writeFileAtomically(target, "data", &error)) << target.toStdString();
        EXPECT_EQ(error, QStringLiteral("not a regular file, left as it is"));
    }
    struct stat st {};
    EXPECT_TRUE(::stat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(QFileInfo(device).isSymLink() && QFileInfo(folder).isDir());

    // A link to a regular file: the file it names is replaced, with its permissions; the link stays.
    const QString real = dir.filePath(QStringLiteral("real.txt"));
    writeAll(real, "old");
    ::chmod(QFile::encodeName(real).constData(), 0640);
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(real), "new");
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir.path()).size(), 5);
}

TEST(SafeFile, StaleTemporariesOfTheTargetAreRemoved)
{
    QTemporaryDir dir;
    const QStringList kept{QStringLiteral("other.gpx.gipso-Ab12Cd"), QStringLiteral("out.gpx.backup"),
                           QStringLiteral("out.gpx.gipso-Ab12C"), QStringLiteral("out.gpx.gipso-Zz99zz")};
    for (const QString &name : kept + QStringList{QStringLiteral("out.gpx.gipso-Ab12Cd")})
        writeAll(dir.filePath(name), "x");
    // A writer still holds this one.
    const int held = ::open(QFile::encodeName(dir.filePath(kept.last())).constData(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_TRUE(writeFileAtomically(dir.filePath(QStringLiteral("out.gpx")), "new"));
    ::close(held);
    QStringList expected = kept + QStringList{QStringLiteral("out.gpx")};
    expected.sort();
    EXPECT_EQ(entries(dir.path()), expected);
}

TEST(SafeFile, SignalsRemoveTheTemporaries)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out.Gipso"));
    writeAll(target, "old");
    const QString folder = dir.filePath(QStringLiteral("work"));
    QDir().mkdir(folder);
    writeAll(folder + QStringLiteral("/map.jpg"), "jpeg");
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
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("out.Gipso")});
    EXPECT_EQ(readAll(target), "old");
}
