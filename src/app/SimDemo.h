#pragma once
// The demo's extras on the emulated platform: the emulator's own window beside
// the main window ($KBCONF_SIM_WINDOW=0 leaves it closed) and, when
// $KBCONF_SIM_CONTROL names a path, the control socket that drives the
// emulated keyboard from outside the process.
#include <memory>

class QWidget;
namespace platform {
class Platform;
}

class SimDemo {
public:
    // Null unless the platform is the emulated one.
    static std::unique_ptr<SimDemo> Create(platform::Platform& platform);
    virtual ~SimDemo() = default;

    // Puts the emulator window beside the main window and shows it.
    virtual void PlaceBeside(QWidget* mainWindow) = 0;
};
