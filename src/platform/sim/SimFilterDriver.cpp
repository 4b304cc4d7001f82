#include "platform/sim/SimFilterDriver.h"

#include "platform/sim/SimKeySource.h"

namespace platform::sim {

SimFilterDriver::SimFilterDriver(SimKeySource* keys, Clock& clock, Options options)
    : FilterEngine(clock), keys_(keys), log_(std::make_shared<SimTraceLog>(options.logPath)) {
    if (log_->Enabled()) {
        std::weak_ptr<SimTraceLog> weak = log_;
        SetTraceSink([weak](const std::string& line) {
            if (auto log = weak.lock()) log->Line(line);
        });
    }
    if (keys_) {
        // Detached in the destructor before the engine goes, so no key can
        // arrive on a driver that is being destroyed.
        token_ =
            keys_->Attach([this](uint16_t page, uint16_t usage, bool pressed) { OnPhysicalKey(page, usage, pressed); });
    }
}

SimFilterDriver::~SimFilterDriver() {
    if (keys_) keys_->Detach(token_);
}

}  // namespace platform::sim
