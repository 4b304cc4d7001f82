#pragma once
// Ids of the worker threads: handed out before a thread exists, so the id is
// stored in the owner's run flag before the new thread can test it.

#include <cstdint>

namespace threads {

// A new id, never 0 (0 means "stop").
uint32_t NextThreadId();
// The id of the calling worker thread; 0 on threads these classes did not start.
uint32_t CurrentThreadId();
void SetCurrentThreadId(uint32_t id);

}  // namespace threads
