#include "map/ui/frmCalib.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "base/RegionalNumber.h"
#include "base/ui/Dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace gipso {

frmCalib::frmCalib(Dialogs &dialogs, QWidget *parent) : QDialog(parent), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("frmCalib"));
    auto *grid = new QGridLayout(this);
    for (int i = 0; i < 2; ++i) {
        Label1[i] = new QLabel(this);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        grid->addWidget(Label1[i], i * 2, 0, 1, 2);
    }
    for (int i = 0; i < 4; ++i) {
        txtCoord[i] = new QLineEdit(this);
        txtCoord[i]->setObjectName(QStringLiteral("txtCoord_%1").arg(i));
        grid->addWidget(txtCoord[i], (i / 2) * 2 + 1, i % 2);
    }
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdAnnulla = new QPushButton(this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdAnnulla);
    grid->addLayout(buttons, 4, 0, 1, 2);
    connect(cmdOK, &QPushButton::clicked, this, &frmCalib::acceptIfValid);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);

    setWindowTitle(messageText(msg::CalibTitle));
    cmdOK->setText(messageText(msg::CalibOk));
    cmdAnnulla->setText(messageText(msg::CalibCancel));
    Label1[1]->setText(messageText(msg::CalibSecondPoint));
    Label1[0]->setText(messageText(msg::CalibFirstPoint));
}

void frmCalib::showCoordinates(const MapCalibration &c)
{
    const double v[4] = {c.lat1, c.lon1, c.lat2, c.lon2};
    for (int i = 0; i < 4; ++i)
        txtCoord[i]->setText(regionalNumber(v[i]));
}

void frmCalib::takeCoordinates(MapCalibration &c) const
{
    c.lat1 = values_[0];
    c.lon1 = values_[1];
    c.lat2 = values_[2];
    c.lon2 = values_[3];
}

void frmCalib::acceptIfValid()
{
    double v[4];
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> read = readRegionalNumber(txtCoord[i]->text());
        v[i] = read.value_or(0.0);
        if (!read) {
            dialogs_.message(this, errorMessage(GipsoError(err::TypeMismatch), msg::ErrorPrefix),
                             Dialogs::Icon::Critical);
            txtCoord[i]->setFocus();
            return;
        }
    }
    const double lat1 = v[0], lon1 = v[1], lat2 = v[2], lon2 = v[3];
    int refused = 0;
    if (std::fabs(lat1) > 90 || std::fabs(lat2) > 90)
        refused = msg::WrongLatitude;
    else if (std::fabs(lon1) > 180 || std::fabs(lon2) > 180)
        refused = msg::WrongLongitude;
    else if (lat2 == lat1 && lon2 == lon1)
        refused = msg::CoincidentCoordinates;
    else if (std::fabs(lat1) == 90 || std::fabs(lat2) == 90)
        refused = msg::CalibPolesNotAllowed;
    if (refused) {
        dialogs_.message(this, messageText(refused), Dialogs::Icon::Critical);
        return;
    }
    std::copy(v, v + 4, values_);
    accept();
}

} // namespace gipso
