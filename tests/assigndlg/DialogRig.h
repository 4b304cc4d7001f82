#pragma once
// The key-assignment dialog on emulated hardware, as the main window sets it up:
// the emulated keyboard's keys feed the emulated filter driver; the listener
// hands events to the key-action service (the window's receiver), which types
// on the emulated virtual keyboard. The dialog gets its own library and
// settings, an emulated clock and the real resources of uires.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QTimer>

#include <memory>
#include <string>

#include "app/AppConfig.h"
#include "assigndlg/MacroRecordDlg.h"
#include "data/KeyAssignmentTable.h"
#include "data/MacroLibrary.h"
#include "data/TempDir.h"
#include "fnkeys/FilterListener.h"
#include "fnkeys/KeyActionService.h"
#include "fnkeys/VHidev.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimFilterDriver.h"
#include "platform/sim/SimHidBus.h"
#include "platform/sim/SimKeySource.h"
#include "platform/sim/SimVirtualKeyboard.h"
#include "ui/MessageBox.h"
#include "ui/SListView.h"
#include "ui/SMCListView.h"
#include "ui/UiApp.h"
#include "widgets/CustomWidgets.h"

namespace dlgtest {

inline QApplication* App() {
    static int argc = 1;
    static char name[] = "kbconf_assigndlg_test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

// One UI application over the real resources for the whole test program.
inline ui::UiApp& Ui() {
    static ui::UiApp* ui = [] {
        App();
        const QString uires = QStringLiteral(KBCONF_SOURCE_DIR "/uires");
        QDir::addSearchPath(QStringLiteral("uires"), uires);
        auto* app = new ui::UiApp(uires, true);
        RegisterCustomWidgets(*app);
        app->LoadUiDef(QStringLiteral("UIDEF:XML_INIT"));
        return app;
    }();
    return *ui;
}

inline QString ScreenshotPath(const QString& file) {
    const QString dir = QStringLiteral(KBCONF_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + u'/' + file;
}

// Settings with two media keys and two combinations (names the translations know).
constexpr const char* kConfigXml =
    "<funkey><k name=\"Play Pause\" code=\"C00CD\"/><k name=\"Calculator\" code=\"C0192\"/></funkey>"
    "<combkey><k name=\"Copy\" code=\"458976:0,458758:10\"/><k name=\"Paste\" code=\"458976:0,458777:10\"/></combkey>";

struct DialogRig {
    TempDir dir;
    platform::sim::SimKeySource keys;
    platform::sim::SimFilterDriver driver{&keys};
    platform::sim::SimHidBus bus{platform::sim::SimHidBus::Options{false, {}, {}}};
    std::shared_ptr<platform::sim::SimVirtualKeyboard> keyboard = std::make_shared<platform::sim::SimVirtualKeyboard>();
    VHidev vhid{&bus};
    KeyAssignmentTable table;
    std::unique_ptr<KeyActionService> service;
    std::unique_ptr<HidUsbFilter::FilterListener> listener;
    MacroLibrary library;
    AppConfig config;
    platform::sim::SimClock clock{1000};
    MacroRecordDlg::AssignKeys assign{{4, "A"}};
    std::unique_ptr<MacroRecordDlg> dlg;

    explicit DialogRig(const char* language = "lang_en") {
        EXPECT_TRUE(Ui().SetLanguage(QString::fromLatin1(language)));
        bus.Plug(keyboard);
        vhid.OpenVirtualKeyboard();
        config.LoadFromBuffer(kConfigXml);
        library.Load(File("macro.xml"));  // only sets the path: the file does not exist yet
    }
    ~DialogRig() {
        dlg.reset();
        listener.reset();
        ui::SetMessageBoxHook(nullptr);
        MacroRecordDlg::SetFileChooser(nullptr);
    }

    std::string File(const std::string& name) const { return dir.File(name); }
    std::string MacroXml() const { return ReadText(File("macro.xml")); }

    // The main window's start: its receiver, the device, the reader, the key table.
    void StartWindow(const std::string& records) {
        table.LoadFromBuffer(records);
        service = std::make_unique<KeyActionService>(vhid, table);
        listener = std::make_unique<HidUsbFilter::FilterListener>(&driver, &table);
        listener->AddMonitor(service.get(), &KeyActionService::OnFilterKey);
        listener->OpenDevice();
        listener->Restart();
        listener->PushKeyTable();
    }

    MacroRecordDlg& Open(const std::string& libraryXml) {
        if (!listener) StartWindow("");
        EXPECT_TRUE(library.LoadFromBuffer(libraryXml));
        MacroRecordDlgServices services;
        services.keyActions = service.get();
        services.config = &config;
        services.clock = &clock;
        dlg = std::make_unique<MacroRecordDlg>(*listener, library, assign, services);
        dlg->setAttribute(Qt::WA_DontShowOnScreen);
        EXPECT_TRUE(dlg->Create());
        dlg->show();
        return *dlg;
    }

    template <class T = QWidget>
    T* Find(const char* name) const {
        return qobject_cast<T*>(dlg->FindChildByName(QString::fromLatin1(name)));
    }
    void Click(const char* name) {
        auto* b = Find<QAbstractButton>(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    ui::SListView* Groups() const { return Find<ui::SListView>("macro_group"); }
    ui::SMCListView* Steps() const { return Find<ui::SMCListView>("key_info"); }
    // A click on a group row, as the mouse gives it.
    void ClickGroup(int row) {
        QWidget* r = Groups()->GetRow(row);
        ASSERT_NE(r, nullptr);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4), r->mapToGlobal(QPointF(4, 4)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(r, &press);
    }
    QLineEdit* RowEdit(ui::SListView* list, int row, const char* name) const {
        QWidget* r = list->GetRow(row);
        return r ? r->findChild<QLineEdit*>(QString::fromLatin1(name)) : nullptr;
    }

    // Runs the event loop until pred holds (false after 5 s of real time).
    template <class Pred>
    static bool WaitUntil(Pred pred) {
        QElapsedTimer t;
        t.start();
        while (!pred()) {
            if (t.elapsed() > 5000) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

    // Steps of a group as "code state delay" lines.
    std::string StepsOf(int group) {
        std::string out;
        const MacroGroup* g = library.GetGroup(group);
        if (!g) return "(none)";
        for (const MacroStep& s : g->steps) {
            char line[64];
            std::snprintf(line, sizeof line, "%x %d %d %s\n", unsigned(s.code), s.state, s.delay, s.name.c_str());
            out += line;
        }
        return out;
    }
};

}  // namespace dlgtest
