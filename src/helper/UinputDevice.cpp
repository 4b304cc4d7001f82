#include "helper/UinputDevice.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

#include "helper/VirtualKeyboard.h"
#include "platform/linux/LinuxKeyCodes.h"

namespace kbhelper {
namespace {

struct Description {
    libevdev* dev = libevdev_new();
    ~Description() { libevdev_free(dev); }
};

void Name(libevdev* dev, const char* name) {
    libevdev_set_name(dev, name);
    libevdev_set_id_bustype(dev, BUS_VIRTUAL);
    libevdev_set_id_vendor(dev, 0xDEED);
    libevdev_set_id_product(dev, 0xFEED);
}

}  // namespace

UinputDevice::~UinputDevice() { libevdev_uinput_destroy(device_); }

std::unique_ptr<UinputDevice> UinputDevice::Create(const libevdev* description) {
    libevdev_uinput* device = nullptr;
    if (libevdev_uinput_create_from_device(description, LIBEVDEV_UINPUT_OPEN_MANAGED, &device) != 0) return nullptr;
    return std::unique_ptr<UinputDevice>(new UinputDevice(device));
}

std::unique_ptr<UinputDevice> UinputDevice::CopyOf(const libevdev* node) { return Create(node); }

std::unique_ptr<UinputDevice> UinputDevice::VirtualKeys() {
    Description d;
    if (!d.dev) return nullptr;
    Name(d.dev, "kbconf virtual keyboard");
    for (uint16_t page : {uint16_t{0x07}, uint16_t{0x0C}, uint16_t{0x01}})
        for (uint32_t usage = 0; usage < 0x300; ++usage) {
            uint16_t code = 0;
            if (platform::linuxfk::HidToInputCode(page, static_cast<uint16_t>(usage), &code))
                libevdev_enable_event_code(d.dev, EV_KEY, code, nullptr);
        }
    // Held keys repeat as those of any keyboard do.
    libevdev_enable_event_type(d.dev, EV_REP);
    return Create(d.dev);
}

std::unique_ptr<UinputDevice> UinputDevice::VirtualPointer() {
    Description d;
    if (!d.dev) return nullptr;
    Name(d.dev, "kbconf virtual pointer");
    for (uint16_t b : VirtualKeyboard::kButtons) libevdev_enable_event_code(d.dev, EV_KEY, b, nullptr);
    for (uint16_t r : {REL_X, REL_Y, REL_WHEEL}) libevdev_enable_event_code(d.dev, EV_REL, r, nullptr);
    return Create(d.dev);
}

bool UinputDevice::WriteFrame(const input_event* events, size_t count) {
    // uinput takes any number of events per write and stamps them itself.
    const size_t size = count * sizeof(input_event);
    return ::write(libevdev_uinput_get_fd(device_), events, size) == static_cast<ssize_t>(size);
}

}  // namespace kbhelper
