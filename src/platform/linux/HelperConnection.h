#pragma once
// kbconf's end of the socket to kbconf-helper: one connection per process,
// shared by the filter device's handles and the virtual keyboard (the helper
// serves one client). A reader thread takes the replies and hands each to the
// request waiting for it; a request that is cancelled is answered too, so the
// waiter always knows whether its key event arrived after all.
// A lost connection fails what is waiting and every later request; the next
// open of the filter device or the virtual keyboard connects again.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Event.h"
#include "platform/FilterDriver.h"
#include "platform/linux/HelperProtocol.h"
#include "platform/linux/UniqueFd.h"
#include "platform/linux/VirtualKeyboardLink.h"

namespace platform::linuxfk {

class HelperConnection final : public VirtualKeyboardLink {
public:
    explicit HelperConnection(std::string socketPath = helperwire::kSocketPath);
    ~HelperConnection() override;
    HelperConnection(const HelperConnection&) = delete;
    HelperConnection& operator=(const HelperConnection&) = delete;

    // Connected afterwards (the helper welcomed us). What the helper answered
    // when it did not (kBusy, kNotAllowed), or kRefused when nobody answered.
    bool Connect(uint8_t* status = nullptr);
    bool Connected() const;

    // One control request. When the helper keeps it pending, waits until it
    // completes or `cancel` is signalled; `owner` groups requests for CancelAll.
    FilterResult Control(uint32_t code, const uint8_t* in, size_t inLen, uint8_t* out, size_t outLen, Event* cancel,
                         const void* owner);
    // Cancels every request of `owner` that is waiting, from any thread.
    void CancelAll(const void* owner);

    // The helper is there when it answers at all: a second instance of the
    // program (refused while the first is connected) or another user must not
    // set it up again. Records reach it only over a connection of our own.
    bool Present() override;
    bool SendRecord(const uint8_t* record, size_t len) override;

private:
    struct Waiter {
        const void* owner = nullptr;
        Event done{true, false};
        uint8_t status = helperwire::kRefused;
        uint8_t out[helperwire::kMaxOutput] = {};
        size_t outLen = 0;
    };
    bool Send(uint32_t id, uint8_t kind, uint32_t code, const uint8_t* in, size_t inLen, size_t outLen);
    uint8_t Call(uint8_t kind, uint32_t code, const uint8_t* in, size_t inLen, uint8_t* out, size_t outLen,
                 Event* cancel, const void* owner);
    void ReaderMain(int fd);
    void Disconnect();

    const std::string path_;
    std::mutex connectMutex_;  // one connection attempt at a time
    mutable std::mutex mutex_;
    linuxhid::UniqueFd fd_;
    std::thread reader_;
    uint32_t nextId_ = 1;
    std::map<uint32_t, Waiter*> waiters_;
    std::vector<uint8_t> table_;  // the last key table sent
};

}  // namespace platform::linuxfk
