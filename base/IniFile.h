#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace gipso {

// A small INI reader and writer with the profile-file semantics the program relies on:
// a missing file, section or key gives the default; writing keeps every other section
// and key where it was; section and key names compare without regard to case.
class IniFile {
public:
    // Reads path (UTF-8, or Windows-1252 when not valid UTF-8); a missing file is empty.
    bool load(const QString &path);
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
    };
    const Section *findSection(const QString &name) const;
    std::vector<Section> sections_;
};

} // namespace gipso
