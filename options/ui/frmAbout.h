#pragma once

#include "options/SystemInfo.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gipso {

class Dialogs;

// The About box: name and version, description, credits, the licence and disclaimer of the
// current language, and System Info.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // configFile: where Gipso.cfg lives (System Info names its folder).
    frmAbout(Dialogs &dialogs, const QString &configFile, QWidget *parent = nullptr);

    // What System Info shows, for the config file given; nothing when it cannot be gathered
    // (message 842 then). Replaceable in tests.
    static std::function<std::optional<SystemInfo>(const QString &configFile)> &systemInfoSource();

    QLabel *lblTitle = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblAuthors = nullptr;
    QLabel *Label1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QPushButton *cmdSysInfo = nullptr;
    QPushButton *cmdOK = nullptr;

private:
    void showSystemInfo();

    Dialogs &dialogs_;
    QString configFile_;
};

// System Info: a read-only text with what a fault report needs, and a Copy button.
class frmSysInfo : public QDialog {
    Q_OBJECT

public:
    explicit frmSysInfo(const QString &text, QWidget *parent = nullptr);

    QPlainTextEdit *txtInfo = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdClose = nullptr;
};

} // namespace gipso
