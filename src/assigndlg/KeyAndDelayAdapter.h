#pragma once
// Feeds the step list: one row per step of the current group (none: no rows),
// with the code in hexadecimal, the key's name, its state and an edit for its
// delay. The current group is held as an index into the library, so it stays
// the same group while groups are appended. The step operations change the
// group in place and do not save.
#include <cstdint>
#include <string>

#include "ui/ListAdapter.h"

class MacroLibrary;
struct MacroGroup;

class KeyAndDelayAdapter : public ui::McListAdapter {
    Q_OBJECT
public:
    explicit KeyAndDelayAdapter(MacroLibrary& library, QObject* parent = nullptr);

    MacroLibrary& Library() { return library_; }

    int GetCount() const override;
    void FillRow(int row, QWidget* rowWidget, const ui::RowTemplate& tpl) override;
    QString GetColumnName(int column) const override;
    // Marks the column, ascending first, then descending; the steps keep their order.
    bool OnSort(int column, QVector<ui::SortMark>& marks) override;

    // -1 (or any index without a group): no current group. Refreshes.
    void SetCurrentGroup(int groupIndex);
    int CurrentGroupIndex() const { return current_; }
    MacroGroup* CurrentGroup() const;

    // Appends through the library when there is a current group and code is not 0.
    void AppendStep(std::int32_t code, std::int32_t state, std::int32_t delay, const std::string& name);
    bool MoveStepUp(int row);
    bool MoveStepDown(int row);
    void DeleteStep(int row);
    void ClearSteps();

    // A step's delay edit changed (also called by tests with the edit).
    void OnDelayChanged(QWidget* edit);

private:
    MacroLibrary& library_;
    int current_ = -1;
};
