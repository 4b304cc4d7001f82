#pragma once
// Choosing the folder of the named locks on Linux. Another user must never be
// able to hold our locks (every HidDevice operation of ours would wait on
// them), so a folder is used only when it is a real folder of ours, mode 0700.

#include <sys/types.h>
#include <string>

namespace platform::linuxos {

// True when `folder` is a directory (not a link) owned by `uid` with mode 0700;
// otherwise false with the reason in *why.
bool PrivateFolder(const std::string& folder, uid_t uid, std::string* why);

// The first usable of: runtimeDir (when not empty), then <tmpRoot>/kbconf-<uid>
// (created 0700 when missing). When neither is usable, *warning says why and a
// new private folder <tmpRoot>/kbconf-<uid>-XXXXXX is made and returned (empty
// when even that fails).
std::string ChooseLockFolder(const std::string& runtimeDir, const std::string& tmpRoot, uid_t uid,
                             std::string* warning);

}  // namespace platform::linuxos
