#pragma once
// What is at a path: nothing, a file, or a directory (the attribute check of
// driver installation).

#include <string>

namespace platform {

enum class FileKind { kMissing, kFile, kDirectory };

FileKind ProbeFile(const std::string& path);

}  // namespace platform
