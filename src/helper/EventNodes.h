#pragma once
// The event nodes of the input devices with given USB ids, read from sysfs.

#include <cstdint>
#include <string>
#include <vector>

namespace kbhelper {

// "<devRoot>/input/eventN" for each <sysfsRoot>/class/input/eventN whose
// device has these ids and is not a virtual (uinput) device; sorted.
std::vector<std::string> FindEventNodes(uint16_t vendor, uint16_t product, const std::string& sysfsRoot = "/sys",
                                        const std::string& devRoot = "/dev");

}  // namespace kbhelper
