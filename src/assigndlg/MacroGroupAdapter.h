#pragma once
// Feeds the macro group list: one row per group of the library, in library
// order, each row an edit holding the group's name. Typing renames the group
// (and the library saves); a click on a row tells the listener.
#include "ui/ListAdapter.h"

class IOnMacroGroupClickedListener;
class MacroLibrary;

class MacroGroupAdapter : public ui::ListAdapter {
    Q_OBJECT
public:
    explicit MacroGroupAdapter(MacroLibrary& library, QObject* parent = nullptr);

    void SetListener(IOnMacroGroupClickedListener* listener) { listener_ = listener; }
    MacroLibrary& Library() { return library_; }

    int GetCount() const override;
    void FillRow(int row, QWidget* rowWidget, const ui::RowTemplate& tpl) override;

private:
    // A negative row stands for the library's chosen group.
    int Resolve(int row) const;
    void OnNameChanged(QWidget* edit);
    void OnRowClicked(int row);

    MacroLibrary& library_;
    IOnMacroGroupClickedListener* listener_ = nullptr;
};
