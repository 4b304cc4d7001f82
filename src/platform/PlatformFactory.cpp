#include <cstdlib>

#include "platform/Platform.h"
#include "platform/PlatformList.h"

namespace platform {

std::unique_ptr<Platform> CreatePlatform(const std::string& name, const PlatformOptions& options, std::string* error) {
    for (const PlatformEntry& entry : kPlatformList) {
        if (name != entry.name) continue;
        std::string why;
        auto platform = entry.create(options, &why);
        if (!platform && error) *error = why;
        return platform;
    }
    if (error) *error = "unknown platform: " + name;
    return nullptr;
}

std::string DefaultPlatformName() {
    if (const char* env = std::getenv("KBCONF_PLATFORM"); env && *env) return env;
    for (const PlatformEntry& entry : kPlatformList)
        if (entry.real) return entry.name;
    return "sim";
}

std::vector<std::string> PlatformNames() {
    std::vector<std::string> names;
    for (const PlatformEntry& entry : kPlatformList) names.emplace_back(entry.name);
    return names;
}

}  // namespace platform
