#pragma once
// fsync(2) of a file or a folder, opened by path.

#include "platform/FileSync.h"

namespace platform::posix {

class PosixFileSync : public FileSync {
public:
    bool SyncFile(const std::string& path) const override;
    bool SyncFolder(const std::string& path) const override;
};

}  // namespace platform::posix
