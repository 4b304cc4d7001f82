#include "platform/HidBackend.h"

#include <atomic>

#include "platform/HidNoticeHub.h"

namespace platform {
namespace {

// Stands in until a real backend is chosen: no devices, nothing opens.
class EmptyHidBackend final : public HidBackend {
public:
    bool ListInterfaces(std::vector<HidInterfaceEntry>* out) override {
        if (out) out->clear();
        return true;
    }
    std::unique_ptr<HidHandle> Open(const std::string&, uint32_t, uint32_t, bool, uint32_t* error) override {
        if (error) *error = kErrorFileNotFound;
        return nullptr;
    }
    std::unique_ptr<NamedLock> CreateNamedLock(const std::string& name) override {
        return std::make_unique<NamedLock>(name);
    }
    HidNoticeSubscription SubscribeNotices(std::function<void(const HidNotice&)> callback) override {
        return hub_.Subscribe(std::move(callback));
    }

private:
    HidNoticeHub hub_;
};

EmptyHidBackend& Empty() {
    static EmptyHidBackend* empty = new EmptyHidBackend;  // lives to process end
    return *empty;
}

std::atomic<HidBackend*> g_current{nullptr};

}  // namespace

HidBackend& CurrentHid() {
    HidBackend* b = g_current.load(std::memory_order_acquire);
    return b ? *b : Empty();
}

HidBackend* SetCurrentHid(HidBackend* backend) { return g_current.exchange(backend, std::memory_order_acq_rel); }

}  // namespace platform
