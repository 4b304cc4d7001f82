#pragma once
// The emulated key filter driver: the driver's logic (FilterEngine, where its
// rules are described) fed by the emulated keyboard's keys, its requests
// logged to $KBCONF_SIM_LOG (or the given file).

#include <memory>
#include <string>

#include "platform/FilterEngine.h"
#include "platform/sim/SimTraceLog.h"

namespace platform::sim {

class SimKeySource;

class SimFilterDriver final : public FilterEngine {
public:
    struct Options {
        std::string logPath;  // empty: $KBCONF_SIM_LOG
    };

    explicit SimFilterDriver(SimKeySource* keys = nullptr, Clock& clock = SteadyClock(), Options options = {});
    ~SimFilterDriver() override;

private:
    SimKeySource* keys_;
    int token_ = 0;
    std::shared_ptr<SimTraceLog> log_;
};

}  // namespace platform::sim
