#include "ui/SComboBox.h"

#include <QAbstractItemView>
#include <QListView>

#include "ui/Events.h"

namespace ui {

SComboBox::SComboBox(QWidget* parent) : QComboBox(parent)
{
    // A styled list view so the style sheet reaches the popup rows.
    setView(new QListView(this));
    connect(this, &QComboBox::currentIndexChanged, this, [this](int cur) {
        const int prev = last_;
        last_ = cur;
        if (quiet_) return;
        EventArgs a;
        a.event = ev::kSelChanged;
        a.cur = cur;
        a.prev = prev;
        Fire(this, a);
    });
}

bool SComboBox::SetAttribute(const QString& name, const QString& value)
{
    if (name == u"dropheight") {
        view()->setMinimumHeight(0);
        setMaxVisibleItems(qMax(1, ParseInt(value) / qMax(1, fontMetrics().height() + 8)));
        return true;
    }
    if (name == u"cursel") {
        SetCurSel(ParseInt(value, -1), false);
        return true;
    }
    return false;
}

bool SComboBox::SetCurSel(int index, bool notify)
{
    if (index < 0 || index >= count()) index = -1;
    if (index == currentIndex()) return false;
    if (!notify) ++quiet_;
    setCurrentIndex(index);
    if (!notify) --quiet_;
    return true;
}

int SComboBox::InsertItem(int index, const QString& text, int value)
{
    index = qBound(0, index, count());
    ++quiet_; // adding the first entry makes Qt select it; that is no user choice
    insertItem(index, text, value);
    --quiet_;
    return index;
}

int SComboBox::GetItemData(int index) const { return itemData(index).toInt(); }

} // namespace ui
