#pragma once
// The demo's hands on the emulated hardware: press and release the keyboard's
// physical keys (through the emulated filter driver, as a user's fingers would),
// unplug the keyboard, plug it back or plug the other model, and look at what
// the firmware and the virtual keyboard hold. Used by the emulator window and
// the control socket; safe from any thread.
//
//   SimControl control(setup, functionKeys);
//   int id = control.AddListener([&] { /* post to your own thread */ });
//   control.Press(0x07, 0x04);
//   SimControlState s = control.Snapshot();
//
// Plugging goes through the bus, so the program gets the arrival and removal
// notices of a real hot plug. Switching models unplugs one keyboard and plugs
// the other; each model keeps its own firmware state, like two real keyboards.
// SimControl keeps setup.keyboard pointing at the current keyboard, so while it
// lives nobody else may read setup.keyboard from another thread.
//
// Listeners are called after each change (a packet reached the keyboard, the
// virtual keyboard sent a report, a key went up or down, a device came or went)
// on the thread that made it. They must return quickly and must not add or
// remove listeners or call the operations; Changes() counts the changes so a
// window can tell whether its picture is current.

#include <atomic>
#include <bitset>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/HidNoticeSubscription.h"
#include "platform/sim/SimControlState.h"
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimSetup.h"

namespace platform::sim {

class SimFunctionKeys;

class SimControl {
public:
    struct Options {
        size_t packetHistory = 16;
        size_t typedHistory = 64;
        // Applied to every keyboard SimControl creates for a model the set-up
        // did not have (re-enumeration on reset, a version), before it is plugged.
        std::function<void(SimKeyboard&)> prepareKeyboard;
    };

    SimControl(SimSetup& setup, SimFunctionKeys& functionKeys);
    SimControl(SimSetup& setup, SimFunctionKeys& functionKeys, Options options);
    ~SimControl();
    SimControl(const SimControl&) = delete;
    SimControl& operator=(const SimControl&) = delete;

    // Each returns false with the reason in *why (when given) and changes
    // nothing when the operation is not possible.
    // A key of the keyboard: page 0x01, 0x07 or 0x0C. Needs a plugged keyboard.
    bool Press(uint16_t page, uint16_t usage, std::string* why = nullptr);
    bool Release(uint16_t page, uint16_t usage, std::string* why = nullptr);
    // Keys still held are released first, as a vanishing keyboard's are.
    bool Unplug(std::string* why = nullptr);
    // The keyboard unplugged last (7080 when there never was one).
    bool Plug(std::string* why = nullptr);
    // The given model; when the other one is plugged, it is unplugged first.
    bool Plug(SimKeyboardModel model, std::string* why = nullptr);
    // Plugs the other model than the current one.
    bool SwitchModel(std::string* why = nullptr);

    SimControlState Snapshot() const;
    uint64_t Changes() const { return changes_.load(); }

    // Returns a token for RemoveListener, which waits for a call in progress.
    int AddListener(std::function<void()> listener);
    void RemoveListener(int token);

    static bool IsKeyPage(uint16_t page) { return page == 0x01 || page == 0x07 || page == 0x0C; }

private:
    struct VirtualState {
        std::bitset<256> keys;
        uint8_t mouse = 0;
        uint16_t consumer = 0;
        uint16_t system = 0;
    };

    bool PlugLocked(SimKeyboardModel model, std::string* why);
    bool UnplugLocked(std::string* why);
    bool KeyLocked(uint16_t page, uint16_t usage, bool down, std::string* why);
    std::shared_ptr<SimKeyboard> Current() const;
    void OnReport(const SimReport& report);
    void OnVirtualRecord(const SimReport& report);
    void OnPhysicalKey(uint16_t page, uint16_t usage, bool down);
    void Changed();

    SimSetup& setup_;
    SimFunctionKeys& functionKeys_;
    const Options options_;

    // Serialises the operations, so a press never lands between the release
    // of all keys and the unplug that follows it.
    std::mutex opMutex_;

    mutable std::mutex stateMutex_;
    std::shared_ptr<SimKeyboard> current_;
    std::shared_ptr<SimKeyboard> keyboards_[2];  // by model, once used
    VirtualState virtual_;
    std::set<uint32_t> physical_;
    std::deque<SimReport> packets_;
    std::deque<SimTypedKey> typed_;
    uint64_t packetsSeen_ = 0;
    uint64_t typedSeen_ = 0;

    std::atomic<uint64_t> changes_{0};
    std::recursive_mutex listenerDeliver_;
    std::mutex listenerMutex_;
    std::vector<std::pair<int, std::function<void()>>> listeners_;
    int nextListener_ = 1;

    int reportObserver_ = 0;
    int keySink_ = 0;
    HidNoticeSubscription notices_;
};

}  // namespace platform::sim
