#pragma once

#include "geo/MapCalibration.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace gipso {

class Dialogs;

// The calibration dialog: latitude and longitude of the two reference points. Its tag says
// how it ended: "OK" when the four values passed the checks, "Annulla" otherwise.
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

    const QString &tag() const { return tag_; }
    // Fills the boxes with the coordinates of a calibration in force (user's locale).
    void showCoordinates(const MapCalibration &c);
    // The four values as accepted (valid after the tag became "OK").
    void takeCoordinates(MapCalibration &c) const;

    void cmdOK_Click();
    void cmdAnnulla_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Dialogs &dialogs_;
    QString tag_;
    double values_[4] = {};
};

} // namespace gipso
