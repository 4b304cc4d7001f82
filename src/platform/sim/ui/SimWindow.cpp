#include "platform/sim/ui/SimWindow.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "data/KeyNameTable.h"
#include "platform/sim/SimControl.h"
#include "platform/sim/ui/SimKeyboardPanel.h"
#include "platform/sim/ui/SimQtKeyMap.h"

namespace platform::sim::ui {
namespace {

uint32_t Code(uint16_t page, uint16_t usage) { return (uint32_t{page} << 16) | usage; }

QString Seconds(int64_t ms) { return QStringLiteral("%1.%2 s").arg(ms / 1000).arg(ms % 1000, 3, 10, QLatin1Char('0')); }

// Its own look, dark like the main window's, so it is the same window in the
// program (whose style sheet covers the whole application) and on its own.
const char* kStyle = R"(
#sim_window { background: #0f1115; }
QWidget { color: #e6e9ef; }
QGroupBox {
    background: #171a21;
    border: 1px solid #2a2f3a;
    border-radius: 6px;
    margin-top: 18px;
    padding: 6px;
    font-weight: bold;
}
QGroupBox::title { subcontrol-origin: margin; left: 8px; top: 0px; color: #9aa3b2; }
QLabel { background: transparent; font-weight: normal; }
QPushButton {
    background: #232833;
    border: 1px solid #343a47;
    border-radius: 4px;
    padding: 5px 12px;
    font-weight: normal;
}
QPushButton:hover { background: #2c3240; }
QPushButton:pressed { background: #0e8fbf; }
QPushButton:disabled { color: #5c6370; background: #1a1e25; }
QTreeWidget {
    background: #12151b;
    alternate-background-color: #171b22;
    border: 1px solid #2a2f3a;
    font-weight: normal;
}
QScrollBar { background: #12151b; border: none; width: 10px; height: 10px; }
QScrollBar::handle { background: #343a47; border-radius: 4px; min-width: 20px; min-height: 20px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0px; height: 0px; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
QHeaderView::section {
    background: #1e222b;
    color: #9aa3b2;
    border: none;
    border-right: 1px solid #2a2f3a;
    padding: 3px 6px;
}
)";

QString KeyName(uint16_t page, uint16_t usage) {
    const KeyNameEntry& e = KeyNameTable::FindKey(usage, page);
    if (*e.name) return QString::fromUtf8(e.name);
    if (page == 0x05) return QStringLiteral("Mouse button %1").arg(usage);
    return QStringLiteral("Key %1:%2").arg(page, 0, 16).arg(usage, 0, 16);
}

QString ModelText(SimKeyboardModel m) { return m == SimKeyboardModel::k7080 ? "1A2C:7080" : "1A2C:7FFF"; }

QTreeWidget* List(const QStringList& headers, const char* name) {
    auto* tree = new QTreeWidget;
    tree->setObjectName(QString::fromLatin1(name));
    tree->setHeaderLabels(headers);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setAlternatingRowColors(true);
    tree->setFocusPolicy(Qt::NoFocus);
    tree->setSelectionMode(QAbstractItemView::NoSelection);
    tree->header()->setStretchLastSection(true);
    tree->setMinimumHeight(150);
    return tree;
}

}  // namespace

QLabel* SimWindow::Value(const char* name) {
    auto* label = new QLabel(QStringLiteral("-"));
    label->setObjectName(QString::fromLatin1(name));
    label->setStyleSheet(QStringLiteral("font-weight: bold; color: #ffffff;"));
    label->setMinimumWidth(48);
    return label;
}

SimWindow::SimWindow(SimControl& control, QWidget* parent) : QWidget(parent), control_(control) {
    setObjectName(QStringLiteral("sim_window"));
    setWindowTitle(tr("kbconf emulator"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QString::fromLatin1(kStyle));

    // The keyboard: identity, connection and the plug buttons.
    auto* device = new QGroupBox(tr("Emulated keyboard"));
    auto* deviceGrid = new QGridLayout(device);
    model_ = Value("model");
    connection_ = Value("connection");
    firmware_ = Value("firmware");
    deviceGrid->addWidget(new QLabel(tr("Model")), 0, 0);
    deviceGrid->addWidget(model_, 0, 1);
    deviceGrid->addWidget(new QLabel(tr("Connection")), 1, 0);
    deviceGrid->addWidget(connection_, 1, 1);
    deviceGrid->addWidget(new QLabel(tr("Firmware")), 2, 0);
    deviceGrid->addWidget(firmware_, 2, 1);
    auto* buttons = new QHBoxLayout;
    unplug_ = new QPushButton(tr("Unplug"));
    plug_ = new QPushButton(tr("Plug"));
    switch_ = new QPushButton(tr("Switch model"));
    unplug_->setObjectName(QStringLiteral("btn_unplug"));
    plug_->setObjectName(QStringLiteral("btn_plug"));
    switch_->setObjectName(QStringLiteral("btn_switch"));
    for (QPushButton* b : {unplug_, plug_, switch_}) {
        b->setFocusPolicy(Qt::NoFocus);
        buttons->addWidget(b);
    }
    deviceGrid->addLayout(buttons, 3, 0, 1, 2);
    deviceGrid->setColumnStretch(1, 1);

    // The lighting state as the firmware keeps it.
    auto* lighting = new QGroupBox(tr("Lighting held by the firmware"));
    auto* lightGrid = new QGridLayout(lighting);
    effect_ = Value("effect");
    speed_ = Value("speed");
    brightness_ = Value("brightness");
    flags_ = Value("flags");
    selection_ = Value("selection");
    sideEffect_ = Value("side_effect");
    sideLevel_ = Value("side_level");
    const std::pair<QString, QLabel*> cells[] = {
        {tr("Effect mode"), effect_},         {tr("Speed"), speed_},
        {tr("Brightness"), brightness_},      {tr("Flags"), flags_},
        {tr("Selection"), selection_},        {tr("Side light effect"), sideEffect_},
        {tr("Side light level"), sideLevel_},
    };
    int i = 0;
    for (const auto& [caption, label] : cells) {
        const int row = i % 4, col = (i / 4) * 2;
        lightGrid->addWidget(new QLabel(caption), row, col);
        lightGrid->addWidget(label, row, col + 1);
        ++i;
    }
    lightGrid->setColumnStretch(1, 1);
    lightGrid->setColumnStretch(3, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(device, 2);
    top->addWidget(lighting, 3);

    // The keys.
    auto* keys = new QGroupBox(tr("Keyboard: click the keys, or type while this window has the focus"));
    auto* keysLayout = new QVBoxLayout(keys);
    keyboard_ = new SimKeyboardPanel;
    keysLayout->addWidget(keyboard_);

    // Traffic.
    packets_ = List({tr("Time"), tr("Report"), tr("Interface"), tr("Bytes")}, "packets");
    typed_ = List({tr("Time"), tr("Key"), tr("Code"), tr("")}, "typed");
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    packets_->setFont(mono);
    packets_->setColumnWidth(0, 90);
    packets_->setColumnWidth(1, 95);
    packets_->setColumnWidth(2, 100);
    typed_->setColumnWidth(0, 90);
    typed_->setColumnWidth(1, 120);
    typed_->setColumnWidth(2, 70);
    auto* packetsBox = new QGroupBox(tr("Packets received by the keyboard"));
    (new QVBoxLayout(packetsBox))->addWidget(packets_);
    auto* typedBox = new QGroupBox(tr("Typed by the virtual keyboard"));
    (new QVBoxLayout(typedBox))->addWidget(typed_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(packetsBox, 3);
    bottom->addWidget(typedBox, 2);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setStyleSheet(QStringLiteral("color: #ff6b6b;"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(keys, 3);
    layout->addLayout(bottom, 2);
    layout->addWidget(status_);

    connect(unplug_, &QPushButton::clicked, this, [this] {
        std::string why;
        Report(control_.Unplug(&why), why);
    });
    connect(plug_, &QPushButton::clicked, this, [this] {
        std::string why;
        Report(control_.Plug(&why), why);
    });
    connect(switch_, &QPushButton::clicked, this, [this] {
        std::string why;
        Report(control_.SwitchModel(&why), why);
    });
    connect(keyboard_, &SimKeyboardPanel::keyDown, this, [this](uint16_t page, uint16_t usage) {
        clickedDown_.insert(Code(page, usage));
        // The keys take no focus themselves; a click makes typing go here too.
        setFocus(Qt::MouseFocusReason);
        Press(page, usage);
    });
    connect(keyboard_, &SimKeyboardPanel::keyUp, this, [this](uint16_t page, uint16_t usage) {
        if (clickedDown_.erase(Code(page, usage))) Release(page, usage);
    });

    // Changes come from any thread; one queued refresh at a time is enough,
    // since it shows the state as it is when it runs.
    listener_ = control_.AddListener([this] {
        if (!refreshPending_.exchange(true)) QMetaObject::invokeMethod(this, &SimWindow::Refresh, Qt::QueuedConnection);
    });
    Refresh();
}

SimWindow::~SimWindow() {
    control_.RemoveListener(listener_);
    ReleaseTyped();
    for (uint32_t code : clickedDown_) control_.Release(static_cast<uint16_t>(code >> 16), code & 0xFFFF);
}

void SimWindow::Refresh() {
    refreshPending_ = false;
    const SimControlState s = control_.Snapshot();

    const QString model = s.hasKeyboard ? ModelText(s.model) : tr("none");
    model_->setText(model);
    connection_->setText(s.plugged ? tr("plugged in") : tr("unplugged"));
    connection_->setStyleSheet(s.plugged ? QStringLiteral("font-weight: bold; color: #3ccf6e;")
                                         : QStringLiteral("font-weight: bold; color: #ff6b6b;"));
    firmware_->setText(s.hasKeyboard ? QStringLiteral("v%1.%2  (0x%3)")
                                           .arg(s.version >> 8)
                                           .arg(s.version & 0xFF)
                                           .arg(s.version, 4, 16, QLatin1Char('0'))
                                     : QStringLiteral("-"));
    const SimLighting& l = s.lighting;
    auto number = [&](QLabel* label, unsigned value) {
        label->setText(s.hasKeyboard ? QString::number(value) : QStringLiteral("-"));
    };
    number(effect_, l.mode);
    number(speed_, l.speed);
    number(brightness_, l.brightness);
    number(flags_, l.flag);
    number(selection_, l.byte7);
    number(sideEffect_, l.sideEffect);
    number(sideLevel_, l.sideLevel);

    unplug_->setEnabled(s.plugged);
    plug_->setEnabled(!s.plugged);
    const bool is7080 = !s.hasKeyboard || s.model == SimKeyboardModel::k7080;
    switch_->setText(is7080 ? tr("Switch to 7FFF") : tr("Switch to 7080"));
    setWindowTitle(tr("kbconf emulator - %1 %2").arg(model, s.plugged ? tr("plugged in") : tr("unplugged")));

    keyboard_->ShowHeld(s.physicalKeys);

    if (s.packetsSeen != shownPackets_) {
        shownPackets_ = s.packetsSeen;
        packets_->clear();
        for (const SimReport& r : s.packets) {
            QString where = r.mi >= 0 ? QStringLiteral("mi %1").arg(r.mi, 2, 10, QLatin1Char('0')) : QString();
            if (r.col >= 0) where += QStringLiteral(" col %1").arg(r.col, 2, 10, QLatin1Char('0'));
            auto* item = new QTreeWidgetItem({Seconds(r.ms), QString::fromStdString(r.kind), where,
                                              QString::fromStdString(SimReport::Hex(r.bytes))});
            item->setToolTip(3, QString::fromStdString(r.Format()));
            packets_->addTopLevelItem(item);
        }
        packets_->scrollToBottom();
    }
    if (s.typedSeen != shownTyped_) {
        shownTyped_ = s.typedSeen;
        typed_->clear();
        for (const SimTypedKey& t : s.typed) {
            auto* item = new QTreeWidgetItem({Seconds(t.ms), KeyName(t.page, t.usage),
                                              QStringLiteral("%1:%2").arg(t.page, 0, 16).arg(t.usage, 0, 16),
                                              t.down ? tr("down") : tr("up")});
            item->setForeground(3, t.down ? QColor(0x3c, 0xcf, 0x6e) : QColor(0x8a, 0x92, 0xa0));
            typed_->addTopLevelItem(item);
        }
        typed_->scrollToBottom();
    }
}

bool SimWindow::event(QEvent* e) {
    // Every key is the emulated keyboard's, Tab included (no focus moves).
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
        OnKey(static_cast<QKeyEvent*>(e), e->type() == QEvent::KeyPress);
        return true;
    }
    if (e->type() == QEvent::ShortcutOverride) {
        e->accept();
        return true;
    }
    return QWidget::event(e);
}

void SimWindow::OnKey(QKeyEvent* e, bool down) {
    if (e->isAutoRepeat()) return;  // keyboards send no repeats; the host makes them
    const quint64 id = e->nativeScanCode() ? e->nativeScanCode() : (quint64{1} << 32) | static_cast<quint32>(e->key());
    if (!down) {
        auto it = typedDown_.find(id);
        if (it == typedDown_.end()) return;
        const uint32_t code = it->second;
        typedDown_.erase(it);
        Release(static_cast<uint16_t>(code >> 16), code & 0xFFFF);
        return;
    }
    uint16_t page = 0, usage = 0;
    if (!SimQtKeyMap::ToUsage(*e, &page, &usage)) {
        status_->setText(tr("The emulated keyboard has no key for that."));
        return;
    }
    if (typedDown_.count(id)) return;
    typedDown_[id] = Code(page, usage);
    Press(page, usage);
}

void SimWindow::Press(uint16_t page, uint16_t usage) {
    std::string why;
    Report(control_.Press(page, usage, &why), why);
}

void SimWindow::Release(uint16_t page, uint16_t usage) {
    std::string why;
    Report(control_.Release(page, usage, &why), why);
}

void SimWindow::ReleaseTyped() {
    auto held = std::exchange(typedDown_, {});
    for (const auto& [id, code] : held) control_.Release(static_cast<uint16_t>(code >> 16), code & 0xFFFF);
}

void SimWindow::focusOutEvent(QFocusEvent* e) {
    // The key-up events go elsewhere now: let go of what typing holds.
    ReleaseTyped();
    QWidget::focusOutEvent(e);
}

void SimWindow::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && !isActiveWindow()) ReleaseTyped();
    QWidget::changeEvent(e);
}

void SimWindow::Report(bool ok, const std::string& why) {
    status_->setText(ok ? QString() : QString::fromStdString(why));
}

}  // namespace platform::sim::ui
