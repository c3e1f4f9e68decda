#pragma once

// Map pictures and containers for the map file tests.

#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

namespace gipso::test {

// Top-left quarter red, bottom-right blue: catches upside-down output.
inline QImage testPicture(int w = 320, int h = 240)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::blue);
    return img;
}

inline QByteArray encoded(const QImage &img = testPicture(), const char *format = "JPG")
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format, 90);
    return buf.data();
}

using Members = std::vector<std::pair<QByteArray, QByteArray>>;

// An archive with the given members (name, data), written by libzip; a password encrypts them.
inline QByteArray zipped(const Members &members, const char *password = nullptr)
{
    QTemporaryDir dir;
    zip_t *za = zip_open(QFile::encodeName(dir.filePath("a.zip")).constData(), ZIP_CREATE, nullptr);
    for (const auto &[name, data] : members) { // the data stays alive here until zip_close
        const zip_int64_t i = zip_file_add(za, name.constData(), zip_source_buffer(za, data.constData(), zip_uint64_t(data.size()), 0), 0);
        if (password)
            zip_file_set_encryption(za, zip_uint64_t(i), ZIP_EM_AES_256, password);
    }
    EXPECT_EQ(zip_close(za), 0);
    return readAll(dir.filePath("a.zip"));
}

// The example calibration in the container's layout.
inline const QByteArray kExampleText = "100\r\n-100\r\n300\r\n-300\r\n9\r\n45.1\r\n9.2\r\n45\r\n";

inline QByteArray container(const QByteArray &jpg, const QByteArray &text = kExampleText, const char *password = nullptr)
{
    return zipped({{"m.jpg", jpg}, {"m.txt", text}}, password);
}

inline QStringList entries(const QString &dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }

// Where map files are written, and the program's private temporary folder.
struct Folders {
    QTemporaryDir workDir, tempDir;
    QString work = workDir.path() + '/', temp = tempDir.path() + '/';
};


} // namespace gipso::test
