#pragma once
// The key filter driver on Linux: the keyboard's evdev node is grabbed, so the
// system sees none of its keys directly; every key transition goes through the
// driver logic (FilterEngine), and the keys the program does not take are typed
// again on a pass-through uinput device.
//
// A keyboard shows up as several event nodes (one per interface); all of them
// feed the one driver. Each node is grabbed only while none of its keys is
// held (checked at start, then followed from its events), so no key is ever
// cut between its press and its release. Auto-repeat events are dropped: the pass-through device repeats
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
#include <vector>

#include "platform/FilterEngine.h"
#include "platform/linux/UniqueFd.h"

namespace platform::linuxfk {

class EvdevFilterDriver final : public FilterEngine {
public:
    using KeyBits = std::bitset<768>;
    struct Io {
        std::function<bool(int fd, bool grab)> grab;          // default: EVIOCGRAB
        std::function<bool(int fd, KeyBits* held)> heldKeys;  // default: EVIOCGKEY
    };

    EvdevFilterDriver(std::vector<linuxhid::UniqueFd> sources, linuxhid::UniqueFd passThrough, Io io = {},
                      Clock& clock = SteadyClock());
    ~EvdevFilterDriver() override;

    // The keyboard's event nodes and a new pass-through uinput device; null
    // when no node opens or the pass-through device cannot be made.
    static std::unique_ptr<EvdevFilterDriver> Open(const std::vector<std::string>& evdevNodes,
                                                   const std::string& uinputNode = "/dev/uinput");
    // The event nodes ("<devRoot>/input/eventN") of the input devices with
    // these USB ids, read from <sysfsRoot>/class/input, sorted.
    static std::vector<std::string> FindEventNodes(uint16_t vendor, uint16_t product,
                                                   const std::string& sysfsRoot = "/sys",
                                                   const std::string& devRoot = "/dev");

    // True when every node is grabbed.
    bool Grabbed() const;

private:
    void ReaderMain();
    void PassThrough(uint16_t code, bool down);

    struct Source {
        linuxhid::UniqueFd fd;
        KeyBits held;
        std::atomic<bool> grabbed{false};
    };
    std::vector<std::unique_ptr<Source>> sources_;
    linuxhid::UniqueFd passThrough_;
    linuxhid::UniqueFd stopRead_;
    linuxhid::UniqueFd stopWrite_;
    Io io_;
    std::mutex writeLock_;
    std::thread reader_;
};

}  // namespace platform::linuxfk
