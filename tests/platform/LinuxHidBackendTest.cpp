#include "platform/linux/LinuxHidBackend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "data/LedEffectTable.h"
#include "data/SideLightTable.h"
#include "hid/HidDevice.h"
#include "hid/HidEnumerator.h"
#include "hid/HidLog.h"
#include "platform/Clock.h"
#include "platform/linux/HidReportDescriptor.h"
#include "protocol/KeyboardLink.h"

namespace fs = std::filesystem;
using namespace platform;
using namespace platform::linuxhid;

namespace {

using Bytes = std::vector<uint8_t>;

// One application collection: page, usage, report id (0: none), and the byte
// counts of its input, output and feature reports.
Bytes Collection(uint16_t page, uint8_t usage, uint8_t id, uint8_t in, uint8_t out, uint8_t feature) {
    Bytes b = {0x06, static_cast<uint8_t>(page & 0xFF), static_cast<uint8_t>(page >> 8), 0x09, usage, 0xA1, 0x01};
    if (id) b.insert(b.end(), {0x85, id});
    auto field = [&](uint8_t count, uint8_t mainItem) {
        if (count) b.insert(b.end(), {0x75, 0x08, 0x95, count, mainItem, 0x02});
    };
    field(in, 0x81);
    field(out, 0x91);
    field(feature, 0xB1);
    b.push_back(0xC0);
    return b;
}

// A sysfs and /dev tree laid out as the kernel does it, with three hidraw nodes:
// hidraw3 = the 0x7080 keyboard's interface 1 (seven collections, the last one
// the configuration collection), hidraw5 = the 0x7FFF keyboard's interface 2,
// hidraw7 = a Bluetooth mouse.
class Fixture {
public:
    Fixture() {
        std::random_device rd;
        root = fs::temp_directory_path() / ("kbconf-sysfs-" + std::to_string(rd()));
        fs::create_directories(root / "sys/class/hidraw");
        fs::create_directories(root / "dev");
        Bytes desc7080;
        for (int c = 1; c <= 6; ++c) {
            Bytes part =
                Collection(c == 1 ? 0x000C : 0xFF31, static_cast<uint8_t>(c), static_cast<uint8_t>(c), 8, 0, 0);
            desc7080.insert(desc7080.end(), part.begin(), part.end());
        }
        Bytes config = Collection(0xFF32, 0x01, 0x07, 0, 7, 7);
        desc7080.insert(desc7080.end(), config.begin(), config.end());
        AddUsbNode("hidraw3", "1-1", 1, 3, "0001", 0x1A2C, 0x7080, desc7080);
        AddUsbNode("hidraw5", "1-2", 2, 3, "0100", 0x1A2C, 0x7FFF, Collection(0xFF33, 0x01, 0, 64, 64, 0));
        AddNode("hidraw7", root / "sys/devices/virtual/bt/0005:3F3F:0001.0009", 0x05, 0x3F3F, 0x0001,
                Collection(0x0001, 0x02, 0, 4, 0, 0));
        std::ofstream(root / "dev/hidraw3").put('\0');
        fs::resize_file(root / "dev/hidraw3", 0);
        ::mkfifo((root / "dev/hidraw5").c_str(), 0600);
    }
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    LinuxHidOptions Options() {
        LinuxHidOptions o;
        o.sysfsRoot = (root / "sys").string();
        o.devRoot = (root / "dev").string();
        o.lockFolder = root.string();
        o.udevMonitor = false;
        o.featureIo = [this](int, bool get, uint8_t* buffer, size_t len) {
            features.emplace_back(buffer, buffer + len);
            features.back().insert(features.back().begin(), get ? 'G' : 'S');
            if (get && len >= 3) {
                buffer[1] = 0x01;
                buffer[2] = 0x23;
            }
            return true;
        };
        return o;
    }
    Bytes Written(const std::string& node) {
        std::ifstream in(root / "dev" / node, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void RemoveNode(const std::string& node) { fs::remove(root / "sys/class/hidraw" / node); }

    fs::path root;
    std::vector<Bytes> features;

private:
    void AddUsbNode(const std::string& node, const std::string& port, int mi, int interfaces, const char* bcd,
                    unsigned vid, unsigned pid, const Bytes& desc) {
        fs::path dev = root / "sys/devices/pci0000:00/0000:00:14.0/usb1" / port;
        fs::create_directories(dev);
        Write(dev / "bNumInterfaces", " " + std::to_string(interfaces) + "\n");
        Write(dev / "bcdDevice", std::string(bcd) + "\n");
        char name[64];
        std::snprintf(name, sizeof name, "%s:1.%d", port.c_str(), mi);
        fs::path usbIf = dev / name;
        fs::create_directories(usbIf);
        std::snprintf(name, sizeof name, "%02x\n", mi);
        Write(usbIf / "bInterfaceNumber", name);
        std::snprintf(name, sizeof name, "0003:%04X:%04X.000%d", vid, pid, mi);
        AddNode(node, usbIf / name, 0x03, vid, pid, desc);
    }
    void AddNode(const std::string& node, const fs::path& hidDir, unsigned bus, unsigned vid, unsigned pid,
                 const Bytes& desc) {
        fs::create_directories(hidDir / "hidraw" / node);
        char text[96];
        std::snprintf(text, sizeof text, "DRIVER=hid-generic\nHID_ID=%04X:%08X:%08X\nHID_NAME=Test\n", bus, vid, pid);
        Write(hidDir / "uevent", text);
        Write(hidDir / "report_descriptor", std::string(desc.begin(), desc.end()));
        fs::create_symlink("../../../" + hidDir.filename().string(), hidDir / "hidraw" / node / "device");
        fs::create_symlink(fs::relative(hidDir / "hidraw" / node, root / "sys/class/hidraw"),
                           root / "sys/class/hidraw" / node);
    }
    static void Write(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }
};

class SilentLog {
public:
    SilentLog() {
        hid::SetHidLogSink([](const std::string&) {});
    }
    ~SilentLog() { hid::SetHidLogSink(nullptr); }
};

}  // namespace

TEST(HidReportDescriptor, CollectionsWithTheirUsagesAndReportLengths) {
    Bytes d = Collection(0x000C, 0x01, 1, 2, 0, 0);
    Bytes v = Collection(0xFF32, 0x01, 7, 0, 7, 7);
    d.insert(d.end(), v.begin(), v.end());
    auto c = ParseReportDescriptor(d.data(), d.size());
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].caps.usagePage, 0x000C);
    EXPECT_EQ(c[0].caps.inputReportLength, 3);
    EXPECT_EQ(c[1].caps.usagePage, 0xFF32);
    EXPECT_EQ(c[1].caps.featureReportLength, 8);
    EXPECT_EQ(c[1].caps.outputReportLength, 8);
    EXPECT_EQ(c[1].caps.inputReportLength, 0);
    // Truncated input keeps what was complete; an extended usage carries its page.
    Bytes ext = {0x0B, 0x01, 0x00, 0x00, 0xFF, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02, 0xC0, 0x05};
    auto e = ParseReportDescriptor(ext.data(), ext.size());
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].caps.usagePage, 0xFF00);
    EXPECT_EQ(e[0].caps.usage, 0x0001);
    EXPECT_EQ(e[0].caps.inputReportLength, 4);
    EXPECT_TRUE(ParseReportDescriptor(ext.data(), 3).empty());
}

TEST(LinuxHidBackend, MapsHidrawNodesToInterfacePaths) {
    Fixture f;
    LinuxHidBackend backend(f.Options());
    std::vector<HidInterfaceEntry> list;
    ASSERT_TRUE(backend.ListInterfaces(&list));
    ASSERT_EQ(list.size(), 9u);
    EXPECT_EQ(list[0].path,
              R"(\\?\hid#vid_1a2c&pid_7080&mi_01&col01#hidraw3&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})");
    EXPECT_EQ(list[6].path,
              R"(\\?\hid#vid_1a2c&pid_7080&mi_01&col07#hidraw3&0006#{4d1e55b2-f16f-11cf-88cb-001111000030})");
    EXPECT_EQ(list[7].path, R"(\\?\hid#vid_1a2c&pid_7fff&mi_02#hidraw5&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})");
    EXPECT_EQ(list[8].path, R"(\\?\hid#vid_3f3f&pid_0001#hidraw7&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})");

    SilentLog quiet;
    const int32_t p7fff = 0x7FFF;
    auto found = hid::EnumerateHidInterfaces(0x1A2C, 1, &p7fff, 2, -1, &backend);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].versionNumber, 0x0100);  // bcdDevice
    EXPECT_EQ(found[0].usagePage, 0xFF33);
    uint32_t err = 0;
    EXPECT_FALSE(backend.Open(R"(\\?\hid#vid_1a2c&pid_7080&mi_01&col08#hidraw3&0007#x)", kAccessRead, 3, true, &err));
    EXPECT_EQ(err, kErrorFileNotFound);
}

TEST(LinuxHidBackend, KeyboardExchangesReachTheNode) {
    Fixture f;
    LinuxHidBackend backend(f.Options());
    SilentLog quiet;
    LedEffectTable effects;
    SideLightTable sides;
    protocol::KeyboardLink link(effects, sides, SteadyClock(), &backend);
    ASSERT_TRUE(link.ConnectKeyboard());
    EXPECT_EQ(link.deviceProtocol, protocol::FeatureReports);
    EXPECT_EQ(link.keyboard.Caps().featureReportLength, 8);
    link.QueryFirmwareVersion();
    EXPECT_EQ(link.firmwareVersion, 0x0123);
    ASSERT_EQ(f.features.size(), 2u);
    EXPECT_EQ(f.features[0], (Bytes{'S', 0x07, 0xF1, 0, 0, 0, 0, 0, 0}));
    link.SendFactoryReset();  // an output report, written to the node
    EXPECT_EQ(f.Written("hidraw3"), (Bytes{0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0}));
}

TEST(LinuxHidBackend, ReadsWaitOnTheNodeAndTimeOut) {
    Fixture f;
    LinuxHidBackend backend(f.Options());
    SilentLog quiet;
    hid::HidDevice d(&backend);
    d.overlapped = true;
    const int32_t p = 0x7FFF;
    ASSERT_TRUE(d.Open(0x1A2C, 1, &p, 2, -1, nullptr, 0x80000003u));
    uint8_t buf[65] = {};
    EXPECT_EQ(d.Read(buf, 65, 30), 0u);  // nothing came: cancelled after the time-out
    int writer = ::open((f.root / "dev/hidraw5").c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const uint8_t report[4] = {0, 0x11, 0x22, 0x33};
    ASSERT_EQ(::write(writer, report, 4), 4);
    EXPECT_EQ(d.Read(buf, 65, 1000), 4u);
    EXPECT_EQ(buf[3], 0x33);
    ::close(writer);
}

TEST(LinuxHidBackend, NodeEventsBecomeNoticesForEachCollection) {
    Fixture f;
    LinuxHidBackend backend(f.Options());
    std::vector<HidNotice> notices;
    auto sub = backend.SubscribeNotices([&](const HidNotice& n) { notices.push_back(n); });
    backend.HandleNodeEvent("add", "hidraw5");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].event, kDeviceArrival);
    EXPECT_NE(notices[0].path.find("pid_7fff&mi_02#"), std::string::npos);
    // Gone from sysfs by the time the removal arrives: the remembered paths are used.
    f.RemoveNode("hidraw3");
    backend.HandleNodeEvent("remove", "hidraw3");
    ASSERT_EQ(notices.size(), 8u);
    EXPECT_EQ(notices[7].event, kDeviceRemoveComplete);
    EXPECT_NE(notices[7].path.find("&col07#"), std::string::npos);
    backend.HandleNodeEvent("remove", "hidraw3");  // unknown by now: nothing
    backend.HandleNodeEvent("change", "hidraw5");
    EXPECT_EQ(notices.size(), 8u);
}

TEST(LinuxHidBackend, HotPlugMonitorStopsWithTheBackend) {
    Fixture f;
    auto options = f.Options();
    options.udevMonitor = true;
    for (int i = 0; i < 3; ++i) {
        LinuxHidBackend backend(options);
        auto sub = backend.SubscribeNotices([](const HidNotice&) {});
        auto again = backend.SubscribeNotices([](const HidNotice&) {});  // one monitor only
    }  // must not hang: the monitor thread is woken and joined
    SUCCEED();
}
