#include "platform/linux/LinuxHidBackend.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#ifdef KBCONF_HAVE_UDEV
#include <libudev.h>
#endif

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/linux/HidReportDescriptor.h"
#include "platform/linux/LinuxHidHandle.h"
#include "platform/linux/UniqueFd.h"

namespace platform::linuxhid {
namespace fs = std::filesystem;
namespace {

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> ReadBytes(const fs::path& p) {
    std::string s = ReadText(p);
    return std::vector<uint8_t>(s.begin(), s.end());
}

long ParseNumber(const std::string& text, int base, long fallback) {
    std::string t = text;
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.pop_back();
    size_t start = 0;
    while (start < t.size() && std::isspace(static_cast<unsigned char>(t[start]))) ++start;
    if (start == t.size()) return fallback;
    char* end = nullptr;
    long v = std::strtol(t.c_str() + start, &end, base);
    return end == t.c_str() + start ? fallback : v;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// hidraw3 -> 3, for ordering nodes by number.
long NodeNumber(const std::string& node) { return ParseNumber(node.substr(6), 10, -1); }

}  // namespace

LinuxHidBackend::LinuxHidBackend(LinuxHidOptions options) : options_(std::move(options)) { Remember(Scan()); }

LinuxHidBackend::~LinuxHidBackend() { StopMonitor(); }

std::vector<HidrawInterface> LinuxHidBackend::ScanNode(const std::string& node) const {
    std::vector<HidrawInterface> out;
    std::error_code ec;
    const fs::path classDir = fs::path(options_.sysfsRoot) / "class" / "hidraw" / node;
    const fs::path hidDir = fs::canonical(classDir / "device", ec);
    if (ec) return out;

    // HID_ID=0003:00001A2C:00007080
    unsigned bus = 0, vendor = 0, product = 0;
    std::istringstream uevent(ReadText(hidDir / "uevent"));
    for (std::string line; std::getline(uevent, line);) {
        if (line.rfind("HID_ID=", 0) == 0) std::sscanf(line.c_str() + 7, "%x:%x:%x", &bus, &vendor, &product);
    }
    if (vendor == 0 && product == 0) return out;

    int mi = -1;
    uint16_t version = 0;
    if (bus == 0x03) {  // USB: the interface and the device are the parents
        const fs::path usbInterface = hidDir.parent_path();
        const fs::path usbDevice = usbInterface.parent_path();
        long number = ParseNumber(ReadText(usbInterface / "bInterfaceNumber"), 16, -1);
        long count = ParseNumber(ReadText(usbDevice / "bNumInterfaces"), 10, 1);
        if (number >= 0 && count > 1) mi = static_cast<int>(number);
        version = static_cast<uint16_t>(ParseNumber(ReadText(usbDevice / "bcdDevice"), 16, 0));
    }

    std::vector<uint8_t> descriptor = ReadBytes(hidDir / "report_descriptor");
    std::vector<HidCollectionInfo> collections = ParseReportDescriptor(descriptor.data(), descriptor.size());
    if (collections.empty()) collections.push_back({});

    for (size_t k = 0; k < collections.size(); ++k) {
        HidrawInterface i;
        i.node = node;
        i.attributes = {static_cast<uint16_t>(vendor), static_cast<uint16_t>(product), version};
        i.caps = collections[k].caps;
        char text[128];
        std::string path = "\\\\?\\hid#";
        std::snprintf(text, sizeof text, "vid_%04x&pid_%04x", vendor & 0xFFFF, product & 0xFFFF);
        path += text;
        if (mi >= 0) {
            std::snprintf(text, sizeof text, "&mi_%02x", static_cast<unsigned>(mi));
            path += text;
        }
        if (collections.size() > 1) {
            std::snprintf(text, sizeof text, "&col%02x", static_cast<unsigned>(k + 1));
            path += text;
        }
        std::snprintf(text, sizeof text, "#%s&%04x#{4d1e55b2-f16f-11cf-88cb-001111000030}", node.c_str(),
                      static_cast<unsigned>(k));
        path += text;
        i.entry = {path, kHidClassGuid, kInterfaceActive};
        out.push_back(std::move(i));
    }
    return out;
}

std::vector<HidrawInterface> LinuxHidBackend::Scan() const {
    std::vector<std::string> nodes;
    std::error_code ec;
    for (auto& e : fs::directory_iterator(fs::path(options_.sysfsRoot) / "class" / "hidraw", ec)) {
        std::string name = e.path().filename().string();
        if (name.rfind("hidraw", 0) == 0 && NodeNumber(name) >= 0) nodes.push_back(name);
    }
    std::sort(nodes.begin(), nodes.end(), [](auto& a, auto& b) { return NodeNumber(a) < NodeNumber(b); });
    std::vector<HidrawInterface> out;
    for (auto& node : nodes) {
        auto found = ScanNode(node);
        std::move(found.begin(), found.end(), std::back_inserter(out));
    }
    return out;
}

void LinuxHidBackend::Remember(const std::vector<HidrawInterface>& found) {
    std::lock_guard lock(mutex_);
    std::map<std::string, std::vector<std::string>> byNode;
    for (auto& i : found) byNode[i.node].push_back(i.entry.path);
    for (auto& [node, paths] : byNode) knownPaths_[node] = paths;
}

bool LinuxHidBackend::ListInterfaces(std::vector<HidInterfaceEntry>* out) {
    if (!out) return false;
    out->clear();
    std::error_code ec;
    if (!fs::is_directory(fs::path(options_.sysfsRoot) / "class" / "hidraw", ec)) return false;
    auto found = Scan();
    Remember(found);
    for (auto& i : found) out->push_back(i.entry);
    return true;
}

std::unique_ptr<HidHandle> LinuxHidBackend::Open(const std::string& path, uint32_t access, uint32_t, bool overlapped,
                                                 uint32_t* error) {
    const std::string wanted = Lower(path);
    for (auto& i : Scan()) {
        if (Lower(i.entry.path) != wanted) continue;
        UniqueFd fd;
        if (access & (kAccessRead | kAccessWrite)) {
            int flags = (access & kAccessRead) && (access & kAccessWrite) ? O_RDWR
                        : (access & kAccessWrite)                         ? O_WRONLY
                                                                          : O_RDONLY;
            const std::string node = options_.devRoot + "/" + i.node;
            fd = UniqueFd(::open(node.c_str(), flags | O_NONBLOCK | O_CLOEXEC));
            if (!fd.Valid()) {
                if (error) *error = LinuxHidHandle::ErrorFromErrno(errno);
                return nullptr;
            }
        }
        const uintptr_t id = fd.Valid() ? static_cast<uintptr_t>(fd.Get()) : 0;
        return std::make_unique<LinuxHidHandle>(std::move(fd), i.attributes, i.caps, overlapped, options_.featureIo,
                                                id);
    }
    if (error) *error = kErrorFileNotFound;
    return nullptr;
}

std::unique_ptr<NamedLock> LinuxHidBackend::CreateNamedLock(const std::string& name) {
    return std::make_unique<NamedLock>(name, options_.lockFolder);
}

HidNoticeSubscription LinuxHidBackend::SubscribeNotices(std::function<void(const HidNotice&)> callback) {
    auto sub = hub_.Subscribe(std::move(callback));
    if (options_.udevMonitor) StartMonitor();
    return sub;
}

void LinuxHidBackend::HandleNodeEvent(const std::string& action, const std::string& node) {
    std::vector<std::string> paths;
    int event = 0;
    if (action == "add") {
        auto found = ScanNode(node);
        Remember(found);
        for (auto& i : found) paths.push_back(i.entry.path);
        event = kDeviceArrival;
    } else if (action == "remove") {
        std::lock_guard lock(mutex_);
        auto it = knownPaths_.find(node);
        if (it != knownPaths_.end()) {
            paths = it->second;
            knownPaths_.erase(it);
        }
        event = kDeviceRemoveComplete;
    }
    for (auto& p : paths) hub_.Publish({event, p});
}

void LinuxHidBackend::StartMonitor() {
#ifdef KBCONF_HAVE_UDEV
    std::lock_guard lock(mutex_);
    if (monitor_.joinable()) return;
    stopFd_ = UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!stopFd_.Valid()) return;
    const int stopFd = stopFd_.Get();
    monitor_ = std::thread([this, stopFd] {
        udev* u = udev_new();
        if (!u) return;
        udev_monitor* mon = udev_monitor_new_from_netlink(u, "udev");
        if (mon && udev_monitor_filter_add_match_subsystem_devtype(mon, "hidraw", nullptr) >= 0 &&
            udev_monitor_enable_receiving(mon) >= 0) {
            const int fd = udev_monitor_get_fd(mon);
            for (;;) {
                pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
                int r = ::poll(fds, 2, -1);
                if (r < 0 && errno == EINTR) continue;
                if (r < 0 || (fds[1].revents & POLLIN)) break;
                if (!(fds[0].revents & POLLIN)) continue;
                udev_device* dev = udev_monitor_receive_device(mon);
                if (!dev) continue;
                const char* action = udev_device_get_action(dev);
                const char* name = udev_device_get_sysname(dev);
                if (action && name) HandleNodeEvent(action, name);
                udev_device_unref(dev);
            }
        }
        if (mon) udev_monitor_unref(mon);
        udev_unref(u);
    });
#endif
}

void LinuxHidBackend::StopMonitor() {
    if (stopFd_.Valid()) {
        uint64_t one = 1;
        ssize_t n = ::write(stopFd_.Get(), &one, sizeof one);
        (void)n;
    }
    if (monitor_.joinable()) monitor_.join();
    stopFd_.Reset();
}

}  // namespace platform::linuxhid
