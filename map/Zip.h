#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

struct zip;

namespace gipso {

// Reads a ZIP archive: lists its members and extracts chosen ones. It never writes outside
// the path it is given, refuses encrypted members and members that would inflate more than
// kMaxInflation-fold (zip bombs), and stops at the size bound it is given.
class ZipReader {
public:
    struct Member {
        qint64 index = 0;
        QString name;      // as stored in the archive
        qint64 size = 0;   // uncompressed size as the archive states it
        qint64 compressedSize = 0; // as stored
        bool encrypted = false;
    };

    // Archives with more members than this are refused: a map container holds two.
    static constexpr qint64 kMaxMembers = 1000;
    // Map data never deflates a hundred-fold; members of a megabyte or less are let through.
    static constexpr qint64 kMaxInflation = 100;
    static constexpr qint64 kInflationFreeBytes = 1 << 20;

    ZipReader() = default;
    ~ZipReader();
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    // Opens and checks the archive's directory; false with a reason on a damaged,
    // unreadable or oversized archive.
    bool open(const QString &archivePath, QString *error = nullptr);
    const QVector<Member> &members() const { return members_; }

    // The member's data, at most maxSize bytes (more is an error, whatever the directory says).
    bool read(const Member &m, qint64 maxSize, QByteArray &data, QString *error = nullptr);
    // Writes the member's data into targetPath (created or truncated).
    bool extract(const Member &m, const QString &targetPath, qint64 maxSize, QString *error = nullptr);

    // The base name a member may be extracted under, or empty when its name is unsafe
    // (absolute, with a drive, with a ".." part, or with no usable base name).
    static QString safeBaseName(const QString &memberName);

private:
    void close();
    template <typename Sink>
    bool copyMember(const Member &m, qint64 maxSize, Sink &&sink, QString *error);

    zip *archive_ = nullptr;
    QVector<Member> members_;
};

// Writes a ZIP archive from a list of files. Members are stored under their base names (no
// folders); the archive replaces any file of the same name only once it is complete.
class ZipWriter {
public:
    // Adds a file; stored = keep it uncompressed (for data that is compressed already).
    void addFile(const QString &path, bool stored = false);
    // Writes the archive; false with a reason in error on failure (the old file stays whole).
    bool write(const QString &archivePath, QString *error = nullptr) const;

private:
    QStringList files_;
    QList<bool> stored_;
};

} // namespace gipso
