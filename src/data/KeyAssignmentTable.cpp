#include "data/KeyAssignmentTable.h"

#include <cstdio>

#include "data/LenientNumber.h"
#include "data/XmlFile.h"

namespace {

std::string Hex(std::int32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(static_cast<std::uint32_t>(code)));
    return text;
}

std::int32_t AsInt(std::uint32_t v) { return static_cast<std::int32_t>(v); }

MacroStep ReadStep(const pugi::xml_node& node) {
    MacroStep step;
    step.code = LenientNumber::SignedHex(node.attribute("code").value());
    step.state = AsInt(LenientNumber::UnsignedDecimal(node.attribute("state").value()));
    step.delay = AsInt(LenientNumber::UnsignedDecimal(node.attribute("delay").value()));
    step.name = node.attribute("name").value();
    return step;
}

KeyAssignment ReadEntry(const pugi::xml_node& node) {
    KeyAssignment entry;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element) entry.steps.push_back(ReadStep(child));
    entry.code = LenientNumber::SignedHex(node.attribute("code").value());
    entry.play = LenientNumber::SignedDecimal(node.attribute("play").value());
    entry.type = AsInt(LenientNumber::UnsignedDecimal(node.attribute("type").value()));
    entry.repeat = AsInt(LenientNumber::UnsignedDecimal(node.attribute("repeat").value()));
    entry.name = node.attribute("name").value();
    entry.group = node.attribute("group").value();
    entry.value = 0;
    return entry;
}

}  // namespace

KeyAssignmentTable& KeyAssignmentTable::Instance() {
    static KeyAssignmentTable* table = new KeyAssignmentTable();  // lives until the process ends
    return *table;
}

KeyAssignmentTable::KeyAssignmentTable() : entries_(std::make_shared<const Entries>()) {}

void KeyAssignmentTable::ResetForTest() {
    std::lock_guard change(changeMutex_);
    std::lock_guard state(stateMutex_);
    entries_ = std::make_shared<const Entries>();
    path_.clear();
}

bool KeyAssignmentTable::Load(const std::string& path) {
    if (path.empty()) return false;
    {
        std::lock_guard state(stateMutex_);
        path_ = path;
    }
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kFileLimits.maxBytes)) return false;
    return LoadFromBuffer(bytes);
}

bool KeyAssignmentTable::LoadFromBuffer(std::string_view xml) {
    pugi::xml_document doc;
    if (!ParseXml(doc, xml, pugi::encoding_utf8, kFileLimits)) return false;
    auto next = std::make_shared<Entries>();
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling())
        if (node.type() == pugi::node_element) next->push_back(ReadEntry(node));
    if (!WithinLimits(*next)) return false;
    std::lock_guard change(changeMutex_);
    Publish(std::move(next));
    return true;
}

std::string KeyAssignmentTable::Serialize(const Entries& entries) {
    pugi::xml_document doc;
    for (const KeyAssignment& entry : entries) {
        pugi::xml_node record = doc.append_child("record");
        record.append_attribute("code").set_value(Hex(entry.code).c_str());
        record.append_attribute("play").set_value(entry.play);
        record.append_attribute("type").set_value(entry.type);
        record.append_attribute("repeat").set_value(entry.repeat);
        record.append_attribute("name").set_value(entry.name.c_str());
        record.append_attribute("group").set_value(entry.group.c_str());
        for (const MacroStep& step : entry.steps) {
            pugi::xml_node item = record.append_child("item");
            item.append_attribute("code").set_value(Hex(step.code).c_str());
            item.append_attribute("state").set_value(static_cast<std::uint32_t>(step.state));
            item.append_attribute("delay").set_value(static_cast<std::uint32_t>(step.delay));
            item.append_attribute("name").set_value(step.name.c_str());
        }
    }
    return XmlToString(doc);
}

bool KeyAssignmentTable::WithinLimits(const Entries& entries) {
    if (entries.size() > kMaxRecords) return false;
    size_t steps = 0;
    for (const KeyAssignment& entry : entries) steps += entry.steps.size();
    return steps <= kMaxSteps;
}

void KeyAssignmentTable::Publish(SnapshotPtr next) {
    std::lock_guard state(stateMutex_);
    entries_ = std::move(next);
}

KeyAssignmentTable::SnapshotPtr KeyAssignmentTable::Snapshot() const {
    std::lock_guard state(stateMutex_);
    return entries_;
}

std::string KeyAssignmentTable::Path() const {
    std::lock_guard state(stateMutex_);
    return path_;
}

std::string KeyAssignmentTable::ToXml() const { return Serialize(*Snapshot()); }

bool KeyAssignmentTable::SaveEntries(const SnapshotPtr& entries) const {
    return ReplaceFileAtomically(Path(), Serialize(*entries));
}

bool KeyAssignmentTable::Save() const {
    std::lock_guard change(changeMutex_);
    return SaveEntries(Snapshot());
}

bool KeyAssignmentTable::SetAssignment(const KeyAssignment& assignment) {
    std::lock_guard change(changeMutex_);
    auto next = std::make_shared<Entries>(*Snapshot());
    bool replaced = false;
    for (KeyAssignment& entry : *next) {
        if (entry.code == assignment.code) {
            entry = assignment;
            replaced = true;
            break;
        }
    }
    if (!replaced) next->push_back(assignment);
    if (!WithinLimits(*next)) return false;
    SnapshotPtr published = next;
    Publish(published);
    return SaveEntries(published);
}

bool KeyAssignmentTable::RemoveAssignment(std::int32_t code) {
    std::lock_guard change(changeMutex_);
    const SnapshotPtr current = Snapshot();
    for (size_t i = 0; i < current->size(); ++i) {
        if ((*current)[i].code == code) {
            auto next = std::make_shared<Entries>(*current);
            next->erase(next->begin() + static_cast<std::ptrdiff_t>(i));
            Publish(std::move(next));
            return true;
        }
    }
    return false;
}

bool KeyAssignmentTable::ClearAll() {
    std::lock_guard change(changeMutex_);
    SnapshotPtr empty = std::make_shared<const Entries>();
    Publish(empty);
    return SaveEntries(empty);
}

const KeyAssignment* KeyAssignmentTable::Find(const Entries& entries, std::int32_t code) {
    for (const KeyAssignment& entry : entries)
        if (entry.code == code) return &entry;
    return nullptr;
}
