// kbconf-simwindow [RECORD_XML]: the emulator window on its own, without the
// main window, for trying the emulated hardware and its control socket
// ($KBCONF_SIM_CONTROL). With a record.xml, its assignments are carried out by
// the program's key service, so the window's keys are typed as kbconf would
// type them. $KBCONF_SIM_MODEL, $KBCONF_SIM_DRIVERS and $KBCONF_SIM_LOG apply.

#include <QApplication>
#include <cstdio>
#include <memory>

#include "data/KeyAssignmentTable.h"
#include "fnkeys/FilterListener.h"
#include "fnkeys/KeyActionService.h"
#include "fnkeys/VHidev.h"
#include "platform/sim/SimControl.h"
#include "platform/sim/SimControlServer.h"
#include "platform/sim/SimFunctionKeys.h"
#include "platform/sim/SimSetup.h"
#include "platform/sim/ui/SimWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::sim::SimSetup setup = platform::sim::MakeSimSetup();
    if (!setup.bus) {
        std::fprintf(stderr, "kbconf-simwindow: KBCONF_SIM_MODEL must be 7080, 7fff or none\n");
        return 2;
    }
    platform::sim::SimFunctionKeys functionKeys(setup.bus.get());

    VHidev vhid(setup.bus.get());
    KeyAssignmentTable table;
    std::unique_ptr<KeyActionService> service;
    std::unique_ptr<HidUsbFilter::FilterListener> listener;
    if (argc > 1) {
        if (!table.Load(argv[1])) std::fprintf(stderr, "kbconf-simwindow: cannot read %s\n", argv[1]);
        vhid.OpenVirtualKeyboard();
        vhid.ReleaseAll();
        service = std::make_unique<KeyActionService>(vhid, table);
        listener = std::make_unique<HidUsbFilter::FilterListener>(&functionKeys.Filter(), &table);
        listener->AddMonitor(service.get(), &KeyActionService::OnFilterKey);
        listener->OpenDevice();
        listener->Restart();
        listener->PushKeyTable();
    }

    int status;
    {
        platform::sim::SimControl control(setup, functionKeys);
        platform::sim::SimControlServer server(control);
        std::string why;
        if (!server.StartFromEnvironment(&why))
            std::fprintf(stderr, "kbconf-simwindow: control socket: %s\n", why.c_str());
        platform::sim::ui::SimWindow window(control);
        window.show();
        status = app.exec();
    }
    listener.reset();
    if (service) service->StopAndRelease();
    service.reset();
    return status;
}
