#include "hid/HidLog.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

namespace hid {
namespace {

std::mutex& SinkMutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::function<void(const std::string&)>& Sink() {
    static auto* sink = new std::function<void(const std::string&)>;
    return *sink;
}

}  // namespace

void HidLog(const char* format, ...) {
    char small[256];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
        text.assign(small, static_cast<size_t>(n));
    } else if (n >= 0) {
        std::vector<char> big(static_cast<size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), format, copy);
        text.assign(big.data(), static_cast<size_t>(n));
    }
    va_end(copy);
    std::lock_guard lock(SinkMutex());
    if (Sink()) {
        Sink()(text);
    } else {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
}

void SetHidLogSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(SinkMutex());
    Sink() = std::move(sink);
}

}  // namespace hid
