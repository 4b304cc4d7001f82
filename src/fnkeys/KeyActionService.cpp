#include "fnkeys/KeyActionService.h"

#include <algorithm>

#include "data/KeyAssignmentTable.h"
#include "fnkeys/VHidev.h"

namespace {

bool Unlimited(int32_t play) {
    return play == KeyActionService::kPlayWhileHeld || play == KeyActionService::kPlayToggle ||
           play == KeyActionService::kPlayUntilOtherKey || play == KeyActionService::kPlayUntilAnyKey ||
           play == KeyActionService::kPlayUntilReplaced;
}

bool StartsPlayback(int32_t play) { return play == KeyActionService::kPlayTimes || Unlimited(play); }

// A step's wait: 0 plays with 1 ms between steps; the stored value is unsigned.
int64_t StepWait(int32_t delay) {
    const auto ms = static_cast<uint32_t>(delay);
    return ms == 0 ? 1 : static_cast<int64_t>(ms);
}

}  // namespace

KeyActionService::KeyActionService(VHidev& vhid, KeyAssignmentTable& table, platform::Clock& clock)
    : vhid_(vhid), table_(table), macroThread_(clock) {
    macroThread_.SetLoopCallback(
        std::make_unique<EasyThread::Callback<IEasyThread, KeyActionService>>(this, &KeyActionService::PlayMacro));
    macroThread_.SetParam(&playState_, 0);
}

KeyActionService::~KeyActionService() { StopAndRelease(); }

KeyAssignment KeyActionService::PlayState() {
    macroThread_.Lock();
    KeyAssignment copy = playState_;
    macroThread_.Unlock();
    return copy;
}

void KeyActionService::StopMacroThread() {
    macroThread_.Stop();
    // Once the thread has ended nothing plays, in every mode: a stop that came
    // before the playback's first pass (or after it) must not leave a mode
    // behind whose rules would take the next press as its stop.
    macroThread_.Lock();
    playState_.code = 0;
    playState_.type = 0;
    playState_.play = 0;
    macroThread_.Unlock();
}

void KeyActionService::StartPlayback(const KeyAssignment& assignment) {
    macroThread_.Lock();
    playState_ = assignment;
    macroThread_.Unlock();
    macroThread_.Start(this);
}

void KeyActionService::ReleaseRemaps() {
    std::map<int32_t, std::vector<int32_t>> held;
    {
        std::lock_guard lock(remapLock_);
        held.swap(remapHeld_);
    }
    for (auto& [key, targets] : held)
        for (int32_t t : targets)
            vhid_.InjectKey(static_cast<uint16_t>(static_cast<uint32_t>(t) >> 16), static_cast<uint16_t>(t & 0xFFFF),
                            false);
}

void KeyActionService::StopAndRelease() {
    StopMacroThread();
    ReleaseRemaps();
}

int32_t KeyActionService::OnFilterKey(uint8_t usagePage, uint16_t usage, bool pressed) {
    const int32_t key = static_cast<int32_t>((uint32_t{usagePage} << 16) | usage);

    // Rules of the playback in progress. playState is read under the data lock,
    // which is let go before any wait for the macro thread.
    macroThread_.Lock();
    const int32_t play = playState_.play;
    const int32_t playing = playState_.code;
    macroThread_.Unlock();
    auto clearPlay = [&] {
        macroThread_.Lock();
        playState_.play = 0;
        macroThread_.Unlock();
    };
    switch (play) {
    case kPlayWhileHeld:
        if (!pressed && key == playing) {
            StopMacroThread();
            return 0;
        }
        break;
    case kPlayToggle:
        if (pressed && key == playing) {
            StopMacroThread();
            return 0;
        }
        break;
    case kPlayUntilOtherKey:
        if (pressed) {
            if (key == playing) return 0;
            StopMacroThread();
            clearPlay();
            return 0;
        }
        break;
    case kPlayUntilAnyKey:
        if (pressed) {
            StopMacroThread();
            clearPlay();
            return 0;
        }
        break;
    default:
        break;
    }

    const auto entries = table_.Snapshot();
    std::vector<int32_t> released;  // remap targets let go for this release
    if (!pressed) {
        std::lock_guard lock(remapLock_);
        auto it = remapHeld_.find(key);
        if (it != remapHeld_.end()) {
            released = std::move(it->second);
            remapHeld_.erase(it);
        }
    }
    for (int32_t t : released)
        vhid_.InjectKey(static_cast<uint16_t>(static_cast<uint32_t>(t) >> 16), static_cast<uint16_t>(t & 0xFFFF),
                        false);

    if (entries) {
        for (const KeyAssignment& a : *entries) {
            if (a.code != key) continue;
            if (a.play == kPlayRemap) {
                if (a.steps.empty()) continue;
                const int32_t target = a.steps.front().code;
                if (!pressed && std::find(released.begin(), released.end(), target) != released.end()) continue;
                vhid_.InjectKey(static_cast<uint16_t>(static_cast<uint32_t>(target) >> 16),
                                static_cast<uint16_t>(target & 0xFFFF), pressed);
                if (pressed) {
                    std::lock_guard lock(remapLock_);
                    remapHeld_[key].push_back(target);
                }
            } else if (pressed && StartsPlayback(a.play)) {
                StopMacroThread();
                StartPlayback(a);
            }
        }
    }
    return 0;
}

int32_t KeyActionService::PlayMacro(IEasyThread* thread, void* /*owner*/) {
    thread->Lock();
    const std::vector<MacroStep> steps = playState_.steps;
    const int32_t code = playState_.code;
    const int32_t play = playState_.play;
    const bool unlimited = Unlimited(play);
    int64_t passes = play == kPlayTimes ? static_cast<int64_t>(static_cast<uint32_t>(playState_.repeat)) : 0;
    thread->Unlock();

    if (code == 0 || (!unlimited && passes == 0)) {
        // Nothing to play. Every new playback stops this thread first, so the
        // wait may last until that stop instead of polling.
        thread->Delay(-1);
        return 0;
    }

    if (steps.empty()) {
        // Passes without steps send nothing: a counted macro is done at once,
        // an unlimited one waits for its stop instead of spinning.
        if (unlimited) thread->Delay(-1);
    } else {
        for (;;) {
            if (!unlimited) {
                if (passes == 0) break;
                --passes;
            }
            if (thread->IsStopping()) break;
            for (const MacroStep& s : steps) {
                if (thread->IsStopping()) break;
                vhid_.SetKeyboardUsage(static_cast<uint8_t>(s.code & 0xFF), s.state != 0);
                thread->Delay(StepWait(s.delay));
            }
        }
    }

    thread->Lock();
    playState_.code = 0;
    playState_.type = 0;
    playState_.play = 0;  // nothing plays now, so no stop rule applies
    thread->Unlock();
    for (const MacroStep& s : steps)
        if (s.state != 0) vhid_.SetKeyboardUsage(static_cast<uint8_t>(s.code & 0xFF), false);
    return 0;
}
