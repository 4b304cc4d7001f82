#pragma once
// One opened hidraw node, seen through one of its collections. Overlapped
// transfers run on a helper thread each, so that a write stuck in the kernel
// can be waited on with a time-out; reads are cancelled through an eventfd.
// A write already inside the kernel cannot be taken back: Cancel then waits
// until the kernel gives up on it.

#include <functional>
#include <memory>

#include "platform/HidHandle.h"
#include "platform/linux/UniqueFd.h"

namespace platform::linuxhid {

class LinuxHidHandle final : public HidHandle {
public:
    using FeatureIo = std::function<bool(int fd, bool get, uint8_t* buffer, size_t len)>;

    // fd may be invalid for a query-only handle (attributes and caps).
    LinuxHidHandle(UniqueFd fd, HidAttributes attributes, HidCaps caps, bool overlapped, FeatureIo featureIo,
                   uintptr_t id);

    uintptr_t Id() const override { return id_; }
    bool GetAttributes(HidAttributes* out) override;
    bool GetCaps(HidCaps* out) override;
    bool GetFeature(uint8_t* buffer, size_t len) override;
    bool SetFeature(const uint8_t* buffer, size_t len) override;
    bool Write(const uint8_t* data, size_t len, size_t* written) override;
    bool Read(uint8_t* buffer, size_t len, size_t* read) override;
    std::unique_ptr<HidAsyncIo> StartWrite(const uint8_t* data, size_t len, uint32_t* error) override;
    std::unique_ptr<HidAsyncIo> StartRead(uint8_t* buffer, size_t len, uint32_t* error) override;

    // errno to the seam's error codes.
    static uint32_t ErrorFromErrno(int err);

private:
    UniqueFd fd_;
    HidAttributes attributes_;
    HidCaps caps_;
    bool overlapped_;
    FeatureIo featureIo_;
    uintptr_t id_;
};

}  // namespace platform::linuxhid
