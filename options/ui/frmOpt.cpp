#include "options/ui/frmOpt.h"

#include "base/Messages.h"
#include "base/ui/Dialogs.h"
#include "options/Options.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace gipso {

namespace {
// The Show boxes are the first nine of flagOptions(), the Import boxes the last two.
constexpr size_t kShowBoxes = 9;

QGroupBox *frame(const char *name, QWidget *parent)
{
    auto *box = new QGroupBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}
} // namespace

frmOpt::frmOpt(AppState &state, Dialogs &dialogs, QWidget *parent) : QDialog(parent), state_(state), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("frmOpt"));

    framelin = frame("framelin", this);
    auto *sizes = new QGridLayout(framelin);
    for (size_t i = 0; i < sizeOptions().size(); ++i) {
        const SizeOption &o = sizeOptions()[i];
        sizeLabels[i] = new QLabel(framelin);
        sizeLabels[i]->setObjectName(QLatin1String(o.label));
        sizeFields[i] = new QLineEdit(framelin);
        sizeFields[i]->setObjectName(QLatin1String(o.field));
        sizeFields[i]->setMaximumWidth(70);
        sizeFields[i]->installEventFilter(this);
        sizeLabels[i]->setBuddy(sizeFields[i]);
        sizes->addWidget(sizeLabels[i], int(i), 0);
        sizes->addWidget(sizeFields[i], int(i), 1);
    }

    framecol = frame("framecol", this);
    auto *colours = new QHBoxLayout(framecol);
    for (size_t i = 0; i < colourOptions().size(); ++i) {
        colourButtons[i] = new QPushButton(framecol);
        colourButtons[i]->setObjectName(QLatin1String(colourOptions()[i].button));
        colourButtons[i]->setAutoDefault(false);
        colours->addWidget(colourButtons[i]);
        connect(colourButtons[i], &QPushButton::clicked, this, [this, i] { chooseColour(int(i)); });
    }
    cmdColt = colourButtons[2];

    Frameshow = frame("Frameshow", this);
    FrameImport = frame("FrameImport", this);
    auto *show = new QGridLayout(Frameshow);
    auto *import = new QVBoxLayout(FrameImport);
    for (size_t i = 0; i < flagOptions().size(); ++i) {
        QWidget *owner = i < kShowBoxes ? Frameshow : FrameImport;
        checkBoxes[i] = new QCheckBox(owner);
        checkBoxes[i]->setObjectName(QLatin1String(flagOptions()[i].checkBox));
        if (i < kShowBoxes)
            show->addWidget(checkBoxes[i], int(i / 2), int(i % 2));
        else
            import->addWidget(checkBoxes[i]);
    }
    CheckAutoTrack = findChild<QCheckBox *>(QStringLiteral("CheckAutoTrack"));
    // The track is coloured by altitude meanwhile: its own colour does not apply.
    connect(CheckAutoTrack, &QCheckBox::toggled, this, [this](bool on) { cmdColt->setEnabled(!on); });

    FrameUnits = frame("FrameUnits", this);
    auto *units = new QVBoxLayout(FrameUnits);
    OptUnitsMET = new QRadioButton(FrameUnits);
    OptUnitsMET->setObjectName(QStringLiteral("OptUnitsMET"));
    OptUnitsNAU = new QRadioButton(FrameUnits);
    OptUnitsNAU->setObjectName(QStringLiteral("OptUnitsNAU"));
    units->addWidget(OptUnitsMET);
    units->addWidget(OptUnitsNAU);

    cmdApplica = new QPushButton(this);
    cmdApplica->setObjectName(QStringLiteral("cmdApplica"));
    cmdApplica->setAutoDefault(false);
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdAnnulla = new QPushButton(this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    cmdAnnulla->setAutoDefault(false);
    connect(cmdApplica, &QPushButton::clicked, this, [this] {
        store();
        if (repaintMap)
            repaintMap();
    });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        store();
        accept();
    });
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);

    auto *left = new QVBoxLayout;
    left->addWidget(framelin);
    left->addWidget(framecol);
    left->addWidget(FrameUnits);
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(Frameshow);
    right->addWidget(FrameImport);
    right->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdApplica);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdAnnulla);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto *all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addLayout(buttons);

    applyCaptions();
}

void frmOpt::applyCaptions()
{
    setWindowTitle(messageText(msg::OptionsTitle));
    framelin->setTitle(messageText(msg::OptionsLinesAndSymbols));
    framecol->setTitle(messageText(msg::OptionsColors));
    Frameshow->setTitle(messageText(msg::OptionsShow));
    FrameImport->setTitle(messageText(msg::OptionsImport));
    FrameUnits->setTitle(messageText(msg::OptionsUnits));
    for (size_t i = 0; i < sizeLabels.size(); ++i)
        sizeLabels[i]->setText(messageText(sizeOptions()[i].captionId));
    for (size_t i = 0; i < colourButtons.size(); ++i)
        colourButtons[i]->setText(messageText(colourOptions()[i].captionId));
    for (size_t i = 0; i < checkBoxes.size(); ++i)
        checkBoxes[i]->setText(messageText(flagOptions()[i].captionId));
    OptUnitsMET->setText(messageText(msg::OptionsMetric));
    OptUnitsNAU->setText(messageText(msg::OptionsNautical));
    cmdApplica->setText(messageText(msg::OptionsApply));
    cmdOK->setText(messageText(msg::OptionsOk));
    cmdAnnulla->setText(messageText(msg::OptionsCancel));
}

void frmOpt::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        activate();
}

void frmOpt::activate()
{
    const Settings &s = state_.settings;
    for (size_t i = 0; i < sizeFields.size(); ++i)
        sizeFields[i]->setText(QString::number(s.*(sizeOptions()[i].setting)));
    for (size_t i = 0; i < pending_.size(); ++i) {
        pending_[i] = s.*(colourOptions()[i].setting);
        showPendingColour(int(i));
    }
    for (size_t i = 0; i < checkBoxes.size(); ++i)
        checkBoxes[i]->setChecked(s.*(flagOptions()[i].setting) == 1);
    cmdColt->setEnabled(!CheckAutoTrack->isChecked());
    (s.unitsMetric() ? OptUnitsMET : OptUnitsNAU)->setChecked(true);
}

bool frmOpt::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut)
        for (size_t i = 0; i < sizeFields.size(); ++i)
            if (watched == sizeFields[i])
                checkSizeField(int(i));
    return QDialog::eventFilter(watched, event);
}

int16_t frmOpt::checkSizeField(int index)
{
    const int16_t current = state_.settings.*(sizeOptions()[size_t(index)].setting);
    QLineEdit *field = sizeFields[size_t(index)];
    const std::optional<int16_t> value = readSizeField(field->text());
    if (!value)
        field->setText(QString::number(current));
    return value.value_or(current);
}

void frmOpt::chooseColour(int index)
{
    if (const std::optional<QColor> c = dialogs_.chooseColor(this, settingColor(pending_[size_t(index)]))) {
        pending_[size_t(index)] = settingColour(*c);
        showPendingColour(index);
    }
}

void frmOpt::showPendingColour(int index)
{
    // A swatch of the pending colour on its button.
    QPixmap swatch(14, 14);
    swatch.fill(settingColor(pending_[size_t(index)]));
    QPainter p(&swatch);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, 13, 13);
    p.end();
    colourButtons[size_t(index)]->setIcon(swatch);
}

void frmOpt::store()
{
    Settings &s = state_.settings;
    for (size_t i = 0; i < pending_.size(); ++i)
        s.*(colourOptions()[i].setting) = pending_[i];
    // Converted again here: a field left with Enter or an accelerator never lost the focus.
    for (size_t i = 0; i < sizeFields.size(); ++i)
        s.*(sizeOptions()[i].setting) = checkSizeField(int(i));
    for (size_t i = 0; i < checkBoxes.size(); ++i)
        s.*(flagOptions()[i].setting) = checkBoxes[i]->isChecked() ? 1 : 0;
    s.Units = OptUnitsMET->isChecked() ? -1 : 0;
    applyUnits(state_);
}

} // namespace gipso
