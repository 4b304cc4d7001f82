// Feeds arbitrary bytes to the config.xml reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/AppConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AppConfig& config = AppConfig::Instance();
    config.ResetForTest();
    config.LoadFromBuffer(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const FunkeyEntry& entry : config.funkeys)
        if (entry.name.empty()) std::abort();  // nameless entries are skipped
    return 0;
}
