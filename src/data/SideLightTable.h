#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/SideLightSlot.h"
#include "data/XmlLimits.h"

// The side-light settings, kept in sidemodel.xml. UI thread only.
class SideLightTable {
public:
    static constexpr int kSlotCount = 12;
    // Twelve short lines; a larger file is broken (see LedEffectTable).
    static constexpr XmlLimits kFileLimits{64u << 10, 1024, 4096};

    static SideLightTable& Instance();

    SideLightTable();
    SideLightTable(const SideLightTable&) = delete;
    SideLightTable& operator=(const SideLightTable&) = delete;

    // Stores the path and reads the file. A file that cannot be read or parsed
    // is replaced by the reset values at once and false is returned.
    bool Load(const std::string& path);
    bool LoadFromBuffer(std::string_view xml);
    // Rewrites the whole file atomically; false when it could not be written.
    bool Save() const;

    // -1 gives the selected slot; anything outside 0..11 gives null.
    SideLightSlot* GetSlot(int index);
    const SideLightSlot* GetSlot(int index) const;
    int GetSelected() const { return sel_; }
    bool SetSelected(int sel);
    // Level 4 for slots 0..2, 7 for the rest; second byte's low nibble 1; sel 0; saves.
    bool ResetToDefaults();

    const std::string& Path() const { return path_; }
    std::string ToXml() const;
    // Back to the freshly created state: reset values, no path.
    void ResetForTest();

private:
    void SetResetValues();

    std::string path_;
    std::array<SideLightSlot, kSlotCount> slots_{};
    std::int32_t sel_ = 0;
};
