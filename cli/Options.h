#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <climits>
#include <limits>

namespace gipso::cli {

// One command's arguments: the options it knows (with or without a value) and the positional
// arguments in order. Every problem becomes one error line "command: ..."; only the first is
// kept, so a command reads everything and then checks ok() once.
class Options {
public:
    // Anything else beginning with '-' (except a lone "-") is an unknown option. A value option
    // takes the next argument, whatever it looks like, and must not be empty or given twice.
    Options(const QString &command, const QStringList &args, const QStringList &valueOptions,
            const QStringList &flags = {});

    bool has(const QString &name) const { return m_values.contains(name); }
    QString value(const QString &name) const { return m_values.value(name); }
    const QStringList &positional() const { return m_positional; }

    // Number values are written to `out` only when the option is given and in range (inclusive);
    // otherwise `out` keeps its default. `note` is added to the error to explain the value.
    void readInt(const QString &name, int &out, int min, int max = INT_MAX);
    void readDouble(const QString &name, double &out, double min,
                    double max = std::numeric_limits<double>::infinity(), const QString &note = {});
    // Two whole numbers joined by `separator`, as in 640x480; `form` shows the shape ("WxH").
    void readIntPair(const QString &name, QChar separator, const QString &form, int &first, int &second,
                     int min, int max);

    // Rejects the first positional argument beyond the number allowed.
    void rejectExtra(qsizetype allowed);
    // A speed the communication dialog offers.
    void readBaud(const QString &name, int &out);

    // Records "command: text" unless an error is recorded already.
    void reject(const QString &text);
    // Whether any Options of this run rejected an argument: the usage line follows the error.
    static bool mistakeReported();
    bool ok() const { return m_error.isEmpty(); }
    const QString &error() const { return m_error; }

private:
    QString m_command;
    QMap<QString, QString> m_values; // flags map to an empty value
    QStringList m_positional;
    QString m_error;
};

} // namespace gipso::cli
