#include "base/Error.h"
#include "map/JpegSave.h"
#include "map/DibBuffer.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace gipso;

TEST(DibSection, BottomUpBgrRowsPaddedToFourBytes)
{
    EXPECT_EQ(DibBuffer::bytesPerLine(1), 4);
    EXPECT_EQ(DibBuffer::bytesPerLine(4), 12);
    EXPECT_EQ(DibBuffer::bytesPerLine(5), 16);

    QImage img(5, 3, QImage::Format_RGB32);
    img.fill(Qt::black);
    img.setPixel(0, 2, qRgb(10, 20, 30)); // bottom-left
    img.setPixel(4, 0, qRgb(40, 50, 60)); // top-right
    DibBuffer dib;
    ASSERT_TRUE(dib.copyFrom(img));
    EXPECT_EQ(dib.width(), 5);
    EXPECT_EQ(dib.height(), 3);
    const uint8_t *b = dib.bits();
    EXPECT_EQ(b[0], 30); // first row in memory is the bottom row, blue first
    EXPECT_EQ(b[1], 20);
    EXPECT_EQ(b[2], 10);
    EXPECT_EQ(b[2 * 16 + 12], 60); // top row, fifth pixel
    EXPECT_EQ(b[2 * 16 + 14], 40);

    // Indexed and alpha pictures come in through the same buffer layout.
    const QImage indexed = img.convertToFormat(QImage::Format_Indexed8);
    ASSERT_TRUE(dib.copyFrom(indexed));
    EXPECT_EQ(dib.bits()[2 * 16 + 14], 40);
    EXPECT_FALSE(dib.copyFrom(QImage()));
}

TEST(JpegSave, WritesTheBufferRightSideUpAndKeepsTheReplacedFilesTimes)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/map.jpg";
    QImage img(37, 21, QImage::Format_RGB32); // odd width: padded rows
    img.fill(Qt::white);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 18; ++x)
            img.setPixel(x, y, qRgb(255, 0, 0));
    DibBuffer dib;
    ASSERT_TRUE(dib.copyFrom(img));

    // An older file of the same name: its times and permissions go over to the new one.
    gipso::test::writeAll(path, "old");
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(old, QFileDevice::FileModificationTime);
        f.setFileTime(old, QFileDevice::FileAccessTime);
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    saveJpeg(dib, path, 95);
    const QFileInfo info(path);
    EXPECT_EQ(info.lastModified(), old);
    EXPECT_EQ(info.permissions() & QFile::Permissions(0x7077), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QByteArray bytes = gipso::test::readAll(path);
    EXPECT_TRUE(bytes.startsWith("\xFF\xD8\xFF"));
    QImage back;
    ASSERT_TRUE(back.loadFromData(bytes, "JPG"));
    EXPECT_EQ(back.size(), img.size());
    EXPECT_GT(qRed(back.pixel(2, 2)), 220);
    EXPECT_LT(qGreen(back.pixel(2, 2)), 40);
    EXPECT_GT(qGreen(back.pixel(30, 18)), 220);
}

TEST(JpegSave, FailureRaisesError26001)
{
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::gray);
    DibBuffer dib;
    ASSERT_TRUE(dib.copyFrom(img));
    try {
        saveJpeg(dib, "/nonexistent-folder/x.jpg", 95);
        FAIL() << "no error";
    } catch (const GipsoError &e) {
        EXPECT_EQ(e.number(), 26001);
        EXPECT_TRUE(e.description().startsWith("Failed to save to JPG ")) << e.description().toStdString();
    }
    DibBuffer empty;
    EXPECT_THROW(saveJpeg(empty, "/tmp/never-written.jpg", 95), GipsoError);
    EXPECT_FALSE(QFileInfo::exists("/tmp/never-written.jpg"));
}
