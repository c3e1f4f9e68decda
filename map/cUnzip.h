#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

struct zip;

namespace gipso {

// Reads a ZIP archive: lists its members and extracts chosen ones. It never writes outside
// the path it is given, refuses encrypted members and stops at the size bound it is given.
class cUnzip {
public:
    struct Member {
        qint64 index = 0;
        QString name;      // as stored in the archive
        qint64 size = 0;   // uncompressed size as the archive states it
        bool encrypted = false;
    };

    // Archives with more members than this are refused: a map container holds two.
    static constexpr qint64 kMaxMembers = 1000;

    cUnzip() = default;
    ~cUnzip();
    cUnzip(const cUnzip &) = delete;
    cUnzip &operator=(const cUnzip &) = delete;

    // Opens and checks the archive's directory; false with a reason on a damaged,
    // unreadable or oversized archive.
    bool Open(const QString &archivePath, QString *error = nullptr);
    void Close();
    const QVector<Member> &Members() const { return members_; }

    // The member's data, at most maxSize bytes (more is an error, whatever the directory says).
    bool Read(const Member &m, qint64 maxSize, QByteArray &data, QString *error = nullptr);
    // Writes the member's data into targetPath (created or truncated).
    bool Extract(const Member &m, const QString &targetPath, qint64 maxSize, QString *error = nullptr);

    // The base name a member may be extracted under, or empty when its name is unsafe
    // (absolute, with a drive, with a ".." part, or with no usable base name).
    static QString SafeBaseName(const QString &memberName);

private:
    template <typename Sink>
    bool copyMember(const Member &m, qint64 maxSize, Sink &&sink, QString *error);

    zip *archive_ = nullptr;
    QVector<Member> members_;
};

} // namespace gipso
