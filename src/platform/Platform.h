#pragma once
// One platform's whole set of services, picked at run time by name. While a
// Platform object lives, its HID backend (which also carries the virtual
// keyboard), filter backend, process runner, module path (ProcessInfo) and
// named-lock folder are the process's current ones; destroying it puts the
// previous ones back. Nothing else chooses a backend.
//
//   auto p = platform::CreatePlatform(platform::DefaultPlatformName());
//
// Each platform folder registers its factory in its cmake fragment, so a new
// platform joins by adding its folder (see platforms.cmake).

#include <memory>
#include <string>
#include <vector>

#include "platform/ProcessRunner.h"

namespace platform {

class HidBackend;
class FilterBackend;

struct PlatformOptions {
    // sim: "7080", "7fff" or "none" (any case); empty: $KBCONF_SIM_MODEL, else "7080".
    std::string simModel;
    // sim: "installed", "missing" or "broken"; empty: $KBCONF_SIM_DRIVERS.
    std::string simDrivers;
    // Replaces the module path of the running program when not empty.
    std::string modulePath;
    // Folder of the named locks; empty: the platform's default.
    std::string lockFolder;
    // Real platforms: intercept the keyboard and create the virtual keyboard.
    // Tools that only talk to the keyboard (the CLI) turn it off, so that they
    // never grab the user's keys. The emulated drivers always exist.
    bool keyService = true;
    // Real platforms: follow hot plug (a monitor thread).
    bool hotPlug = true;
};

class Platform {
public:
    virtual ~Platform();
    virtual std::string Name() const = 0;

    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

protected:
    // What a platform makes current. Null pointers mean "none" (the empty
    // backends: no devices, no driver, a runner that starts nothing).
    struct Services {
        HidBackend* hid = nullptr;
        FilterBackend* filter = nullptr;
        ProcessRunner* runner = nullptr;
        ProcessInfo processInfo;
        std::string lockFolder;  // empty: NamedLock's default folder
    };

    Platform();
    // Makes the services current, remembering the ones they replace. Once.
    void Install(const Services& services);
    // Puts the previous services back. Derived destructors call it first, so
    // that nothing reaches their members while those are torn down.
    void Uninstall();

private:
    Services previous_;
    bool installed_ = false;
};

// "sim", "linux", ... as registered by the platform folders of this build; null
// (and nothing installed) for any other name, or when the platform cannot be
// set up (*error says why).
std::unique_ptr<Platform> CreatePlatform(const std::string& name, const PlatformOptions& options = {},
                                         std::string* error = nullptr);
// $KBCONF_PLATFORM when set, else the real platform of this build ("linux";
// "sim" in a build without one).
std::string DefaultPlatformName();
// The names CreatePlatform takes, in registration order.
std::vector<std::string> PlatformNames();

}  // namespace platform
