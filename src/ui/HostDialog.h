#pragma once
// A modal dialog built from a named layout; DoModal returns the value given to
// EndDialog (IDOK, IDCANCEL or any other). A dialog ends once: the first end
// value set during a run is its result, later ones are ignored.
#include <QDialog>

#include "ui/Events.h"
#include "ui/LayoutHost.h"

namespace ui {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

class HostDialog : public LayoutHost<QDialog>, public EventHost {
    Q_OBJECT
public:
    explicit HostDialog(QString layoutRes, QWidget* parent = nullptr);

    // Builds (if needed) and runs the dialog modally with owner as parent.
    int DoModal(QWidget* owner = nullptr);
    void EndDialog(int value);
    // What the title-bar buttons of a dialog do.
    void Minimize() { showMinimized(); }
    void ToggleRestore() { isMaximized() ? showNormal() : showMaximized(); }
    int EndValue() const { return endValue_; }

    // Escape and the window's close button end the dialog with IDCANCEL.
    void reject() override { EndDialog(IDCANCEL); }

private:
    int endValue_ = 0;
    bool ended_ = false;
};

}  // namespace ui
