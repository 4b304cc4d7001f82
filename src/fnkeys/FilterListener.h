#pragma once
// Owns the filter driver's device, a reader thread that waits for key events,
// and the receivers those events are handed to, front first, until one
// consumes it. The main window's receiver is added once; the assignment
// dialog's goes in front of it while the dialog is open.

#include <array>
#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "data/KeyAssignment.h"
#include "fnkeys/FilterDevice.h"
#include "fnkeys/IMonitorProxy.h"
#include "fnkeys/MonitorProxy.h"
#include "platform/Clock.h"
#include "platform/Event.h"

class KeyAssignmentTable;

namespace HidUsbFilter {

class FilterListener {
public:
    static constexpr uint32_t kPrepareFirst = 0x226008;
    static constexpr uint32_t kPrepareSecond = 0x22600C;
    static constexpr uint32_t kCaptureRequest = 0x226010;
    static constexpr uint32_t kKeyRequest = 0x226044;
    static constexpr uint32_t kKeyTableRequest = 0x22A000;
    static constexpr size_t kKeyTableBytes = 1024;
    static constexpr size_t kKeyTableEntries = 256;
    static constexpr size_t kClearTableBytes = 256;
    // Wait after a key request the driver refused, before asking again.
    static constexpr int64_t kRetryMs = 10;

    using KeyTable = std::array<uint8_t, kKeyTableBytes>;

    // Null arguments: the process's filter backend and KeyAssignmentTable::Instance().
    // The reader waits through `clock`, so tests can tell when it is idle; an
    // emulated driver must then wait through the same clock.
    explicit FilterListener(platform::FilterBackend* backend = nullptr, KeyAssignmentTable* table = nullptr,
                            platform::Clock& clock = platform::SteadyClock());
    ~FilterListener();
    FilterListener(const FilterListener&) = delete;
    FilterListener& operator=(const FilterListener&) = delete;

    FilterDevice& Device() { return device_; }

    template <class T>
    void AddMonitor(T* owner, typename MonitorProxy<T>::Member member) {
        {
            std::lock_guard lock(listLock_);
            for (auto& r : receivers_)
                if (auto* p = dynamic_cast<MonitorProxy<T>*>(r.get()); p && p->Is(owner, member)) return;
            receivers_.push_front(std::make_unique<MonitorProxy<T>>(owner, member));
        }
        wake_.Set();
    }

    template <class T>
    void RemoveMonitor(T* owner, typename MonitorProxy<T>::Member member) {
        std::lock_guard lock(listLock_);
        for (auto it = receivers_.begin(); it != receivers_.end(); ++it) {
            if (auto* p = dynamic_cast<MonitorProxy<T>*>(it->get()); p && p->Is(owner, member)) {
                receivers_.erase(it);
                return;
            }
        }
    }

    size_t Count() const;

    // Opens the device (again) and lets a reader waiting for one go on.
    void OpenDevice();
    void Stop();
    // Stop, the two preparation requests, a new reader. True when it started.
    bool Restart();
    bool IsRunning() const { return thread_.joinable(); }
    void SendCaptureRequest();
    void PushKeyTable();
    void ClearKeyTable();

    // The driver's key table for a list of assignments, in list order; entries
    // beyond the 256th are not sent.
    static KeyTable BuildKeyTable(const std::vector<KeyAssignment>& assignments);

private:
    void ReaderMain(uint32_t id);
    void Dispatch(const uint8_t event[4]);
    bool HasReceivers() const;

    std::thread thread_;
    mutable std::mutex listLock_;
    std::atomic<uint32_t> threadId_{0};
    FilterDevice device_;
    std::list<std::unique_ptr<IMonitorProxy>> receivers_;  // front first
    KeyAssignmentTable* table_;
    platform::Clock& clock_;
    // Wakes a reader that waits for receivers, a device, or a retry. Manual
    // reset: the reader resets it before it looks at what it waits for.
    platform::Event wake_{true, false};
};

}  // namespace HidUsbFilter
