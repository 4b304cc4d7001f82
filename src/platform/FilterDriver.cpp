#include "platform/FilterDriver.h"

#include <atomic>

namespace platform {
namespace {

class NoDriver final : public FilterBackend {
public:
    std::unique_ptr<FilterChannel> Open(const std::string&, uint32_t, uint32_t, uint32_t, uint32_t,
                                        uint32_t* error) override {
        if (error) *error = 2;  // file not found
        return nullptr;
    }
};

NoDriver noDriver;
std::atomic<FilterBackend*> current{nullptr};

}  // namespace

FilterBackend& CurrentFilterBackend() {
    FilterBackend* b = current.load();
    return b ? *b : noDriver;
}

FilterBackend* SetCurrentFilterBackend(FilterBackend* backend) { return current.exchange(backend); }

}  // namespace platform
