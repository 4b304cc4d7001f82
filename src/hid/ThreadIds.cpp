#include "hid/ThreadIds.h"

#include <atomic>

namespace threads {
namespace {
std::atomic<uint32_t> next{0};
thread_local uint32_t current = 0;
}  // namespace

uint32_t NextThreadId() {
    uint32_t id;
    do id = ++next;
    while (id == 0);
    return id;
}

uint32_t CurrentThreadId() { return current; }
void SetCurrentThreadId(uint32_t id) { current = id; }

}  // namespace threads
