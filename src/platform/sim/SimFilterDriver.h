#pragma once
// The emulated key filter driver: the driver's logic (FilterEngine, where its
// rules are described) fed by the emulated keyboard's keys, its requests
// logged to $KBCONF_SIM_LOG (or the given file).
//
// For tests it remembers the requests and the keys that passed through, the
// newest kKeep of each (so a long demo run stays small), and counts every
// request by code.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FilterEngine.h"
#include "platform/sim/SimTraceLog.h"

namespace platform::sim {

class SimKeySource;

class SimFilterDriver final : public FilterEngine {
public:
    static constexpr size_t kKeep = 4096;

    struct Options {
        std::string logPath;  // empty: $KBCONF_SIM_LOG
    };

    explicit SimFilterDriver(SimKeySource* keys = nullptr, Clock& clock = SteadyClock(), Options options = {});
    ~SimFilterDriver() override;

    // The newest requests, oldest first.
    std::vector<Request> Requests() const;
    // Every request of this code since the start (or ClearRequests).
    size_t CountRequests(uint32_t code) const;
    void ClearRequests();
    // The newest keys the system saw, oldest first.
    std::vector<Transition> PassedThrough() const;

private:
    class Recorder;

    SimKeySource* keys_;
    int token_ = 0;
    std::shared_ptr<SimTraceLog> log_;
    std::shared_ptr<Recorder> recorder_;
};

}  // namespace platform::sim
