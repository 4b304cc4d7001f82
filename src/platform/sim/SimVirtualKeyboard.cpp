#include "platform/sim/SimVirtualKeyboard.h"

#include <cstdio>

namespace platform::sim {
namespace {

constexpr size_t kRecordSize = 64;
constexpr size_t kSizes[5] = {0, 33, 4, 2, 2};

std::string Hex(const uint8_t* p, size_t n, const char* sep = " ") {
    std::string s;
    char t[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(t, sizeof t, "%02x", p[i]);
        if (i) s += sep;
        s += t;
    }
    return s;
}

}  // namespace

std::string SimVirtualKeyboard::Report::Describe() const {
    char t[16];
    switch (id) {
    case 1: {
        std::string s = "kbd";
        for (int u = 0; u < 256; ++u)
            if (bytes.size() == 33 && (bytes[1 + u / 8] >> (u % 8)) & 1) {
                std::snprintf(t, sizeof t, " %02x", u);
                s += t;
            }
        return s == "kbd" ? "kbd -" : s;
    }
    case 2:
        return "mouse " + Hex(bytes.data(), bytes.size());
    case 3:
    case 4:
        std::snprintf(t, sizeof t, "%04x", bytes[0] | (bytes[1] << 8));
        return std::string(id == 3 ? "cons " : "sys ") + t;
    default:
        return "bad " + Hex(bytes.data(), bytes.size());
    }
}

SimVirtualKeyboard::SimVirtualKeyboard(Clock& clock) : clock_(clock) {}

HidAttributes SimVirtualKeyboard::Attributes() const {
    HidAttributes a;
    a.vendorId = 0xDEED;
    a.productId = 0xFEED;
    a.versionNumber = 0x0101;
    return a;
}

std::vector<SimInterface> SimVirtualKeyboard::Interfaces() const {
    SimInterface control;
    control.caps.usagePage = 0xFF00;
    control.caps.usage = 0x01;
    control.caps.outputReportLength = kRecordSize;
    return {control};
}

bool SimVirtualKeyboard::OnOutput(size_t, const uint8_t* data, size_t len) {
    const int64_t now = clock_.NowUs();
    std::lock_guard lock(mutex_);
    if (len != kRecordSize || data[0] != 0x05 || data[1] < 1 || data[1] > 4) {
        ++bad_;
        return false;
    }
    const uint8_t id = data[1];
    Report r{now, id, std::vector<uint8_t>(data + 2, data + 2 + kSizes[id])};
    const uint8_t* b = r.bytes.data();
    switch (id) {
    case 1:
        for (int u = 0; u < 256; ++u) keys_[u] = (b[1 + u / 8] >> (u % 8)) & 1;
        break;
    case 2:
        for (int i = 0; i < 4; ++i) mouse_[i] = b[i];
        break;
    case 3:
        consumer_ = static_cast<uint16_t>(b[0] | (b[1] << 8));
        break;
    case 4:
        system_ = static_cast<uint16_t>(b[0] | (b[1] << 8));
        break;
    }
    reports_.push_back(std::move(r));
    received_.notify_all();
    return true;
}

std::vector<SimVirtualKeyboard::Report> SimVirtualKeyboard::Reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
}

void SimVirtualKeyboard::ClearReports() {
    std::lock_guard lock(mutex_);
    reports_.clear();
}

std::vector<uint8_t> SimVirtualKeyboard::PressedKeys() const {
    std::lock_guard lock(mutex_);
    std::vector<uint8_t> v;
    for (int u = 0; u < 256; ++u)
        if (keys_[u]) v.push_back(static_cast<uint8_t>(u));
    return v;
}

uint8_t SimVirtualKeyboard::MouseButtons() const {
    std::lock_guard lock(mutex_);
    return mouse_[0];
}

uint16_t SimVirtualKeyboard::Consumer() const {
    std::lock_guard lock(mutex_);
    return consumer_;
}

uint16_t SimVirtualKeyboard::System() const {
    std::lock_guard lock(mutex_);
    return system_;
}

bool SimVirtualKeyboard::AnyPressed() const {
    std::lock_guard lock(mutex_);
    return keys_.any() || mouse_[0] != 0 || consumer_ != 0 || system_ != 0;
}

int SimVirtualKeyboard::BadRecords() const {
    std::lock_guard lock(mutex_);
    return bad_;
}

}  // namespace platform::sim

namespace platform::sim {

bool SimVirtualKeyboard::WaitForReports(size_t n, int64_t timeoutMs) const {
    std::unique_lock lock(mutex_);
    return received_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return reports_.size() >= n; });
}

size_t SimVirtualKeyboard::ReportCount() const {
    std::lock_guard lock(mutex_);
    return reports_.size();
}

}  // namespace platform::sim
