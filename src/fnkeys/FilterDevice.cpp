#include "fnkeys/FilterDevice.h"

namespace HidUsbFilter {

using platform::FilterResult;

FilterDevice::FilterDevice(platform::FilterBackend* backend) : backend_(backend) {}

FilterDevice::~FilterDevice() { Close(); }

platform::FilterBackend& FilterDevice::Backend() const {
    return backend_ ? *backend_ : platform::CurrentFilterBackend();
}

void FilterDevice::Open() {
    // The new handles are opened before the old ones close, so the driver never
    // sees this program without a handle: a re-open (every device arrival) keeps
    // what the old handles set up, a running capture included.
    std::string path = kPath;
    const uint32_t access = kAccessMask;
    const uint32_t share = platform::kFileShareRead | platform::kFileShareWrite;
    const uint32_t flags = platform::kAttributeNormal | platform::kFlagOverlapped;
    auto open = [&](uint32_t a) -> std::shared_ptr<platform::FilterChannel> {
        return Backend().Open(path, a, share, platform::kOpenExisting, flags, nullptr);
    };
    std::shared_ptr<platform::FilterChannel> r = open(platform::kGenericRead);
    std::shared_ptr<platform::FilterChannel> w = open(access & platform::kGenericWrite);
    std::shared_ptr<platform::FilterChannel> c = open(access);
    {
        std::lock_guard lock(mutex_);
        path_ = std::move(path);
        accessMask_ = access;
        r.swap(read_);
        w.swap(write_);
        c.swap(control_);
    }
    CloseHandles(std::move(r), std::move(w), std::move(c));
    if (openNotify_) openNotify_->Set();
}

void FilterDevice::Close() {
    std::shared_ptr<platform::FilterChannel> r, w, c;
    {
        std::lock_guard lock(mutex_);
        r = std::move(read_);
        w = std::move(write_);
        c = std::move(control_);
    }
    CloseHandles(std::move(r), std::move(w), std::move(c));
}

void FilterDevice::CloseHandles(std::shared_ptr<platform::FilterChannel> r, std::shared_ptr<platform::FilterChannel> w,
                                std::shared_ptr<platform::FilterChannel> c) {
    // The cancel events end a request still running on another thread (the
    // reader's); a handle itself goes once that request has let go of it.
    // Closing is not cancelling: the driver keeps what the program set up
    // while any handle of it is open.
    if (r) cancelRead_.Set();
    if (w) cancelWrite_.Set();
    if (c) cancelControl_.Set();
}

bool FilterDevice::IsReadOpen() const {
    std::lock_guard lock(mutex_);
    return read_ != nullptr;
}
bool FilterDevice::IsWriteOpen() const {
    std::lock_guard lock(mutex_);
    return write_ != nullptr;
}
bool FilterDevice::IsControlOpen() const {
    std::lock_guard lock(mutex_);
    return control_ != nullptr;
}

FilterResult FilterDevice::RequestNoReset(uint32_t code, const void* input, uint32_t inputLength, void* output,
                                          uint32_t outputLength) {
    std::shared_ptr<platform::FilterChannel> control;
    {
        std::lock_guard lock(mutex_);
        control = control_;
    }
    if (!control) return FilterResult::kRefused;
    return control->Control(code, static_cast<const uint8_t*>(input), inputLength, static_cast<uint8_t*>(output),
                            outputLength, &cancelControl_);
}

bool FilterDevice::Request(uint32_t code, const void* input, uint32_t inputLength, void* output,
                           uint32_t outputLength) {
    if (!IsControlOpen()) return false;
    cancelControl_.Reset();
    const FilterResult r = RequestNoReset(code, input, inputLength, output, outputLength);
    return r == FilterResult::kCompleted || r == FilterResult::kCompletedAfterPending;
}

void FilterDevice::CancelAll() {
    std::shared_ptr<platform::FilterChannel> r, w, c;
    {
        std::lock_guard lock(mutex_);
        r = read_;
        w = write_;
        c = control_;
    }
    if (r) cancelRead_.Set(), r->CancelAll();
    if (w) cancelWrite_.Set(), w->CancelAll();
    if (c) cancelControl_.Set(), c->CancelAll();
}

}  // namespace HidUsbFilter
