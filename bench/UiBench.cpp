// What a user waits for in the UI layer: opening the main window and the
// key-assignment dialog from their layouts, switching the language, and one
// animation frame of the dialog's tab control.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "ui/HostDialog.h"
#include "ui/HostWindow.h"
#include "ui/UiApp.h"
#include "widgets/CustomWidgets.h"

namespace {

ui::UiApp& Ui() {
    static int argc = 1;
    static char name[] = "kbconf_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    static ui::UiApp* ui = [] {
        auto* u = new ui::UiApp(QStringLiteral(KBCONF_UIRES_DIR), true);
        RegisterCustomWidgets(*u);
        u->LoadUiDef(QStringLiteral("UIDEF:XML_INIT"));
        return u;
    }();
    return *ui;
}

void BM_BuildMainWindow(benchmark::State& state) {
    Ui();
    for (auto _ : state) {
        ui::HostWindow w(QStringLiteral("LAYOUT:XML_MAINWND"));
        if (!w.Create()) state.SkipWithError("main window layout did not load");
        benchmark::DoNotOptimize(w.Root());
    }
}
BENCHMARK(BM_BuildMainWindow)->Unit(benchmark::kMillisecond);

void BM_BuildAssignmentDialog(benchmark::State& state) {
    Ui();
    for (auto _ : state) {
        ui::HostDialog d(QStringLiteral("LAYOUT:macro"));
        if (!d.Create()) state.SkipWithError("dialog layout did not load");
        benchmark::DoNotOptimize(d.Root());
    }
}
BENCHMARK(BM_BuildAssignmentDialog)->Unit(benchmark::kMillisecond);

void BM_SwitchLanguage(benchmark::State& state) {
    ui::UiApp& app = Ui();
    ui::HostWindow w(QStringLiteral("LAYOUT:XML_MAINWND"));
    w.Create();
    bool cn = false;
    for (auto _ : state) {
        cn = !cn;
        app.SetLanguage(cn ? QStringLiteral("lang_cn") : QStringLiteral("lang_en"));
        QApplication::processEvents();  // every text of the open window is re-applied here
    }
    app.Translators().Install(nullptr);
}
BENCHMARK(BM_SwitchLanguage)->Unit(benchmark::kMillisecond);

void BM_TimelineFrame(benchmark::State& state) {
    ui::UiApp& app = Ui();
    ui::HostDialog d(QStringLiteral("LAYOUT:macro"));
    d.Create();
    for (auto _ : state) app.Animation().Tick();
}
BENCHMARK(BM_TimelineFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
