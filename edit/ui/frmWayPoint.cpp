#include "edit/ui/frmWayPoint.h"

#include "base/Messages.h"
#include "base/ui/Dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace gipso {

frmWayPoint::frmWayPoint(AppState &state, Dialogs &dialogs, PointKind kind, PointDialogMode mode, QWidget *parent)
    : QDialog(parent), state_(state), dialogs_(dialogs), editor_(state, kind, mode)
{
    setObjectName(QStringLiteral("frmWayPoint"));
    setModal(true);
    auto *grid = new QGridLayout(this);
    auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto box = [this](const QString &name) {
        auto *b = new QLineEdit(this);
        b->setObjectName(name);
        return b;
    };
    lblCoord = label("lblCoord");
    grid->addWidget(lblCoord, 0, 0, 1, 2);
    for (int i = 0; i < 2; ++i) {
        txtCoord[i] = box(QStringLiteral("txtCoord_%1").arg(i));
        grid->addWidget(txtCoord[i], 1, i);
    }
    lblNome = label("lblNome");
    txtNome = box(QStringLiteral("txtNome"));
    lblQuota = label("lblQuota");
    txtQuota = box(QStringLiteral("txtQuota"));
    grid->addWidget(lblNome, 2, 0);
    grid->addWidget(lblQuota, 2, 1);
    grid->addWidget(txtNome, 3, 0);
    grid->addWidget(txtQuota, 3, 1);
    lblDesc = label("lblDesc");
    txtDesc = box(QStringLiteral("txtDesc"));
    grid->addWidget(lblDesc, 4, 0, 1, 2);
    grid->addWidget(txtDesc, 5, 0, 1, 2);

    auto button = [this](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdPrev = button("cmdPrev");
    cmdNext = button("cmdNext");
    cmdElimina = button("cmdElimina");
    cmdOK = button("cmdOK");
    cmdAnnulla = button("cmdAnnulla");
    cmdOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrev);
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdElimina);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdAnnulla);
    grid->addLayout(buttons, 6, 0, 1, 2);

    // Captions.
    setWindowTitle(messageText(msg::PointDialogTitle));
    lblCoord->setText(messageText(msg::PointDialogPosition));
    lblNome->setText(messageText(msg::PointDialogName));
    lblDesc->setText(messageText(msg::PointDialogDescription));
    lblQuota->setText(messageText(msg::PointDialogAltitude) + QStringLiteral(" (") + state_.units.altitudeUnit +
                      QStringLiteral("):"));
    cmdElimina->setText(messageText(msg::PointDialogDelete));
    cmdPrev->setText(QStringLiteral("<<"));
    cmdNext->setText(QStringLiteral(">>"));

    connect(cmdOK, &QPushButton::clicked, this, &frmWayPoint::okClicked);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmWayPoint::cancelClicked);
    connect(cmdElimina, &QPushButton::clicked, this, &frmWayPoint::deleteClicked);
    connect(cmdPrev, &QPushButton::clicked, this, [this] { stepClicked(-1); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { stepClicked(+1); });
    connect(txtNome, &QLineEdit::textEdited, this, [this] { limitTyped(txtNome, TypedBox::Name, lastName_); });
    connect(txtDesc, &QLineEdit::textEdited, this, [this] { limitTyped(txtDesc, TypedBox::Description, lastDesc_); });
    connect(txtQuota, &QLineEdit::textEdited, this, [this] { limitTyped(txtQuota, TypedBox::Altitude, lastAltitude_); });
    for (QLineEdit *b : {txtCoord[0], txtCoord[1], txtNome, txtDesc, txtQuota})
        connect(b, &QLineEdit::textChanged, this, &frmWayPoint::changed);
    fill();
}

void frmWayPoint::fill()
{
    const PointDialogLayout l = editor_.layout();
    filling_ = true;
    txtNome->setText(l.fields.name);
    txtDesc->setText(l.fields.description);
    txtCoord[0]->setText(l.fields.latitude);
    txtCoord[1]->setText(l.fields.longitude);
    txtQuota->setText(l.fields.altitude);
    filling_ = false;
    lastName_ = txtNome->text();
    lastDesc_ = txtDesc->text();
    lastAltitude_ = txtQuota->text();

    cmdOK->setText(messageText(l.insertCaptions ? msg::PointDialogInsert : msg::PointDialogOk));
    cmdAnnulla->setText(messageText(l.insertCaptions ? msg::PointDialogExit : msg::PointDialogCancel));
    for (QLineEdit *b : {txtCoord[0], txtCoord[1], txtNome, txtDesc, txtQuota})
        b->setEnabled(l.textEnabled);
    lblNome->setVisible(l.nameShown);
    txtNome->setVisible(l.nameShown);
    if (!l.nameShown)
        txtNome->setEnabled(false);
    // The coordinates of a TrackPoint are not stored from the boxes: they are shown only.
    if (editor_.kind() == PointKind::Track && editor_.mode() == PointDialogMode::Modify) {
        txtCoord[0]->setReadOnly(true);
        txtCoord[1]->setReadOnly(true);
    }
    cmdElimina->setVisible(l.deleteShown);
    cmdElimina->setEnabled(l.deleteShown);
    cmdPrev->setVisible(l.stepShown);
    cmdNext->setVisible(l.stepShown);
    cmdPrev->setEnabled(l.stepShown && l.previousEnabled);
    cmdNext->setEnabled(l.stepShown && l.nextEnabled);
    applyOkRule();
}

PointFields frmWayPoint::fields() const
{
    return {txtNome->text(), txtDesc->text(), txtCoord[0]->text(), txtCoord[1]->text(), txtQuota->text()};
}

void frmWayPoint::applyOkRule() { cmdOK->setEnabled(editor_.okAllowed(fields())); }

void frmWayPoint::limitTyped(QLineEdit *b, TypedBox box, QString &last)
{
    const QString text = b->text();
    const QString kept = keptTypedText(box, text, last);
    if (kept != text) {
        const int cursor = b->cursorPosition() - int(text.size() - kept.size());
        b->setText(kept);
        b->setCursorPosition(std::max(0, cursor));
    }
    last = kept;
}

void frmWayPoint::changed()
{
    if (!filling_)
        applyOkRule();
}

void frmWayPoint::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A new point is named first (click, type, Enter); a typed-in one starts with its latitude.
    const PointDialogMode mode = editor_.mode();
    if (mode == PointDialogMode::Created || mode == PointDialogMode::InsertedInRoute)
        txtNome->setFocus();
    else if (mode == PointDialogMode::Insert)
        txtCoord[0]->setFocus();
}

void frmWayPoint::run()
{
    if (editor_.mode() == PointDialogMode::Delete) {
        deleteClicked();
        if (!finished_)
            done(QDialog::Rejected);
        return;
    }
    dialogs_.exec(*this);
    if (!finished_)
        done(QDialog::Rejected);
}

void frmWayPoint::okClicked()
{
    if (!cmdOK->isEnabled())
        return;
    const QString refused = editor_.accept(fields());
    if (!refused.isEmpty()) {
        dialogs_.message(this, refused, Dialogs::Icon::Critical);
        return;
    }
    finished_ = true;
    if (repaintMap)
        repaintMap();
    accept();
}

void frmWayPoint::cancelClicked()
{
    editor_.restoreSaved();
    editor_.discardProvisional();
    finished_ = true;
    if (repaintMap)
        repaintMap();
    reject();
}

void frmWayPoint::deleteClicked()
{
    const Dialogs::Answer a = dialogs_.ask(this, editor_.deleteQuestion(), Dialogs::Buttons::OkCancel, Dialogs::Answer::Cancel);
    if (a != Dialogs::Answer::Ok) {
        if (editor_.mode() == PointDialogMode::Delete)
            cancelClicked();
        return;
    }
    listEmptied_ = editor_.removeSelected();
    finished_ = true;
    if (repaintMap)
        repaintMap();
    accept();
}

void frmWayPoint::stepClicked(int delta)
{
    editor_.step(delta);
    fill();
    if (repaintMap)
        repaintMap();
}

void frmWayPoint::done(int result)
{
    // Any other way out (the window frame, Escape, the program closing it) counts as Cancel:
    // a point being edited gets its saved copy back, a provisional one goes.
    if (!finished_) {
        finished_ = true;
        editor_.restoreSaved();
        editor_.discardProvisional();
        if (repaintMap)
            repaintMap();
    }
    QDialog::done(result);
}

} // namespace gipso
