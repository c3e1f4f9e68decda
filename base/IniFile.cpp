#include "base/IniFile.h"

#include "base/SafeFile.h"
#include "base/TextCodec.h"

#include <QFile>

namespace gipso {

bool IniFile::load(const QString &path)
{
    sections_.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString text = decodeText(f.readAll());
    Section *current = nullptr;
    const auto lines = QStringView(text).split(QLatin1Char('\n'));
    for (QStringView raw : lines) {
        QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            qsizetype close = line.indexOf(QLatin1Char(']'));
            QString name = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed().toString();
            const Section *existing = findSection(name);
            if (existing) {
                current = const_cast<Section *>(existing);
            } else {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || !current)
            continue;
        QString key = line.left(eq).trimmed().toString();
        QString value = line.mid(eq + 1).trimmed().toString();
        // The profile functions strip one pair of surrounding quotes.
        if (value.size() >= 2 && ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
                                  || (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))))
            value = value.mid(1, value.size() - 2);
        bool found = false;
        for (auto &e : current->entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
                found = true; // the first occurrence wins, as with the profile functions
                break;
            }
        if (!found)
            current->entries.push_back({key, value});
    }
    return true;
}

bool IniFile::save(const QString &path, QString *error) const
{
    QByteArray out;
    bool first = true;
    for (const auto &s : sections_) {
        if (!first)
            out += "\r\n";
        first = false;
        out += '[' + s.name.toUtf8() + "]\r\n";
        for (const auto &e : s.entries)
            out += e.key.toUtf8() + '=' + e.value.toUtf8() + "\r\n";
    }
    return writeFileAtomically(path, out, error);
}

const IniFile::Section *IniFile::findSection(const QString &name) const
{
    for (const auto &s : sections_)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const Section *s = findSection(section);
    if (!s)
        return std::nullopt;
    for (const auto &e : s->entries)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0)
            return e.value;
    return std::nullopt;
}

QString IniFile::text(const QString &section, const QString &key, const QString &def) const
{
    auto v = value(section, key);
    return v ? *v : def;
}

int32_t IniFile::integer(const QString &section, const QString &key, int32_t def) const
{
    auto v = value(section, key);
    if (!v)
        return def;
    // Like the profile function: leading sign and digits, anything after them ignored;
    // no digits at all gives 0.
    QStringView s = QStringView(*v).trimmed();
    qsizetype i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        neg = s[i] == QLatin1Char('-');
        ++i;
    }
    int64_t n = 0;
    for (; i < s.size() && s[i].isDigit() && s[i].unicode() < 128; ++i) {
        n = n * 10 + (s[i].unicode() - '0');
        if (n > 0x7FFFFFFFLL)
            n = 0x80000000LL;
    }
    if (neg)
        n = -n;
    if (n > INT32_MAX)
        n = INT32_MAX;
    if (n < INT32_MIN)
        n = INT32_MIN;
    return static_cast<int32_t>(n);
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    Section *s = const_cast<Section *>(findSection(section));
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (auto &e : s->entries)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
            e.value = value;
            return;
        }
    s->entries.push_back({key, value});
}

void IniFile::removeKey(const QString &section, const QString &key)
{
    Section *s = const_cast<Section *>(findSection(section));
    if (!s)
        return;
    std::erase_if(s->entries, [&](const Entry &e) { return e.key.compare(key, Qt::CaseInsensitive) == 0; });
}

} // namespace gipso
