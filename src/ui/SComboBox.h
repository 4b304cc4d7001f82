#pragma once
// "combobox": a drop-down list whose entries carry an integer value. Selection
// changes fire "on_sel_changed" (cur, prev); SetCurSel can skip the notification.
#include <QComboBox>

#include "ui/AttributeSink.h"

namespace ui {

class SComboBox : public QComboBox, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "combobox")
public:
    explicit SComboBox(QWidget* parent = nullptr);
    bool SetAttribute(const QString& name, const QString& value) override;

    int GetCurSel() const { return currentIndex(); }
    // Out-of-range index clears the selection (-1). Returns whether it changed.
    bool SetCurSel(int index, bool notify = true);
    int GetCount() const { return count(); }
    int InsertItem(int index, const QString& text, int value = 0);
    int AddItem(const QString& text, int value = 0) { return InsertItem(count(), text, value); }
    int GetItemData(int index) const;
    void ResetContent() {
        SetCurSel(-1, false);
        clear();
    }
    // Items that came from the layout: translated in its context, and again on
    // every language switch.
    void TranslateLayoutItems(const QString& context);

protected:
    void changeEvent(QEvent* e) override;

private:
    void ApplyItemTranslations();

    QString itemContext_;
    int last_ = -1;
    int quiet_ = 0;
};

}  // namespace ui
