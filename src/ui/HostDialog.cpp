#include "ui/HostDialog.h"

namespace ui {

HostDialog::HostDialog(QString layoutRes, QWidget* parent) : LayoutHost(std::move(layoutRes), parent) {}

int HostDialog::DoModal(QWidget* owner) {
    if (owner && owner != parentWidget()) setParent(owner, windowFlags() | Qt::Dialog);
    if (!Create()) return -1;
    endValue_ = 0;
    ended_ = false;
    exec();
    return endValue_;
}

void HostDialog::EndDialog(int value) {
    if (ended_) return;
    ended_ = true;
    endValue_ = value;
    done(value);
}

}  // namespace ui
