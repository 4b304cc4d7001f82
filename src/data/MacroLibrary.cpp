#include "data/MacroLibrary.h"

#include "data/LenientNumber.h"
#include "data/XmlFile.h"

namespace {

std::int32_t ReadInt(const pugi::xml_node& node, const char* name) {
    return static_cast<std::int32_t>(LenientNumber::UnsignedDecimal(node.attribute(name).value()));
}

}  // namespace

MacroLibrary& MacroLibrary::Instance() {
    static MacroLibrary* library = new MacroLibrary();  // lives until the process ends
    return *library;
}

void MacroLibrary::ResetForTest() {
    path_.clear();
    ResetToDefaults();
}

bool MacroLibrary::Load(const std::string& path) {
    if (path.empty()) return false;
    path_ = path;
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kFileLimits.maxBytes)) return false;
    return LoadFromBuffer(bytes);
}

bool MacroLibrary::LoadFromBuffer(std::string_view xml) {
    pugi::xml_document doc;
    if (!ParseXml(doc, xml, pugi::encoding_utf8, kFileLimits)) return false;

    // Read aside first: a file beyond the limits leaves the library as it was.
    std::vector<MacroGroup> groups;
    std::size_t steps = 0;
    for (pugi::xml_node g = doc.child("macro").first_child(); g; g = g.next_sibling()) {
        if (g.type() != pugi::node_element) continue;
        MacroGroup group;
        for (pugi::xml_node s = g.first_child(); s; s = s.next_sibling()) {
            if (s.type() != pugi::node_element) continue;
            group.steps.push_back(ReadStep(s));
        }
        group.name = g.attribute("name").value();
        steps += group.steps.size();
        groups.push_back(std::move(group));
    }
    if (groups.size() > kMaxGroups || steps > kMaxSteps) return false;
    groups_ = std::move(groups);

    // Without a "config" element the current choices stay; with one, every
    // absent attribute reads as 0.
    if (const pugi::xml_node c = doc.child("config")) {
        config_.type = ReadInt(c, "type");
        config_.repeat = ReadInt(c, "repeat");
        config_.mode = ReadInt(c, "mode");
        config_.delay = ReadInt(c, "delay");
        config_.media = ReadInt(c, "media");
        config_.function = ReadInt(c, "function");
        config_.group = ReadInt(c, "group");
        config_.skcode = ReadInt(c, "skcode");
        config_.play = ReadInt(c, "play");
    }
    return true;
}

std::string MacroLibrary::ToXml() const {
    pugi::xml_document doc;
    pugi::xml_node c = doc.append_child("config");
    c.append_attribute("type").set_value(config_.type);
    c.append_attribute("repeat").set_value(config_.repeat);
    c.append_attribute("mode").set_value(config_.mode);
    c.append_attribute("delay").set_value(config_.delay);
    c.append_attribute("media").set_value(config_.media);
    c.append_attribute("function").set_value(config_.function);
    c.append_attribute("group").set_value(config_.group);
    c.append_attribute("skcode").set_value(config_.skcode);
    c.append_attribute("play").set_value(config_.play);

    pugi::xml_node macro = doc.append_child("macro");
    for (const MacroGroup& group : groups_) AppendGroup(macro, group);
    return XmlToString(doc);
}

MacroStep MacroLibrary::ReadStep(const pugi::xml_node& item) {
    MacroStep step;
    step.code = ReadInt(item, "code");
    step.state = ReadInt(item, "state");
    step.delay = ReadInt(item, "delay");
    step.name = item.attribute("name").value();
    return step;
}

void MacroLibrary::AppendGroup(pugi::xml_node& parent, const MacroGroup& group) {
    pugi::xml_node g = parent.append_child("group");
    g.append_attribute("name").set_value(group.name.c_str());
    for (const MacroStep& step : group.steps) {
        pugi::xml_node item = g.append_child("item");
        item.append_attribute("code").set_value(static_cast<std::uint32_t>(step.code));
        item.append_attribute("state").set_value(static_cast<std::uint32_t>(step.state));
        item.append_attribute("delay").set_value(static_cast<std::uint32_t>(step.delay));
        item.append_attribute("name").set_value(step.name.c_str());
    }
}

bool MacroLibrary::Save() const { return ReplaceFileAtomically(path_, ToXml()); }

void MacroLibrary::ResetToDefaults() {
    config_ = MacroRecordConfig{};
    groups_.clear();
}

bool MacroLibrary::AddGroup() {
    if (groups_.size() >= kMaxGroups) return false;
    for (size_t n = groups_.size();; ++n) {
        const std::string candidate = "Group " + std::to_string(n);
        bool taken = false;
        for (const MacroGroup& group : groups_) taken = taken || group.name == candidate;
        if (!taken) {
            groups_.push_back(MacroGroup{candidate, {}});
            return Save();
        }
    }
}

bool MacroLibrary::DeleteGroup(int index) {
    if (static_cast<unsigned>(index) >= groups_.size()) return false;
    groups_.erase(groups_.begin() + index);
    Save();
    return true;
}

bool MacroLibrary::RenameGroup(int index, const std::string& name) {
    if (static_cast<unsigned>(index) >= groups_.size()) return false;
    MacroGroup& group = groups_[static_cast<size_t>(index)];
    if (group.name == name) return false;
    group.name = name;
    Save();
    return true;
}

bool MacroLibrary::AddStep(MacroGroup& group, const MacroStep& step) {
    if (StepCount() >= kMaxSteps) return false;
    group.steps.push_back(step);
    return true;
}

bool MacroLibrary::AddStep(int groupIndex, const MacroStep& step) {
    MacroGroup* group = GetGroup(groupIndex);
    return group && AddStep(*group, step);
}

std::size_t MacroLibrary::StepCount() const {
    std::size_t steps = 0;
    for (const MacroGroup& group : groups_) steps += group.steps.size();
    return steps;
}

MacroGroup* MacroLibrary::GetGroup(int index) {
    return static_cast<unsigned>(index) < groups_.size() ? &groups_[static_cast<size_t>(index)] : nullptr;
}
