#pragma once
// The main window on the emulated keyboard, as the application builds it: the
// sim platform, the UI layer over the real resources, the data files loaded
// from a fresh folder, message boxes answered by the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppConfig.h"
#include "app/SShellNotifyIcon.h"
#include "data/KeyAssignmentTable.h"
#include "data/LedEffectTable.h"
#include "data/MacroLibrary.h"
#include "data/SideLightTable.h"
#include "fnkeys/VHidev.h"
#include "mainwnd/CMainDlg.h"
#include "platform/Platform.h"
#include "platform/sim/SimPlatform.h"
#include "ui/MessageBox.h"
#include "ui/UiApp.h"
#include "widgets/CustomWidgets.h"

namespace mwtest {

inline QApplication* App() {
    static int argc = 1;
    static char name[] = "kbconf_mainwnd_test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

inline QString ScreenshotPath(const QString& file) {
    const QString dir = QStringLiteral(KBCONF_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + u'/' + file;
}

// Waits on the event loop until pred holds or ms passed.
inline bool WaitFor(const std::function<bool()>& pred, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms) return false;
        QTest::qWait(5);
    }
    return true;
}

inline std::string ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

class MainWindowTest : public ::testing::Test {
protected:
    // Before Start: the model ("7080", "7fff", "none") and files to put in the home folder.
    std::string model = "7080";
    std::vector<std::pair<QString, QByteArray>> files;
    int64_t startupDelayMs = 2000;

    void SetUp() override {
        App();
        ASSERT_TRUE(home.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        ui::SetMessageBoxHook([this](const ui::MessageBoxRequest& r) {
            boxes.push_back(r);
            return answer;
        });
    }

    void TearDown() override {
        dlg.reset();
        ui::SetMessageBoxHook(nullptr);
        uiApp.reset();
        plat.reset();
    }

    // Everything the application does before the window, then the window's
    // initialisation. Returns OnInitDialog's result.
    bool Start() {
        for (auto& [name, data] : files) {
            QFile f(home.filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) return false;
        }
        platform::PlatformOptions po;
        po.simModel = model;
        plat = platform::CreatePlatform("sim", po);
        sim = dynamic_cast<platform::sim::SimPlatform*>(plat.get());
        if (!sim) return false;
        VHidev::Instance().OpenVirtualKeyboard();
        VHidev::Instance().ReleaseAll();

        uiApp = std::make_unique<ui::UiApp>(QStringLiteral(KBCONF_SOURCE_DIR "/uires"));
        uiApp->LoadUiDef(QStringLiteral("UIDEF:XML_INIT"));
        uiApp->RegisterWidget(QStringLiteral("shellnotifyicon"), [](QWidget* p) { return new SShellNotifyIcon(p); });
        RegisterCustomWidgets(*uiApp);

        MacroLibrary::Instance().ResetForTest();
        KeyAssignmentTable::Instance().ResetForTest();
        SideLightTable::Instance().ResetForTest();
        LedEffectTable::Instance().ResetForTest();
        const std::string dir = home.path().toStdString();
        MacroLibrary::Instance().Load(dir + "/macro.xml");
        KeyAssignmentTable::Instance().Load(dir + "/record.xml");
        SideLightTable::Instance().Load(dir + "/sidemodel.xml");
        LedEffectTable::Instance().Load(dir + "/ledeffect.xml");

        CMainDlg::Options o;
        o.instanceName = QStringLiteral("kbconf-test-instance");
        o.startupSlotDelayMs = startupDelayMs;
        dlg = std::make_unique<CMainDlg>(o);
        const bool ok = dlg->OnInitDialog();
        if (ok) {
            dlg->show();
            QApplication::processEvents();
        }
        return ok;
    }

    platform::sim::SimHidBus& Bus() { return *sim->Setup().bus; }
    platform::sim::SimKeyboard& Keyboard() { return *sim->Setup().keyboard; }
    platform::sim::SimVirtualKeyboard& Virtual() { return sim->FunctionKeys().VirtualKeyboard(); }
    platform::sim::SimKeySource& Keys() { return sim->FunctionKeys().Keys(); }

    // Reports of one kind sent to the keyboard (not to the virtual keyboard).
    std::vector<platform::sim::SimReport> KeyboardReports(const std::string& kind = {}) {
        std::vector<platform::sim::SimReport> out;
        for (auto& r : Bus().Reports())
            if (r.vendorId == 0x1A2C && (kind.empty() || r.kind == kind)) out.push_back(r);
        return out;
    }

    QString Path(const char* name) const { return home.filePath(QString::fromUtf8(name)); }

    bool SaveShot(const QString& name) {
        QImage img(dlg->size(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::black);
        dlg->render(&img);
        return img.save(ScreenshotPath(name));
    }

    QTemporaryDir home;
    QTemporaryDir runtime;
    std::unique_ptr<platform::Platform> plat;
    platform::sim::SimPlatform* sim = nullptr;
    std::unique_ptr<ui::UiApp> uiApp;
    std::unique_ptr<CMainDlg> dlg;
    std::vector<ui::MessageBoxRequest> boxes;
    int answer = ui::IDOK;
};

}  // namespace mwtest
