#include "analysis/ui/frmStat.h"

#include "analysis/TrackStatistics.h"
#include "base/Messages.h"
#include "base/ui/Dialogs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace gipso {

namespace {
// The caption and value labels of each row, in the order of statisticsRows().
constexpr int kRowLabels[kStatisticsRows][2] = {{1, 4},   {2, 5},   {3, 6},   {7, 8},   {9, 10},  {11, 12}, {13, 14},
                                                {15, 16}, {17, 18}, {19, 20}, {21, 22}, {23, 24}, {25, 26}};
// Rows 0-2 in Tempi, 3-7 in DistQuot, 8-12 in Vel.
int frameOfRow(int row) { return row < 3 ? 0 : row < 8 ? 1 : 2; }
} // namespace

frmStat::frmStat(const AppState &state, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), state_(state), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("frmStat"));
    auto *layout = new QVBoxLayout(this);
    QGroupBox **frames[3] = {&Tempi, &DistQuot, &Vel};
    const char *frameNames[3] = {"Tempi", "DistQuot", "Vel"};
    const int frameCaptions[3] = {msg::StatisticsTimes, msg::StatisticsDistanceAndAltitude, msg::StatisticsSpeed};
    QGridLayout *grids[3];
    for (int f = 0; f < 3; ++f) {
        *frames[f] = new QGroupBox(messageText(frameCaptions[f]), this);
        (*frames[f])->setObjectName(QString::fromLatin1(frameNames[f]));
        grids[f] = new QGridLayout(*frames[f]);
        grids[f]->setColumnStretch(1, 1);
        layout->addWidget(*frames[f]);
    }
    // The captions now; the values when the dialog is activated.
    const TrackFigures none;
    const auto rows = statisticsRows(none, state.units, QLocale());
    int used[3] = {};
    for (int r = 0; r < kStatisticsRows; ++r) {
        const int f = frameOfRow(r);
        for (int c = 0; c < 2; ++c) {
            const int n = kRowLabels[r][c];
            labels_[n] = new QLabel(*frames[f]);
            labels_[n]->setObjectName(QStringLiteral("Label%1").arg(n));
            grids[f]->addWidget(labels_[n], used[f], c);
        }
        ++used[f];
        labels_[kRowLabels[r][0]]->setText(messageText(rows[r].captionId));
    }
    cmdOK = new QPushButton(messageText(msg::StatisticsOk), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    setWindowTitle(messageText(msg::StatisticsTitle));
}

QLabel *frmStat::label(int number) const { return number >= 1 && number <= 26 ? labels_[number] : nullptr; }

bool frmStat::activate()
{
    const TrackStatistics result = trackStatistics(state_.store.trackPoints, state_.units);
    if (result.status != TrackStatistics::Status::Ok) {
        // The error trap shows its error as such; the others are plain notices.
        dialogs_.message(this, result.error,
                         result.status == TrackStatistics::Status::FormulaError ? Dialogs::Icon::Critical
                                                                               : Dialogs::Icon::None);
        return false;
    }
    const auto rows = statisticsRows(result.figures, state_.units, QLocale());
    for (int r = 0; r < kStatisticsRows; ++r)
        labels_[kRowLabels[r][1]]->setText(rows[r].value);
    return true;
}

} // namespace gipso
