#pragma once
// The top-level collections of a HID report descriptor, with their usage and
// report lengths. Linux serves one hidraw node per device, while the interface
// paths the device code speaks of name one top-level collection each; this
// turns the node's descriptor into those collections.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/HidTypes.h"

namespace platform::linuxhid {

struct HidCollectionInfo {
    HidCaps caps;  // report lengths include the report-id byte
    bool usesReportIds = false;
};

// Collections in descriptor order; empty for a descriptor without any.
// Malformed input ends the parse (what was complete so far is kept).
std::vector<HidCollectionInfo> ParseReportDescriptor(const uint8_t* data, size_t len);

}  // namespace platform::linuxhid
