#include "fnkeys/FilterListener.h"

#include "data/KeyAssignmentTable.h"
#include "hid/ThreadIds.h"

namespace HidUsbFilter {

using platform::FilterResult;

FilterListener::FilterListener(platform::FilterBackend* backend, KeyAssignmentTable* table, platform::Clock& clock)
    : device_(backend), table_(table), clock_(clock) {
    device_.SetOpenNotify(&wake_);
}

FilterListener::~FilterListener() {
    Stop();
    ClearKeyTable();
    {
        std::lock_guard lock(listLock_);
        receivers_.clear();
    }
    device_.Close();
}

size_t FilterListener::Count() const {
    std::lock_guard lock(listLock_);
    return receivers_.size();
}

bool FilterListener::HasReceivers() const { return Count() != 0; }

void FilterListener::OpenDevice() { device_.Open(); }

void FilterListener::Stop() {
    if (!thread_.joinable()) return;
    // The run flag goes first: a reader between its cancel-event reset and its
    // wait then either sees the flag or gets the signal below.
    threadId_.store(0);
    device_.CancelAll();
    wake_.Set();
    thread_.join();
}

bool FilterListener::Restart() {
    Stop();
    device_.Request(kPrepareFirst, nullptr, 0, nullptr, 0);
    device_.Request(kPrepareSecond, nullptr, 0, nullptr, 0);
    const uint32_t id = threads::NextThreadId();
    threadId_.store(id);  // before the reader can test it
    clock_.ThreadStarting();
    try {
        thread_ = std::thread([this, id] { ReaderMain(id); });
    } catch (...) {
        threadId_.store(0);
        clock_.ThreadEnded();
        return false;
    }
    return true;
}

void FilterListener::SendCaptureRequest() {
    const uint8_t value[4] = {0, 0, 0, 0};
    device_.Request(kCaptureRequest, value, sizeof value, nullptr, 0);
}

FilterListener::KeyTable FilterListener::BuildKeyTable(const std::vector<KeyAssignment>& assignments) {
    KeyTable table{};
    size_t n = 0;
    for (const KeyAssignment& a : assignments) {
        if (n == kKeyTableEntries) break;
        const auto code = static_cast<uint32_t>(a.code);
        uint8_t* e = &table[n * 4];
        e[0] = static_cast<uint8_t>(code & 0xFF);
        e[1] = 0;
        e[2] = static_cast<uint8_t>((code >> 16) & 0xFF);
        e[3] = 0x02;
        ++n;
    }
    return table;
}

void FilterListener::PushKeyTable() {
    KeyAssignmentTable& t = table_ ? *table_ : KeyAssignmentTable::Instance();
    const auto snapshot = t.Snapshot();
    const KeyTable bytes = BuildKeyTable(snapshot ? *snapshot : std::vector<KeyAssignment>{});
    device_.Request(kKeyTableRequest, bytes.data(), static_cast<uint32_t>(bytes.size()), nullptr, 0);
}

void FilterListener::ClearKeyTable() {
    const uint8_t zeros[kClearTableBytes] = {};
    device_.Request(kKeyTableRequest, zeros, sizeof zeros, nullptr, 0);
}

void FilterListener::Dispatch(const uint8_t event[4]) {
    const uint16_t usage = static_cast<uint16_t>(event[0] | (event[1] << 8));
    const uint8_t page = event[2];
    const bool pressed = (event[3] & 1) != 0;
    std::lock_guard lock(listLock_);
    for (auto& r : receivers_)
        if (r->OnKeyEvent(page, usage, pressed) != 0) break;
}

void FilterListener::ReaderMain(uint32_t id) {
    threads::SetCurrentThreadId(id);
    while (threadId_.load() == id) {
        // Reset before looking: a receiver, a device or a stop that comes after
        // this point sets it again, one that came before is seen below.
        wake_.Reset();
        if (threadId_.load() != id) break;
        if (!HasReceivers() || !device_.IsControlOpen()) {
            // Nothing to ask for: sleep until a receiver, a device or a stop comes.
            clock_.Wait(wake_, platform::Event::kInfinite);
            continue;
        }
        device_.ResetControlCancel();
        if (threadId_.load() != id) break;  // a stop that came before the reset
        uint8_t event[4] = {0, 0, 0, 0};
        const FilterResult r = device_.RequestNoReset(kKeyRequest, nullptr, 0, event, sizeof event);
        if (r == FilterResult::kCompleted || r == FilterResult::kCompletedAfterPending) {
            // An event the driver had ready counts as much as one it waited for.
            Dispatch(event);
            continue;
        }
        if (r == FilterResult::kCancelled) continue;
        clock_.Wait(wake_, kRetryMs);
    }
    threads::SetCurrentThreadId(0);
    clock_.ThreadEnded();
}

}  // namespace HidUsbFilter
