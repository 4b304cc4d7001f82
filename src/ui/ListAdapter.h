#pragma once
// Adapters feed list views. They are Qt models (row count, change notifications to
// every list showing them) that also fill a row widget built from the list's row
// template. NotifyDataSetChanged refreshes every observer.
#include <QAbstractListModel>
#include <QVector>

#include "ui/RowTemplate.h"

namespace ui {

enum class SortMark { None, Ascending, Descending };

class ListAdapter : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    virtual int GetCount() const = 0;
    // Fills row (building it from tpl when it is still empty, see BuildIfEmpty).
    virtual void FillRow(int row, QWidget* rowWidget, const RowTemplate& tpl) = 0;
    // Tells every list showing this adapter to re-read the count and the rows.
    void NotifyDataSetChanged();

    // Builds the template into row when row has no widgets yet; returns row's content.
    static void BuildIfEmpty(QWidget* rowWidget, const RowTemplate& tpl);

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : GetCount(); }
    QVariant data(const QModelIndex&, int) const override { return {}; }
};

// Adapter of a multi-column list: column names are the names of the template cells.
class McListAdapter : public ListAdapter {
    Q_OBJECT
public:
    using ListAdapter::ListAdapter;
    virtual QString GetColumnName(int column) const;
    virtual bool IsColumnVisible(int) const { return true; }
    // Header click on column: the adapter may change the marks (and its rows).
    // Returns whether it took the click.
    virtual bool OnSort(int column, QVector<SortMark>& marks) {
        (void)column;
        (void)marks;
        return false;
    }
};

}  // namespace ui
