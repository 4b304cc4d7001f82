#include "platform/sim/SimKeySource.h"

namespace platform::sim {

int SimKeySource::Attach(Sink sink) {
    std::lock_guard lock(mutex_);
    sinks_.emplace_back(nextToken_, std::move(sink));
    return nextToken_++;
}

void SimKeySource::Detach(int token) {
    std::lock_guard order(deliver_);
    std::lock_guard lock(mutex_);
    std::erase_if(sinks_, [&](const auto& s) { return s.first == token; });
}

bool SimKeySource::IsDown(uint16_t page, uint16_t usage) const {
    std::lock_guard lock(mutex_);
    return down_.count((uint32_t{page} << 16) | usage) != 0;
}

void SimKeySource::Set(uint16_t page, uint16_t usage, bool pressed) {
    std::lock_guard order(deliver_);
    std::vector<Sink> sinks;
    {
        std::lock_guard lock(mutex_);
        const uint32_t key = (uint32_t{page} << 16) | usage;
        const bool isDown = down_.count(key) != 0;
        if (isDown == pressed) return;
        if (pressed)
            down_.insert(key);
        else
            down_.erase(key);
        for (auto& s : sinks_) sinks.push_back(s.second);
    }
    for (auto& sink : sinks) sink(page, usage, pressed);
}

void SimKeySource::ReleaseAll() {
    std::vector<uint32_t> keys;
    {
        std::lock_guard lock(mutex_);
        keys.assign(down_.begin(), down_.end());
    }
    for (uint32_t k : keys) Release(static_cast<uint16_t>(k >> 16), static_cast<uint16_t>(k & 0xFFFF));
}

}  // namespace platform::sim
