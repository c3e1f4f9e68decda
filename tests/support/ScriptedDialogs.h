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
    struct Shown { QString text; Buttons buttons; Answer defaultButton; Icon icon; };
    std::vector<Shown> shown;                     // every message box, in order
    std::deque<Answer> answers;                   // next answers; when empty, the default button
    std::deque<QString> files;                    // next file-dialog results; when empty, cancelled
    std::function<bool(QPrinter &)> onPrintSetup; // sets up the printer (e.g. a PDF file); default: cancelled
    std::function<int(QDialog &)> onExec;         // drives a modal form; default: rejected at once
    std::deque<std::optional<QColor>> colours;    // next colour-chooser results (nullopt: cancelled); when empty, cancelled
    std::vector<QColor> colourChooserInitial;     // the colour each chooser opened with, in order

    Answer ask(QWidget *, const QString &text, Buttons buttons, Answer defaultButton, Icon icon, const QString &) override
    {
        shown.push_back({text, buttons, defaultButton, icon});
        return answers.empty() ? defaultButton : take(answers);
    }
    // Production asks through chooseFile (below); these only hand out the next file.
    QString openFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return files.empty() ? QString() : take(files);
    }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return openFile(nullptr, {}, {}, {}, {});
    }
    std::optional<QColor> chooseColor(QWidget *, const QColor &initial) override
    {
        colourChooserInitial.push_back(initial);
        return colours.empty() ? std::nullopt : take(colours);
    }
    bool printSetup(QWidget *, QPrinter &printer) override { return onPrintSetup && onPrintSetup(printer); }
    int exec(QDialog &dialog) override { return onExec ? onExec(dialog) : int(QDialog::Rejected); }
    QString lastText() const { return shown.empty() ? QString() : shown.back().text; }

private:
    template <class T> static T take(std::deque<T> &queue)
    {
        T first = std::move(queue.front());
        queue.pop_front();
        return first;
    }

public:
    // File dialogs with a choice of filters: what each one showed, and the filter chosen.
    struct FileDialog { QString title, filter, startDir; int filterShown; bool save; };
    std::vector<FileDialog> fileDialogs;
    std::deque<int> filterChoices; // next filters chosen (1-based); when empty, the one shown
    QString chooseFile(QWidget *parent, bool save, const QString &title, const QString &filter, const QString &ext,
                       const QString &dir, int &filterIndex) override
    {
        fileDialogs.push_back({title, filter, dir, filterIndex, save});
        const QString file = openFile(parent, title, filter, ext, dir);
        if (!file.isEmpty() && !filterChoices.empty())
            filterIndex = take(filterChoices);
        return file;
    }
};

} // namespace gipso::test
