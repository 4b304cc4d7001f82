#pragma once
// The emulated hardware with the program's key service on top, as the demo runs
// it: a 7080 keyboard, the emulated drivers, the virtual keyboard writer, a key
// table in which A (7:4) is remapped to Q (7:14) and the mute key (c:e2) to
// volume up (c:e9), the filter listener and the key-action service, and a
// SimControl over all of it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "data/KeyAssignmentTable.h"
#include "fnkeys/FilterListener.h"
#include "fnkeys/KeyActionService.h"
#include "fnkeys/VHidev.h"
#include "platform/sim/SimControl.h"
#include "platform/sim/SimFunctionKeys.h"
#include "platform/sim/SimSetup.h"

namespace simtest {

struct Rig {
    platform::sim::SimSetup setup =
        platform::sim::MakeSimSetup("7080", platform::sim::SimHidBus::Options{false, {}, {}});
    platform::sim::SimFunctionKeys functionKeys{setup.bus.get(), "installed"};
    VHidev vhid{setup.bus.get()};
    KeyAssignmentTable table;
    std::unique_ptr<KeyActionService> service;
    std::unique_ptr<HidUsbFilter::FilterListener> listener;
    std::unique_ptr<platform::sim::SimControl> control;

    Rig() {
        vhid.SetLogSink([](const std::string&) {});
        vhid.OpenVirtualKeyboard();
        table.LoadFromBuffer(
            "<record code=\"70004\" play=\"1\"><item code=\"70014\"/></record>"
            "<record code=\"c00e2\" play=\"1\"><item code=\"c00e9\"/></record>");
        service = std::make_unique<KeyActionService>(vhid, table);
        listener = std::make_unique<HidUsbFilter::FilterListener>(&functionKeys.Filter(), &table);
        listener->AddMonitor(service.get(), &KeyActionService::OnFilterKey);
        listener->OpenDevice();
        listener->Restart();
        listener->PushKeyTable();
        functionKeys.Filter().WaitForPendingKeyRequests(1, 5000);
        control = std::make_unique<platform::sim::SimControl>(setup, functionKeys);
    }

    ~Rig() {
        control.reset();
        listener.reset();
        service->StopAndRelease();
        service.reset();
    }

    // Waits (real time) until the emulator's state satisfies `done`, woken by
    // the control's change notices.
    bool WaitFor(const std::function<bool(const platform::sim::SimControlState&)>& done, int timeoutMs = 5000) {
        std::mutex m;
        std::condition_variable cv;
        const int id = control->AddListener([&] {
            std::lock_guard lock(m);
            cv.notify_all();
        });
        std::unique_lock lock(m);
        const bool ok =
            cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return done(control->Snapshot()); });
        lock.unlock();
        control->RemoveListener(id);
        return ok;
    }
};

}  // namespace simtest
