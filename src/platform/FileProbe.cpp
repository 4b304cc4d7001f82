#include "platform/FileProbe.h"

#include <filesystem>
#include <system_error>

namespace platform {

FileKind ProbeFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return FileKind::kMissing;
    return std::filesystem::is_directory(status) ? FileKind::kDirectory : FileKind::kFile;
}

}  // namespace platform
