#pragma once
// The filter driver's device "\\.\vhidflt": three handles (read, write, and the
// control handle every request goes to), each with an auto-reset cancel event.
// Open/Close run on the UI thread while the listener's reader may be inside a
// request on the control handle: the handles are shared, so a close cancels the
// reader's request and the reader picks up the new handles on its next request.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Event.h"
#include "platform/FilterDriver.h"

namespace HidUsbFilter {

class FilterDevice {
public:
    static constexpr const char* kPath = "\\\\.\\vhidflt";
    static constexpr uint32_t kAccessMask = 0xC0000000u;

    // Null backend: the process's current one, looked up at each Open.
    explicit FilterDevice(platform::FilterBackend* backend = nullptr);
    ~FilterDevice();
    FilterDevice(const FilterDevice&) = delete;
    FilterDevice& operator=(const FilterDevice&) = delete;

    // Opens the three handles anew; a handle that fails stays closed. The old
    // handles close after the new ones are open.
    void Open();
    void Close();
    bool IsReadOpen() const;
    bool IsWriteOpen() const;
    bool IsControlOpen() const;

    // A control request on the control handle; false when it is closed, the
    // driver refused the request, or it was cancelled. Resets the control
    // cancel event first.
    bool Request(uint32_t code, const void* input, uint32_t inputLength, void* output, uint32_t outputLength);
    // The same without the reset, with the full outcome, for the reader: it
    // resets the event itself and then checks for a stop before it asks.
    platform::FilterResult RequestNoReset(uint32_t code, const void* input, uint32_t inputLength, void* output,
                                          uint32_t outputLength);
    void ResetControlCancel() { cancelControl_.Reset(); }

    // Signals every open handle's cancel event and cancels the requests pending
    // on it, whichever thread issued them.
    void CancelAll();

    // Signalled after every Open, so a reader waiting for the device goes on.
    void SetOpenNotify(platform::Event* event) { openNotify_ = event; }

    const std::string& Path() const { return path_; }
    uint32_t AccessMask() const { return accessMask_; }

private:
    platform::FilterBackend& Backend() const;
    void CloseHandles(std::shared_ptr<platform::FilterChannel> r, std::shared_ptr<platform::FilterChannel> w,
                      std::shared_ptr<platform::FilterChannel> c);

    platform::FilterBackend* backend_;
    mutable std::mutex mutex_;
    std::shared_ptr<platform::FilterChannel> read_;
    std::shared_ptr<platform::FilterChannel> write_;
    std::shared_ptr<platform::FilterChannel> control_;
    platform::Event cancelRead_{false, false};
    platform::Event cancelWrite_{false, false};
    platform::Event cancelControl_{false, false};
    uint32_t accessMask_ = kAccessMask;
    platform::Event* openNotify_ = nullptr;
    std::string path_;
};

}  // namespace HidUsbFilter
