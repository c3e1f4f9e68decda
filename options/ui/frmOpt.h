#pragma once

#include "state/AppState.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace gipso {

class Dialogs;

// The options dialog: colours, sizes, what is drawn on the map, the import options and the
// units. The controls are filled from the settings each time the dialog is shown; Apply and
// OK store them (OK also closes), Cancel closes keeping what an earlier Apply stored. Nothing
// is written to Gipso.cfg here: that happens at exit.
class frmOpt : public QDialog {
    Q_OBJECT

public:
    frmOpt(AppState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    // Fills the controls from the settings (called when the dialog is shown; tests may call it).
    void activate();
    // The colour each button would store now.
    int32_t pendingColour(int index) const { return pending_[size_t(index)]; }

    // Called by Apply, to redraw the map with the dialog still open.
    std::function<void()> repaintMap;

    // In the order of sizeOptions(), colourOptions() and flagOptions().
    std::array<QLineEdit *, 4> sizeFields{};
    std::array<QLabel *, 4> sizeLabels{};
    std::array<QPushButton *, 3> colourButtons{};
    std::array<QCheckBox *, 11> checkBoxes{};
    QGroupBox *framelin = nullptr;
    QGroupBox *framecol = nullptr;
    QGroupBox *Frameshow = nullptr;
    QGroupBox *FrameImport = nullptr;
    QGroupBox *FrameUnits = nullptr;
    QCheckBox *CheckAutoTrack = nullptr;
    QRadioButton *OptUnitsMET = nullptr;
    QRadioButton *OptUnitsNAU = nullptr;
    QPushButton *cmdColt = nullptr;
    QPushButton *cmdApplica = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdAnnulla = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyCaptions();
    // A size field that does not hold a 16-bit integer shows its setting again; the value
    // it holds otherwise.
    int16_t checkSizeField(int index);
    void chooseColour(int index);
    void showPendingColour(int index);
    void store();

    AppState &state_;
    Dialogs &dialogs_;
    std::array<int32_t, 3> pending_{};
};

} // namespace gipso
