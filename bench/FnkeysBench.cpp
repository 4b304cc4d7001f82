// Timing of the function-key service against the emulated drivers: remap
// latency, macro step accuracy, and what the service costs while idle.

#include <benchmark/benchmark.h>

#include <time.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "data/KeyAssignmentTable.h"
#include "fnkeys/FilterListener.h"
#include "fnkeys/KeyActionService.h"
#include "fnkeys/VHidev.h"
#include "hid/RunableThread.h"
#include "hid/ThreadRunable.h"
#include "platform/Event.h"
#include "platform/sim/SimFilterDriver.h"
#include "platform/sim/SimHidBus.h"
#include "platform/sim/SimKeySource.h"
#include "platform/sim/SimVirtualKeyboard.h"

namespace {

using platform::sim::SimFilterDriver;
using platform::sim::SimHidBus;
using platform::sim::SimKeySource;
using platform::sim::SimVirtualKeyboard;

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(std::ceil(p * v.size())) - 1);
    return v[i];
}

void Report(benchmark::State& state, const std::vector<double>& us) {
    state.counters["p50_us"] = Percentile(us, 0.50);
    state.counters["p99_us"] = Percentile(us, 0.99);
    state.counters["samples"] = static_cast<double>(us.size());
}

// The service wired as the main window wires it, on emulated drivers.
struct Chain {
    SimHidBus bus{SimHidBus::Options{false, {}, {}}};
    std::shared_ptr<SimVirtualKeyboard> keyboard = std::make_shared<SimVirtualKeyboard>();
    VHidev vhid{&bus};
    KeyAssignmentTable table;
    SimKeySource keys;
    SimFilterDriver driver{&keys};
    std::unique_ptr<KeyActionService> service;
    std::unique_ptr<HidUsbFilter::FilterListener> listener;

    explicit Chain(const std::string& records) {
        bus.Plug(keyboard);
        vhid.SetLogSink([](const std::string&) {});
        vhid.OpenVirtualKeyboard();
        table.LoadFromBuffer(records);
        service = std::make_unique<KeyActionService>(vhid, table);
        listener = std::make_unique<HidUsbFilter::FilterListener>(&driver, &table);
        listener->AddMonitor(service.get(), &KeyActionService::OnFilterKey);
        listener->OpenDevice();
        listener->Restart();
        listener->PushKeyTable();
        driver.WaitForPendingKeyRequests(1, 5000);
    }
    ~Chain() {
        listener.reset();
        service.reset();
    }
};

int64_t NowUs() { return platform::SteadyClock().NowUs(); }

// From the emulated filter driver completing a key event to the virtual
// keyboard receiving the remapped report (mode 1: A -> B).
void BM_RemapLatency(benchmark::State& state) {
    Chain chain("<record code=\"70004\" play=\"1\"><item code=\"70005\"/></record>");
    std::vector<double> us;
    bool down = false;
    for (auto _ : state) {
        const size_t before = chain.keyboard->ReportCount();
        chain.driver.WaitForPendingKeyRequests(1, 1000);  // the reader is waiting, as when idle
        down = !down;
        const int64_t t0 = NowUs();
        if (down)
            chain.keys.Press(7, 4);
        else
            chain.keys.Release(7, 4);
        chain.keyboard->WaitForReports(before + 1, 1000);
        us.push_back(static_cast<double>(chain.keyboard->Reports().back().us - t0));
    }
    if (down) chain.keys.Release(7, 4);
    Report(state, us);
}
BENCHMARK(BM_RemapLatency)->Iterations(2000)->UseRealTime();

// The gap between consecutive reports of a macro against each step's delay.
// CPU time of the whole process, for what a playing macro costs: while it
// plays, the macro thread is the only one with work.
double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int StepsFor(int delay) { return std::max(20, 1000 / delay) & ~1; }

void BM_MacroTiming(benchmark::State& state) {
    const int delay = static_cast<int>(state.range(0));
    const int steps = StepsFor(delay);
    std::string records = "<record code=\"70004\" play=\"2\" repeat=\"1\">";
    for (int i = 0; i < steps; ++i)
        records += "<item code=\"70005\" state=\"" + std::to_string(1 - i % 2) + "\" delay=\"" + std::to_string(delay) +
                   "\"/>";
    records += "</record>";
    Chain chain(records);
    std::vector<double> error;
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        chain.keyboard->ClearReports();
        const double cpu0 = ProcessCpuSeconds();
        const int64_t t0 = NowUs();
        chain.service->OnFilterKey(7, 4, true);
        chain.service->OnFilterKey(7, 4, false);
        // Every step, then the end's release of each pressed step; the first
        // of those ends the last step's delay, the others follow at once.
        chain.keyboard->WaitForReports(static_cast<size_t>(steps + steps / 2), 60000);
        wall += static_cast<double>(NowUs() - t0) * 1e-6;
        cpu += ProcessCpuSeconds() - cpu0;
        const auto reports = chain.keyboard->Reports();
        for (size_t i = 1; i <= static_cast<size_t>(steps) && i < reports.size(); ++i)
            error.push_back(std::fabs(static_cast<double>(reports[i].us - reports[i - 1].us) - delay * 1000.0));
    }
    Report(state, error);
    state.counters["cpu_pct"] = wall > 0 ? 100.0 * cpu / wall : 0;
}
BENCHMARK(BM_MacroTiming)->Arg(1)->Arg(10)->Arg(50)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

// The yardstick for BM_MacroTiming: the same number of the same delays slept
// with a bare relative clock_nanosleep, on a thread as the system makes it.
void BM_BareSleep(benchmark::State& state) {
    const int delay = static_cast<int>(state.range(0));
    const int steps = StepsFor(delay);
    const timespec step{delay / 1000, static_cast<long>(delay % 1000) * 1000000L};
    std::vector<double> error;
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        std::thread sleeper([&] {
            const double cpu0 = ProcessCpuSeconds();
            int64_t last = NowUs();
            const int64_t t0 = last;
            for (int i = 0; i < steps; ++i) {
                clock_nanosleep(CLOCK_MONOTONIC, 0, &step, nullptr);
                const int64_t now = NowUs();
                error.push_back(std::fabs(static_cast<double>(now - last) - delay * 1000.0));
                last = now;
            }
            wall += static_cast<double>(last - t0) * 1e-6;
            cpu += ProcessCpuSeconds() - cpu0;
        });
        sleeper.join();
    }
    Report(state, error);
    state.counters["cpu_pct"] = wall > 0 ? 100.0 * cpu / wall : 0;
}
BENCHMARK(BM_BareSleep)->Arg(1)->Arg(10)->Arg(50)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

// The timed wait alone, as a macro step waits (on its stop event), measured as
// BM_BareSleep is: what the wait adds, without the report path of a macro.
void BM_ClockWait(benchmark::State& state) {
    const int delay = static_cast<int>(state.range(0));
    const int steps = StepsFor(delay);
    platform::Event stop(true, false);
    std::vector<double> error;
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        std::thread waiter([&] {
            const double cpu0 = ProcessCpuSeconds();
            int64_t last = NowUs();
            const int64_t t0 = last;
            for (int i = 0; i < steps; ++i) {
                platform::SteadyClock().Wait(stop, delay);
                const int64_t now = NowUs();
                error.push_back(std::fabs(static_cast<double>(now - last) - delay * 1000.0));
                last = now;
            }
            wall += static_cast<double>(last - t0) * 1e-6;
            cpu += ProcessCpuSeconds() - cpu0;
        });
        waiter.join();
    }
    Report(state, error);
    state.counters["cpu_pct"] = wall > 0 ? 100.0 * cpu / wall : 0;
}
BENCHMARK(BM_ClockWait)->Arg(1)->Arg(10)->Arg(50)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

// Context switches of every thread of this process, from /proc.
long ContextSwitches() {
    long total = 0;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::ifstream status(task.path() / "status");
        std::string key;
        long value = 0;
        while (status >> key) {
            if (key == "voluntary_ctxt_switches:" || key == "nonvoluntary_ctxt_switches:") {
                status >> value;
                total += value;
            }
        }
    }
    return total;
}

struct Startup {
    int32_t Send(int32_t, int32_t, const uint8_t*, uint32_t) { return 1; }
};

// The service's threads with nothing to do: the reader waits for a key, the
// macro thread has played and idles, the worker has run its start-up item.
void BM_IdleService(benchmark::State& state) {
    Chain chain(
        "<record code=\"70004\" play=\"2\" repeat=\"1\"><item code=\"70005\" state=\"1\" delay=\"1\"/>"
        "<item code=\"70005\" state=\"0\" delay=\"1\"/></record>");
    RunableThread<0> worker;
    Startup startup;
    auto item = std::make_unique<ThreadRunable<Startup>>(&worker, &startup, &Startup::Send);
    item->interval = 10;
    item->waitTime = 5000;
    worker.Start(&startup);
    worker.Post(std::move(item));
    chain.keys.Tap(7, 4);
    chain.keyboard->WaitForReports(3, 5000);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    const double seconds = 5.0;
    double cpuPct = 0, wakeups = 0;
    for (auto _ : state) {
        const long switches0 = ContextSwitches();
        const std::clock_t cpu0 = std::clock();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const std::clock_t cpu1 = std::clock();
        const long switches1 = ContextSwitches();
        cpuPct = 100.0 * (static_cast<double>(cpu1 - cpu0) / CLOCKS_PER_SEC) / seconds;
        // The measuring thread itself sleeps once and reads /proc once.
        wakeups = std::max(0.0, static_cast<double>(switches1 - switches0 - 2)) / seconds;
    }
    state.counters["cpu_pct"] = cpuPct;
    state.counters["wakeups_per_s"] = wakeups;
}
BENCHMARK(BM_IdleService)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
