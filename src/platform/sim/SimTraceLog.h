#pragma once
// Appends trace lines of the emulated drivers to the log file shared with the
// emulated bus ($KBCONF_SIM_LOG unless a path is given). One write per line, so
// lines of several writers never mix.

#include <cstdio>
#include <mutex>
#include <string>

namespace platform::sim {

class SimTraceLog {
public:
    // Empty path: the file named by KBCONF_SIM_LOG, or no log when it is unset.
    explicit SimTraceLog(const std::string& path = {});
    ~SimTraceLog();
    SimTraceLog(const SimTraceLog&) = delete;
    SimTraceLog& operator=(const SimTraceLog&) = delete;

    bool Enabled() const { return file_ != nullptr; }
    void Line(const std::string& line);

private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

}  // namespace platform::sim
