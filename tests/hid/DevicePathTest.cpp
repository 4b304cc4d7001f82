#include "hid/DevicePath.h"

#include <gtest/gtest.h>

#include "hid/DeviceNotice.h"
#include "platform/HidTypes.h"
#include "protocol/DeviceTable.h"

namespace {

struct PathCase {
    const char* path;
    bool found;
    int32_t vid, pid, mi, col;
};

}  // namespace

TEST(ParseDevicePath, ReadsTheIdsOfEveryPathForm) {
    const PathCase cases[] = {
        {R"(\\?\hid#vid_1a2c&pid_7080&mi_01&col07#8&1f2e3d4c&0&0006#{4d1e55b2-f16f-11cf-88cb-001111000030})", true,
         0x1A2C, 0x7080, 1, 7},
        {R"(\\?\hid#vid_1a2c&pid_7080&mi_01#8&1f2e3d4c&0&0000#{guid})", true, 0x1A2C, 0x7080, 1, -1},
        {R"(\\?\hid#vid_3f3f&pid_0001#7&abc&0&0000#{guid})", true, 0x3F3F, 0x0001, -1, -1},
        {R"(\\?\hid#vid_1A2C&pid_7FFF&mi_02#x)", true, 0x1A2C, 0x7FFF, 2, -1},
        {R"(\\?\hid#vid_1a2c&pid_7fff&rev_0100&mi_02&col0A#x)", true, 0x1A2C, 0x7FFF, 2, 10},
        // Anywhere in the text; a part with a non-hex letter stops reading there.
        {R"(prefix hid#vid_1a2g&pid_7080 suffix)", true, 0x1A2, 0x7080, -1, -1},
        // The first occurrence that completes wins.
        {R"(hid#vid_12&pid_7080 hid#vid_1a2c&pid_0002&col03)", true, 0x1A2C, 0x0002, -1, 3},
        // Markers are lower case only; short parts do not match.
        {R"(\\?\HID#VID_1A2C&PID_7080&MI_01&COL07#x)", false, 0, 0, 0, 0},
        {R"(\\?\hid#vid_1a2c&pid_708#x)", false, 0, 0, 0, 0},
        {R"(\\?\usb#vid_1a2c&pid_7080#x)", false, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        int32_t vid = 99, pid = 99, mi = 99, col = 99;
        EXPECT_EQ(hid::ParseDevicePath(c.path, &vid, &pid, &mi, &col), c.found) << c.path;
        if (!c.found) {
            EXPECT_EQ(vid, 99) << "outputs untouched: " << c.path;
            continue;
        }
        EXPECT_EQ(vid, c.vid) << c.path;
        EXPECT_EQ(pid, c.pid) << c.path;
        EXPECT_EQ(mi, c.mi) << c.path;
        EXPECT_EQ(col, c.col) << c.path;
    }
    // Every output is optional.
    int32_t col = 0;
    EXPECT_TRUE(hid::ParseDevicePath(cases[0].path, nullptr, nullptr, nullptr, &col));
    EXPECT_EQ(col, 7);
}

TEST(DeviceNotice, MatchesOnlyHandledEventsOfKeyboardRows) {
    using platform::kDeviceArrival;
    using platform::kDeviceRemoveComplete;
    struct Case {
        int event;
        const char* path;
        bool handled;
        int row;
    };
    const Case cases[] = {
        {kDeviceArrival, R"(\\?\hid#vid_1a2c&pid_7080&mi_01&col07#x)", true, 0},
        {kDeviceRemoveComplete, R"(\\?\hid#vid_1a2c&pid_7080&mi_01&col07#x)", true, 0},
        {kDeviceArrival, R"(\\?\hid#vid_1a2c&pid_7080&mi_01&col01#x)", true, -1},  // another collection
        {kDeviceArrival, R"(\\?\hid#vid_1a2c&pid_7080&mi_01#x)", true, -1},
        {kDeviceArrival, R"(\\?\hid#vid_1a2c&pid_7fff&mi_02#x)", true, 1},
        {kDeviceArrival, R"(\\?\hid#vid_1a2c&pid_7fff&mi_02&col01#x)", true, -1},  // row 2 wants no collection
        {kDeviceArrival, R"(\\?\hid#vid_3f3f&pid_0001#x)", true, -1},              // a mouse: handed on, no row
        {kDeviceArrival, R"(\\?\usbstor#disk&ven_x#x)", false, -1},                // not HID
        {kDeviceArrival, R"(\\?\HID#VID_1A2C&PID_7080&MI_01&COL07#x)", false, -1},
        {0x8001, R"(\\?\hid#vid_1a2c&pid_7080&mi_01&col07#x)", false, -1},  // query remove: ignored
        {0x0007, R"(\\?\hid#vid_1a2c&pid_7080&mi_01&col07#x)", false, -1},
    };
    for (const auto& c : cases) {
        hid::DeviceNotice n;
        EXPECT_EQ(protocol::MatchKeyboardNotice(c.event, c.path, &n), c.handled) << c.path;
        if (c.handled) {
            EXPECT_EQ(n.row, c.row) << c.path;
            EXPECT_EQ(n.event, c.event);
        }
    }
}
