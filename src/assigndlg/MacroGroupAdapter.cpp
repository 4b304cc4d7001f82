#include "assigndlg/MacroGroupAdapter.h"

#include <QLineEdit>

#include "assigndlg/IOnMacroGroupClickedListener.h"
#include "data/MacroLibrary.h"
#include "ui/Events.h"
#include "ui/WidgetTree.h"

namespace {
// Rows are built once and refilled on every refresh: subscribe only once.
constexpr const char* kSubscribed = "kbGroupRowSubscribed";
}  // namespace

MacroGroupAdapter::MacroGroupAdapter(MacroLibrary& library, QObject* parent)
    : ui::ListAdapter(parent), library_(library) {}

int MacroGroupAdapter::GetCount() const { return static_cast<int>(library_.Groups().size()); }

int MacroGroupAdapter::Resolve(int row) const { return row < 0 ? library_.Config().group : row; }

void MacroGroupAdapter::FillRow(int row, QWidget* rowWidget, const ui::RowTemplate& tpl) {
    BuildIfEmpty(rowWidget, tpl);
    ui::SetItemIndex(rowWidget, row);
    if (auto* edit = qobject_cast<QLineEdit*>(ui::FindChildByName(rowWidget, QStringLiteral("group_name"), "edit"))) {
        ui::SetItemIndex(edit, row);
        if (!edit->property(kSubscribed).toBool()) {
            edit->setProperty(kSubscribed, true);
            ui::Subscribe(edit, ui::ev::kEditChanged, [this, edit](ui::EventArgs&) {
                OnNameChanged(edit);
                return false;
            });
        }
        const MacroGroup* group = library_.GetGroup(Resolve(row));
        // The change notification that follows finds the same name and does nothing.
        edit->setText(group ? QString::fromStdString(group->name) : QString());
    }
    if (!rowWidget->property(kSubscribed).toBool()) {
        rowWidget->setProperty(kSubscribed, true);
        ui::Subscribe(rowWidget, ui::ev::kItemClick, [this, rowWidget](ui::EventArgs&) {
            OnRowClicked(ui::ItemIndex(rowWidget));
            return false;
        });
    }
}

void MacroGroupAdapter::OnNameChanged(QWidget* edit) {
    library_.RenameGroup(ui::ItemIndex(edit), static_cast<QLineEdit*>(edit)->text().toStdString());
}

void MacroGroupAdapter::OnRowClicked(int row) {
    const MacroGroup* group = library_.GetGroup(Resolve(row));
    if (group && listener_) listener_->OnMacroGroupClicked(row, group->name);
}
