#pragma once

#include "state/AppState.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace gipso {

class Dialogs;

// The track statistics dialog: the frames Tempi, DistQuot and Vel, each caption label beside
// its value label (Label1 and Label4, ... Label25 and Label26), and cmdOK.
class frmStat : public QDialog {
    Q_OBJECT

public:
    frmStat(const AppState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    // Computes the figures of the track log and shows them. False, after showing why, when there
    // are none: a zero or negative time step inside a track (message 816), a position the
    // formulae cannot take, or fewer than two TrackPoints.
    bool activate();

    // Label1 to Label26 by number.
    QLabel *label(int number) const;
    QGroupBox *Tempi = nullptr;
    QGroupBox *DistQuot = nullptr;
    QGroupBox *Vel = nullptr;
    QPushButton *cmdOK = nullptr;

private:
    const AppState &state_;
    Dialogs &dialogs_;
    QLabel *labels_[27] = {};
};

} // namespace gipso
