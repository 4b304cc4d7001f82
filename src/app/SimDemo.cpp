#include "app/SimDemo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
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
        const QRect main = mainWindow->frameGeometry();
        const QRect screen = mainWindow->screen() ? mainWindow->screen()->availableGeometry() : QRect();
        QPoint at(main.right() + 12, main.top());
        // No room on the right: below the main window, else where it fits.
        if (screen.isValid() && at.x() + window_->width() > screen.right()) {
            at = QPoint(main.left(), main.bottom() + 12);
            if (at.y() + window_->height() > screen.bottom())
                at = QPoint(std::max(screen.left(), screen.right() - window_->width()),
                            std::max(screen.top(), screen.bottom() - window_->height()));
        }
        window_->move(at);
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
