#pragma once

#include <QString>
#include <QStringList>

namespace gipso {

// Writes a ZIP archive from a list of files. Members are stored under their base names (no
// folders); the archive replaces any file of the same name only once it is complete.
class cZip {
public:
    void ClearFileSpecs() { files_.clear(); }
    // Adds a file; stored = keep it uncompressed (for data that is compressed already).
    void AddFileSpec(const QString &path, bool stored = false);
    const QStringList &FileSpecs() const { return files_; }
    // Writes the archive; false with a reason in error on failure (the old file stays whole).
    bool Zip(const QString &archivePath, QString *error = nullptr) const;

private:
    QStringList files_;
    QList<bool> stored_;
};

} // namespace gipso
