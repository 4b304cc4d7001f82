#include "fnkeys/VHidev.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/HidBackend.h"

namespace {

constexpr uint8_t kRecordTag = 0x05;
constexpr uint16_t kPageGenericDesktop = 0x01;
constexpr uint16_t kPageMouseButtons = 0x05;
constexpr uint16_t kPageKeyboard = 0x07;
constexpr uint16_t kPageConsumer = 0x0C;

void PutLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

VHidev& VHidev::Instance() {
    static VHidev* instance = new VHidev();  // lives until the process ends
    return *instance;
}

VHidev::VHidev(platform::HidBackend* backend) : backend_(backend) {}

VHidev::~VHidev() = default;

void VHidev::SetLogSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(logLock_);
    logSink_ = std::move(sink);
}

void VHidev::Log(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::lock_guard lock(logLock_);
    if (logSink_) {
        logSink_(text);
    } else {
        std::fputs(text, stdout);
        std::fflush(stdout);
    }
}

bool VHidev::Write(const uint8_t* data, size_t length, uint8_t reportId) {
    std::array<uint8_t, kRecordSize> record{};
    record[0] = kRecordTag;
    size_t at = 1;
    if (reportId != 0) {
        record[1] = reportId;
        at = 2;
    }
    const size_t n = data ? std::min(length, kRecordSize - at) : 0;
    if (n) std::memcpy(&record[at], data, n);
    std::lock_guard lock(writeLock_);
    if (!device_) return false;
    size_t written = 0;
    return device_->Write(record.data(), record.size(), &written) && written == record.size();
}

bool VHidev::SendLocked(uint8_t id) {
    switch (id) {
    case kKeyboardId:
        return keyboard_.Send();
    case kMouseId:
        return mouse_.Send();
    case kConsumerId:
        return consumer_.Send();
    case kSystemId:
        return system_.Send();
    default:
        return false;
    }
}

bool VHidev::InjectKey(uint16_t usagePage, uint16_t usage, bool pressed) {
    std::lock_guard lock(stateLock_);
    const uint8_t low = static_cast<uint8_t>(usage & 0xFF);
    switch (usagePage) {
    case kPageKeyboard: {
        uint8_t& byte = keyboard_.buffer[1 + low / 8];
        const uint8_t bit = static_cast<uint8_t>(1u << (low % 8));
        byte = pressed ? (byte | bit) : (byte & ~bit);
        return SendLocked(kKeyboardId);
    }
    case kPageMouseButtons:
        if (low < 8) {
            const uint8_t bit = static_cast<uint8_t>(1u << low);
            mouse_.buffer[0] = pressed ? (mouse_.buffer[0] | bit) : (mouse_.buffer[0] & ~bit);
        }
        return SendLocked(kMouseId);
    case kPageGenericDesktop:
        if (usage >= 0x80) {
            PutLe16(system_.buffer.data(), pressed ? usage : 0);
            return SendLocked(kSystemId);
        }
        // X, Y and wheel: a press moves one step in the positive direction and
        // the release stops the movement, like a held direction key.
        if (usage == 0x30 || usage == 0x31 || usage == 0x38) {
            const size_t at = usage == 0x30 ? 1 : usage == 0x31 ? 2 : 3;
            mouse_.buffer[at] = pressed ? 1 : 0;
            return SendLocked(kMouseId);
        }
        return false;
    case kPageConsumer:
        PutLe16(consumer_.buffer.data(), pressed ? usage : 0);
        return SendLocked(kConsumerId);
    default:
        return false;
    }
}

bool VHidev::SetKeyboardUsage(uint8_t usage, bool pressed) { return InjectKey(kPageKeyboard, usage, pressed); }

void VHidev::ReleaseAll() {
    std::lock_guard lock(stateLock_);
    keyboard_.Clear();
    mouse_.Clear();
    consumer_.Clear();
    system_.Clear();
    keyboard_.Send();
    mouse_.Send();
    consumer_.Send();
    system_.Send();
}

void VHidev::CloseDevice() {
    std::lock_guard lock(writeLock_);
    device_.reset();
}

bool VHidev::IsOpen() const {
    std::lock_guard lock(writeLock_);
    return device_ != nullptr;
}

bool VHidev::OpenVirtualKeyboard() {
    CloseDevice();
    platform::HidBackend& hid = backend_ ? *backend_ : platform::CurrentHid();
    std::vector<platform::HidInterfaceEntry> list;
    if (!hid.ListInterfaces(&list)) {
        Log("Error 0x%x retrieving device interface list size.\n", platform::kErrorGenFailure);
        return false;
    }
    if (list.empty()) {
        Log("Error: No active device interfaces found.\n Is the sample driver loaded?");
        return false;
    }
    Log("\n....looking for our HID device (with UP=0x%04X and Usage=0x%02X)\n", kUsagePage, kUsage);

    std::unique_ptr<platform::HidHandle> found;
    for (const auto& entry : list) {
        uint32_t error = 0;
        auto handle = hid.Open(entry.path, platform::kAccessRead | platform::kAccessWrite,
                               platform::kShareRead | platform::kShareWrite, false, &error);
        if (!handle) {
            Log("Warning: CreateFile failed: %d\n", static_cast<int>(error));
            continue;
        }
        platform::HidAttributes attributes;
        if (!handle->GetAttributes(&attributes)) {
            Log("Error: HidD_GetAttributes failed \n");
            continue;
        }
        Log("Device Attributes - PID: 0x%x, VID: 0x%x \n", attributes.productId, attributes.vendorId);
        if (attributes.vendorId != kVendorId || attributes.productId != kProductId) {
            Log("Device attributes doesn't match the sample \n");
            continue;
        }
        platform::HidCaps caps;
        if (!handle->GetCaps(&caps)) {
            Log("Error: HidP_GetCaps failed \n");
            continue;
        }
        if (caps.usagePage == kUsagePage && caps.usage == kUsage) {
            Log("Success: Found my device.. \n");
            found = std::move(handle);  // the search goes on: the last match wins
        }
    }
    std::lock_guard lock(writeLock_);
    device_ = std::move(found);
    return device_ != nullptr;
}

std::array<uint8_t, 33> VHidev::KeyboardBuffer() const {
    std::lock_guard lock(stateLock_);
    return keyboard_.buffer;
}
std::array<uint8_t, 4> VHidev::MouseBuffer() const {
    std::lock_guard lock(stateLock_);
    return mouse_.buffer;
}
std::array<uint8_t, 2> VHidev::ConsumerBuffer() const {
    std::lock_guard lock(stateLock_);
    return consumer_.buffer;
}
std::array<uint8_t, 2> VHidev::SystemBuffer() const {
    std::lock_guard lock(stateLock_);
    return system_.buffer;
}
