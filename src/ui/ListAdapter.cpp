#include "ui/ListAdapter.h"

#include <QWidget>

namespace ui {

void ListAdapter::NotifyDataSetChanged() {
    beginResetModel();
    endResetModel();
}

void ListAdapter::BuildIfEmpty(QWidget* rowWidget, const RowTemplate& tpl) {
    if (!rowWidget) return;
    for (QObject* c : rowWidget->children())
        if (c->isWidgetType()) return;
    tpl.BuildInto(rowWidget);
}

QString McListAdapter::GetColumnName(int column) const { return QStringLiteral("col%1").arg(column + 1); }

}  // namespace ui
