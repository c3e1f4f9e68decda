#include "map/cZip.h"

#include <QFile>
#include <QFileInfo>
#include <zip.h>

namespace gipso {

void cZip::AddFileSpec(const QString &path, bool stored)
{
    files_ << path;
    stored_ << stored;
}

bool cZip::Zip(const QString &archivePath, QString *error) const
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    // libzip builds the archive in a temporary file beside the target and renames it over
    // the target when zip_close succeeds, so a failure leaves the old archive whole.
    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, code);
        QString why = QString::fromLocal8Bit(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return fail(why);
    }
    for (int i = 0; i < files_.size(); ++i) {
        const QString &f = files_[i];
        if (!QFileInfo(f).isFile()) {
            zip_discard(za);
            return fail(QStringLiteral("%1: no such file").arg(f));
        }
        zip_source_t *src = zip_source_file(za, QFile::encodeName(f).constData(), 0, -1);
        if (!src) {
            QString why = QString::fromLocal8Bit(zip_strerror(za));
            zip_discard(za);
            return fail(why);
        }
        const zip_int64_t idx =
            zip_file_add(za, QFileInfo(f).fileName().toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (idx < 0) {
            zip_source_free(src);
            QString why = QString::fromLocal8Bit(zip_strerror(za));
            zip_discard(za);
            return fail(why);
        }
        if (stored_[i])
            zip_set_file_compression(za, zip_uint64_t(idx), ZIP_CM_STORE, 0);
    }
    if (zip_close(za) != 0) {
        QString why = QString::fromLocal8Bit(zip_strerror(za));
        zip_discard(za);
        return fail(why);
    }
    return true;
}

} // namespace gipso
