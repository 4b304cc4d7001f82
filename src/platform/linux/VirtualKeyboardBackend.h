#pragma once
// The HID seam with the virtual keyboard added: every interface of the inner
// backend, plus the virtual keyboard's control interface (DEED:FEED, collection
// 0xFF00/0x01), listed while its link is present, whose 64-byte writes go
// through the link.

#include <memory>
#include <string>
#include <vector>

#include "platform/HidBackend.h"
#include "platform/linux/VirtualKeyboardLink.h"

namespace platform::linuxfk {

class VirtualKeyboardBackend final : public HidBackend {
public:
    static constexpr const char* kPath =
        "\\\\?\\uinput#vid_deed&pid_feed#vhidev&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

    // `link` may be null (the virtual keyboard is then never present).
    VirtualKeyboardBackend(HidBackend& inner, std::shared_ptr<VirtualKeyboardLink> link);

    bool ListInterfaces(std::vector<HidInterfaceEntry>* out) override;
    std::unique_ptr<HidHandle> Open(const std::string& path, uint32_t access, uint32_t share, bool overlapped,
                                    uint32_t* error) override;
    std::unique_ptr<NamedLock> CreateNamedLock(const std::string& name) override;
    HidNoticeSubscription SubscribeNotices(std::function<void(const HidNotice&)> callback) override;

private:
    HidBackend& inner_;
    std::shared_ptr<VirtualKeyboardLink> link_;
};

}  // namespace platform::linuxfk
