#include "platform/sim/SimTraceLog.h"

#include <cstdlib>

namespace platform::sim {

SimTraceLog::SimTraceLog(const std::string& path) {
    std::string target = path;
    if (target.empty()) {
        const char* env = std::getenv("KBCONF_SIM_LOG");
        if (env && *env) target = env;
    }
    if (!target.empty()) file_ = std::fopen(target.c_str(), "a");
}

SimTraceLog::~SimTraceLog() {
    if (file_) std::fclose(file_);
}

void SimTraceLog::Line(const std::string& line) {
    if (!file_) return;
    std::lock_guard lock(mutex_);
    const std::string withNewline = line + "\n";
    std::fwrite(withNewline.data(), 1, withNewline.size(), file_);
    std::fflush(file_);
}

}  // namespace platform::sim
