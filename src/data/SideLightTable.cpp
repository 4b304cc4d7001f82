#include "data/SideLightTable.h"

#include "data/LenientNumber.h"
#include "data/XmlFile.h"

SideLightTable& SideLightTable::Instance() {
    static SideLightTable* table = new SideLightTable();  // lives until the process ends
    return *table;
}

SideLightTable::SideLightTable() { SetResetValues(); }

void SideLightTable::SetResetValues() {
    for (int i = 0; i < kSlotCount; ++i) {
        SideLightSlot& slot = slots_[i];
        slot.SetBrightness(i < 3 ? 4 : 7);
        // Bit 0 of the second byte set, bits 1..3 cleared, high nibble kept.
        slot.second = static_cast<std::uint8_t>((slot.second & 0xF0) | 0x01);
    }
    sel_ = 0;
}

void SideLightTable::ResetForTest() {
    path_.clear();
    slots_.fill(SideLightSlot{});
    SetResetValues();
}

bool SideLightTable::Load(const std::string& path) {
    if (path.empty()) return false;
    path_ = path;
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kFileLimits.maxBytes)) {
        ResetToDefaults();
        return false;
    }
    return LoadFromBuffer(bytes);
}

bool SideLightTable::LoadFromBuffer(std::string_view xml) {
    pugi::xml_document doc;
    if (!ParseXml(doc, xml, pugi::encoding_utf8, kFileLimits)) {
        ResetToDefaults();
        return false;
    }
    const pugi::xml_node root = doc.child("effect");
    const std::uint32_t sel = LenientNumber::UnsignedDecimal(root.attribute("sel").value());
    sel_ = sel > static_cast<std::uint32_t>(kSlotCount) ? 0 : static_cast<std::int32_t>(sel);

    int index = 0;
    for (pugi::xml_node item = root.first_child(); item && index < kSlotCount; item = item.next_sibling()) {
        if (item.type() != pugi::node_element) continue;
        std::uint8_t level =
            static_cast<std::uint8_t>(LenientNumber::UnsignedDecimal(item.attribute("brightness").value()) & 0x0Fu);
        if (level > 7) level = 0;
        slots_[index++].SetBrightness(level);
    }
    return true;
}

std::string SideLightTable::ToXml() const {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("effect");
    root.append_attribute("sel").set_value(sel_);
    for (const SideLightSlot& slot : slots_)
        root.append_child("item").append_attribute("brightness").set_value(static_cast<unsigned>(slot.Brightness()));
    return XmlToString(doc);
}

bool SideLightTable::Save() const { return ReplaceFileAtomically(path_, ToXml()); }

SideLightSlot* SideLightTable::GetSlot(int index) {
    if (index == -1) index = sel_;
    return index >= 0 && index < kSlotCount ? &slots_[index] : nullptr;
}

const SideLightSlot* SideLightTable::GetSlot(int index) const {
    return const_cast<SideLightTable*>(this)->GetSlot(index);
}

bool SideLightTable::SetSelected(int sel) {
    sel_ = sel;
    return Save();
}

bool SideLightTable::ResetToDefaults() {
    SetResetValues();
    return Save();
}
