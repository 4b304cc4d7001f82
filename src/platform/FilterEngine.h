#pragma once
// The key filter driver's logic, on the device "\\.\vhidflt", for the backends
// that carry it out in this process (the emulated driver, the evdev one). Key
// transitions come in through OnPhysicalKey; it decides, as an interception
// driver would:
//
// - Key table (0x22A000, 1024 bytes = 256 entries, or 256 bytes): the keys whose
//   entry has flag 0x02 are intercepted: their transitions are reported to the
//   program and hidden from the system. Entries match on the usage page and the
//   low 8 bits of the usage, as they are built. Every other key passes through
//   (PassedThrough() is what the system saw; the pass-through sink, when set,
//   hands them on).
// - Capture (0x226010, 4 bytes, value 0): every key is intercepted, for macro
//   recording. Capture ends with the first preparation request (0x226008),
//   when the program cancels the requests of a handle (a stopping reader does:
//   with nobody reading, swallowing the whole keyboard would leave the user
//   without one), or when the last open handle closes. A pending key request
//   that ends through its cancel event (a re-open of the device) keeps it.
// - 0x22600C drops the events queued so far, so a restarted reader does not see
//   keys pressed before it existed.
// - A key is routed at its press: its release goes the same way even when the
//   table or capture changed in between, so neither side ever sees a press
//   without its release.
// - Key request (0x226044, 4-byte output): completes at once with the oldest
//   queued KeyEvent, otherwise stays pending until the next intercepted
//   transition. At most 1024 events are queued; beyond that the oldest go.
// - Buffers other than those above, or a handle without the access bits the
//   code needs, are refused.
//
// The engine keeps no history: what the user types passes through it and is
// gone. Requests go to the trace sink, when set, as
// "<ms> vhidflt -- -- ioctl:<code> <bytes>"; the emulated driver observes
// requests and passed-through keys through an Observer, for tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/FilterDriver.h"

namespace platform {

class FilterEngine : public FilterBackend {
public:
    static constexpr const char* kDevicePath = "\\\\.\\vhidflt";

    struct Request {
        int64_t ms;
        uint32_t code;
        std::vector<uint8_t> input;
    };

    struct Transition {
        uint16_t page;
        uint16_t usage;
        bool pressed;
        friend bool operator==(const Transition&, const Transition&) = default;
    };

    using KeySink = std::function<void(uint16_t page, uint16_t usage, bool pressed)>;

    // Called without the engine's lock: each request as it arrives (before the
    // driver acts on it), each key that passed through.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void OnRequest(const Request& request) = 0;
        virtual void OnPassedThrough(const Transition& key) = 0;
    };

    explicit FilterEngine(Clock& clock = SteadyClock());
    ~FilterEngine() override;

    // Where keys that are not intercepted go, and where request lines go.
    // Both are called without the engine's lock.
    void SetPassThroughSink(KeySink sink);
    void SetTraceSink(std::function<void(const std::string&)> sink);

    std::unique_ptr<FilterChannel> Open(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                                        uint32_t flags, uint32_t* error) override;

    // Not installed: opens fail with "file not found".
    void SetInstalled(bool installed);
    bool Installed() const;
    // Fault: every request is refused.
    void RefuseRequests(bool refuse);

    // A transition of a physical key.
    void OnPhysicalKey(uint16_t page, uint16_t usage, bool pressed);

    // Intercepted keys as (page << 16) | usage, sorted.
    std::vector<uint32_t> KeyTable() const;
    bool Capturing() const;
    size_t PendingKeyRequests() const;
    size_t QueuedEvents() const;
    int OpenHandles() const;
    // Waits (real time) until at least n key requests are pending.
    bool WaitForPendingKeyRequests(size_t n, int64_t timeoutMs);

    // Called on the requesting thread as each key request arrives, before the
    // driver looks at it. For tests that need to act inside that moment.
    void SetKeyRequestHook(std::function<void()> hook);

    struct Core;

protected:
    void SetObserver(std::shared_ptr<Observer> observer);

private:
    std::shared_ptr<Core> core_;
};

}  // namespace platform
