#include "ui/SListView.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

#include "ui/Events.h"
#include "ui/WidgetTree.h"

namespace ui {

SListView::SListView(QWidget* parent) : QAbstractScrollArea(parent) {
    content_ = new QWidget(viewport());
    content_->setObjectName(QStringLiteral("kb_list_content"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(8);
}

SListView::~SListView() = default;

bool SListView::SetAttribute(const QString& name, const QString& value) {
    if (name == u"itemheight") {
        itemHeight_ = ParseInt(value);
        Refresh();
        return true;
    }
    return false;
}

void SListView::SetRowTemplate(const RowTemplate& tpl) {
    template_ = tpl;
    if (itemHeight_ <= 0) itemHeight_ = tpl.Size().height();
}

void SListView::SetAdapter(ListAdapter* adapter) {
    if (adapter_) disconnect(adapter_, nullptr, this, nullptr);
    adapter_ = adapter;
    if (adapter_) {
        connect(adapter_, &QAbstractItemModel::modelReset, this, &SListView::Refresh);
        connect(adapter_, &QAbstractItemModel::dataChanged, this, &SListView::Refresh);
        connect(adapter_, &QAbstractItemModel::rowsInserted, this, &SListView::Refresh);
        connect(adapter_, &QAbstractItemModel::rowsRemoved, this, &SListView::Refresh);
        connect(adapter_, &QAbstractItemModel::layoutChanged, this, &SListView::Refresh);
    }
    Refresh();
}

// From our own geometry rather than the viewport's: a list that was never shown has
// not laid out its viewport yet.
int SListView::ViewHeight() const {
    const QMargins m = viewportMargins();
    return qMax(0, contentsRect().height() - m.top() - m.bottom());
}

int SListView::ContentWidth() const {
    const QMargins m = viewportMargins();
    const int bar = GetScrollMax() > 0 ? verticalScrollBar()->sizeHint().width() : 0;
    return qMax(0, contentsRect().width() - m.left() - m.right() - bar);
}

void SListView::LayoutRow(QWidget* row, int index) {
    row->setGeometry(0, index * itemHeight_, ContentWidth(), itemHeight_);
    for (QObject* c : row->children())
        if (c->isWidgetType()) static_cast<QWidget*>(c)->resize(row->size());
}

void SListView::Refresh() {
    if (itemHeight_ <= 0) itemHeight_ = 30;
    const int count = adapter_ ? adapter_->GetCount() : 0;
    while (rows_.size() > count) {
        // Later: the row may be the one whose click got us here.
        SItemPanel* gone = rows_.takeLast();
        gone->hide();
        gone->deleteLater();
    }
    while (rows_.size() < count) {
        auto* row = new SItemPanel(content_);
        row->setProperty("kbclass", QStringLiteral("itempanel"));
        row->installEventFilter(this);
        rows_.push_back(row);
    }
    content_->resize(ContentWidth(), count * itemHeight_);
    for (int i = 0; i < count; ++i) {
        SItemPanel* row = rows_[i];
        row->resize(ContentWidth(), itemHeight_);
        SetItemIndex(row, i);
        adapter_->FillRow(i, row, template_);
        LayoutRow(row, i);
        WatchClicks(row);
        row->show();
    }
    if (sel_ >= count) sel_ = -1;
    for (int i = 0; i < count; ++i) {
        const bool selected = i == sel_;
        if (rows_[i]->property("selected").toBool() != selected) {
            rows_[i]->setProperty("selected", selected);
            rows_[i]->style()->unpolish(rows_[i]);
            rows_[i]->style()->polish(rows_[i]);
        }
    }
    UpdateScrollRange();
    PlaceContent();
    viewport()->update();
}

void SListView::WatchClicks(QWidget* w) {
    // Clicks inside a row's edits and buttons select the row too.
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (c->property("kbRowWatched").toBool()) continue;
        c->setProperty("kbRowWatched", true);
        c->installEventFilter(this);
    }
}

void SListView::SetSel(int row, bool notify) {
    if (row < 0 || row >= rows_.size()) row = -1;
    const int prev = sel_;
    sel_ = row;
    for (int i = 0; i < rows_.size(); ++i) {
        rows_[i]->setProperty("selected", i == sel_);
        rows_[i]->style()->unpolish(rows_[i]);
        rows_[i]->style()->polish(rows_[i]);
        rows_[i]->update();
    }
    if (notify && prev != sel_) {
        EventArgs a;
        a.event = ev::kSelChanged;
        a.cur = sel_;
        a.prev = prev;
        Fire(this, a);
    }
}

bool SListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            for (QWidget* w = static_cast<QWidget*>(watched); w && w != this; w = w->parentWidget()) {
                auto* row = qobject_cast<SItemPanel*>(w);
                if (!row || !rows_.contains(row)) continue;
                const int index = int(rows_.indexOf(row));
                SetSel(index, true);
                EventArgs a;
                a.event = ev::kItemClick;
                a.cur = index;
                Fire(row, a);
                break;
            }
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

int SListView::GetScrollPos() const { return verticalScrollBar()->value(); }

int SListView::GetScrollMax() const { return qMax(0, int(rows_.size()) * itemHeight_ - ViewHeight()); }

void SListView::SetScrollPos(int pos) {
    UpdateScrollRange();
    verticalScrollBar()->setValue(qBound(0, pos, GetScrollMax()));
    PlaceContent();
    viewport()->update();
}

void SListView::EnsureVisible(int row) {
    if (row < 0 || row >= rows_.size()) return;
    const int top = row * itemHeight_, bottom = top + itemHeight_;
    if (top < GetScrollPos())
        SetScrollPos(top);
    else if (bottom > GetScrollPos() + ViewHeight())
        SetScrollPos(bottom - ViewHeight());
}

void SListView::UpdateScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(qMax(1, ViewHeight()));
    bar->setRange(0, GetScrollMax());
}

void SListView::PlaceContent() { content_->move(0, -GetScrollPos()); }

void SListView::scrollContentsBy(int, int) { PlaceContent(); }

// Up and down move the selection like clicks do (with notification).
void SListView::keyPressEvent(QKeyEvent* e) {
    const int count = int(rows_.size());
    int next = -2;
    if (e->key() == Qt::Key_Down)
        next = sel_ < 0 ? 0 : qMin(sel_ + 1, count - 1);
    else if (e->key() == Qt::Key_Up)
        next = sel_ < 0 ? count - 1 : qMax(sel_ - 1, 0);
    else if (e->key() == Qt::Key_Home)
        next = 0;
    else if (e->key() == Qt::Key_End)
        next = count - 1;
    if (next == -2 || count == 0) return QAbstractScrollArea::keyPressEvent(e);
    SetSel(next, true);
    EnsureVisible(next);
    e->accept();
}

void SListView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    content_->resize(ContentWidth(), int(rows_.size()) * itemHeight_);
    for (int i = 0; i < rows_.size(); ++i) LayoutRow(rows_[i], i);
    UpdateScrollRange();
    PlaceContent();
}

}  // namespace ui
