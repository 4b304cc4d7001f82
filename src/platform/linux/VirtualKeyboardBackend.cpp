#include "platform/linux/VirtualKeyboardBackend.h"

namespace platform::linuxfk {
namespace {

class Handle final : public HidHandle {
public:
    explicit Handle(std::shared_ptr<VirtualKeyboardLink> link) : link_(std::move(link)) {}
    uintptr_t Id() const override { return 0xFEED; }
    bool GetAttributes(HidAttributes* out) override {
        *out = HidAttributes{0xDEED, 0xFEED, 0x0101};
        return true;
    }
    bool GetCaps(HidCaps* out) override {
        *out = HidCaps{};
        out->usagePage = 0xFF00;
        out->usage = 0x01;
        out->outputReportLength = 64;
        return true;
    }
    bool GetFeature(uint8_t*, size_t) override { return false; }
    bool SetFeature(const uint8_t*, size_t) override { return false; }
    bool Write(const uint8_t* data, size_t len, size_t* written) override {
        const bool ok = link_->SendRecord(data, len);
        if (written) *written = ok ? len : 0;
        return ok;
    }
    bool Read(uint8_t*, size_t, size_t*) override { return false; }
    std::unique_ptr<HidAsyncIo> StartWrite(const uint8_t*, size_t, uint32_t* error) override {
        if (error) *error = kErrorInvalidParameter;
        return nullptr;
    }
    std::unique_ptr<HidAsyncIo> StartRead(uint8_t*, size_t, uint32_t* error) override {
        if (error) *error = kErrorInvalidParameter;
        return nullptr;
    }

private:
    std::shared_ptr<VirtualKeyboardLink> link_;
};

}  // namespace

VirtualKeyboardBackend::VirtualKeyboardBackend(HidBackend& inner, std::shared_ptr<VirtualKeyboardLink> link)
    : inner_(inner), link_(std::move(link)) {}

bool VirtualKeyboardBackend::ListInterfaces(std::vector<HidInterfaceEntry>* out) {
    const bool ok = inner_.ListInterfaces(out);
    const bool present = link_ && link_->Present();
    if (present) {
        HidInterfaceEntry entry;
        entry.path = kPath;
        entry.flags = kInterfaceActive;
        out->push_back(entry);
    }
    return ok || present;
}

std::unique_ptr<HidHandle> VirtualKeyboardBackend::Open(const std::string& path, uint32_t access, uint32_t share,
                                                        bool overlapped, uint32_t* error) {
    if (path == kPath) {
        if (!link_ || !link_->Present()) {
            if (error) *error = kErrorFileNotFound;
            return nullptr;
        }
        return std::make_unique<Handle>(link_);
    }
    return inner_.Open(path, access, share, overlapped, error);
}

std::unique_ptr<NamedLock> VirtualKeyboardBackend::CreateNamedLock(const std::string& name) {
    return inner_.CreateNamedLock(name);
}

HidNoticeSubscription VirtualKeyboardBackend::SubscribeNotices(std::function<void(const HidNotice&)> callback) {
    return inner_.SubscribeNotices(std::move(callback));
}

}  // namespace platform::linuxfk
