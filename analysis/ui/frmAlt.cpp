#include "analysis/ui/frmAlt.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "base/ui/Dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace gipso {

namespace {

// The drawing with its axis labels, painted again at every size.
class ProfileChart : public QWidget {
public:
    explicit ProfileChart(const frmAlt &form, QWidget *parent) : QWidget(parent), form_(form)
    {
        setMinimumSize(240, 160);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        if (const AltitudeProfile *profile = form_.profile())
            profile->paintChart(p, rect().adjusted(4, 4, -4, -4));
    }

private:
    const frmAlt &form_;
};

} // namespace

frmAlt::frmAlt(const AppState &state, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), state_(state), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("frmAlt"));
    auto *layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    picAlt = new ProfileChart(*this, this);
    picAlt->setObjectName(QStringLiteral("picAlt"));
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(picAlt, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    setWindowTitle(messageText(msg::ProfileTitle));
    cmdOK->setText(messageText(msg::ProfileOk));
    resize(720, 540);
}

frmAlt::~frmAlt() = default;

bool frmAlt::activate(const QString &mode)
{
    const std::optional<ProfileKind> kind = profileKindOfMode(mode);
    if (!kind)
        return false;
    const PointList &points = *kind == ProfileKind::Route ? state_.store.routePoints : state_.store.trackPoints;
    try {
        profile_ = std::make_unique<AltitudeProfile>(points, *kind, state_.units, state_.settings);
    } catch (const GipsoError &e) {
        dialogs_.message(this, errorMessage(e), Dialogs::Icon::Critical);
        return false;
    }
    if (profile_->flat()) {
        dialogs_.message(this, profile_->flatMessage(), Dialogs::Icon::None);
        profile_.reset();
        return false;
    }
    Label1->setText(profile_->label1());
    Label2->setText(profile_->label2());
    picAlt->update();
    return true;
}

} // namespace gipso
