#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <optional>

class QWidget;
class QDialog;
class QPrinter;

namespace gipso {

// Every question, message box, file dialog, colour chooser, print dialog and modal form
// goes through this interface, so tests can script the answers.
class Dialogs {
public:
    enum class Answer { Ok, Cancel, Yes, No };
    enum class Buttons { Ok, OkCancel, YesNoCancel, YesNo };
    enum class Icon { None, Information, Warning, Critical, Question };

    virtual ~Dialogs() = default;

    // A message box; the title defaults to the program title (message 160).
    virtual Answer ask(QWidget *parent, const QString &text, Buttons buttons, Answer defaultButton,
                       Icon icon = Icon::Question, const QString &title = QString()) = 0;
    void message(QWidget *parent, const QString &text, Icon icon = Icon::Information, const QString &title = QString())
    {
        ask(parent, text, Buttons::Ok, Answer::Ok, icon, title);
    }
    void error(QWidget *parent, const QString &text) { message(parent, text, Icon::Critical); }

    // File dialogs; filter in the "desc|pattern|desc|pattern|" form. Empty result = cancelled.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &filter, const QString &defaultExt,
                             const QString &startDir) = 0;
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &filter, const QString &defaultExt,
                             const QString &startDir) = 0;
    // Either file dialog with a choice of filters: filterIndex (1-based) is the filter shown
    // first and, when a file is chosen, the one it was chosen with.
    virtual QString chooseFile(QWidget *parent, bool save, const QString &title, const QString &filter,
                               const QString &defaultExt, const QString &startDir, int &filterIndex)
    {
        return save ? saveFile(parent, title, filter, defaultExt, startDir) : openFile(parent, title, filter, defaultExt, startDir);
    }
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) = 0;
    // The print setup; false when cancelled.
    virtual bool printSetup(QWidget *parent, QPrinter &printer) = 0;
    // Runs a modal form to its end and returns its result code.
    virtual int exec(QDialog &dialog) = 0;
};

// The real dialogs of the toolkit.
class QtDialogs : public Dialogs {
public:
    Answer ask(QWidget *parent, const QString &text, Buttons buttons, Answer defaultButton, Icon icon,
               const QString &title) override;
    QString openFile(QWidget *parent, const QString &title, const QString &filter, const QString &defaultExt,
                     const QString &startDir) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &filter, const QString &defaultExt,
                     const QString &startDir) override;
    QString chooseFile(QWidget *parent, bool save, const QString &title, const QString &filter, const QString &defaultExt,
                       const QString &startDir, int &filterIndex) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;
    bool printSetup(QWidget *parent, QPrinter &printer) override;
    int exec(QDialog &dialog) override;
};

} // namespace gipso
