#include "map/TempFolder.h"

#include "base/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace gipso {

TempFolder::TempFolder(const QString &prefix)
{
    parent_ = qEnvironmentVariable("TMPDIR");
    if (parent_.isEmpty())
        parent_ = QStringLiteral("/tmp");
    const QFileInfo info(parent_);
    if (!info.exists()) {
        reason_ = messageText(msg::NoSuchFolder);
        return;
    }
    if (!info.isDir()) {
        reason_ = messageText(msg::NotAFolder);
        return;
    }
    dir_ = std::make_unique<QTemporaryDir>(info.absoluteFilePath() + QLatin1Char('/') + prefix + QStringLiteral("-XXXXXX"));
    if (!dir_->isValid()) {
        reason_ = dir_->errorString();
        dir_.reset();
        return;
    }
    QFile::setPermissions(dir_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    path_ = dir_->path() + QLatin1Char('/');
}

QString TempFolder::error() const
{
    return formatMessage(messageText(msg::CannotMakeTempFolder), {parent_, reason_});
}

bool usableTempDir(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) && QDir::isAbsolutePath(dir) && QFileInfo(dir).isDir();
}

} // namespace gipso
