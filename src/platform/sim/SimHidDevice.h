#pragma once
// The extension point of the emulated bus: a device model. Subclass it, describe
// the interfaces, answer the reports, and plug an instance into a SimHidBus.
//
// The bus calls the handlers one at a time per device (never concurrently for
// the same device) and without holding its own lock, so a handler may call back
// into the bus (Schedule, PushInput, even Unplug of another device). A handler
// must not block.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/HidTypes.h"

namespace platform::sim {

class SimHidBus;

// One HID interface (top-level collection) of a device. mi and col are the
// "&mi_XX" and "&colXX" parts of its path; -1 leaves the part out.
struct SimInterface {
    int mi = -1;
    int col = -1;
    HidCaps caps;
};

class SimHidDevice {
public:
    virtual ~SimHidDevice() = default;

    // HID attributes, as read through any of the device's interfaces.
    virtual HidAttributes Attributes() const = 0;
    // The interfaces, in enumeration order. Read once when the device is plugged.
    virtual std::vector<SimInterface> Interfaces() const = 0;

    // `iface` is the index into Interfaces(); data[0] is the report id and len
    // counts it (outputs: the full report as written, e.g. 65 bytes with 00).
    // Returning false makes the host's call fail.
    virtual bool OnSetFeature(size_t iface, const uint8_t* data, size_t len);
    virtual bool OnGetFeature(size_t iface, uint8_t* data, size_t len);
    virtual bool OnOutput(size_t iface, const uint8_t* data, size_t len);

    // The instance part of the paths, between the "#" after the ids and the
    // interface number; the default is derived from the ids.
    virtual std::string InstanceId() const;

    // The bus the device is plugged into, null while unplugged.
    SimHidBus* Bus() const { return bus_; }

    SimHidDevice() = default;
    SimHidDevice(const SimHidDevice&) = delete;
    SimHidDevice& operator=(const SimHidDevice&) = delete;

private:
    friend class SimHidBus;
    SimHidBus* bus_ = nullptr;
};

}  // namespace platform::sim
