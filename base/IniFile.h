#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace gipso {

// A small INI reader and writer with the profile-file semantics the program relies on:
// a missing file, section or key gives the default; writing keeps every other section
// and key where it was; section and key names compare without regard to case.
class IniFile {
public:
    // The largest file read (8 MiB); the configuration and the language list are a few
    // kilobytes, so a larger file is no such file.
    static constexpr qint64 kMaxBytes = 8 << 20;

    // Reads path (UTF-8, or Windows-1252 when not valid UTF-8); a missing file is empty. So is
    // a file larger than kMaxBytes or one that is not a regular file, and lines longer than
    // kMaxLineBytes are skipped: problem() says what was left out.
    bool load(const QString &path);
    const QString &problem() const { return problem_; }
    // Whether the file was left out for its size (writing it back would lose what it holds).
    bool tooLarge() const { return tooLarge_; }
    // Writes atomically (temporary file renamed over the target).
    bool save(const QString &path, QString *error = nullptr) const;

    std::optional<QString> value(const QString &section, const QString &key) const;
    QString text(const QString &section, const QString &key, const QString &def) const;
    int32_t integer(const QString &section, const QString &key, int32_t def) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    void removeKey(const QString &section, const QString &key);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
        QHash<QString, size_t> index; // case-folded key -> entry
    };
    Section *findSection(const QString &name);
    const Section *findSection(const QString &name) const;
    Section &section(const QString &name);
    std::vector<Section> sections_;
    QHash<QString, size_t> sectionIndex_; // case-folded name -> section
    QString problem_;
    bool tooLarge_ = false;
};

} // namespace gipso
