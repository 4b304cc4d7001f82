#include "platform/sim/SimKeyboard.h"

#include <cstring>
#include <memory>

#include "platform/sim/SimHidBus.h"

namespace platform::sim {
namespace {

constexpr uint8_t kMagic[4] = {0xBB, 0xAA, 0x99, 0x88};

}  // namespace

SimKeyboard::SimKeyboard(SimKeyboardModel model, uint16_t version)
    : model_(model), version_(version), lighting_(FactoryLighting()) {}

SimLighting SimKeyboard::FactoryLighting() {
    SimLighting l;
    l.mode = 0x00;
    l.brightness = 5;
    l.speed = 2;
    l.sideLevel = 7;
    l.sideEffect = 0;
    return l;
}

size_t SimKeyboard::ConfigInterface() const { return model_ == SimKeyboardModel::k7080 ? 7 : 3; }

void SimKeyboard::SetVersion(uint16_t version) {
    std::lock_guard lock(mutex_);
    version_ = version;
}

uint16_t SimKeyboard::Version() const {
    std::lock_guard lock(mutex_);
    return version_;
}

void SimKeyboard::SetGarbageReply(bool garbage) {
    std::lock_guard lock(mutex_);
    garbage_ = garbage;
}

void SimKeyboard::SetReenumerateOnReset(bool enabled, int64_t dropMs, int64_t awayMs) {
    std::lock_guard lock(mutex_);
    reenumerate_ = enabled;
    dropMs_ = dropMs;
    awayMs_ = awayMs;
}

SimLighting SimKeyboard::Lighting() const {
    std::lock_guard lock(mutex_);
    return lighting_;
}

HidAttributes SimKeyboard::Attributes() const {
    std::lock_guard lock(mutex_);
    if (model_ == SimKeyboardModel::k7080) return {0x1A2C, 0x7080, 0x0001};
    return {0x1A2C, 0x7FFF, version_};
}

std::vector<SimInterface> SimKeyboard::Interfaces() const {
    // caps: usage, usage page, input, output, feature lengths
    if (model_ == SimKeyboardModel::k7080) {
        return {
            {0, -1, {0x06, 0x01, 9, 2, 0}},    // boot keyboard
            {1, 1, {0x01, 0x0C, 3, 0, 0}},     // consumer control
            {1, 2, {0x80, 0x01, 2, 0, 0}},     // system control
            {1, 3, {0x06, 0x01, 17, 0, 0}},    // n-key rollover keyboard
            {1, 4, {0x01, 0xFF31, 33, 0, 0}},  // vendor
            {1, 5, {0x02, 0xFF31, 33, 0, 0}},  // vendor
            {1, 6, {0x03, 0xFF31, 9, 0, 0}},   // vendor
            {1, 7, {0x01, 0xFF32, 0, 8, 8}},   // configuration
        };
    }
    return {
        {0, -1, {0x06, 0x01, 9, 2, 0}},      // boot keyboard
        {1, 1, {0x01, 0x0C, 3, 0, 0}},       // consumer control
        {1, 2, {0x80, 0x01, 2, 0, 0}},       // system control
        {2, -1, {0x01, 0xFF33, 65, 65, 0}},  // configuration
    };
}

void SimKeyboard::ApplySettings(const uint8_t* p) {
    if (p[3] == 0x20) {
        lighting_.sideLevel = p[6] >> 4;
        lighting_.sideEffect = p[6] & 0x0F;
        ++lighting_.sidePackets;
        return;
    }
    if (p[3] > 0x14) {
        ++lighting_.ignored;
        return;
    }
    lighting_.mode = p[3];
    lighting_.brightness = p[4];
    lighting_.speed = p[5];
    lighting_.flag = p[6];
    lighting_.byte7 = p[7];
    ++lighting_.effectPackets;
}

void SimKeyboard::FactoryReset() {
    SimLighting counters = lighting_;
    lighting_ = FactoryLighting();
    lighting_.effectPackets = counters.effectPackets;
    lighting_.sidePackets = counters.sidePackets;
    lighting_.versionQueries = counters.versionQueries;
    lighting_.ignored = counters.ignored;
    lighting_.resets = counters.resets + 1;
    if (!reenumerate_ || !Bus()) return;
    SimHidBus* bus = Bus();
    const int64_t away = awayMs_;
    // The bus keeps devices by shared_ptr; borrow ours back from it through a
    // weak reference held by the scheduled work.
    bus->Schedule(dropMs_, [bus, this, away] {
        std::shared_ptr<SimHidDevice> self = bus->SharedOf(this);
        if (!self) return;
        bus->Unplug(this);
        bus->Schedule(away, [bus, self] { bus->Plug(self); });
    });
}

bool SimKeyboard::OnSetFeature(size_t iface, const uint8_t* data, size_t len) {
    std::lock_guard lock(mutex_);
    if (iface != ConfigInterface() || len < 8 || data[0] != 0x07) {
        ++lighting_.ignored;
        return true;
    }
    if (data[1] == 0xF1) {
        versionAsked_ = true;
        ++lighting_.versionQueries;
    } else if (data[1] == 0xFF && data[2] == 0xFF) {
        ApplySettings(data);
    } else {
        ++lighting_.ignored;
    }
    return true;
}

bool SimKeyboard::OnGetFeature(size_t iface, uint8_t* data, size_t len) {
    std::lock_guard lock(mutex_);
    if (iface != ConfigInterface() || len < 1) return false;
    if (garbage_) {
        for (size_t i = 0; i < len; ++i) data[i] = static_cast<uint8_t>(0x5A ^ (i * 37));
        return true;
    }
    std::memset(data + 1, 0, len - 1);
    if (data[0] == 0x07 && versionAsked_ && len >= 3) {
        data[1] = static_cast<uint8_t>(version_ >> 8);
        data[2] = static_cast<uint8_t>(version_ & 0xFF);
    }
    versionAsked_ = false;
    return true;
}

bool SimKeyboard::OnOutput(size_t iface, const uint8_t* data, size_t len) {
    std::lock_guard lock(mutex_);
    if (iface != ConfigInterface()) {
        return true;  // LED reports of the boot keyboard and the like
    }
    if (model_ == SimKeyboardModel::k7080) {
        if (len >= 3 && data[0] == 0x07 && data[1] == 0xF0 && data[2] == 0xAA) {
            FactoryReset();
        } else {
            ++lighting_.ignored;
        }
        return true;
    }
    // 0x7FFF: 00, then the 64-byte frame.
    if (len < 11 || data[0] != 0x00 || std::memcmp(data + 1, kMagic, 4) != 0) {
        ++lighting_.ignored;
        return true;
    }
    const uint8_t* f = data + 1;
    bool allAa = true, allZero = true;
    for (int i = 4; i < 10; ++i) {
        allAa = allAa && f[i] == 0xAA;
        allZero = allZero && f[i] == 0x00;
    }
    if (allAa) {
        resetArmed_ = true;
    } else if (allZero && resetArmed_) {
        resetArmed_ = false;
        FactoryReset();
    } else if (f[4] == 0xAA && f[5] <= 0x14) {
        resetArmed_ = false;
        lighting_.mode = f[5];
        lighting_.brightness = f[6];
        lighting_.speed = f[7];
        lighting_.flag = f[8];
        lighting_.byte7 = f[9];
        ++lighting_.effectPackets;
    } else {
        ++lighting_.ignored;
    }
    return true;
}

}  // namespace platform::sim
