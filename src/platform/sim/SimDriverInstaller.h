#pragma once
// The emulated device console tool. Runs are recorded (program, command line);
// a run of the known tool with an install command line plugs the virtual
// keyboard into the bus and installs the filter driver, a remove command line
// unplugs the virtual keyboard. It can be told to fail to start (as when the
// tool is missing) or to fail inside (as without administrator rights).

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/ProcessRunner.h"

namespace platform::sim {

class SimHidBus;
class SimFilterDriver;
class SimVirtualKeyboard;

class SimDriverInstaller final : public ProcessRunner {
public:
    struct Run {
        std::string program;
        std::string commandLine;
        friend bool operator==(const Run&, const Run&) = default;
    };

    // Any of the three may be null; the virtual keyboard is created on demand.
    SimDriverInstaller(SimHidBus* bus, SimFilterDriver* filter, std::shared_ptr<SimVirtualKeyboard> keyboard = {});

    bool RunAndWait(const std::string& program, const std::string& commandLine) override;

    // Programs that can be started; empty set: any program whose file name
    // is devcon.exe.
    void AddProgram(const std::string& path);
    void FailToStart(bool fail);
    void FailInside(bool fail);

    std::vector<Run> Runs() const;
    std::shared_ptr<SimVirtualKeyboard> Keyboard() const { return keyboard_; }

private:
    SimHidBus* bus_;
    SimFilterDriver* filter_;
    std::shared_ptr<SimVirtualKeyboard> keyboard_;
    mutable std::mutex mutex_;
    std::set<std::string> programs_;
    bool failToStart_ = false;
    bool failInside_ = false;
    std::vector<Run> runs_;
};

}  // namespace platform::sim
