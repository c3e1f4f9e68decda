#include "base/Error.h"
#include "map/DibBuffer.h"
#include "map/JpegSave.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gipso;

TEST(JpegSave, WritesThePictureRightSideUpAndKeepsTheReplacedFilesTimes)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/map.jpg";
    QImage img(37, 21, QImage::Format_RGB32); // odd width: padded rows in the bitmap buffer
    img.fill(Qt::white);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 18; ++x)
            img.setPixel(x, y, qRgb(255, 0, 0)); // the top-left corner red

    // An older file of the same name: its times and permissions go over to the new one.
    gipso::test::writeAll(path, "old");
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(old, QFileDevice::FileModificationTime);
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    // Indexed pictures go through the same buffer.
    for (const QImage &picture : {img, img.convertToFormat(QImage::Format_Indexed8)}) {
        DibBuffer dib;
        ASSERT_TRUE(dib.copyFrom(picture));
        saveJpeg(dib, path, 95);
        const QFileInfo info(path);
        EXPECT_EQ(info.lastModified(), old);
        EXPECT_EQ(info.permissions() & QFile::Permissions(0x7077), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QImage back;
        ASSERT_TRUE(back.loadFromData(gipso::test::readAll(path), "JPG"));
        EXPECT_EQ(back.size(), img.size());
        EXPECT_GT(qRed(back.pixel(2, 2)), 220);
        EXPECT_LT(qGreen(back.pixel(2, 2)), 40);
        EXPECT_GT(qGreen(back.pixel(30, 18)), 220);
    }
}

TEST(JpegSave, FailureRaisesError26001AndWritesNothing)
{
    QTemporaryDir dir;
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::gray);
    DibBuffer dib;
    ASSERT_TRUE(dib.copyFrom(img));
    try {
        saveJpeg(dib, dir.path() + "/no/such/folder/x.jpg", 95);
        FAIL() << "no error";
    } catch (const GipsoError &e) {
        EXPECT_EQ(e.number(), 26001);
        EXPECT_TRUE(e.description().startsWith("Failed to save to JPG ")) << e.description().toStdString();
    }
    EXPECT_FALSE(DibBuffer().copyFrom(QImage()));
    EXPECT_THROW(saveJpeg(DibBuffer(), dir.path() + "/empty.jpg", 95), GipsoError);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}
