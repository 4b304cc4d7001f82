#include "ui/SComboBox.h"

#include <QAbstractItemView>
#include <QListView>

#include "ui/Events.h"
#include "ui/TranslatorManager.h"

#include <QEvent>

namespace ui {

SComboBox::SComboBox(QWidget* parent) : QComboBox(parent) {
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

bool SComboBox::SetAttribute(const QString& name, const QString& value) {
    if (name == u"dropheight") {
        view()->setMinimumHeight(0);
        setMaxVisibleItems(qMax(1, ParseInt(value) / qMax(1, fontMetrics().height() + 8)));
        return true;
    }
    if (name == u"values") {
        // Item values in item order ("2,3,4"): what code reads back as item data.
        const QStringList values = value.split(u',');
        for (int i = 0; i < values.size() && i < count(); ++i) setItemData(i, ParseInt(values[i]));
        return true;
    }
    if (name == u"cursel") {
        SetCurSel(ParseInt(value, -1), false);
        return true;
    }
    return false;
}

bool SComboBox::SetCurSel(int index, bool notify) {
    if (index < 0 || index >= count()) index = -1;
    if (index == currentIndex()) return false;
    if (!notify) ++quiet_;
    setCurrentIndex(index);
    if (!notify) --quiet_;
    return true;
}

int SComboBox::InsertItem(int index, const QString& text, int value) {
    index = qBound(0, index, count());
    ++quiet_;  // adding the first entry makes Qt select it; that is no user choice
    insertItem(index, text, value);
    --quiet_;
    return index;
}

int SComboBox::GetItemData(int index) const { return itemData(index).toInt(); }

}  // namespace ui

namespace ui {

namespace {
constexpr int kSourceRole = Qt::UserRole + 1;
}

void SComboBox::TranslateLayoutItems(const QString& context) {
    itemContext_ = context;
    for (int i = 0; i < count(); ++i)
        if (!itemData(i, kSourceRole).isValid()) setItemData(i, itemText(i), kSourceRole);
    ApplyItemTranslations();
}

void SComboBox::ApplyItemTranslations() {
    for (int i = 0; i < count(); ++i) {
        const QVariant source = itemData(i, kSourceRole);
        if (source.isValid()) setItemText(i, TranslatorManager::Tr(itemContext_, source.toString()));
    }
}

void SComboBox::changeEvent(QEvent* e) {
    if (e->type() == QEvent::LanguageChange && !itemContext_.isEmpty()) ApplyItemTranslations();
    QComboBox::changeEvent(e);
}

}  // namespace ui
