#include "data/LedEffectTable.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

// The start-up packet copies a slot on the worker thread while the lighting
// panel may already be changing the table.
TEST(LedEffectTableThreads, CopySlotSeesWholeSlots) {
    LedEffectTable& table = LedEffectTable::Instance();
    table.ResetForTest();
    std::atomic<bool> done{false};
    std::atomic<bool> torn{false};
    std::thread worker([&] {
        while (!done.load()) {
            const auto slot = table.CopySlot(-1);
            // Every slot the writer stores has speed = brightness % 5 and selection = brightness.
            if (slot && (slot->speed != slot->brightness % 5 || slot->selection != slot->brightness)) torn = true;
        }
    });
    for (int round = 0; round < 2000; ++round) {
        const auto b = static_cast<std::uint8_t>(round % 6);
        table.StoreSlot(3, LedEffectSlot{b, static_cast<std::uint8_t>(b % 5), 0, b});
        table.SetSelected(round % 2 ? 3 : 20);
    }
    done = true;
    worker.join();
    EXPECT_FALSE(torn.load());
    EXPECT_FALSE(table.StoreSlot(20, LedEffectSlot{}));
    EXPECT_EQ(table.CopySlot(21), std::nullopt);
    table.ResetForTest();
}

}  // namespace
