// Costs of the data tables on the paths that run per key event (the filter
// listener's lookup) and per user change (every change rewrites its file).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "data/KeyAssignmentTable.h"
#include "data/LedEffectTable.h"
#include "data/MacroLibrary.h"

namespace {

namespace fs = std::filesystem;

struct ScratchDir {
    fs::path path = fs::temp_directory_path() / ("kbconf-bench-" + std::to_string(std::random_device{}()));
    ScratchDir() { fs::create_directories(path); }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

KeyAssignment Assignment(std::int32_t code, int steps) {
    KeyAssignment a;
    a.code = code;
    a.type = KeyAssignment::Macro;
    a.play = 1;
    a.repeat = 1;
    a.name = "key";
    a.group = "Group 0";
    for (int i = 0; i < steps; ++i) a.steps.push_back(MacroStep{0x70004 + i % 26, i % 2, 10, "A"});
    return a;
}

void FillTable(KeyAssignmentTable& table, int count) {
    table.ResetForTest();
    for (int i = 0; i < count; ++i) table.SetAssignment(Assignment(0x70004 + i, 4));
}

// What the filter listener pays per key event: take the snapshot, find the key.
void BM_KeyAssignmentSnapshotFind(benchmark::State& state) {
    KeyAssignmentTable& table = KeyAssignmentTable::Instance();
    const int count = static_cast<int>(state.range(0));
    FillTable(table, count);
    std::int32_t code = 0x70004;
    for (auto _ : state) {
        const auto snapshot = table.Snapshot();
        benchmark::DoNotOptimize(KeyAssignmentTable::Find(*snapshot, code));
        code = 0x70004 + (code - 0x70004 + 7) % count;
    }
    table.ResetForTest();
}
BENCHMARK(BM_KeyAssignmentSnapshotFind)->Arg(8)->Arg(104);

// One assignment change on the UI thread: new list, swap, atomic file rewrite.
void BM_KeyAssignmentSetAndSave(benchmark::State& state) {
    ScratchDir dir;
    KeyAssignmentTable& table = KeyAssignmentTable::Instance();
    FillTable(table, static_cast<int>(state.range(0)));
    table.Load((dir.path / "record.xml").string());  // missing: only sets the path
    const KeyAssignment changed = Assignment(0x70004, 16);
    for (auto _ : state) benchmark::DoNotOptimize(table.SetAssignment(changed));
    table.ResetForTest();
}
BENCHMARK(BM_KeyAssignmentSetAndSave)->Arg(8)->Arg(104)->Unit(benchmark::kMicrosecond);

// A slider move saves ledeffect.xml twice (selection, then the slot).
void BM_LedEffectSave(benchmark::State& state) {
    ScratchDir dir;
    LedEffectTable& table = LedEffectTable::Instance();
    table.Load((dir.path / "ledeffect.xml").string());
    for (auto _ : state) benchmark::DoNotOptimize(table.Save());
    table.ResetForTest();
}
BENCHMARK(BM_LedEffectSave)->Unit(benchmark::kMicrosecond);

// The dialog saves macro.xml on every change; a large library.
void BM_MacroLibrarySave(benchmark::State& state) {
    ScratchDir dir;
    MacroLibrary& lib = MacroLibrary::Instance();
    lib.ResetForTest();
    lib.Load((dir.path / "macro.xml").string());
    for (int g = 0; g < state.range(0); ++g) {
        lib.Groups().push_back(MacroGroup{"Group " + std::to_string(g), {}});
        for (int s = 0; s < 100; ++s) lib.AddStep(lib.Groups().back(), MacroStep{0x70004, s % 2, 10, "A"});
    }
    for (auto _ : state) benchmark::DoNotOptimize(lib.Save());
    lib.ResetForTest();
}
BENCHMARK(BM_MacroLibrarySave)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
