#include "base/ui/Dialogs.h"

#include "base/Messages.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace gipso {

namespace {

// Converts "desc|pattern;pattern|desc|pattern|" into the toolkit's "desc (pattern pattern)"
// filters; patterns gets each filter's patterns.
QStringList toQtFilters(const QString &filter, QStringList *patterns = nullptr)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i].trimmed();
        const QString list = parts[i + 1].trimmed();
        if (desc.isEmpty() && list.isEmpty())
            continue;
        // The description already names its patterns in brackets; the toolkit reads the
        // patterns from the last bracket, separated by blanks.
        desc.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)\\s*$")));
        out << desc + QStringLiteral(" (") + QString(list).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
        if (patterns)
            *patterns << list;
    }
    return out;
}

QString runFileDialog(QWidget *parent, const QString &title, const QString &filter, const QString &defaultExt,
                      const QString &startDir, QFileDialog::AcceptMode mode, int &filterIndex)
{
    QStringList patterns;
    const QStringList filters = toQtFilters(filter, &patterns);
    QFileDialog dlg(parent, title, startDir, filters.join(QStringLiteral(";;")));
    dlg.setAcceptMode(mode);
    dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // A name typed without extension gets the one of the filter in force, when it has one only.
    const auto suffixFor = [&](const QString &chosen) {
        const QString list = patterns.value(filters.indexOf(chosen));
        QString ext = list.startsWith(QLatin1String("*.")) && !list.contains(QLatin1Char(';')) && list.count(QLatin1Char('*')) == 1
                          ? list.mid(1) : defaultExt;
        return ext.remove(0, ext.startsWith(QLatin1Char('.')) ? 1 : 0);
    };
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dlg.selectNameFilter(filters[filterIndex - 1]);
    dlg.setDefaultSuffix(suffixFor(dlg.selectedNameFilter()));
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&](const QString &chosen) { dlg.setDefaultSuffix(suffixFor(chosen)); });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    filterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
    return dlg.selectedFiles().first();
}

} // namespace

Dialogs::Answer QtDialogs::ask(QWidget *parent, const QString &text, Buttons buttons, Answer defaultButton, Icon icon,
                               const QString &title)
{
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? messageText(160) : title);
    box.setText(text);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    auto map = [](Answer a) {
        switch (a) {
        case Answer::Ok: return QMessageBox::Ok;
        case Answer::Cancel: return QMessageBox::Cancel;
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
        }
        return QMessageBox::Ok;
    };
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNoCancel: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    }
    box.setDefaultButton(map(defaultButton));
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

QString QtDialogs::openFile(QWidget *parent, const QString &title, const QString &filter, const QString &defaultExt,
                            const QString &startDir)
{
    int first = 1;
    return runFileDialog(parent, title, filter, defaultExt, startDir, QFileDialog::AcceptOpen, first);
}

QString QtDialogs::saveFile(QWidget *parent, const QString &title, const QString &filter, const QString &defaultExt,
                            const QString &startDir)
{
    int first = 1;
    return runFileDialog(parent, title, filter, defaultExt, startDir, QFileDialog::AcceptSave, first);
}

QString QtDialogs::chooseFile(QWidget *parent, bool save, const QString &title, const QString &filter,
                              const QString &defaultExt, const QString &startDir, int &filterIndex)
{
    return runFileDialog(parent, title, filter, defaultExt, startDir, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen,
                         filterIndex);
}

std::optional<QColor> QtDialogs::chooseColor(QWidget *parent, const QColor &initial)
{
    QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

bool QtDialogs::printSetup(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
}

int QtDialogs::exec(QDialog &dialog) { return dialog.exec(); }

} // namespace gipso
