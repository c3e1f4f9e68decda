#include "map/Zip.h"

#include "base/Messages.h"

#include "base/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <zip.h>

namespace gipso {

namespace {

// libzip's text for the error code zip_open gives back.
QString openErrorText(int code)
{
    zip_error_t ze;
    zip_error_init_with_code(&ze, code);
    QString why = QString::fromLocal8Bit(zip_error_strerror(&ze));
    zip_error_fini(&ze);
    return why;
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

ZipReader::~ZipReader() { close(); }

void ZipReader::close()
{
    if (archive_)
        zip_discard(archive_);
    archive_ = nullptr;
    members_.clear();
}

bool ZipReader::open(const QString &archivePath, QString *error)
{
    close();
    auto closeAndFail = [&](const QString &why) {
        close();
        return fail(error, why);
    };
    int code = 0;
    archive_ = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive_) // libzip says "File already exists" when two members share a name
        return closeAndFail(code == ZIP_ER_EXISTS ? messageText(msg::ContainerDuplicateMember)
                                                  : openErrorText(code));
    const zip_int64_t n = zip_get_num_entries(archive_, 0);
    if (n < 0)
        return closeAndFail(messageText(msg::ContainerUnreadableDirectory));
    if (n > kMaxMembers)
        return closeAndFail(formatMessage(messageText(msg::ContainerTooManyMembers), {qlonglong(n)}));
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive_, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            return closeAndFail(QStringLiteral("unreadable member %1").arg(i));
        Member m;
        m.index = i;
        m.name = QString::fromUtf8(st.name);
        m.size = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : -1;
        m.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE) ? qint64(st.comp_size) : -1;
        m.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        members_.push_back(m);
    }
    return true;
}

template <typename Sink>
bool ZipReader::copyMember(const Member &m, qint64 maxSize, Sink &&sink, QString *error)
{
    auto memberFail = [&](const QString &why) { return fail(error, QStringLiteral("%1: %2").arg(m.name, why)); };
    if (!archive_)
        return memberFail(messageText(msg::ContainerNotOpen));
    if (m.encrypted)
        return memberFail(messageText(msg::ContainerEncrypted));
    if (m.size < 0 || m.size > maxSize)
        return memberFail(formatMessage(messageText(msg::ContainerMemberTooLarge), {maxSize}));
    if (m.size > kInflationFreeBytes && m.size / kMaxInflation > m.compressedSize)
        return memberFail(formatMessage(messageText(msg::ContainerInflatesTooMuch), {kMaxInflation}));
    zip_file_t *zf = zip_fopen_index(archive_, zip_uint64_t(m.index), 0);
    if (!zf)
        return memberFail(QString::fromLocal8Bit(zip_strerror(archive_)));
    QByteArray buf(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    bool ok = false;
    QString why;
    for (;;) {
        const zip_int64_t got = zip_fread(zf, buf.data(), zip_uint64_t(buf.size()));
        if (got < 0) { // includes a CRC mismatch at the end of the data
            why = QString::fromLocal8Bit(zip_file_strerror(zf));
            break;
        }
        if (got == 0) {
            ok = total == m.size;
            if (!ok)
                why = messageText(msg::ContainerTruncated);
            break;
        }
        total += got;
        if (total > maxSize || total > m.size) {
            why = messageText(msg::ContainerTooMuchData);
            break;
        }
        if (!sink(buf.constData(), qint64(got))) {
            why = messageText(msg::ContainerCannotWrite);
            break;
        }
    }
    zip_fclose(zf);
    return ok || memberFail(why);
}

bool ZipReader::read(const Member &m, qint64 maxSize, QByteArray &data, QString *error)
{
    data.clear();
    return copyMember(m, maxSize, [&](const char *p, qint64 n) {
        data.append(p, n);
        return true;
    }, error);
}

bool ZipReader::extract(const Member &m, const QString &targetPath, qint64 maxSize, QString *error)
{
    QFile out(targetPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(error, QStringLiteral("%1: %2").arg(targetPath, out.errorString()));
    const bool ok = copyMember(m, maxSize, [&](const char *p, qint64 n) { return out.write(p, n) == n; }, error);
    out.close();
    if (!ok)
        out.remove();
    return ok;
}

QString ZipReader::safeBaseName(const QString &memberName)
{
    QString name = memberName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.startsWith(QLatin1Char('/')) || (name.size() >= 2 && name[1] == QLatin1Char(':')))
        return {};
    const QStringList parts = name.split(QLatin1Char('/'));
    for (const QString &p : parts)
        if (p == QLatin1String(".."))
            return {};
    const QString base = parts.last();
    if (base.isEmpty() || base == QLatin1String(".") || base.contains(QLatin1Char(':')))
        return {};
    for (QChar ch : base)
        if (ch.unicode() < 0x20)
            return {};
    return base;
}

void ZipWriter::addFile(const QString &path, bool stored)
{
    files_ << path;
    stored_ << stored;
}

bool ZipWriter::write(const QString &archivePath, QString *error) const
{
    // The archive is built in memory and written by the program's atomic writer, so a failure
    // (a full disk too) leaves the old archive whole, and a stopped run leaves no temporary of
    // its own making.
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &ze);
    zip_t *za = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &ze) : nullptr;
    if (!za) {
        const QString why = QString::fromLocal8Bit(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        if (buffer)
            zip_source_free(buffer);
        return fail(error, why);
    }
    zip_error_fini(&ze);
    zip_source_keep(buffer);
    auto discardAndFail = [&](const QString &why) {
        zip_discard(za);
        zip_source_free(buffer);
        return fail(error, why);
    };
    for (int i = 0; i < files_.size(); ++i) {
        const QString &f = files_[i];
        if (!QFileInfo(f).isFile())
            return discardAndFail(formatMessage(messageText(msg::NoSuchFileReason), {f}));
        zip_source_t *src = zip_source_file(za, QFile::encodeName(f).constData(), 0, -1);
        if (!src)
            return discardAndFail(QString::fromLocal8Bit(zip_strerror(za)));
        const zip_int64_t idx =
            zip_file_add(za, QFileInfo(f).fileName().toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (idx < 0) {
            zip_source_free(src);
            return discardAndFail(QString::fromLocal8Bit(zip_strerror(za)));
        }
        if (stored_[i])
            zip_set_file_compression(za, zip_uint64_t(idx), ZIP_CM_STORE, 0);
    }
    if (zip_close(za) != 0)
        return discardAndFail(QString::fromLocal8Bit(zip_strerror(za)));
    AtomicWriter out(archivePath);
    QString why;
    if (zip_source_open(buffer) != 0) {
        why = QString::fromLocal8Bit(zip_error_strerror(zip_source_error(buffer)));
    } else {
        if (out.open(&why)) {
            QByteArray chunk(1 << 20, Qt::Uninitialized);
            zip_int64_t n;
            while ((n = zip_source_read(buffer, chunk.data(), zip_uint64_t(chunk.size()))) > 0 && out.write(chunk.constData(), n)) {
            }
            if (n < 0)
                why = QString::fromLocal8Bit(zip_error_strerror(zip_source_error(buffer)));
            else
                out.commit(&why); // also reports a write that failed
        }
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return why.isEmpty() || fail(error, why);
}

} // namespace gipso
