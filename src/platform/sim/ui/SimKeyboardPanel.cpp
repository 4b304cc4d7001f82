#include "platform/sim/ui/SimKeyboardPanel.h"

#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <cstring>

#include "data/KeyNameTable.h"
#include "platform/sim/ui/SimKeyLayout.h"

namespace platform::sim::ui {
namespace {

constexpr int kUnit = 38;  // pixels per key unit at the preferred size
constexpr int kGap = 4;

uint32_t Code(uint16_t page, uint16_t usage) { return (uint32_t{page} << 16) | usage; }

// Scoped by the panel's name, so that window or application style sheets
// with plain button rules do not restyle the keys.
const char* kStyle = R"(
#keyboard QPushButton {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3b414b, stop:1 #2d323a);
    color: #e8ebf0;
    border: 1px solid #1b1e23;
    border-bottom: 3px solid #1b1e23;
    border-radius: 5px;
    font-size: 11px;
    font-weight: normal;
    padding: 0px;
}
#keyboard QPushButton:hover { background: #48505c; }
#keyboard QPushButton[media="true"] { color: #7fd8ff; }
#keyboard QPushButton[small="true"] { font-size: 9px; }
#keyboard QPushButton:pressed, #keyboard QPushButton[held="true"] {
    background: #1e9bd7;
    color: white;
    border-bottom: 1px solid #0f5f86;
}
)";

}  // namespace

SimKeyboardPanel::SimKeyboardPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("keyboard"));
    setStyleSheet(QString::fromLatin1(kStyle));
    for (const SimKeyCap& cap : SimKeyLayout::Keys()) {
        auto* button = new QPushButton(QString::fromUtf8(cap.label), this);
        button->setObjectName(QStringLiteral("key_%1_%2").arg(cap.page, 0, 16).arg(cap.usage, 0, 16));
        // Typing goes to the window; a focused button would eat Space and Return.
        button->setFocusPolicy(Qt::NoFocus);
        const KeyNameEntry& name = KeyNameTable::FindKey(cap.usage, cap.page);
        button->setToolTip(QStringLiteral("%1  (%2:%3)")
                               .arg(QString::fromUtf8(*name.name ? name.name : cap.label))
                               .arg(cap.page, 0, 16)
                               .arg(cap.usage, 0, 16));
        if (cap.page == 0x0C) button->setProperty("media", true);
        if (std::strlen(cap.label) > 3 && cap.w < 1.5) button->setProperty("small", true);
        const uint16_t page = cap.page, usage = cap.usage;
        connect(button, &QPushButton::pressed, this, [this, page, usage] { emit keyDown(page, usage); });
        connect(button, &QPushButton::released, this, [this, page, usage] { emit keyUp(page, usage); });
        buttons_[Code(cap.page, cap.usage)] = button;
    }
    setMinimumSize(static_cast<int>(SimKeyLayout::Width() * 26), static_cast<int>(SimKeyLayout::Height() * 26));
    Place();
}

QSize SimKeyboardPanel::sizeHint() const {
    return QSize(static_cast<int>(SimKeyLayout::Width() * kUnit), static_cast<int>(SimKeyLayout::Height() * kUnit));
}

void SimKeyboardPanel::resizeEvent(QResizeEvent*) { Place(); }

void SimKeyboardPanel::Place() {
    // One scale for both directions, the board centred in the panel.
    const double unit = std::min(width() / SimKeyLayout::Width(), height() / SimKeyLayout::Height());
    const double left = (width() - unit * SimKeyLayout::Width()) / 2;
    const double top = (height() - unit * SimKeyLayout::Height()) / 2;
    const int gap = std::max(2, static_cast<int>(unit * kGap / kUnit));
    for (const SimKeyCap& cap : SimKeyLayout::Keys()) {
        QPushButton* b = buttons_[Code(cap.page, cap.usage)];
        const int x = static_cast<int>(left + cap.x * unit);
        const int y = static_cast<int>(top + cap.y * unit);
        b->setGeometry(x, y, static_cast<int>(cap.w * unit) - gap, static_cast<int>(cap.h * unit) - gap);
    }
}

void SimKeyboardPanel::ShowHeld(const std::vector<uint32_t>& codes) {
    if (codes == held_) return;
    auto set = [&](uint32_t code, bool held) {
        auto it = buttons_.find(code);
        if (it == buttons_.end()) return;
        it->second->setProperty("held", held);
        // Dynamic properties reach the style sheet only when it is applied again.
        it->second->style()->unpolish(it->second);
        it->second->style()->polish(it->second);
    };
    for (uint32_t code : held_) set(code, false);
    held_ = codes;
    for (uint32_t code : held_) set(code, true);
}

QPushButton* SimKeyboardPanel::Button(uint16_t page, uint16_t usage) const {
    auto it = buttons_.find(Code(page, usage));
    return it == buttons_.end() ? nullptr : it->second;
}

}  // namespace platform::sim::ui
