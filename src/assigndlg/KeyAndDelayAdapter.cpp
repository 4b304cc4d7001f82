#include "assigndlg/KeyAndDelayAdapter.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <climits>
#include <utility>

#include "data/MacroLibrary.h"
#include "ui/Events.h"
#include "ui/TranslatorManager.h"
#include "ui/WidgetTree.h"

namespace {

constexpr const char* kSubscribed = "kbStepRowSubscribed";

enum class Parsed { kNumber, kBlank, kNotANumber };

// As "%d" reads it: leading white space and a sign, then digits; what follows is
// ignored. Clamped to 32 bits instead of overflowing.
Parsed ParseDelay(const QString& text, std::int32_t* value) {
    int i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    if (i == text.size()) return Parsed::kBlank;
    bool negative = false;
    if (text[i] == u'+' || text[i] == u'-') negative = text[i++] == u'-';
    if (i == text.size() || !text[i].isDigit()) return Parsed::kNotANumber;
    long long n = 0;
    for (; i < text.size() && text[i].isDigit(); ++i) n = std::min(n * 10 + text[i].digitValue(), 1LL << 32);
    n = negative ? -n : n;
    *value = static_cast<std::int32_t>(std::clamp<long long>(n, INT32_MIN, INT32_MAX));
    return Parsed::kNumber;
}

}  // namespace

KeyAndDelayAdapter::KeyAndDelayAdapter(MacroLibrary& library, QObject* parent)
    : ui::McListAdapter(parent), library_(library) {}

MacroGroup* KeyAndDelayAdapter::CurrentGroup() const { return library_.GetGroup(current_); }

int KeyAndDelayAdapter::GetCount() const {
    const MacroGroup* group = CurrentGroup();
    return group ? static_cast<int>(group->steps.size()) : 0;
}

void KeyAndDelayAdapter::FillRow(int row, QWidget* rowWidget, const ui::RowTemplate& tpl) {
    BuildIfEmpty(rowWidget, tpl);
    const MacroGroup* group = CurrentGroup();
    if (!group || row < 0 || row >= static_cast<int>(group->steps.size())) return;
    const MacroStep& step = group->steps[static_cast<size_t>(row)];

    if (auto* code = qobject_cast<QLabel*>(ui::FindChildByName(rowWidget, QStringLiteral("key_code"))))
        code->setText(QString::number(static_cast<std::uint32_t>(step.code), 16));
    if (auto* name = qobject_cast<QLabel*>(ui::FindChildByName(rowWidget, QStringLiteral("key_name"))))
        name->setText(QString::fromStdString(step.name));
    if (QWidget* state = ui::FindChildByName(rowWidget, QStringLiteral("key_state")))
        ui::SetTrText(state, QStringLiteral("KeyAndDelayAdapter"),
                      step.state == 1 ? QStringLiteral("key down") : QStringLiteral("replace"));
    if (auto* delay = qobject_cast<QLineEdit*>(ui::FindChildByName(rowWidget, QStringLiteral("key_delay"), "editex"))) {
        ui::SetItemIndex(delay, row);
        if (!delay->property(kSubscribed).toBool()) {
            delay->setProperty(kSubscribed, true);
            ui::Subscribe(delay, ui::ev::kEditChanged, [this](ui::EventArgs& a) {
                OnDelayChanged(a.sender);
                return false;
            });
        }
        delay->setText(QString::number(step.delay));
    }
}

QString KeyAndDelayAdapter::GetColumnName(int column) const { return QStringLiteral("col%1").arg(column + 1); }

bool KeyAndDelayAdapter::OnSort(int column, QVector<ui::SortMark>& marks) {
    if (column < 0 || column >= marks.size()) return false;
    const ui::SortMark next =
        marks[column] == ui::SortMark::Ascending ? ui::SortMark::Descending : ui::SortMark::Ascending;
    for (ui::SortMark& m : marks) m = ui::SortMark::None;
    marks[column] = next;
    return true;
}

void KeyAndDelayAdapter::SetCurrentGroup(int groupIndex) {
    current_ = library_.GetGroup(groupIndex) ? groupIndex : -1;
    NotifyDataSetChanged();
}

void KeyAndDelayAdapter::AppendStep(std::int32_t code, std::int32_t state, std::int32_t delay,
                                    const std::string& name) {
    MacroGroup* group = CurrentGroup();
    if (!group || code == 0) return;
    library_.AddStep(*group, MacroStep{code, state, delay, name});
    NotifyDataSetChanged();
}

bool KeyAndDelayAdapter::MoveStepUp(int row) {
    MacroGroup* group = CurrentGroup();
    if (!group || row < 1 || row >= static_cast<int>(group->steps.size())) return false;
    std::swap(group->steps[static_cast<size_t>(row) - 1], group->steps[static_cast<size_t>(row)]);
    NotifyDataSetChanged();
    return true;
}

bool KeyAndDelayAdapter::MoveStepDown(int row) {
    MacroGroup* group = CurrentGroup();
    if (!group || row < 0 || row + 1 >= static_cast<int>(group->steps.size())) return false;
    std::swap(group->steps[static_cast<size_t>(row)], group->steps[static_cast<size_t>(row) + 1]);
    NotifyDataSetChanged();
    return true;
}

void KeyAndDelayAdapter::DeleteStep(int row) {
    MacroGroup* group = CurrentGroup();
    if (!group) return;
    if (row >= 0 && row < static_cast<int>(group->steps.size())) group->steps.erase(group->steps.begin() + row);
    NotifyDataSetChanged();
}

void KeyAndDelayAdapter::ClearSteps() {
    MacroGroup* group = CurrentGroup();
    if (!group) return;
    group->steps.clear();
    NotifyDataSetChanged();
}

void KeyAndDelayAdapter::OnDelayChanged(QWidget* edit) {
    if (!edit || !ui::IsClass(edit, QStringLiteral("editex"))) return;
    MacroGroup* group = CurrentGroup();
    const int row = ui::ItemIndex(edit);
    if (!group || row < 0 || row >= static_cast<int>(group->steps.size())) return;
    MacroStep& step = group->steps[static_cast<size_t>(row)];
    auto* line = static_cast<QLineEdit*>(edit);
    std::int32_t value = 0;
    switch (ParseDelay(line->text(), &value)) {
    case Parsed::kNumber:
        if (value != step.delay) step.delay = value;
        break;
    case Parsed::kBlank:
        step.delay = 0;
        break;
    case Parsed::kNotANumber:
        line->setText(QString::number(step.delay));
        break;
    }
}
