#pragma once

#include "geo/MapCalibration.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace gipso {

class Dialogs;

// The calibration dialog: latitude and longitude of the two reference points. It ends
// Accepted when the four values passed the checks, Rejected when cancelled or closed.
class frmCalib : public QDialog {
    Q_OBJECT

public:
    explicit frmCalib(Dialogs &dialogs, QWidget *parent = nullptr);

    // Index 0 latitude and 1 longitude of the first point, 2 and 3 of the second.
    QLineEdit *txtCoord[4] = {};
    // Index 0 above the first pair, 1 above the second.
    QLabel *Label1[2] = {};
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdAnnulla = nullptr;

    // Fills the boxes with the coordinates of a calibration in force (user's locale).
    void showCoordinates(const MapCalibration &c);
    // The four values as accepted (valid once the dialog ended Accepted).
    void takeCoordinates(MapCalibration &c) const;

private:
    // OK: the four values are checked in the program's order; the first refusal is shown.
    void acceptIfValid();

    Dialogs &dialogs_;
    double values_[4] = {};
};

} // namespace gipso
