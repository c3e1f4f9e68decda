#include "base/Messages.h"

#include "base/MessageTable.h"

#include <QByteArray>
#include <QHash>
#include <array>
#include <cstring>

namespace gipso {

namespace {

// The string tables are held like the resources of the original program: for each
// language, blocks of 16 entries, each entry a u16 count of UTF-16 code units followed
// by the code units. Block b holds ids 16*(b-1) to 16*(b-1)+15.
struct StringTables {
    QHash<int, QHash<int, QByteArray>> blocks; // language -> block number -> bytes

    StringTables()
    {
        for (int lang : {kEnglish, kItalian}) {
            QHash<int, std::array<const char16_t *, 16>> texts;
            for (int i = 0; i < kMessageRowCount; ++i) {
                const MessageRow &row = kMessageRows[i];
                auto &slot = texts[row.id / 16 + 1];
                slot[row.id % 16] = lang == kEnglish ? row.english : row.italian;
            }
            for (auto it = texts.begin(); it != texts.end(); ++it) {
                QByteArray bytes;
                for (const char16_t *t : it.value()) {
                    quint16 n = 0;
                    if (t)
                        while (t[n])
                            ++n;
                    bytes.append(reinterpret_cast<const char *>(&n), 2);
                    if (n)
                        bytes.append(reinterpret_cast<const char *>(t), n * 2);
                }
                blocks[lang][it.key()] = bytes;
            }
        }
    }
};

const StringTables &tables()
{
    static const StringTables t;
    return t;
}

struct MessageState {
    int language = kItalian;
    int block = -1;
    std::array<QString, 16> cache;
};

MessageState &state()
{
    static MessageState s;
    return s;
}

void loadBlock(MessageState &s, int b)
{
    const auto &langs = tables().blocks;
    auto lang = langs.constFind(s.language);
    if (lang == langs.constEnd() || !lang->contains(b)) {
        for (auto &t : s.cache)
            t.clear();
        s.block = -1;
        return;
    }
    const QByteArray &bytes = lang->value(b);
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    for (auto &t : s.cache) {
        quint16 n = 0;
        if (end - p >= 2) {
            std::memcpy(&n, p, 2);
            p += 2;
        }
        if (n > (end - p) / 2)
            n = 0;
        t = QString(reinterpret_cast<const QChar *>(p), n);
        p += n * 2;
    }
    s.block = b;
}

} // namespace

QString messageText(int id)
{
    if (id < 0)
        return {};
    MessageState &s = state();
    int b = id / 16 + 1;
    if (b != s.block)
        loadBlock(s, b);
    if (s.block != b)
        return {};
    return s.cache[id % 16];
}

QString formatMessage(QString text, const QStringList &args)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString token = QLatin1Char('$') + QString::number(i);
        // An argument holding its own token would never end the loop: replace once per
        // occurrence of the token in the original text.
        qsizetype from = 0;
        for (;;) {
            qsizetype at = text.indexOf(token, from);
            if (at < 0)
                break;
            text.replace(at, token.size(), args[i]);
            from = at + args[i].size();
        }
    }
    return text;
}

QString formatMessage(const QString &text, std::initializer_list<QVariant> args)
{
    QStringList list;
    for (const QVariant &v : args)
        list << v.toString();
    return formatMessage(text, list);
}

void setLanguage(int languageId)
{
    MessageState &s = state();
    s.language = languageId;
    s.block = -1;
    for (auto &t : s.cache)
        t.clear();
}

int currentLanguage() { return state().language; }

} // namespace gipso
