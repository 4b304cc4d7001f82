// Feeds arbitrary bytes to the ledeffect.xml reader and checks its output reads back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzRoundTrip.h"
#include "data/LedEffectTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LedEffectTable& table = LedEffectTable::Instance();
    table.ResetForTest();  // no path: nothing is written to disk
    table.LoadFromBuffer(std::string_view(reinterpret_cast<const char*>(data), size));
    CheckRoundTrip(table);
    return 0;
}
