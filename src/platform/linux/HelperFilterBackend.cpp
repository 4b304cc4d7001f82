#include "platform/linux/HelperFilterBackend.h"

namespace platform::linuxfk {
namespace {

constexpr const char* kDevicePath = "\\\\.\\vhidflt";
constexpr uint32_t kErrorFileNotFound = 2;

class Channel final : public FilterChannel {
public:
    Channel(std::shared_ptr<HelperConnection> connection, uint32_t access) : connection_(std::move(connection)) {
        if (access & kGenericRead) accessBits_ |= kControlAccessRead;
        if (access & kGenericWrite) accessBits_ |= kControlAccessWrite;
    }
    ~Channel() override { connection_->CancelAll(this); }

    FilterResult Control(uint32_t code, const uint8_t* in, size_t inLen, uint8_t* out, size_t outLen,
                         Event* cancel) override {
        // A handle without the access the code needs is refused, as by the driver.
        if ((ControlAccess(code) & ~accessBits_) != 0) return FilterResult::kRefused;
        return connection_->Control(code, in, inLen, out, outLen, cancel, this);
    }
    void CancelAll() override { connection_->CancelAll(this); }

private:
    std::shared_ptr<HelperConnection> connection_;
    uint32_t accessBits_ = 0;
};

}  // namespace

HelperFilterBackend::HelperFilterBackend(std::shared_ptr<HelperConnection> connection)
    : connection_(std::move(connection)) {}

std::unique_ptr<FilterChannel> HelperFilterBackend::Open(const std::string& path, uint32_t access, uint32_t,
                                                         uint32_t disposition, uint32_t, uint32_t* error) {
    if (path != kDevicePath || disposition != kOpenExisting || !connection_->Connect()) {
        if (error) *error = kErrorFileNotFound;
        return nullptr;
    }
    return std::make_unique<Channel>(connection_, access);
}

}  // namespace platform::linuxfk
