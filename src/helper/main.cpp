// kbconf-helper: the small privileged key service of kbconf on Linux. Started
// by systemd as root (socket activation, or on its own socket when run by
// hand); see KeyService for what it does and for whom.

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <systemd/sd-daemon.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "helper/EventNodes.h"
#include "helper/KeyService.h"
#include "helper/UinputDevice.h"
#include "platform/linux/HelperProtocol.h"

namespace {

using platform::linuxhid::UniqueFd;
namespace wire = platform::linuxfk::helperwire;

kbhelper::KeyService* g_service = nullptr;

void OnSignal(int) {
    if (g_service) g_service->RequestStop();
}

UniqueFd Listen(const std::string& path) {
    if (sd_listen_fds(1) == 1) return UniqueFd(SD_LISTEN_FDS_START);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (!fd.Valid() || path.size() >= sizeof addr.sun_path) return {};
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    ::unlink(path.c_str());
    if (::bind(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
    // Anyone may knock; the peer check decides who is let in.
    ::chmod(path.c_str(), 0666);
    if (::listen(fd.Get(), 4) != 0) return {};
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    std::string socketPath = wire::kSocketPath;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--socket" && i + 1 < argc) {
            socketPath = argv[++i];
        } else {
            std::fprintf(stderr, "usage: kbconf-helper [--socket PATH]\n");
            return 2;
        }
    }
    UniqueFd listener = Listen(socketPath);
    if (!listener.Valid()) {
        std::fprintf(stderr, "kbconf-helper: cannot listen on %s\n", socketPath.c_str());
        return 1;
    }
    auto keys = kbhelper::UinputDevice::VirtualKeys();
    auto pointer = kbhelper::UinputDevice::VirtualPointer();
    if (!keys || !pointer) {
        std::fprintf(stderr, "kbconf-helper: cannot create the virtual keyboard on /dev/uinput\n");
        return 1;
    }

    kbhelper::KeyServiceOptions options;
    options.findNodes = [] {
        std::vector<std::string> nodes;
        for (uint16_t product : {uint16_t{0x7080}, uint16_t{0x7FFF}})
            for (auto& n : kbhelper::FindEventNodes(0x1A2C, product)) nodes.push_back(n);
        return nodes;
    };
    options.openNode = [](const std::string& path) {
        return UniqueFd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    };
    options.makeCopy = [](const libevdev* node) -> std::unique_ptr<kbhelper::EventSink> {
        return kbhelper::UinputDevice::CopyOf(node);
    };
    options.udevMonitor = true;
    options.log = [](const std::string& line) { std::fprintf(stderr, "kbconf-helper: %s\n", line.c_str()); };

    kbhelper::KeyService service(std::move(listener), std::move(keys), std::move(pointer), options);
    if (!service.Ok()) return 1;
    g_service = &service;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    sd_notify(0, "READY=1");
    service.Run();
    g_service = nullptr;
    return 0;
}
