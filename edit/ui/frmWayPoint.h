#pragma once

#include "edit/PointEditor.h"
#include "edit/TypedText.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace gipso {

class Dialogs;

// The point dialog: one WayPoint, RoutePoint or TrackPoint shown, typed in, edited or deleted,
// in the mode its opener chose. The work on the lists is PointEditor's; the form fills the
// boxes, filters what is typed and asks the delete question through Dialogs.
class frmWayPoint : public QDialog {
    Q_OBJECT

public:
    frmWayPoint(AppState &state, Dialogs &dialogs, PointKind kind, PointDialogMode mode, QWidget *parent = nullptr);

    // Runs the dialog as its mode requires (the delete mode asks its question without showing
    // the dialog) and returns when it has closed.
    void run();
    // True when a Delete emptied the list (the window then switches its modify mode off).
    bool listEmptied() const { return listEmptied_; }
    // Called after every change to the lists, to redraw the map.
    std::function<void()> repaintMap;

    // Index 0 latitude, 1 longitude.
    QLineEdit *txtCoord[2] = {};
    QLineEdit *txtNome = nullptr;
    QLineEdit *txtDesc = nullptr;
    QLineEdit *txtQuota = nullptr;
    QLabel *lblCoord = nullptr;
    QLabel *lblNome = nullptr;
    QLabel *lblDesc = nullptr;
    QLabel *lblQuota = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdAnnulla = nullptr;
    QPushButton *cmdElimina = nullptr;
    QPushButton *cmdPrev = nullptr;
    QPushButton *cmdNext = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fill();
    void applyOkRule();
    PointFields fields() const;
    void okClicked();
    void cancelClicked();
    void deleteClicked();
    void stepClicked(int delta);
    // Typed text beyond a box's limit is refused; what the program writes is never cut.
    void limitTyped(QLineEdit *b, TypedBox box, QString &last);
    void changed();

    AppState &state_;
    Dialogs &dialogs_;
    PointEditor editor_;
    bool listEmptied_ = false;
    bool filling_ = false;
    bool finished_ = false; // OK or Delete ended it, or Cancel already restored
    QString lastName_, lastDesc_, lastAltitude_;
};

} // namespace gipso
