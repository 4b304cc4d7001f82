#pragma once
// The system side of named locks: one lock file per name in a private folder,
// locked exclusively per process. Each platform folder provides the bodies.

#include <cstdint>
#include <string>

namespace platform::lockfile {

// An open lock file; kNone when there is none.
using Handle = intptr_t;
inline constexpr Handle kNone = -1;

// Opens (creating it, owner-only) the lock file at `path`; kNone on failure.
Handle Open(const std::string& path);
void Close(Handle handle);

enum class Result { kTaken, kBusy, kFailed };
// Takes the lock for this process: waiting as long as another holds it, or
// with wait false, kBusy at once.
Result Lock(Handle handle, bool wait);
void Unlock(Handle handle);

// Tells a forked child from its parent: a child must open its own lock files.
uint64_t ProcessId();

// The folder for locks made without one: the user's private runtime folder, or
// a private fallback when that is not safe to use. Chosen once per process;
// empty when no usable folder exists at all.
std::string DefaultFolder();

}  // namespace platform::lockfile
