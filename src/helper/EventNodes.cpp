#include "helper/EventNodes.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kbhelper {

std::vector<std::string> FindEventNodes(uint16_t vendor, uint16_t product, const std::string& sysfsRoot,
                                        const std::string& devRoot) {
    namespace fs = std::filesystem;
    auto readHex = [](const fs::path& p) -> long {
        std::ifstream in(p);
        std::string text;
        if (!(in >> text)) return -1;
        return std::strtol(text.c_str(), nullptr, 16);
    };
    std::vector<std::string> nodes;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(sysfsRoot) / "class" / "input", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("event", 0) != 0) continue;
        // The service's own copies carry the keyboard's ids too; they are
        // virtual devices, and grabbing them would feed the keys back.
        const std::string real = fs::canonical(entry.path(), ec).string();
        if (ec || real.find("/devices/virtual/") != std::string::npos) continue;
        const fs::path id = entry.path() / "device" / "id";
        if (readHex(id / "vendor") == vendor && readHex(id / "product") == product)
            nodes.push_back(devRoot + "/input/" + name);
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

}  // namespace kbhelper
