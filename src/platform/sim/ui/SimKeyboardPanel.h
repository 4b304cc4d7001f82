#pragma once
// The emulator window's on-screen keyboard: one button per key of SimKeyLayout.
// Pressing a button with the mouse is a key going down, letting go (or leaving
// the button) a key going up. Keys held on the emulated keyboard, by whatever
// means, are shown lit.

#include <QWidget>
#include <cstdint>
#include <map>
#include <vector>

class QPushButton;

namespace platform::sim::ui {

class SimKeyboardPanel : public QWidget {
    Q_OBJECT
public:
    explicit SimKeyboardPanel(QWidget* parent = nullptr);

    // Codes (page << 16) | usage of the keys down now.
    void ShowHeld(const std::vector<uint32_t>& codes);
    // The button of a key, or null; its object name is "key_<page>_<usage>" (hex).
    QPushButton* Button(uint16_t page, uint16_t usage) const;

    QSize sizeHint() const override;

signals:
    void keyDown(uint16_t page, uint16_t usage);
    void keyUp(uint16_t page, uint16_t usage);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Place();

    std::map<uint32_t, QPushButton*> buttons_;
    std::vector<uint32_t> held_;
};

}  // namespace platform::sim::ui
