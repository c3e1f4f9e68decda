#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace gipso {

// The private temporary folder of one run (mode 0700), made in TMPDIR (or /tmp when TMPDIR is
// unset) and removed with its contents when the object goes. Map containers are extracted
// into it and nowhere else. It is never made anywhere else: Qt turns a TMPDIR that is not an
// existing folder into "/" or the current folder, so that case is refused here.
class TempFolder {
public:
    explicit TempFolder(const QString &prefix);

    bool isValid() const { return !path_.isEmpty(); }
    // The folder with a trailing '/'; empty when it could not be made.
    const QString &path() const { return path_; }
    // Where it was to be made, and why it could not be (both for messages).
    const QString &parent() const { return parent_; }
    const QString &reason() const { return reason_; }
    // One line for the error messages of gipso-cli.
    QString error() const;

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path_, parent_, reason_;
};

// True when dir (with its trailing '/') is an existing folder given by absolute path: the only
// kind of place map containers are extracted into.
bool usableTempDir(const QString &dir);

} // namespace gipso
