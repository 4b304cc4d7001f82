#include "helper/KeyRouter.h"

#include <algorithm>
#include <cstring>

#include "platform/linux/HelperProtocol.h"

namespace kbhelper {
namespace {

namespace wire = platform::linuxfk::helperwire;

constexpr uint32_t kPrepareFirst = 0x226008;
constexpr uint32_t kPrepareSecond = 0x22600C;
constexpr uint32_t kCapture = 0x226010;
constexpr uint32_t kKeyRequest = 0x226044;
constexpr uint32_t kKeyTable = 0x22A000;
constexpr size_t kMaxQueued = 1024;

void Bytes(uint32_t event, uint8_t out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(event >> (8 * i));
}

}  // namespace

void KeyRouter::Control(uint32_t id, uint32_t code, const uint8_t* in, size_t inLen, size_t outLen) {
    auto done = [&](bool ok) { reply_(id, ok ? wire::kCompleted : wire::kRefused, nullptr, 0); };
    switch (code) {
    case kPrepareFirst:
        if (inLen != 0 || outLen != 0) return done(false);
        capture_ = false;
        return done(true);
    case kPrepareSecond:
        if (inLen != 0 || outLen != 0) return done(false);
        queue_.clear();
        return done(true);
    case kCapture: {
        uint32_t value = 1;
        if (inLen == 4) std::memcpy(&value, in, 4);
        if (inLen != 4 || outLen != 0 || value != 0) return done(false);
        capture_ = true;
        return done(true);
    }
    case kKeyTable:
        if ((inLen != 1024 && inLen != 256) || outLen != 0) return done(false);
        table_.clear();
        for (size_t i = 0; i + 4 <= inLen; i += 4)
            if (in[i + 3] & 0x02) table_.insert((uint32_t{in[i + 2]} << 16) | in[i]);
        return done(true);
    case kKeyRequest:
        if (inLen != 0 || outLen != 4) return done(false);
        if (!queue_.empty()) {
            uint8_t out[4];
            Bytes(queue_.front(), out);
            queue_.pop_front();
            reply_(id, wire::kCompleted, out, 4);
            return;
        }
        pending_.push_back(id);
        return;
    default:
        return done(false);
    }
}

void KeyRouter::Cancel(uint32_t id) {
    auto it = std::find(pending_.begin(), pending_.end(), id);
    if (it == pending_.end()) return;  // already answered: completion wins
    pending_.erase(it);
    capture_ = false;
    reply_(id, wire::kCancelled, nullptr, 0);
}

bool KeyRouter::Wants(uint16_t page, uint16_t usage) const {
    return capture_ || table_.count((uint32_t{page} << 16) | (usage & 0xFF)) != 0;
}

void KeyRouter::Deliver(uint16_t page, uint16_t usage, bool pressed) {
    const uint32_t event =
        uint32_t{usage} | (uint32_t{static_cast<uint8_t>(page)} << 16) | (uint32_t{pressed ? 1u : 0u} << 24);
    if (!pending_.empty()) {
        const uint32_t id = pending_.front();
        pending_.pop_front();
        uint8_t out[4];
        Bytes(event, out);
        reply_(id, wire::kCompletedAfterPending, out, 4);
        return;
    }
    if (queue_.size() >= kMaxQueued) queue_.pop_front();
    queue_.push_back(event);
}

void KeyRouter::Reset() {
    capture_ = false;
    table_.clear();
    queue_.clear();
    pending_.clear();
}

}  // namespace kbhelper
