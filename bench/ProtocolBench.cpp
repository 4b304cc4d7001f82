// Building and sending keyboard packets on the emulated bus: the cost of one
// lighting change below the pacing (which the window adds on top).

#include <benchmark/benchmark.h>

#include <filesystem>

#include "hid/HidDevice.h"
#include "hid/HidLog.h"
#include "platform/HidBackend.h"
#include "platform/sim/SimHidBus.h"
#include "platform/sim/SimKeyboard.h"
#include "protocol/Packets.h"

namespace {

using platform::sim::SimKeyboardModel;

struct Bench {
    explicit Bench(SimKeyboardModel model) {
        platform::sim::SimHidBus::Options o;
        o.logFromEnvironment = false;
        o.lockFolder = std::filesystem::temp_directory_path().string();
        bus = std::make_shared<platform::sim::SimHidBus>(o);
        keyboard = std::make_shared<platform::sim::SimKeyboard>(model);
        bus->Plug(keyboard);
        previous = platform::SetCurrentHid(bus.get());
        hid::SetHidLogSink([](const std::string&) {});
        device.overlapped = true;
        const int32_t product = model == SimKeyboardModel::k7080 ? 0x7080 : 0x7FFF;
        device.Open(product, model == SimKeyboardModel::k7080 ? 7 : -1, nullptr, 0x1A2C,
                    model == SimKeyboardModel::k7080 ? 1 : 2);
    }
    ~Bench() {
        device.Close();
        hid::SetHidLogSink(nullptr);
        platform::SetCurrentHid(previous);
    }
    std::shared_ptr<platform::sim::SimHidBus> bus;
    std::shared_ptr<platform::sim::SimKeyboard> keyboard;
    platform::HidBackend* previous = nullptr;
    hid::HidDevice device;
};

void BM_BuildEffectPacket(benchmark::State& state) {
    LedEffectSlot slot{2, 4, 1, 2};
    int index = 0;
    for (auto _ : state) {
        auto p = protocol::EffectPacket(index, slot);
        benchmark::DoNotOptimize(p);
        index = (index + 1) % 20;
    }
}
BENCHMARK(BM_BuildEffectPacket);

void BM_SendEffectPacket7080(benchmark::State& state) {
    Bench b(SimKeyboardModel::k7080);
    LedEffectSlot slot{2, 4, 1, 2};
    unsigned sent = 0;
    for (auto _ : state) {
        bool ok = b.device.SetFeature(protocol::EffectPacket(3, slot));
        benchmark::DoNotOptimize(ok);
        if ((++sent & 1023) == 0) b.bus->ClearReports();  // keep the recording small
    }
}
BENCHMARK(BM_SendEffectPacket7080);

void BM_SendEffectFrame7FFF(benchmark::State& state) {
    Bench b(SimKeyboardModel::k7FFF);
    LedEffectSlot slot{2, 4, 1, 2};
    unsigned sent = 0;
    for (auto _ : state) {
        size_t n = b.device.Write(protocol::EffectFrame(3, slot));
        benchmark::DoNotOptimize(n);
        if ((++sent & 1023) == 0) b.bus->ClearReports();
    }
}
BENCHMARK(BM_SendEffectFrame7FFF);

void BM_ConnectByIds(benchmark::State& state) {
    Bench b(SimKeyboardModel::k7080);
    for (auto _ : state) {
        uint16_t version = 0;
        bool ok = b.device.Open(0x7080, 7, &version, 0x1A2C, 1);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_ConnectByIds);

}  // namespace
