#pragma once
// One platform as its folder registers it with the factory.

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace platform {

using PlatformFactory = std::unique_ptr<Platform> (*)(const PlatformOptions& options, std::string* error);

struct PlatformEntry {
    const char* name;
    PlatformFactory create;
    bool real;  // the build's own system (the default), not an emulation
};

}  // namespace platform
