#pragma once
// The physical keys of the emulated keyboard, as the filter driver below the
// system sees them. Tests and the demo press and release keys here; every
// transition goes to the attached sinks (the emulated filter driver).

#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <vector>

namespace platform::sim {

class SimKeySource {
public:
    using Sink = std::function<void(uint16_t page, uint16_t usage, bool pressed)>;

    // Returns a token for Detach.
    int Attach(Sink sink);
    void Detach(int token);

    // A press of a key already down, or a release of a key that is up, is not
    // a transition and is ignored (keyboards report no auto-repeat).
    void Press(uint16_t page, uint16_t usage) { Set(page, usage, true); }
    void Release(uint16_t page, uint16_t usage) { Set(page, usage, false); }
    void Tap(uint16_t page, uint16_t usage) {
        Press(page, usage);
        Release(page, usage);
    }
    // Releases every key still down.
    void ReleaseAll();
    bool IsDown(uint16_t page, uint16_t usage) const;

private:
    void Set(uint16_t page, uint16_t usage, bool pressed);

    mutable std::mutex mutex_;
    std::mutex deliver_;  // keeps transitions in order across pressing threads
    std::set<uint32_t> down_;
    std::vector<std::pair<int, Sink>> sinks_;
    int nextToken_ = 1;
};

}  // namespace platform::sim
