#pragma once
// The HID seam on Linux: hidraw nodes found through sysfs, feature reports by
// ioctl, hot plug from a udev monitor, named locks by flock.
//
// Each hidraw node is one HID device (one USB interface); its report descriptor
// may hold several top-level collections. Listing gives one interface path per
// collection, in the form the device code parses:
//   \\?\hid#vid_1a2c&pid_7080&mi_01&col07#hidraw3&0006#{4d1e55b2-f16f-11cf-88cb-001111000030}
// "&mi_XX" only for composite USB devices, "&colXX" only when the node has more
// than one collection (as the system the device code was written for does).
// Opening such a path opens the node; caps are those of that collection.
//
// Everything is read below a sysfs root and a device root, so tests point the
// backend at a fixture tree; the feature-report ioctls can be replaced too.
// Linux has no share modes: share bits are accepted and not enforced.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/HidBackend.h"
#include "platform/HidNoticeHub.h"
#include "platform/linux/UniqueFd.h"

namespace platform::linuxhid {

struct LinuxHidOptions {
    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";
    std::string lockFolder;   // empty: NamedLock default
    bool udevMonitor = true;  // watch for hot plug (when built with libudev)
    // Feature report transfer on an open node; default: HIDIOCGFEATURE /
    // HIDIOCSFEATURE. Returns false on failure.
    std::function<bool(int fd, bool get, uint8_t* buffer, size_t len)> featureIo;
};

// What listing learnt about one collection of one node.
struct HidrawInterface {
    HidInterfaceEntry entry;
    std::string node;  // "hidraw3"
    HidAttributes attributes;
    HidCaps caps;
};

class LinuxHidBackend final : public HidBackend {
public:
    explicit LinuxHidBackend(LinuxHidOptions options = {});
    ~LinuxHidBackend() override;

    bool ListInterfaces(std::vector<HidInterfaceEntry>* out) override;
    std::unique_ptr<HidHandle> Open(const std::string& path, uint32_t access, uint32_t share, bool overlapped,
                                    uint32_t* error) override;
    std::unique_ptr<NamedLock> CreateNamedLock(const std::string& name) override;
    HidNoticeSubscription SubscribeNotices(std::function<void(const HidNotice&)> callback) override;

    // Every collection of every node, read afresh from sysfs.
    std::vector<HidrawInterface> Scan() const;
    // One udev event for a hidraw node ("add" / "remove" + "hidraw3"): publishes
    // an arrival or removal per collection path. Removals use the paths the node
    // had when last seen, since its sysfs entry is gone by then.
    void HandleNodeEvent(const std::string& action, const std::string& node);

private:
    std::vector<HidrawInterface> ScanNode(const std::string& node) const;
    void Remember(const std::vector<HidrawInterface>& found);
    void StartMonitor();
    void StopMonitor();

    LinuxHidOptions options_;
    HidNoticeHub hub_;
    std::mutex mutex_;
    std::map<std::string, std::vector<std::string>> knownPaths_;  // node -> paths
    UniqueFd stopFd_;                                             // wakes the monitor thread to end
    std::thread monitor_;
};

}  // namespace platform::linuxhid
