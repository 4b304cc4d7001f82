#include "data/LedEffectTable.h"

#include "data/LenientNumber.h"
#include "data/XmlFile.h"

namespace {

std::uint8_t LowByte(const pugi::xml_attribute& a) {
    return static_cast<std::uint8_t>(LenientNumber::UnsignedDecimal(a.value()) & 0xFFu);
}

}  // namespace

LedEffectTable& LedEffectTable::Instance() {
    static LedEffectTable* table = new LedEffectTable();  // lives until the process ends
    return *table;
}

LedEffectTable::LedEffectTable() { SetResetValues(); }

void LedEffectTable::SetResetValues() {
    slots_.fill(LedEffectSlot{5, 0, 0, 0});
    sel_ = kNoSelection;
}

void LedEffectTable::ResetForTest() {
    std::lock_guard lock(mutex_);
    path_.clear();
    SetResetValues();
}

bool LedEffectTable::Load(const std::string& path) {
    if (path.empty()) return false;
    path_ = path;
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kFileLimits.maxBytes)) {
        ResetToDefaults();
        return false;
    }
    return LoadFromBuffer(bytes);
}

bool LedEffectTable::LoadFromBuffer(std::string_view xml) {
    pugi::xml_document doc;
    if (!ParseXml(doc, xml, pugi::encoding_utf8, kFileLimits)) {
        ResetToDefaults();
        return false;
    }
    std::lock_guard lock(mutex_);
    const pugi::xml_node root = doc.child("effect");
    const std::uint32_t sel = LenientNumber::UnsignedDecimal(root.attribute("sel").value());
    sel_ = sel > static_cast<std::uint32_t>(kNoSelection) ? 0 : static_cast<std::int32_t>(sel);

    int index = 0;
    for (pugi::xml_node item = root.first_child(); item && index < kSlotCount; item = item.next_sibling()) {
        if (item.type() != pugi::node_element) continue;
        LedEffectSlot& slot = slots_[index++];
        slot.speed = LowByte(item.attribute("speed"));
        slot.brightness = LowByte(item.attribute("brightness"));
        slot.deriction = LowByte(item.attribute("deriction"));
        const pugi::xml_attribute selection = item.attribute("selection");
        slot.selection = selection ? LowByte(selection) : 1;
        if (slot.speed > 4) slot.speed = 4;
        if (slot.brightness > 5) slot.brightness = 5;
        if (slot.deriction > 1) slot.deriction = 0;
    }
    return true;
}

std::string LedEffectTable::ToXml() const {
    std::lock_guard lock(mutex_);
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("effect");
    root.append_attribute("sel").set_value(sel_);
    for (const LedEffectSlot& slot : slots_) {
        pugi::xml_node item = root.append_child("item");
        item.append_attribute("speed").set_value(static_cast<unsigned>(slot.speed));
        item.append_attribute("brightness").set_value(static_cast<unsigned>(slot.brightness));
        item.append_attribute("deriction").set_value(static_cast<unsigned>(slot.deriction));
        item.append_attribute("selection").set_value(static_cast<unsigned>(slot.selection));
    }
    return XmlToString(doc);
}

bool LedEffectTable::Save() const { return ReplaceFileAtomically(path_, ToXml()); }

LedEffectSlot* LedEffectTable::SlotLocked(int index) {
    if (index == -1) index = sel_;
    return index >= 0 && index < kSlotCount ? &slots_[static_cast<size_t>(index)] : nullptr;
}

LedEffectSlot* LedEffectTable::GetSlot(int index) {
    std::lock_guard lock(mutex_);
    return SlotLocked(index);
}

const LedEffectSlot* LedEffectTable::GetSlot(int index) const {
    return const_cast<LedEffectTable*>(this)->GetSlot(index);
}

std::optional<LedEffectSlot> LedEffectTable::CopySlot(int index) const {
    std::lock_guard lock(mutex_);
    if (const LedEffectSlot* slot = const_cast<LedEffectTable*>(this)->SlotLocked(index)) return *slot;
    return std::nullopt;
}

bool LedEffectTable::StoreSlot(int index, const LedEffectSlot& value) {
    {
        std::lock_guard lock(mutex_);
        LedEffectSlot* slot = SlotLocked(index);
        if (!slot) return false;
        *slot = value;
    }
    return Save();
}

int LedEffectTable::GetSelected() const {
    std::lock_guard lock(mutex_);
    return sel_;
}

bool LedEffectTable::SetSelected(int sel) {
    {
        std::lock_guard lock(mutex_);
        sel_ = sel;
    }
    return Save();
}

bool LedEffectTable::ResetToDefaults() {
    {
        std::lock_guard lock(mutex_);
        SetResetValues();
    }
    return Save();
}
