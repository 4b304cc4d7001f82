#pragma once
// "mclistview": a list view with a column header. The row template's cells are the
// widgets named after the adapter's column names ("col1", …), placed left to right
// by the column widths. A header click fires "on_header_click" and lets the adapter
// set the sort marks.
#include "ui/SHeaderCtrl.h"
#include "ui/SListView.h"

namespace ui {

class SMCListView : public SListView {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "mclistview")
public:
    explicit SMCListView(QWidget* parent = nullptr);
    bool SetAttribute(const QString& name, const QString& value) override;

    SHeaderCtrl* Header() const { return header_; }
    void SetColumns(const QStringList& captions, const QList<int>& widths);
    QVector<SortMark> SortMarks() const { return header_->Marks(); }
    // What a click on a header column does (also used by the header itself).
    void ClickHeader(int column);

protected:
    void LayoutRow(QWidget* row, int index) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void PlaceHeader();

    SHeaderCtrl* header_;
    QStringList captions_;
    QList<int> widths_;
    int headerHeight_ = 28;
};

}  // namespace ui
