#pragma once
// Makes written data survive a power cut: the contents of a file, and the
// entries of a folder (a rename is only durable once its folder is synced).

#include <string>

namespace platform {

class FileSync {
public:
    virtual ~FileSync() = default;
    // False when the file cannot be opened or its data cannot be flushed.
    virtual bool SyncFile(const std::string& path) const = 0;
    // False when the folder's entries cannot be flushed. A file system that has
    // no way to sync a folder counts as synced.
    virtual bool SyncFolder(const std::string& path) const = 0;
};

// The operating system's, for the files the program saves.
const FileSync& SystemFileSync();

}  // namespace platform
