#pragma once
// Carries out key assignments on the PC: the filter listener hands every
// intercepted key event to OnFilterKey; single and media keys are pressed and
// released at once on the virtual keyboard, key combinations and macros are
// copied into playState and played by PlayMacro on the macro thread.
//
// No Qt, no OS, no wall clock: time comes from the injected clock, so the same
// code runs against emulated time in tests.
//
// The main window owns one and registers it with its FilterListener
// (AddMonitor(&service, &KeyActionService::OnFilterKey)); the listener must go
// before the service. After the assignment table changes, when the keyboard is
// lost and when the window closes, StopAndRelease() lets go of every key.
//
// Lock order: OnFilterKey runs on the reader thread under the listener's list
// lock and may stop the macro thread and wait for it; it never holds the data
// lock while it waits, and the macro thread never takes the list lock.

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "data/KeyAssignment.h"
#include "hid/EasyThread.h"
#include "platform/Clock.h"

class KeyAssignmentTable;
class VHidev;

class KeyActionService {
public:
    // Play modes.
    static constexpr int32_t kPlayRemap = 1;
    static constexpr int32_t kPlayTimes = 2;
    static constexpr int32_t kPlayWhileHeld = 3;
    static constexpr int32_t kPlayToggle = 4;
    static constexpr int32_t kPlayUntilOtherKey = 5;
    static constexpr int32_t kPlayUntilAnyKey = 6;
    static constexpr int32_t kPlayUntilReplaced = 8;

    KeyActionService(VHidev& vhid, KeyAssignmentTable& table, platform::Clock& clock = platform::SteadyClock());
    ~KeyActionService();
    KeyActionService(const KeyActionService&) = delete;
    KeyActionService& operator=(const KeyActionService&) = delete;

    // The receiver for the filter listener; never consumes the event (returns 0).
    int32_t OnFilterKey(uint8_t usagePage, uint16_t usage, bool pressed);
    // The macro thread's loop callback; always 0.
    int32_t PlayMacro(IEasyThread* thread, void* owner);

    // Ends the playback and releases every usage this service holds on the
    // virtual keyboard (remapped keys included). For the stop paths: a changed
    // assignment table, a lost keyboard, the window closing.
    void StopAndRelease();

    EasyThread& MacroThread() { return macroThread_; }
    // A copy of playState, taken under the data lock.
    KeyAssignment PlayState();

private:
    void StopMacroThread();
    void StartPlayback(const KeyAssignment& assignment);
    void ReleaseRemaps();

    VHidev& vhid_;
    KeyAssignmentTable& table_;
    EasyThread macroThread_;
    KeyAssignment playState_;  // guarded by the macro thread's data lock
    // Targets pressed through a remap, by physical key: released with that key
    // even when its assignment changed meanwhile, and on every stop path.
    std::mutex remapLock_;
    std::map<int32_t, std::vector<int32_t>> remapHeld_;
};
