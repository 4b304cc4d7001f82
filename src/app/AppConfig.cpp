#include "app/AppConfig.h"

#include <cstring>

#include "data/LenientNumber.h"
#include "data/XmlFile.h"

AppConfig& AppConfig::Instance() {
    static AppConfig* config = new AppConfig();  // lives until the process ends
    return *config;
}

void AppConfig::ResetForTest() {
    document.reset();
    chineseUi = false;
    vid = pid = interface = subdevice = 0;
    funkeys.clear();
    combkeys.clear();
}

std::vector<std::pair<std::int32_t, std::int32_t>> AppConfig::ParseCombination(const char* text) {
    std::vector<std::pair<std::int32_t, std::int32_t>> keys;
    std::string compact;
    for (const char* p = text ? text : ""; *p; ++p)
        if (*p != ' ') compact.push_back(*p);

    size_t start = 0;
    while (start <= compact.size()) {
        size_t end = compact.find(',', start);
        if (end == std::string::npos) end = compact.size();
        const std::string token = compact.substr(start, end - start);
        start = end + 1;
        if (token.empty()) continue;
        const size_t colon = token.find(':');
        const std::string key = token.substr(0, colon);
        std::int32_t delay = 0;
        if (colon != std::string::npos) {
            const size_t next = token.find(':', colon + 1);  // parts after the second are ignored
            delay = LenientNumber::SignedDecimal(token.substr(colon + 1, next - colon - 1).c_str());
        }
        keys.emplace_back(LenientNumber::SignedDecimal(key.c_str()), delay);
    }
    return keys;
}

bool AppConfig::Load(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return false;
    return LoadFromBuffer(bytes);
}

bool AppConfig::LoadFromBuffer(std::string_view bytes) {
    // The file may be UTF-8 or UTF-16; let the parser tell.
    pugi::xml_document parsed;
    if (!ParseXml(parsed, bytes, pugi::encoding_auto)) return false;
    document = std::move(parsed);

    chineseUi = std::strcmp(document.child("local").attribute("language").value(), "cn") == 0;

    const pugi::xml_node usb = document.child("usb");
    vid = LenientNumber::SignedHex(usb.attribute("vid").value());
    pid = LenientNumber::SignedHex(usb.attribute("pid").value());
    interface = LenientNumber::SignedHex(usb.attribute("interface").value());
    subdevice = LenientNumber::SignedHex(usb.attribute("subdevice").value());

    for (pugi::xml_node n = document.child("funkey").first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;
        const char* name = n.attribute("name").value();
        if (!*name) continue;
        funkeys.push_back(FunkeyEntry{name, LenientNumber::UnsignedHex(n.attribute("code").value()),
                                      n.attribute("path").value(), n.attribute("argm").value()});
    }

    for (pugi::xml_node n = document.child("combkey").first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;
        CombkeyEntry entry;
        entry.name = n.attribute("name").value();
        if (const pugi::xml_attribute code = n.attribute("code")) entry.keys = ParseCombination(code.value());
        combkeys.push_back(std::move(entry));
    }
    return true;
}
