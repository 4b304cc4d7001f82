#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pugixml.hpp>

// A named key code offered as a media key.
struct FunkeyEntry {
    std::string name;        // never empty
    std::uint32_t code = 0;  // (usage page << 16) | usage id
    std::string path;
    std::string argm;
};

// A named key combination offered as a function: (key code, delay in ms) pairs.
struct CombkeyEntry {
    std::string name;
    std::vector<std::pair<std::int32_t, std::int32_t>> keys;
};

// The settings of config.xml, prepared outside the program and only read, once,
// at start-up.
class AppConfig {
public:
    static AppConfig& Instance();

    AppConfig() = default;
    AppConfig(const AppConfig&) = delete;
    AppConfig& operator=(const AppConfig&) = delete;

    // Reads the file at `path`. A missing or malformed file leaves every field
    // as it is and gives false. The lists are not cleared first: a second load
    // appends, which is why start-up calls it once.
    bool Load(const std::string& path);
    // The same for file contents already in memory.
    bool LoadFromBuffer(std::string_view bytes);

    // Back to the freshly created state.
    void ResetForTest();

    pugi::xml_document document;  // the loaded file, kept for the object's life
    bool chineseUi = false;
    std::int32_t vid = 0;
    std::int32_t pid = 0;
    std::int32_t interface = 0;
    std::int32_t subdevice = 0;
    std::vector<FunkeyEntry> funkeys;
    std::vector<CombkeyEntry> combkeys;

    // Splits a combkey "code" text: blanks removed, pairs key:delay separated by
    // commas, each number a signed decimal.
    static std::vector<std::pair<std::int32_t, std::int32_t>> ParseCombination(const char* text);
};
