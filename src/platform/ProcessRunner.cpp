#include "platform/ProcessRunner.h"

#include <atomic>
#include <mutex>

namespace platform {
namespace {

class NoRunner final : public ProcessRunner {
public:
    bool RunAndWait(const std::string&, const std::string&) override { return false; }
};

NoRunner noRunner;
std::atomic<ProcessRunner*> current{nullptr};
std::mutex infoMutex;
ProcessInfo info;

}  // namespace

ProcessRunner& CurrentProcessRunner() {
    ProcessRunner* r = current.load();
    return r ? *r : noRunner;
}

ProcessRunner* SetCurrentProcessRunner(ProcessRunner* runner) { return current.exchange(runner); }

ProcessInfo CurrentProcessInfo() {
    std::lock_guard lock(infoMutex);
    return info;
}

void SetCurrentProcessInfo(const ProcessInfo& next) {
    std::lock_guard lock(infoMutex);
    info = next;
}

}  // namespace platform
