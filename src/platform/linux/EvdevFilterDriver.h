#pragma once
// The key filter driver on Linux: the keyboard's evdev node is grabbed, so the
// system sees none of its keys directly; every key transition goes through the
// driver logic (FilterEngine), and the keys the program does not take are typed
// again on a pass-through uinput device.
//
// The grab starts only while no key of the keyboard is held (checked at start,
// then followed from the events), so no key is ever cut between its press and
// its release. Auto-repeat events are dropped: the pass-through device repeats
// by itself.
//
// Both ends are file descriptors, so the logic runs on pipes in tests; the
// grab and the held-key query are replaceable for that.

#include <atomic>
#include <bitset>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/FilterEngine.h"
#include "platform/linux/UniqueFd.h"

namespace platform::linuxfk {

class EvdevFilterDriver final : public FilterEngine {
public:
    using KeyBits = std::bitset<768>;
    struct Io {
        std::function<bool(int fd, bool grab)> grab;             // default: EVIOCGRAB
        std::function<bool(int fd, KeyBits* held)> heldKeys;     // default: EVIOCGKEY
    };

    EvdevFilterDriver(linuxhid::UniqueFd source, linuxhid::UniqueFd passThrough, Io io = {},
                      Clock& clock = SteadyClock());
    ~EvdevFilterDriver() override;

    // The evdev node of the keyboard and a new pass-through uinput device.
    static std::unique_ptr<EvdevFilterDriver> Open(const std::string& evdevNode,
                                                   const std::string& uinputNode = "/dev/uinput");

    bool Grabbed() const { return grabbed_.load(); }

private:
    void ReaderMain();
    void PassThrough(uint16_t code, bool down);

    linuxhid::UniqueFd source_;
    linuxhid::UniqueFd passThrough_;
    linuxhid::UniqueFd stopRead_;
    linuxhid::UniqueFd stopWrite_;
    Io io_;
    std::mutex writeLock_;
    std::atomic<bool> grabbed_{false};
    KeyBits held_;
    std::thread reader_;
};

}  // namespace platform::linuxfk
