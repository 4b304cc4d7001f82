#pragma once
// The filter driver on Linux as the application sees it: "\\.\vhidflt" opens a
// handle on the shared connection to kbconf-helper, which carries out the
// driver's control codes. Opening fails while the helper cannot be reached or
// does not let this process in.

#include <memory>

#include "platform/FilterDriver.h"
#include "platform/linux/HelperConnection.h"

namespace platform::linuxfk {

class HelperFilterBackend final : public FilterBackend {
public:
    explicit HelperFilterBackend(std::shared_ptr<HelperConnection> connection);

    std::unique_ptr<FilterChannel> Open(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                                        uint32_t flags, uint32_t* error) override;

private:
    std::shared_ptr<HelperConnection> connection_;
};

}  // namespace platform::linuxfk
