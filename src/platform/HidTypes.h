#pragma once
// Plain records that cross the HID seam. They mirror what the device code needs
// to know about an interface; nothing here depends on a particular OS.

#include <cstdint>
#include <string>

namespace platform {

// A 128-bit interface class identifier, fields in their usual textual order.
struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};

    friend bool operator==(const Guid&, const Guid&) = default;
    // "4D1E55B2-F16F-11CF-88CB-001111000030" (upper-case hex, no braces).
    std::string ToString() const;
};

// The class of every HID device interface: {4D1E55B2-F16F-11CF-88CB-001111000030}.
inline constexpr Guid kHidClassGuid{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;  // the device's release number
};

// Top-level collection capabilities. Report lengths include the report-id byte.
struct HidCaps {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
    uint16_t featureReportLength = 0;
};

// One present HID device interface as listed by a backend. `path` is in the
// interface-path form the discovery code parses, e.g.
//   \\?\hid#vid_1a2c&pid_7080&mi_01&col07#8&1f2e3d4c&0&0006#{4d1e55b2-f16f-11cf-88cb-001111000030}
struct HidInterfaceEntry {
    std::string path;
    Guid classGuid = kHidClassGuid;
    uint32_t flags = 0;
};

// Access and share bits of HidBackend::Open, with the values the callers use in
// their combined access modes (0xC0000003 = read+write, sharing both).
inline constexpr uint32_t kAccessRead = 0x80000000u;
inline constexpr uint32_t kAccessWrite = 0x40000000u;
inline constexpr uint32_t kShareRead = 0x1u;
inline constexpr uint32_t kShareWrite = 0x2u;

// Interface flags as listed.
inline constexpr uint32_t kInterfaceActive = 0x1u;

// Error codes reported by the backends (same numbering everywhere, so log lines
// and callers' checks do not depend on the backend).
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorGenFailure = 31;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorOperationAborted = 995;
inline constexpr uint32_t kErrorIoPending = 997;
inline constexpr uint32_t kErrorDeviceNotConnected = 1167;

// Device notice event codes.
inline constexpr int kDeviceArrival = 0x8000;
inline constexpr int kDeviceRemoveComplete = 0x8004;

struct HidNotice {
    int event = 0;     // kDeviceArrival or kDeviceRemoveComplete
    std::string path;  // the interface path, as in HidInterfaceEntry
};

}  // namespace platform
