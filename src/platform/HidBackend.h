#pragma once
// The HID seam: what the device code needs of the system. One backend is current
// per process (CurrentHid, installed by the platform factory); the sim backend
// emulates keyboards in process, the linux backend talks to hidraw.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/HidHandle.h"
#include "platform/HidNoticeSubscription.h"
#include "platform/HidTypes.h"
#include "platform/NamedLock.h"

namespace platform {

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Present HID class interfaces, in enumeration order. False when the set of
    // present devices could not be obtained at all.
    virtual bool ListInterfaces(std::vector<HidInterfaceEntry>* out) = 0;

    // Opens an interface path. access: kAccessRead/kAccessWrite (0 = query only:
    // attributes and caps, which also works on interfaces others hold
    // exclusively); share: kShareRead/kShareWrite. Null with *error on failure.
    virtual std::unique_ptr<HidHandle> Open(const std::string& path, uint32_t access, uint32_t share, bool overlapped,
                                            uint32_t* error) = 0;

    // A system-wide named lock (see NamedLock).
    virtual std::unique_ptr<NamedLock> CreateNamedLock(const std::string& name) = 0;

    // Arrival and removal notices of HID interfaces.
    virtual HidNoticeSubscription SubscribeNotices(std::function<void(const HidNotice&)> callback) = 0;

    HidBackend() = default;
    HidBackend(const HidBackend&) = delete;
    HidBackend& operator=(const HidBackend&) = delete;
};

// The process's current backend. Until one is set, a backend with no devices
// (listing empty, every open failing with kErrorFileNotFound) is current.
HidBackend& CurrentHid();
// Makes `backend` current (null: back to the empty one). The caller keeps it
// alive while it is current. Returns the previous one (null for the empty one).
// The platform factory (Platform.h) is the one caller; code that needs another
// backend takes it as a constructor argument.
HidBackend* SetCurrentHid(HidBackend* backend);

}  // namespace platform
