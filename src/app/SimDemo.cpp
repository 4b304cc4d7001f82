#include "app/SimDemo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sim/SimControl.h"
#include "platform/sim/SimControlServer.h"
#include "platform/sim/SimPlatform.h"
#include "platform/sim/ui/SimWindow.h"

namespace {

class SimDemoImpl final : public SimDemo {
public:
    explicit SimDemoImpl(platform::sim::SimPlatform& sim)
        : control_(sim.Setup(), sim.FunctionKeys()), server_(control_) {
        std::string why;
        if (!server_.StartFromEnvironment(&why) && !why.empty())
            std::fprintf(stderr, "kbconf: emulator control socket: %s\n", why.c_str());
        const char* show = std::getenv("KBCONF_SIM_WINDOW");
        if (!show || std::strcmp(show, "0") != 0) window_ = std::make_unique<platform::sim::ui::SimWindow>(control_);
    }

    // The window goes before the control it shows, the socket before both.
    ~SimDemoImpl() override {
        window_.reset();
        server_.Stop();
    }

    void PlaceBeside(QWidget* mainWindow) override {
        if (!window_) return;
        window_->adjustSize();
        const QSize main = mainWindow->frameGeometry().size();
        const QSize sim = window_->frameGeometry().size();
        const QRect screen = mainWindow->screen() ? mainWindow->screen()->availableGeometry() : QRect();
        constexpr int kGap = 12;
        // Side by side and centred as a pair when both fit; on a narrower screen
        // each at its own edge.
        if (!screen.isValid()) {
        } else if (main.width() + kGap + sim.width() <= screen.width()) {
            const int left = screen.left() + (screen.width() - main.width() - kGap - sim.width()) / 2;
            const int top = screen.top() + std::max(0, (screen.height() - std::max(main.height(), sim.height())) / 2);
            mainWindow->move(left, top);
            window_->move(left + main.width() + kGap, top);
        } else {
            // Too narrow for both: each at its own edge, overlapping as little as can be.
            const int top = screen.top() + std::max(0, (screen.height() - main.height()) / 2);
            mainWindow->move(screen.left(), top);
            window_->move(std::max(screen.left(), screen.right() + 1 - sim.width()),
                          screen.top() + std::max(0, (screen.height() - sim.height()) / 2));
        }
        window_->show();
    }

private:
    platform::sim::SimControl control_;
    platform::sim::SimControlServer server_;
    std::unique_ptr<platform::sim::ui::SimWindow> window_;
};

}  // namespace

std::unique_ptr<SimDemo> SimDemo::Create(platform::Platform& platform) {
    auto* sim = dynamic_cast<platform::sim::SimPlatform*>(&platform);
    if (!sim) return nullptr;
    return std::make_unique<SimDemoImpl>(*sim);
}
