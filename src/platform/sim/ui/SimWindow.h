#pragma once
// The demo's emulator window, beside the main window when kbconf runs on the
// emulated hardware. It shows what the keyboard's firmware holds (lighting,
// version, the last packets it received), lets the user unplug the keyboard,
// plug it back or plug the other model, offers an on-screen keyboard (click the
// keys, or type while the window has the focus) whose keys go through the
// emulated filter driver, and lists what the virtual keyboard types.
//
// It redraws when SimControl reports a change (a queued call to the UI thread),
// never on a timer. Keys it holds are let go when it loses the focus and when
// it is destroyed. Destroy it before the SimControl it shows.

#include <QWidget>
#include <atomic>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/sim/SimControlState.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace platform::sim {
class SimControl;
}

namespace platform::sim::ui {

class SimKeyboardPanel;

class SimWindow : public QWidget {
    Q_OBJECT
public:
    explicit SimWindow(SimControl& control, QWidget* parent = nullptr);
    ~SimWindow() override;

    SimKeyboardPanel* Keyboard() const { return keyboard_; }

public slots:
    // Shows the emulator's state now; change notices call it.
    void Refresh();

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OnKey(QKeyEvent* event, bool down);
    void Press(uint16_t page, uint16_t usage);
    void Release(uint16_t page, uint16_t usage);
    void ReleaseTyped();
    void Report(bool ok, const std::string& why);
    QLabel* Value(const char* name);

    SimControl& control_;
    int listener_ = 0;
    std::atomic<bool> refreshPending_{false};

    QLabel* model_;
    QLabel* connection_;
    QLabel* firmware_;
    QLabel* effect_;
    QLabel* speed_;
    QLabel* brightness_;
    QLabel* flags_;
    QLabel* selection_;
    QLabel* sideEffect_;
    QLabel* sideLevel_;
    QLabel* status_;
    QPushButton* unplug_;
    QPushButton* plug_;
    QPushButton* switch_;
    SimKeyboardPanel* keyboard_;
    QTreeWidget* packets_;
    QTreeWidget* typed_;

    // Keys pressed by typing, by the key event that pressed them, so the
    // release finds the same usage whatever the modifiers did meanwhile.
    std::map<quint64, uint32_t> typedDown_;
    std::set<uint32_t> clickedDown_;
    // What the lists show, to rebuild them only when they changed.
    uint64_t shownPackets_ = ~uint64_t{0};
    uint64_t shownTyped_ = ~uint64_t{0};
};

}  // namespace platform::sim::ui
