#include "hid/HidDevice.h"

#include <cstring>
#include <vector>

#include "hid/HidEnumerator.h"
#include "hid/HidLog.h"
#include "platform/Event.h"
#include "platform/HidBackend.h"

namespace hid {
namespace {

using platform::HidAsyncIo;

// Taken on entry to an operation and released on exit. Re-entrant for the
// holding thread, so Open by ids can call Open by path under the same name.
class OperationLock {
public:
    OperationLock(platform::HidBackend& backend, const char* name) : lock_(backend.CreateNamedLock(name)) {
        if (lock_) lock_->Lock();
    }
    ~OperationLock() {
        if (lock_) lock_->Unlock();
    }
    OperationLock(const OperationLock&) = delete;
    OperationLock& operator=(const OperationLock&) = delete;

private:
    std::unique_ptr<platform::NamedLock> lock_;
};

unsigned HandleValue(const platform::HidHandle* h) { return h ? static_cast<unsigned>(h->Id()) : 0xFFFFFFFFu; }
unsigned Address(const void* p) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(p)); }

size_t Clamp(size_t len, uint16_t reportLength) {
    return (reportLength != 0 && reportLength < len) ? reportLength : len;
}

}  // namespace

HidDevice::HidDevice(HidDevice&& other) noexcept
    : overlapped(other.overlapped), separateHandles(other.separateHandles), backend_(other.backend_) {
    std::lock_guard lock(other.slotMutex_);
    caps_ = other.caps_;
    handle_ = std::move(other.handle_);
    writeHandle_ = std::move(other.writeHandle_);
}

platform::HidBackend& HidDevice::Backend() const { return backend_ ? *backend_ : platform::CurrentHid(); }

HidDevice::Slots HidDevice::Snapshot() const {
    std::lock_guard lock(slotMutex_);
    return {handle_, writeHandle_, caps_};
}

platform::HidCaps HidDevice::Caps() const {
    std::lock_guard lock(slotMutex_);
    return caps_;
}

bool HidDevice::OpenSlot(bool writeSlot, const std::string& path, uint32_t access, uint32_t share) {
    {
        std::lock_guard lock(slotMutex_);
        (writeSlot ? writeHandle_ : handle_).reset();
    }
    uint32_t error = 0;
    std::shared_ptr<platform::HidHandle> opened = Backend().Open(path, access, share, overlapped, &error);
    HidLog("open dev: %08x\n", HandleValue(opened.get()));
    if (!opened) return false;
    std::lock_guard lock(slotMutex_);
    (writeSlot ? writeHandle_ : handle_) = std::move(opened);
    return true;
}

bool HidDevice::Open(const std::string& path, uint32_t mode) {
    OperationLock lock(Backend(), "HidDevice::Open");
    if (path.empty()) return false;
    if (!separateHandles) {
        if (!OpenSlot(false, path, mode & 0xFF000000u, mode & 0xFFu)) return false;
    } else {
        if (mode == 0) return false;
        if ((mode & 0x80000003u) && !OpenSlot(false, path, mode & 0x80000000u, mode & 3u)) return false;
        if ((mode & 0x40000003u) && !OpenSlot(true, path, mode & 0x40000000u, mode & 3u)) return false;
    }
    // Capabilities through a query-only handle. When they cannot be read they
    // are zero, as before the first open: lengths kept from another interface
    // opened earlier would cut this one's reports to that one's size.
    uint32_t error = 0;
    platform::HidCaps caps{};
    auto query = Backend().Open(path, 0, platform::kShareRead | platform::kShareWrite, false, &error);
    if (query) {
        platform::HidAttributes attributes;
        query->GetAttributes(&attributes);
        if (!query->GetCaps(&caps)) caps = {};
    }
    std::lock_guard slots(slotMutex_);
    caps_ = caps;
    return true;
}

bool HidDevice::Open(int32_t vendor, int32_t productCount, const int32_t* products, int32_t interfaceNumber,
                     int32_t collectionNumber, uint16_t* version, uint32_t mode) {
    OperationLock lock(Backend(), "HidDevice::Open");
    auto list = EnumerateHidInterfaces(vendor, productCount, products, interfaceNumber, collectionNumber, backend_);
    if (list.empty()) return false;
    if (version) *version = list.front().versionNumber;
    return Open(list.front().path, mode);
}

bool HidDevice::Open(int32_t product, int32_t collectionNumber, uint16_t* version, int32_t vendor,
                     int32_t interfaceNumber) {
    const int32_t products[1] = {product};
    return Open(vendor, product ? 1 : 0, product ? products : nullptr, interfaceNumber, collectionNumber, version,
                kDefaultAccess);
}

void HidDevice::Close() {
    OperationLock lock(Backend(), "HidDevice::Close");
    std::shared_ptr<platform::HidHandle> handle, writeHandle;
    {
        std::lock_guard slots(slotMutex_);
        handle = std::move(handle_);
        writeHandle = std::move(writeHandle_);
    }
    // Closed here, outside the slot lock, unless a transfer still holds them.
}

bool HidDevice::IsOpen() const {
    std::lock_guard lock(slotMutex_);
    return handle_ != nullptr || writeHandle_ != nullptr;
}

size_t HidDevice::Write(const uint8_t (&report)[8]) { return WriteRaw(report, 8); }

size_t HidDevice::Write(const uint8_t (&payload)[64]) {
    std::vector<uint8_t> framed(65, 0);
    std::memcpy(framed.data() + 1, payload, 64);
    return WriteRaw(framed.data(), framed.size());
}

size_t HidDevice::Write(const std::array<uint8_t, 64>& payload) {
    std::vector<uint8_t> framed(65, 0);
    std::memcpy(framed.data() + 1, payload.data(), 64);
    return WriteRaw(framed.data(), framed.size());
}

size_t HidDevice::WriteRaw(const uint8_t* data, size_t len) {
    OperationLock lock(Backend(), "HidDevice::Write");
    return WriteLocked(data, len);
}

size_t HidDevice::WriteLocked(const uint8_t* data, size_t len) {
    const Slots slots = Snapshot();
    platform::HidHandle* h = separateHandles ? slots.writeHandle.get() : slots.handle.get();
    if (!h || !data) return 0;
    size_t result = 0;
    if (overlapped) {
        HidLog("写(异步)USB设备 handle=%08x, data=%08x, len=%d, timeout=%d\n", HandleValue(h), Address(data),
               static_cast<int>(len), static_cast<int>(kWriteTimeoutMs));
        len = Clamp(len, slots.caps.outputReportLength);
        HidLog("正在写入... %d\n", static_cast<int>(len));
        uint32_t error = 0;
        auto io = h->StartWrite(data, len, &error);
        if (io && io->CompletedAtOnce()) {
            size_t n = 0;
            if (io->Result(&n)) result = n;
        } else {
            if (io) error = platform::kErrorIoPending;
            HidLog("写文件错误(%04x,%d)\n", HandleValue(h), static_cast<int>(error));
            if (io) {
                if (io->Wait(kWriteTimeoutMs) == HidAsyncIo::kCompleted) {
                    HidLog("asynchronous write succeed : %d\n", static_cast<int>(HandleValue(h)));
                    size_t n = 0;
                    if (io->Result(&n)) result = n;
                } else {
                    HidLog("超时索引错误\n");
                    io->Cancel();
                }
            }
        }
    } else {
        HidLog("写(同步)USB设备 handle=%08x, data=%08x, len=%d, timeout=%d\n", HandleValue(h), Address(data),
               static_cast<int>(len), 0);
        len = Clamp(len, slots.caps.outputReportLength);
        size_t n = 0;
        if (h->Write(data, len, &n)) result = len;
    }
    HidLog("已写长度为 %d\n", static_cast<int>(result));
    return result;
}

size_t HidDevice::Read(uint8_t* buffer, size_t len, int64_t timeoutMs, platform::Event* abort) {
    OperationLock lock(Backend(), "HidDevice::Read");
    return ReadLocked(buffer, len, timeoutMs, abort);
}

size_t HidDevice::Read(uint8_t reportId, uint8_t* out, size_t len, int64_t timeoutMs) {
    OperationLock lock(Backend(), "HidDevice::Read");
    if (!out || len == 0) return 0;
    std::vector<uint8_t> temp(len + 1, 0);
    temp[0] = reportId;
    size_t n = ReadLocked(temp.data(), temp.size(), timeoutMs, nullptr);
    if (n > 0) std::memcpy(out, temp.data() + 1, len);
    return n;
}

size_t HidDevice::ReadLocked(uint8_t* buffer, size_t len, int64_t timeoutMs, platform::Event* abort) {
    const Slots slots = Snapshot();
    platform::HidHandle* h = slots.handle.get();
    if (len == 0 || !buffer || !h) return 0;
    size_t result = 0;
    bool gotData = false;
    if (overlapped) {
        HidLog("读(异步)USB设备 handle=%08x, data=%08x, len=%d, timeout=%d\n", HandleValue(h), Address(buffer),
               static_cast<int>(len), static_cast<int>(timeoutMs));
        if (timeoutMs <= 0) return 0;
        len = Clamp(len, slots.caps.inputReportLength);
        uint32_t error = 0;
        auto io = h->StartRead(buffer, len, &error);
        if (!io) {
            HidLog("读取文件错误(%d)\n", static_cast<int>(error));
        } else if (io->CompletedAtOnce()) {
            size_t n = 0;
            if (io->Result(&n)) result = n;
            gotData = true;
        } else {
            switch (io->Wait(timeoutMs, abort)) {
            case HidAsyncIo::kCompleted: {
                HidLog("asynchronous read succeed : %d\n", static_cast<int>(HandleValue(h)));
                size_t n = 0;
                if (io->Result(&n)) result = n;
                gotData = true;
                break;
            }
            case HidAsyncIo::kAborted:
                abort->Reset();
                HidLog("read abort : %04x", Address(abort));
                io->Cancel();
                break;
            case HidAsyncIo::kTimedOut:
                HidLog("超时索引错误(%d)\n", static_cast<int>(platform::kErrorIoPending));
                io->Cancel();
                break;
            }
        }
    } else {
        HidLog("读(同步)USB设备 handle=%08x, data=%08x, len=%d, timeout=%d\n", HandleValue(h), Address(buffer),
               static_cast<int>(len), static_cast<int>(timeoutMs));
        len = Clamp(len, slots.caps.inputReportLength);
        size_t n = 0;
        if (h->Read(buffer, len, &n)) result = n;
        gotData = result > 0;
    }
    if (gotData && result > 0) {
        static const char digits[] = "0123456789abcdef";
        std::string dump;
        for (size_t i = 0; i < len; ++i) {
            if (i) dump += ' ';
            dump += digits[buffer[i] >> 4];
            dump += digits[buffer[i] & 15];
        }
        HidLog("%s\n", dump.c_str());
    }
    HidLog("已读长度为 %d\n", static_cast<int>(result));
    return result;
}

bool HidDevice::FeatureLocked(bool get, uint8_t* buffer, size_t len) {
    std::shared_ptr<platform::HidHandle> h = Snapshot().handle;
    if (!buffer || !h) return false;
    return get ? h->GetFeature(buffer, len) : h->SetFeature(buffer, len);
}

bool HidDevice::GetFeature(uint8_t (&buffer)[8]) {
    OperationLock lock(Backend(), "HidDevice::GetFeature");
    return FeatureLocked(true, buffer, 8);
}

bool HidDevice::SetFeature(const uint8_t (&buffer)[8]) {
    OperationLock lock(Backend(), "HidDevice::SetFeature");
    uint8_t copy[8];
    std::memcpy(copy, buffer, 8);
    return FeatureLocked(false, copy, 8);
}

bool HidDevice::GetFeature(std::array<uint8_t, 8>& buffer) {
    OperationLock lock(Backend(), "HidDevice::GetFeature");
    return FeatureLocked(true, buffer.data(), 8);
}

bool HidDevice::SetFeature(const std::array<uint8_t, 8>& buffer) {
    OperationLock lock(Backend(), "HidDevice::SetFeature");
    std::array<uint8_t, 8> copy = buffer;
    return FeatureLocked(false, copy.data(), 8);
}

bool HidDevice::GetFeature(uint8_t reportId, uint8_t* out, size_t len) {
    OperationLock lock(Backend(), "HidDevice::GetFeature");
    if (!out || len == 0) return false;
    std::vector<uint8_t> temp(len + 1, 0);
    temp[0] = reportId;
    bool ok = FeatureLocked(true, temp.data(), temp.size());
    std::memcpy(out, temp.data() + 1, len);
    return ok;
}

bool HidDevice::SetFeature(uint8_t reportId, const uint8_t* data, size_t len) {
    OperationLock lock(Backend(), "HidDevice::SetFeature");
    if (!data || len == 0) return false;
    std::vector<uint8_t> temp(len + 1, 0);
    temp[0] = reportId;
    std::memcpy(temp.data() + 1, data, len);
    return FeatureLocked(false, temp.data(), temp.size());
}

}  // namespace hid
