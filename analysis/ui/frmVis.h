#pragma once

#include "analysis/PointListText.h"
#include "edit/PointEditor.h"
#include "state/AppState.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QListView;
class QPushButton;

namespace gipso {

class Dialogs;
class PointListModel;

// The points list: one list of points as a fixed-column text in a monospaced font, one line
// per point, with its count, length and orthodrome. Enter or a double-click on a point line
// opens the point in the point dialog, Delete deletes it (after the dialog's question); the
// list is built again after each. Only the lines in sight are ever made, so a track log of a
// million points opens at once; copying gives the text itself.
class frmVis : public QDialog {
    Q_OBJECT

public:
    frmVis(AppState &state, Dialogs &dialogs, PointKind kind, QWidget *parent = nullptr);
    ~frmVis() override;

    PointKind kind() const { return kind_; }
    // Builds the list from the state's points (on opening, and after each edit or deletion).
    void build();
    // The text of the lines selected (whole lines, LF ended), in list order.
    QString selectedText() const;
    // What the list shows now.
    const PointListText &listText() const { return *text_; }

    // The point dialog on the point of the line holding the caret: Modify (Enter, double-click)
    // or Delete (the Delete key). Lines that show no point are ignored.
    void openPoint(PointDialogMode mode);

    // Called after every change to the lists, to redraw the map.
    std::function<void()> repaintMap;
    // Called when a Delete emptied the list (the window switches its Modify/Delete mode off).
    std::function<void()> listEmptied;

    QListView *txtElenco = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *cmdOK = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Every line's size: that of the widest.
    QSize rowSize() const;
    void copySelection() const;
    void showContextMenu(const QPoint &pos);

    AppState &state_;
    Dialogs &dialogs_;
    PointKind kind_;
    std::unique_ptr<PointListText> text_;
    PointListModel *model_ = nullptr;
};

} // namespace gipso
