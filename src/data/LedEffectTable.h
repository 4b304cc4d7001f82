#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "data/LedEffectSlot.h"
#include "data/XmlLimits.h"

// The main lighting settings, kept in ledeffect.xml. UI thread; the start-up
// packet reads one slot from the worker thread.
class LedEffectTable {
public:
    static constexpr int kSlotCount = 20;
    // Selected index after a reset: names no slot.
    static constexpr int kNoSelection = 20;
    // The file is twenty short lines (about 1.5 KiB); even one edited by hand
    // with a comment on every line stays far below. A larger file is broken.
    static constexpr XmlLimits kFileLimits{64u << 10, 1024, 4096};

    static LedEffectTable& Instance();

    LedEffectTable();
    LedEffectTable(const LedEffectTable&) = delete;
    LedEffectTable& operator=(const LedEffectTable&) = delete;

    // Stores the path and reads the file. A file that cannot be read or parsed
    // is replaced by the reset values at once and false is returned.
    bool Load(const std::string& path);
    // The same rules for a document in memory (the reset is saved to the
    // stored path, if any).
    bool LoadFromBuffer(std::string_view xml);
    // Rewrites the whole file atomically; false when it could not be written.
    bool Save() const;

    // -1 gives the selected slot; anything outside 0..19 gives null.
    LedEffectSlot* GetSlot(int index);
    const LedEffectSlot* GetSlot(int index) const;
    int GetSelected() const;
    // Stores the value unchecked and saves.
    bool SetSelected(int sel);
    // Every slot to brightness 5, speed 0, deriction 0, selection 0; sel 20; saves.
    bool ResetToDefaults();

    // For readers on another thread (the start-up packet): a copy of the slot
    // taken under the table's lock; empty where GetSlot gives null.
    std::optional<LedEffectSlot> CopySlot(int index) const;
    // Stores a whole slot under the same lock and saves; false for an index
    // that names no slot or a failed save.
    bool StoreSlot(int index, const LedEffectSlot& slot);

    const std::string& Path() const { return path_; }
    std::string ToXml() const;
    // Back to the freshly created state: reset values, no path.
    void ResetForTest();

private:
    void SetResetValues();
    LedEffectSlot* SlotLocked(int index);

    // Guards slots and sel against the worker thread's CopySlot. The UI thread
    // also takes it for its own changes; GetSlot's pointer is for the UI thread.
    mutable std::mutex mutex_;

    std::string path_;
    std::array<LedEffectSlot, kSlotCount> slots_{};
    std::int32_t sel_ = kNoSelection;
};
