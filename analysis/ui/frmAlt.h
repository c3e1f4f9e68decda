#pragma once

#include "analysis/AltitudeProfile.h"
#include "state/AppState.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;

namespace gipso {

class Dialogs;

// The altitude profile window: Label1 and Label2 above the drawing (picAlt with its axis
// labels), cmdOK below. The drawing follows the window's size.
class frmAlt : public QDialog {
    Q_OBJECT

public:
    frmAlt(const AppState &state, Dialogs &dialogs, QWidget *parent = nullptr);
    ~frmAlt() override;

    // Computes the profile of the mode's list ("2" the route, "3" the track log). False when
    // there is nothing to show: another mode, all points at one altitude (message 752), or a
    // position the formulae cannot take (the error); the messages are shown here.
    bool activate(const QString &mode);
    // The profile shown, after activate() succeeded.
    const AltitudeProfile *profile() const { return profile_.get(); }

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QWidget *picAlt = nullptr;
    QPushButton *cmdOK = nullptr;

private:
    const AppState &state_;
    Dialogs &dialogs_;
    std::unique_ptr<AltitudeProfile> profile_;
};

} // namespace gipso
