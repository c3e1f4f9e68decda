#include "map/cUnzip.h"

#include <QFile>
#include <zip.h>

namespace gipso {

cUnzip::~cUnzip() { Close(); }

void cUnzip::Close()
{
    if (archive_)
        zip_discard(archive_);
    archive_ = nullptr;
    members_.clear();
}

bool cUnzip::Open(const QString &archivePath, QString *error)
{
    Close();
    auto fail = [&](const QString &why) {
        Close();
        if (error)
            *error = why;
        return false;
    };
    int code = 0;
    archive_ = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive_) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, code);
        QString why = QString::fromLocal8Bit(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return fail(why);
    }
    const zip_int64_t n = zip_get_num_entries(archive_, 0);
    if (n < 0)
        return fail(QStringLiteral("unreadable archive directory"));
    if (n > kMaxMembers)
        return fail(QStringLiteral("%1 members, more than a map container may hold").arg(n));
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive_, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            return fail(QStringLiteral("unreadable member %1").arg(i));
        Member m;
        m.index = i;
        m.name = QString::fromUtf8(st.name);
        m.size = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : -1;
        m.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        members_.push_back(m);
    }
    return true;
}

template <typename Sink>
bool cUnzip::copyMember(const Member &m, qint64 maxSize, Sink &&sink, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m.name, why);
        return false;
    };
    if (!archive_)
        return fail(QStringLiteral("no archive open"));
    if (m.encrypted)
        return fail(QStringLiteral("encrypted"));
    if (m.size < 0 || m.size > maxSize)
        return fail(QStringLiteral("larger than %1 bytes").arg(maxSize));
    zip_file_t *zf = zip_fopen_index(archive_, zip_uint64_t(m.index), 0);
    if (!zf)
        return fail(QString::fromLocal8Bit(zip_strerror(archive_)));
    QByteArray buf(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    bool ok = true;
    QString why;
    for (;;) {
        const zip_int64_t got = zip_fread(zf, buf.data(), zip_uint64_t(buf.size()));
        if (got < 0) { // includes a CRC mismatch at the end of the data
            why = QString::fromLocal8Bit(zip_file_strerror(zf));
            ok = false;
            break;
        }
        if (got == 0)
            break;
        total += got;
        if (total > maxSize || total > m.size) {
            why = QStringLiteral("more data than the archive states");
            ok = false;
            break;
        }
        if (!sink(buf.constData(), qint64(got))) {
            why = QStringLiteral("cannot write the extracted data");
            ok = false;
            break;
        }
    }
    zip_fclose(zf);
    if (ok && total != m.size) {
        why = QStringLiteral("truncated data");
        ok = false;
    }
    return ok ? true : fail(why);
}

bool cUnzip::Read(const Member &m, qint64 maxSize, QByteArray &data, QString *error)
{
    data.clear();
    return copyMember(m, maxSize, [&](const char *p, qint64 n) {
        data.append(p, n);
        return true;
    }, error);
}

bool cUnzip::Extract(const Member &m, const QString &targetPath, qint64 maxSize, QString *error)
{
    QFile out(targetPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(targetPath, out.errorString());
        return false;
    }
    const bool ok = copyMember(m, maxSize, [&](const char *p, qint64 n) { return out.write(p, n) == n; }, error);
    out.close();
    if (!ok)
        out.remove();
    return ok;
}

QString cUnzip::SafeBaseName(const QString &memberName)
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

} // namespace gipso
