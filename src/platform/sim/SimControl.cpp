#include "platform/sim/SimControl.h"

#include <algorithm>

#include "platform/sim/SimFunctionKeys.h"
#include "platform/sim/SimHidBus.h"

namespace platform::sim {
namespace {

constexpr uint16_t kKeyboardVendor = 0x1A2C;
constexpr uint16_t kVirtualVendor = 0xDEED;
constexpr uint16_t kVirtualProduct = 0xFEED;
// Mouse buttons as the program's key codes name them: page 5, usage = bit.
constexpr uint32_t kMousePage = 0x05;

constexpr size_t Index(SimKeyboardModel model) { return model == SimKeyboardModel::k7080 ? 0 : 1; }

const char* ModelName(SimKeyboardModel model) { return model == SimKeyboardModel::k7080 ? "7080" : "7fff"; }

void Say(std::string* why, std::string text) {
    if (why) *why = std::move(text);
}

template <typename T>
void Push(std::deque<T>& list, T item, size_t limit) {
    list.push_back(std::move(item));
    while (list.size() > limit) list.pop_front();
}

}  // namespace

SimControl::SimControl(SimSetup& setup, SimFunctionKeys& functionKeys) : SimControl(setup, functionKeys, Options{}) {}

SimControl::SimControl(SimSetup& setup, SimFunctionKeys& functionKeys, Options options)
    : setup_(setup), functionKeys_(functionKeys), options_(std::move(options)) {
    if (setup_.keyboard) {
        current_ = setup_.keyboard;
        keyboards_[Index(current_->Model())] = current_;
    }
    SimVirtualKeyboard& vk = functionKeys_.VirtualKeyboard();
    for (uint8_t usage : vk.PressedKeys()) virtual_.keys[usage] = true;
    virtual_.mouse = vk.MouseButtons();
    virtual_.consumer = vk.Consumer();
    virtual_.system = vk.System();

    keySink_ = functionKeys_.Keys().Attach(
        [this](uint16_t page, uint16_t usage, bool down) { OnPhysicalKey(page, usage, down); });
    if (setup_.bus) {
        reportObserver_ = setup_.bus->AddReportObserver([this](const SimReport& r) { OnReport(r); });
        notices_ = setup_.bus->SubscribeNotices([this](const HidNotice&) { Changed(); });
    }
}

SimControl::~SimControl() {
    notices_.Reset();
    if (setup_.bus) setup_.bus->RemoveReportObserver(reportObserver_);
    functionKeys_.Keys().Detach(keySink_);
}

bool SimControl::Press(uint16_t page, uint16_t usage, std::string* why) {
    std::lock_guard op(opMutex_);
    return KeyLocked(page, usage, true, why);
}

bool SimControl::Release(uint16_t page, uint16_t usage, std::string* why) {
    std::lock_guard op(opMutex_);
    return KeyLocked(page, usage, false, why);
}

bool SimControl::KeyLocked(uint16_t page, uint16_t usage, bool down, std::string* why) {
    if (!IsKeyPage(page)) {
        Say(why, "the keyboard has no keys on that usage page");
        return false;
    }
    // A key held while its keyboard went away (a reset re-enumerates it) can
    // always be let go.
    const bool releasingHeld = !down && functionKeys_.Keys().IsDown(page, usage);
    auto keyboard = Current();
    if (!releasingHeld && (!keyboard || !setup_.bus || !setup_.bus->IsPlugged(keyboard.get()))) {
        Say(why, "no keyboard is plugged");
        return false;
    }
    if (down)
        functionKeys_.Keys().Press(page, usage);
    else
        functionKeys_.Keys().Release(page, usage);
    return true;
}

bool SimControl::Unplug(std::string* why) {
    std::lock_guard op(opMutex_);
    return UnplugLocked(why);
}

bool SimControl::UnplugLocked(std::string* why) {
    auto keyboard = Current();
    if (!keyboard || !setup_.bus || !setup_.bus->IsPlugged(keyboard.get())) {
        Say(why, "no keyboard is plugged");
        return false;
    }
    functionKeys_.Keys().ReleaseAll();
    setup_.bus->Unplug(keyboard.get());
    return true;
}

bool SimControl::Plug(std::string* why) {
    std::lock_guard op(opMutex_);
    auto keyboard = Current();
    return PlugLocked(keyboard ? keyboard->Model() : SimKeyboardModel::k7080, why);
}

bool SimControl::Plug(SimKeyboardModel model, std::string* why) {
    std::lock_guard op(opMutex_);
    return PlugLocked(model, why);
}

bool SimControl::SwitchModel(std::string* why) {
    std::lock_guard op(opMutex_);
    auto keyboard = Current();
    const bool is7080 = keyboard && keyboard->Model() == SimKeyboardModel::k7080;
    return PlugLocked(is7080 ? SimKeyboardModel::k7FFF : SimKeyboardModel::k7080, why);
}

bool SimControl::PlugLocked(SimKeyboardModel model, std::string* why) {
    if (!setup_.bus) {
        Say(why, "no emulated bus");
        return false;
    }
    auto current = Current();
    if (current && setup_.bus->IsPlugged(current.get())) {
        if (current->Model() == model) {
            Say(why, std::string("the ") + ModelName(model) + " keyboard is already plugged");
            return false;
        }
        UnplugLocked(nullptr);
    }
    std::shared_ptr<SimKeyboard> next;
    {
        std::lock_guard lock(stateMutex_);
        next = keyboards_[Index(model)];
    }
    if (!next) {
        next = std::make_shared<SimKeyboard>(model);
        if (options_.prepareKeyboard) options_.prepareKeyboard(*next);
    }
    {
        std::lock_guard lock(stateMutex_);
        keyboards_[Index(model)] = next;
        current_ = next;
    }
    setup_.keyboard = next;
    setup_.bus->Plug(next);
    return true;
}

std::shared_ptr<SimKeyboard> SimControl::Current() const {
    std::lock_guard lock(stateMutex_);
    return current_;
}

SimControlState SimControl::Snapshot() const {
    SimControlState s;
    // Counter first: a snapshot is never older than the count it carries.
    s.changes = changes_.load();
    std::shared_ptr<SimKeyboard> keyboard;
    {
        std::lock_guard lock(stateMutex_);
        keyboard = current_;
        for (size_t u = 0; u < virtual_.keys.size(); ++u)
            if (virtual_.keys[u]) s.heldKeys.push_back((0x07u << 16) | static_cast<uint32_t>(u));
        for (int b = 0; b < 8; ++b)
            if (virtual_.mouse & (1u << b)) s.heldKeys.push_back((kMousePage << 16) | static_cast<uint32_t>(b));
        if (virtual_.consumer) s.heldKeys.push_back((0x0Cu << 16) | virtual_.consumer);
        if (virtual_.system) s.heldKeys.push_back((0x01u << 16) | virtual_.system);
        std::sort(s.heldKeys.begin(), s.heldKeys.end());
        s.physicalKeys.assign(physical_.begin(), physical_.end());
        s.packets.assign(packets_.begin(), packets_.end());
        s.typed.assign(typed_.begin(), typed_.end());
        s.packetsSeen = packetsSeen_;
        s.typedSeen = typedSeen_;
    }
    if (keyboard) {
        s.hasKeyboard = true;
        s.model = keyboard->Model();
        s.plugged = setup_.bus && setup_.bus->IsPlugged(keyboard.get());
        s.version = keyboard->Version();
        s.lighting = keyboard->Lighting();
    }
    return s;
}

void SimControl::OnReport(const SimReport& report) {
    if (report.vendorId == kKeyboardVendor) {
        std::lock_guard lock(stateMutex_);
        Push(packets_, report, options_.packetHistory);
        ++packetsSeen_;
    } else if (report.vendorId == kVirtualVendor && report.productId == kVirtualProduct && report.kind == "output") {
        OnVirtualRecord(report);
    } else {
        return;
    }
    Changed();
}

void SimControl::OnVirtualRecord(const SimReport& report) {
    // The same checks the virtual keyboard makes: 05, report id 1..4, 64 bytes.
    const auto& b = report.bytes;
    if (b.size() != 64 || b[0] != 0x05 || b[1] < 1 || b[1] > 4) return;
    const uint8_t* d = b.data() + 2;
    std::lock_guard lock(stateMutex_);
    auto typed = [&](uint16_t page, uint16_t usage, bool down) {
        Push(typed_, SimTypedKey{report.ms, page, usage, down}, options_.typedHistory);
        ++typedSeen_;
    };
    auto single = [&](uint16_t page, uint16_t& held, uint16_t now) {
        if (held == now) return;
        if (held) typed(page, held, false);
        if (now) typed(page, now, true);
        held = now;
    };
    switch (b[1]) {
    case 1:
        for (size_t u = 0; u < 256; ++u) {
            const bool down = (d[1 + u / 8] >> (u % 8)) & 1;
            if (down == virtual_.keys[u]) continue;
            virtual_.keys[u] = down;
            typed(0x07, static_cast<uint16_t>(u), down);
        }
        break;
    case 2:
        for (int bit = 0; bit < 8; ++bit) {
            const bool down = (d[0] >> bit) & 1;
            if (down == static_cast<bool>((virtual_.mouse >> bit) & 1)) continue;
            typed(kMousePage, static_cast<uint16_t>(bit), down);
        }
        virtual_.mouse = d[0];
        break;
    case 3:
        single(0x0C, virtual_.consumer, static_cast<uint16_t>(d[0] | (d[1] << 8)));
        break;
    case 4:
        single(0x01, virtual_.system, static_cast<uint16_t>(d[0] | (d[1] << 8)));
        break;
    }
}

void SimControl::OnPhysicalKey(uint16_t page, uint16_t usage, bool down) {
    {
        std::lock_guard lock(stateMutex_);
        const uint32_t code = (uint32_t{page} << 16) | usage;
        if (down)
            physical_.insert(code);
        else
            physical_.erase(code);
    }
    Changed();
}

int SimControl::AddListener(std::function<void()> listener) {
    std::lock_guard lock(listenerMutex_);
    listeners_.emplace_back(nextListener_, std::move(listener));
    return nextListener_++;
}

void SimControl::RemoveListener(int token) {
    std::lock_guard deliver(listenerDeliver_);
    std::lock_guard lock(listenerMutex_);
    std::erase_if(listeners_, [&](const auto& l) { return l.first == token; });
}

void SimControl::Changed() {
    ++changes_;
    std::lock_guard deliver(listenerDeliver_);
    std::vector<std::function<void()>> listeners;
    {
        std::lock_guard lock(listenerMutex_);
        for (auto& l : listeners_) listeners.push_back(l.second);
    }
    for (auto& listener : listeners) listener();
}

}  // namespace platform::sim
