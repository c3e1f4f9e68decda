#include "analysis/ui/frmVis.h"

#include "base/Messages.h"
#include "base/ui/Dialogs.h"
#include "edit/ui/frmWayPoint.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace gipso {

// The lines of the list for the view, made as the view paints them. Every row has the size of
// the widest line, so the view lays out a million rows without asking for each.
class PointListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setText(const PointListText *text, QSize rowSize)
    {
        beginResetModel();
        text_ = text;
        rowSize_ = rowSize;
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !text_ ? 0 : text_->lineCount();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!text_ || !index.isValid())
            return {};
        if (role == Qt::DisplayRole)
            return text_->line(index.row());
        if (role == Qt::SizeHintRole)
            return rowSize_;
        return {};
    }

private:
    const PointListText *text_ = nullptr;
    QSize rowSize_;
};

namespace {
constexpr int kVisibleLines = 30;
} // namespace

frmVis::frmVis(AppState &state, Dialogs &dialogs, PointKind kind, QWidget *parent)
    : QDialog(parent), state_(state), dialogs_(dialogs), kind_(kind)
{
    setObjectName(QStringLiteral("frmVis"));
    setModal(true);
    setWindowTitle(messageText(msg::ListTitle));

    txtElenco = new QListView(this);
    txtElenco->setObjectName(QStringLiteral("txtElenco"));
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setStyleHint(QFont::Monospace);
    txtElenco->setFont(mono);
    txtElenco->setUniformItemSizes(true);
    txtElenco->setSelectionMode(QAbstractItemView::ExtendedSelection);
    txtElenco->setSelectionBehavior(QAbstractItemView::SelectRows);
    txtElenco->setEditTriggers(QAbstractItemView::NoEditTriggers);
    txtElenco->setTextElideMode(Qt::ElideNone);
    txtElenco->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    txtElenco->setContextMenuPolicy(Qt::CustomContextMenu);
    model_ = new PointListModel(this);
    txtElenco->setModel(model_);
    txtElenco->installEventFilter(this);
    connect(txtElenco, &QListView::doubleClicked, this, [this] { openPoint(PointDialogMode::Modify); });
    connect(txtElenco, &QListView::customContextMenuRequested, this, &frmVis::showContextMenu);

    auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    Label1 = label("Label1");
    Label2 = label("Label2");
    Label3 = label("Label3");
    cmdOK = new QPushButton(messageText(msg::ListOk), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtElenco, 1);
    auto *bottom = new QHBoxLayout;
    auto *labels = new QVBoxLayout;
    for (QLabel *l : {Label1, Label2, Label3})
        labels->addWidget(l);
    bottom->addLayout(labels, 1);
    bottom->addWidget(cmdOK, 0, Qt::AlignBottom);
    layout->addLayout(bottom);

    build();
    // Wide enough for the longest line, as far as the screen allows.
    const QFontMetrics fm(txtElenco->font());
    const QMargins m = layout->contentsMargins();
    int width = rowSize().width() + 2 * txtElenco->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                m.left() + m.right() + 4;
    if (const QScreen *s = screen())
        width = std::min(width, s->availableGeometry().width() * 9 / 10);
    resize(width, fm.lineSpacing() * kVisibleLines + sizeHint().height() - txtElenco->sizeHint().height());
    txtElenco->setFocus();
}

frmVis::~frmVis() = default;

void frmVis::build()
{
    Label1->setText(messageText(msg::Loading));
    cmdOK->setEnabled(false);
    if (isVisible())
        Label1->repaint();

    const int currentRow = txtElenco->currentIndex().row(); // -1 on opening
    auto next = std::make_unique<PointListText>(state_.store.list(kind_), kind_, state_.units, regionalSeparators());
    text_.swap(next);
    model_->setText(text_.get(), rowSize());
    next.reset(); // only now that the view has let go of it

    // The caret stays on its line (the next point's after a deletion); on opening it is on the
    // first point.
    int32_t line = currentRow >= 0 ? currentRow : lineOfPoint(kind_, 1);
    line = std::clamp(line, 0, text_->lineCount() - 1);
    const QModelIndex at = model_->index(line);
    txtElenco->selectionModel()->setCurrentIndex(at, text_->pointAtLine(line) ? QItemSelectionModel::ClearAndSelect
                                                                               : QItemSelectionModel::Clear);
    if (currentRow >= 0)
        txtElenco->scrollTo(at);
    else
        txtElenco->scrollToTop();

    Label1->setText(text_->countLabel());
    Label2->setText(text_->lengthLabel());
    Label3->setText(text_->orthodromeLabel());
    cmdOK->setEnabled(true);
}

void frmVis::openPoint(PointDialogMode mode)
{
    const int32_t index = text_->pointAtLine(txtElenco->currentIndex().row());
    const PointList &list = state_.store.list(kind_);
    if (index < 1 || index > list.count())
        return;
    SelectionState &sel = state_.selection;
    sel.clear();
    sel.selected(kind_) = index;
    sel.saved(kind_) = list[index];
    bool emptied = false;
    int32_t shown = 0;
    {
        frmWayPoint form(state_, dialogs_, kind_, mode, this);
        form.setWindowTitle(PointEditor(state_, kind_, mode).kindText());
        form.repaintMap = repaintMap;
        form.run();
        emptied = form.listEmptied();
        shown = sel.selected(kind_); // << and >> may have moved on
    }
    sel.clear();
    if (emptied && listEmptied)
        listEmptied();
    if (shown >= 1 && shown <= list.count())
        txtElenco->setCurrentIndex(model_->index(lineOfPoint(kind_, shown)));
    build();
}

QSize frmVis::rowSize() const
{
    const QFontMetrics fm(txtElenco->font());
    // The text beside the selection's edge needs a few pixels more than its characters.
    return {fm.horizontalAdvance(QString(text_->widestLine(), QLatin1Char('0'))) + 8, fm.lineSpacing()};
}

QString frmVis::selectedText() const
{
    QList<QItemSelectionRange> ranges = txtElenco->selectionModel()->selection();
    std::sort(ranges.begin(), ranges.end(), [](const auto &a, const auto &b) { return a.top() < b.top(); });
    QString out;
    int next = 0; // ranges of a list do not overlap, but never write a line twice
    for (const QItemSelectionRange &r : ranges) {
        out += text_->text(std::max(r.top(), next), r.bottom(), QStringLiteral("\n"));
        next = std::max(next, r.bottom() + 1);
    }
    return out;
}

void frmVis::copySelection() const
{
    const QString text = selectedText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void frmVis::showContextMenu(const QPoint &pos)
{
    QMenu menu(this);
    QAction *copy = menu.addAction(messageText(msg::ListCopy));
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(txtElenco->selectionModel()->hasSelection());
    connect(copy, &QAction::triggered, this, &frmVis::copySelection);
    QAction *all = menu.addAction(messageText(msg::ListSelectAll));
    all->setShortcut(QKeySequence::SelectAll);
    connect(all, &QAction::triggered, txtElenco, &QListView::selectAll);
    menu.exec(txtElenco->viewport()->mapToGlobal(pos));
}

bool frmVis::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtElenco && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy)) {
            copySelection();
            return true;
        }
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            openPoint(PointDialogMode::Modify);
            return true;
        case Qt::Key_Delete:
            openPoint(PointDialogMode::Delete);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace gipso
