// How true recorded delays are: a scripted stream of key events at known
// intervals on the emulated keyboard, recorded through the key-assignment
// dialog in real-time mode, once with an idle UI and once while the UI thread
// keeps repainting the dialog. Reports the error of each recorded delay against
// the interval between the key events as they were made (p50, p99, max, in ms).
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "app/AppConfig.h"
#include "assigndlg/MacroRecordDlg.h"
#include "data/KeyAssignmentTable.h"
#include "data/MacroLibrary.h"
#include "fnkeys/FilterListener.h"
#include "platform/sim/SimFilterDriver.h"
#include "platform/sim/SimKeySource.h"
#include "ui/PostedMessage.h"
#include "ui/SListView.h"
#include "ui/UiApp.h"
#include "widgets/CustomWidgets.h"

namespace {

void EnsureUi() {
    static int argc = 1;
    static char name[] = "kbconf_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
    if (!ui::UiApp::Current()) {
        auto* u = new ui::UiApp(QStringLiteral(KBCONF_UIRES_DIR), true);
        RegisterCustomWidgets(*u);
        u->LoadUiDef(QStringLiteral("UIDEF:XML_INIT"));
    }
}

int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// When each key message reaches the dialog on the UI thread: what a delay
// stamped on arrival would have measured, for comparison.
class ArrivalTimes : public QObject {
public:
    std::vector<int64_t> us;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == ui::PostedMessage::EventType()) us.push_back(NowUs());
        return false;
    }
};

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * double(v.size() - 1) + 0.5))];
}

// range(0): 0 idle UI, 1 UI busy repainting.
void BM_RecordingDelayError(benchmark::State& state) {
    EnsureUi();
    const bool busy = state.range(0) != 0;
    constexpr int kEvents = 120;  // 60 taps
    std::vector<double> errors, arrivalErrors;

    for (auto _ : state) {
        platform::sim::SimKeySource keys;
        platform::sim::SimFilterDriver driver(&keys);
        KeyAssignmentTable table;
        HidUsbFilter::FilterListener listener(&driver, &table);
        listener.OpenDevice();
        MacroLibrary library;
        library.LoadFromBuffer("<config mode=\"0\" group=\"0\"/><macro><group name=\"bench\"/></macro>");
        AppConfig config;
        MacroRecordDlg::AssignKeys assign{{4, "A"}};
        MacroRecordDlgServices services;
        services.config = &config;
        MacroRecordDlg dlg(listener, library, assign, services);
        dlg.setAttribute(Qt::WA_DontShowOnScreen);
        dlg.Create();
        dlg.show();
        ArrivalTimes arrivals;
        dlg.installEventFilter(&arrivals);
        auto* groups = qobject_cast<ui::SListView*>(dlg.FindChildByName(QStringLiteral("macro_group")));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4), QPointF(4, 4), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(groups->GetRow(0), &press);
        qobject_cast<QAbstractButton*>(dlg.FindChildByName(QStringLiteral("chk_macro_record")))->click();

        // Intervals of 4..40 ms, the same script on every run.
        std::mt19937 gen(7);
        std::uniform_int_distribution<int> gap(4000, 40000);
        std::vector<int64_t> madeUs(kEvents);
        std::atomic<bool> done{false};
        std::thread feeder([&] {
            using clock = std::chrono::steady_clock;
            auto at = clock::now() + std::chrono::milliseconds(50);
            for (int i = 0; i < kEvents; ++i) {
                std::this_thread::sleep_until(at);
                const uint16_t usage = static_cast<uint16_t>(4 + (i / 2) % 20);
                madeUs[i] = NowUs();
                (i % 2 == 0) ? keys.Press(7, usage) : keys.Release(7, usage);
                at += std::chrono::microseconds(gap(gen));
            }
            done = true;
        });

        // The busy UI: repaint the whole dialog into an image again and again.
        QTimer painter;
        QImage canvas(dlg.size(), QImage::Format_ARGB32_Premultiplied);
        QObject::connect(&painter, &QTimer::timeout, [&] {
            for (int i = 0; i < 3; ++i) dlg.render(&canvas);
        });
        if (busy) painter.start(0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while ((!done || library.Groups()[0].steps.size() < size_t(kEvents)) &&
               std::chrono::steady_clock::now() < deadline)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        painter.stop();
        feeder.join();

        const auto& steps = library.Groups()[0].steps;
        if (steps.size() != size_t(kEvents)) {
            state.SkipWithError("not every key event was recorded");
            return;
        }
        for (int i = 0; i + 1 < kEvents; ++i) {
            const double made = double(madeUs[i + 1] - madeUs[i]) / 1000.0;
            errors.push_back(std::abs(steps[i].delay - made));
            if (arrivals.us.size() == size_t(kEvents))
                arrivalErrors.push_back(
                    std::abs(std::round(double(arrivals.us[i + 1] - arrivals.us[i]) / 1000.0) - made));
        }
    }
    state.counters["p50_err_ms"] = Percentile(errors, 0.50);
    state.counters["p99_err_ms"] = Percentile(errors, 0.99);
    state.counters["max_err_ms"] = Percentile(errors, 1.0);
    state.counters["delays"] = double(errors.size());
    state.counters["arrival_p99_err_ms"] = Percentile(arrivalErrors, 0.99);
}
BENCHMARK(BM_RecordingDelayError)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
