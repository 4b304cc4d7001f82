#include "ui/SMCListView.h"

#include "ui/Events.h"
#include "ui/WidgetTree.h"

namespace ui {

SMCListView::SMCListView(QWidget* parent) : SListView(parent), header_(new SHeaderCtrl(this)) {
    header_->clicked = [this](int col) { ClickHeader(col); };
    setViewportMargins(0, headerHeight_, 0, 0);
}

bool SMCListView::SetAttribute(const QString& name, const QString& value) {
    if (name == u"headers") {
        captions_ = value.split(u'|');
        SetColumns(captions_, widths_);
        return true;
    }
    if (name == u"colwidths") {
        widths_.clear();
        for (const QString& w : value.split(u',')) widths_ << ParseInt(w, 80);
        SetColumns(captions_, widths_);
        return true;
    }
    if (name == u"headerheight") {
        headerHeight_ = ParseInt(value, headerHeight_);
        setViewportMargins(0, headerHeight_, 0, 0);
        PlaceHeader();
        return true;
    }
    return SListView::SetAttribute(name, value);
}

void SMCListView::SetColumns(const QStringList& captions, const QList<int>& widths) {
    captions_ = captions;
    widths_ = widths;
    QVector<SHeaderCtrl::Column> cols;
    for (int i = 0; i < captions.size(); ++i)
        cols.push_back({captions[i].trimmed(), i < widths.size() ? widths[i] : 80, SortMark::None});
    header_->SetContext(template_.Context().isEmpty() ? property("kbLayoutContext").toString() : template_.Context());
    header_->SetColumns(cols);
    Refresh();
}

void SMCListView::ClickHeader(int column) {
    if (column < 0 || column >= header_->ColumnCount()) return;
    if (auto* mc = qobject_cast<McListAdapter*>(adapter_.data())) {
        QVector<SortMark> marks = header_->Marks();
        if (mc->OnSort(column, marks)) header_->SetMarks(marks);
    }
    EventArgs a;
    a.event = ev::kHeaderClick;
    a.cur = column;
    Fire(this, a);
}

void SMCListView::LayoutRow(QWidget* row, int index) {
    SListView::LayoutRow(row, index);
    auto* mc = qobject_cast<McListAdapter*>(adapter_.data());
    for (int c = 0; c < header_->ColumnCount(); ++c) {
        const QString cellName = mc ? mc->GetColumnName(c) : QStringLiteral("col%1").arg(c + 1);
        if (QWidget* cell = FindChildByName(row, cellName)) {
            const QRect r = header_->ColumnRect(c);
            cell->setGeometry(r.x(), 0, r.width(), itemHeight_);
            cell->setVisible(!mc || mc->IsColumnVisible(c));
            // The cell's single child (the value widget) fills it, leaving a small margin.
            for (QObject* o : cell->children())
                if (o->isWidgetType() && !cell->layout())
                    static_cast<QWidget*>(o)->setGeometry(4, 3, r.width() - 8, itemHeight_ - 6);
        }
    }
}

void SMCListView::PlaceHeader() {
    const QRect cr = contentsRect();
    const QMargins m = viewportMargins();
    header_->setGeometry(cr.x() + m.left(), cr.y(), cr.width() - m.left() - m.right(), headerHeight_);
}

void SMCListView::resizeEvent(QResizeEvent* e) {
    SListView::resizeEvent(e);
    PlaceHeader();
    for (int i = 0; i < rows_.size(); ++i) LayoutRow(rows_[i], i);
}

}  // namespace ui
