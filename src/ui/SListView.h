#pragma once
// "listview": rows of widgets built from a row template and filled by an adapter.
// Selection: SetSel with or without "on_sel_changed"; a click on a row selects it
// (notifying), then fires "on_item_click" on the row widget. On refresh a selection
// at or beyond the row count becomes none. The vertical scroll position is clamped
// to its maximum.
#include <QAbstractScrollArea>
#include <QPointer>
#include <QVector>

#include "ui/AttributeSink.h"
#include "ui/ListAdapter.h"
#include "ui/SWindow.h"

namespace ui {

// One row: remembers its index, selected look through the "selected" property.
class SItemPanel : public SWindow {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "itempanel")
public:
    using SWindow::SWindow;
};

class SListView : public QAbstractScrollArea, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "listview")
public:
    explicit SListView(QWidget* parent = nullptr);
    ~SListView() override;
    bool SetAttribute(const QString& name, const QString& value) override;

    void SetRowTemplate(const RowTemplate& tpl);
    const RowTemplate& GetRowTemplate() const { return template_; }
    // The adapter is not owned; the list follows its change notifications.
    void SetAdapter(ListAdapter* adapter);
    ListAdapter* GetAdapter() const { return adapter_; }

    int GetCount() const { return int(rows_.size()); }
    QWidget* GetRow(int row) const { return row >= 0 && row < rows_.size() ? rows_[row] : nullptr; }
    int GetSel() const { return sel_; }
    // -1 or an out-of-range row clears the selection.
    void SetSel(int row, bool notify = false);

    int ItemHeight() const { return itemHeight_; }
    int GetScrollPos() const;
    int GetScrollMax() const;
    // Clamped to 0..GetScrollMax().
    void SetScrollPos(int pos);
    void EnsureVisible(int row);

    // Re-reads count and rows from the adapter.
    virtual void Refresh();

protected:
    virtual void LayoutRow(QWidget* row, int index);
    virtual int ContentWidth() const;
    int ViewHeight() const;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void UpdateScrollRange();
    void PlaceContent();
    void WatchClicks(QWidget* w);

    RowTemplate template_;
    QPointer<ListAdapter> adapter_;
    QWidget* content_ = nullptr;
    QVector<SItemPanel*> rows_;
    int sel_ = -1;
    int itemHeight_ = 0;
};

}  // namespace ui
