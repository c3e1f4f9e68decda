#pragma once

#include "base/ui/Dialogs.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

namespace gipso::test {

// Dialogs for widget tests: answers come from queues, and everything shown is recorded.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString text;
        Buttons buttons;
        Answer defaultButton;
        Icon icon;
    };
    std::vector<Shown> shown;            // every message box, in order
    std::deque<Answer> answers;          // next answers; when empty, the default button
    std::deque<QString> files;           // next file-dialog results; when empty, cancelled
    bool printAccept = false;
    std::function<bool(QPrinter &)> onPrintSetup; // sets up the printer (e.g. a PDF file); default: printAccept
    std::function<int(QDialog &)> onExec; // drives a modal form; default: reject at once
    QStringList fileDialogTitles;

    Answer ask(QWidget *, const QString &text, Buttons buttons, Answer defaultButton, Icon icon, const QString &) override
    {
        shown.push_back({text, buttons, defaultButton, icon});
        if (answers.empty())
            return defaultButton;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString openFile(QWidget *, const QString &title, const QString &, const QString &, const QString &) override
    {
        return nextFile(title);
    }
    QString saveFile(QWidget *, const QString &title, const QString &, const QString &, const QString &) override
    {
        return nextFile(title);
    }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override { return std::nullopt; }
    bool printSetup(QWidget *, QPrinter &printer) override { return onPrintSetup ? onPrintSetup(printer) : printAccept; }
    int exec(QDialog &dialog) override
    {
        if (onExec)
            return onExec(dialog);
        return QDialog::Rejected;
    }
    QString lastText() const { return shown.empty() ? QString() : shown.back().text; }

private:
    QString nextFile(const QString &title)
    {
        fileDialogTitles << title;
        if (files.empty())
            return {};
        QString f = files.front();
        files.pop_front();
        return f;
    }
};

} // namespace gipso::test
