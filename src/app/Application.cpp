#include "app/Application.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/AppConfig.h"
#include "app/SShellNotifyIcon.h"
#include "app/SimDemo.h"
#include "app/SingleInstance.h"
#include "data/KeyAssignmentTable.h"
#include "data/LedEffectTable.h"
#include "data/MacroLibrary.h"
#include "data/SideLightTable.h"
#include "fnkeys/DriverInstaller.h"
#include "fnkeys/VHidev.h"
#include "mainwnd/CMainDlg.h"
#include "platform/Platform.h"
#include "platform/TerminationSignal.h"
#include "ui/UiApp.h"
#include "widgets/CustomWidgets.h"

namespace app {

namespace {

bool IsWritableFolder(const QString& dir) {
    QFileInfo fi(dir);
    return fi.isDir() && fi.isWritable();
}

}  // namespace

Folders ResolveFolders(const QString& exeDir) {
    Folders f;
    const QString installedData = QDir::cleanPath(exeDir + QStringLiteral("/../share/kbconf"));
    f.uiresDir = exeDir + QStringLiteral("/uires");
    // An installed copy finds its resources in the data folder; its own folder
    // (/usr/bin) is no place for a user's files, even when root could write there.
    const bool installed =
        !QFileInfo(f.uiresDir).isDir() && QFileInfo(installedData + QStringLiteral("/uires")).isDir();
    if (installed) f.uiresDir = installedData + QStringLiteral("/uires");

    const QString home = qEnvironmentVariable("KBCONF_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        f.appDir = QDir(home).absolutePath();
    } else if (!installed && IsWritableFolder(exeDir)) {
        f.appDir = exeDir;
    } else {
        f.appDir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kbconf");
        QDir().mkpath(f.appDir);
        f.movedToUserConfig = true;
    }
    f.configPath = f.appDir + QStringLiteral("/config.xml");
    if (!QFileInfo::exists(f.configPath)) {
        for (const QString& shipped :
             {exeDir + QStringLiteral("/config.xml"), installedData + QStringLiteral("/config.xml")}) {
            if (QFileInfo::exists(shipped)) {
                f.configPath = shipped;
                break;
            }
        }
    }
    return f;
}

bool IsHiddenStart(const std::vector<std::string>& args) { return args.size() == 1 && args[0] == "-hid"; }

int Run(int argc, char** argv) {
    // The command line as the user gave it, before Qt takes its own options out.
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool hidden = IsHiddenStart(args);

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kbconf"));
    // The window lives on in the tray while hidden; it ends the program itself.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<platform::Platform> plat = platform::CreatePlatform(platform::DefaultPlatformName());
    if (!plat) {
        std::fprintf(stderr, "kbconf: unknown platform \"%s\" (KBCONF_PLATFORM: sim or linux)\n",
                     platform::DefaultPlatformName().c_str());
        return 1;
    }

    // Without the virtual keyboard the program runs on; key actions then do nothing.
    EnsureVirtualKeyboard();
    // Nothing stays pressed from an earlier run.
    VHidev::Instance().ReleaseAll();

    const Folders folders = ResolveFolders(QCoreApplication::applicationDirPath());
    if (folders.movedToUserConfig) std::printf("kbconf: data files are kept in %s\n", qPrintable(folders.appDir));
    std::fflush(stdout);
    QDir::setCurrent(folders.appDir);

    auto ui = std::make_unique<ui::UiApp>(folders.uiresDir);
    ui->LoadUiDef(QStringLiteral("UIDEF:XML_INIT"));
    AppConfig::Instance().Load(folders.configPath.toStdString());
    ui->SetLanguage(AppConfig::Instance().chineseUi ? QStringLiteral("lang_cn") : QStringLiteral("lang_en"));
    ui->RegisterWidget(QStringLiteral("shellnotifyicon"), [](QWidget* parent) { return new SShellNotifyIcon(parent); });
    RegisterCustomWidgets(*ui);

    const std::string dir = folders.appDir.toStdString();
    MacroLibrary::Instance().Load(dir + "/macro.xml");
    KeyAssignmentTable::Instance().Load(dir + "/record.xml");
    SideLightTable::Instance().Load(dir + "/sidemodel.xml");
    LedEffectTable::Instance().Load(dir + "/ledeffect.xml");

    const QString instanceName = ui->Strings().Count() > 0 ? ui->Strings().ValueAt(0) : QStringLiteral("kbconf");
    SingleInstance instance(instanceName);
    if (!instance.IsFirst()) {
        instance.ActivateFirst();
        return 0;
    }

    // The emulated keyboard's own window and control socket, for the demo and
    // black-box tests.
    std::unique_ptr<SimDemo> demo = SimDemo::Create(*plat);

    CMainDlg::Options options;
    options.instanceName = instanceName;
    auto dlg = std::make_unique<CMainDlg>(options);
    instance.onActivate = [instanceName] { ActivateWindowsWithProperty(instanceName); };
    QObject::connect(dlg.get(), &CMainDlg::windowDestroyed, &qapp, [] { QCoreApplication::exit(0); });

    // SIGTERM, SIGINT and the end of the session close the window as its close
    // button does, so shutdown runs in order and no key stays pressed.
    std::unique_ptr<QSocketNotifier> termination;
    if (const int fd = platform::TerminationSignalFd(); fd >= 0) {
        termination = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(termination.get(), &QSocketNotifier::activated, dlg.get(), [d = dlg.get()] {
            platform::DrainTerminationSignal();
            d->DestroyWindow();
        });
    }
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest, dlg.get(),
                     [d = dlg.get()](QSessionManager&) { d->DestroyWindow(); });

    int code = 0;
    if (dlg->OnInitDialog()) {
        dlg->CenterOnScreen();
        if (demo) demo->PlaceBeside(dlg.get());
        if (!hidden) dlg->show();
        // For the start-up figures (bench/app_figures.py): once the first show
        // has gone through the event loop.
        if (qEnvironmentVariableIsSet("KBCONF_TRACE_START"))
            QTimer::singleShot(0, [] {
                std::printf("shown\n");
                std::fflush(stdout);
            });
        code = qapp.exec();
    }
    // Shutdown in order: the window (threads stopped, keys released), the
    // demo, the UI layer, the instance lock, the platform.
    dlg.reset();
    demo.reset();
    ui.reset();
    return code;
}

}  // namespace app
