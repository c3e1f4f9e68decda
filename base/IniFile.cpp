#include "base/IniFile.h"

#include "base/Messages.h"
#include "base/SafeFile.h"
#include "base/TextCodec.h"

#include <QFile>
#include <algorithm>
#include <sys/stat.h>

namespace gipso {

bool IniFile::load(const QString &path)
{
    sections_.clear();
    sectionIndex_.clear();
    problem_.clear();
    tooLarge_ = false;
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return false;
    auto ignored = [&](const QString &why) {
        problem_ = formatMessage(messageText(msg::FileIgnored), {path, why});
        return false;
    };
    if (!S_ISREG(st.st_mode))
        return ignored(messageText(msg::NotAFileToRead));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // Never more than the bound, even from a file that grows meanwhile; read in pieces so that
    // a small file does not cost a buffer of the whole bound.
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(std::min<qint64>(st.st_size, kMaxBytes) + 1));
    while (bytes.size() <= kMaxBytes) {
        const QByteArray piece = f.read(std::min<qint64>(kMaxBytes + 1 - bytes.size(), 1 << 16));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (bytes.size() > kMaxBytes) {
        tooLarge_ = true;
        return ignored(formatMessage(messageText(msg::LargerThan), {kMaxBytes}));
    }
    Utf8Check check;
    check.feed(bytes.constData(), static_cast<size_t>(bytes.size()));
    const bool utf8 = check.valid();
    std::string_view rest(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (utf8 && rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3);

    Section *current = nullptr;
    int longLines = 0;
    while (!rest.empty()) {
        const size_t lf = rest.find('\n');
        const std::string_view raw = rest.substr(0, lf);
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        if (raw.size() > kMaxLineBytes) {
            ++longLines;
            continue;
        }
        const QString decoded = utf8 ? decodeUtf8(raw) : decodeWindows1252(raw);
        QStringView line = QStringView(decoded).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            qsizetype close = line.indexOf(QLatin1Char(']'));
            current = &section((close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed().toString());
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
        // The first occurrence wins, as with the profile functions.
        const QString folded = key.toCaseFolded();
        if (!current->index.contains(folded)) {
            current->index.insert(folded, current->entries.size());
            current->entries.push_back({key, value});
        }
    }
    if (longLines > 0)
        problem_ = formatMessage(messageText(msg::SettingsLinesSkipped), {path, longLines, qulonglong(kMaxLineBytes)});
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
    const auto it = sectionIndex_.constFind(name.toCaseFolded());
    return it == sectionIndex_.constEnd() ? nullptr : &sections_[*it];
}

IniFile::Section *IniFile::findSection(const QString &name)
{
    return const_cast<Section *>(std::as_const(*this).findSection(name));
}

IniFile::Section &IniFile::section(const QString &name)
{
    if (Section *s = findSection(name))
        return *s;
    sectionIndex_.insert(name.toCaseFolded(), sections_.size());
    sections_.push_back({name, {}, {}});
    return sections_.back();
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const Section *s = findSection(section);
    if (!s)
        return std::nullopt;
    const auto it = s->index.constFind(key.toCaseFolded());
    if (it == s->index.constEnd())
        return std::nullopt;
    return s->entries[*it].value;
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

void IniFile::setValue(const QString &sectionName, const QString &key, const QString &value)
{
    Section &s = section(sectionName);
    const QString folded = key.toCaseFolded();
    if (const auto it = s.index.constFind(folded); it != s.index.constEnd()) {
        s.entries[*it].value = value;
        return;
    }
    s.index.insert(folded, s.entries.size());
    s.entries.push_back({key, value});
}

void IniFile::removeKey(const QString &sectionName, const QString &key)
{
    Section *s = findSection(sectionName);
    if (!s || !s->index.contains(key.toCaseFolded()))
        return;
    s->entries.erase(s->entries.begin() + static_cast<ptrdiff_t>(s->index.value(key.toCaseFolded())));
    s->index.clear();
    for (size_t i = 0; i < s->entries.size(); ++i)
        s->index.insert(s->entries[i].key.toCaseFolded(), i);
}

} // namespace gipso
