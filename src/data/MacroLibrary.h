#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/MacroGroup.h"
#include "data/MacroRecordConfig.h"
#include "data/MacroStep.h"
#include "data/XmlLimits.h"

namespace pugi {
class xml_node;
}

// The user's macros and the dialog's last choices, kept in macro.xml.
// UI thread only; the dialog edits the configuration and the groups in place
// and then calls Save.
class MacroLibrary {
public:
    // A long recording is a few thousand steps; a library of a thousand groups
    // is already hard to scroll. A file beyond these limits is broken, and
    // AddGroup and AddStep refuse to go beyond them, so that what is saved
    // always loads again.
    static constexpr std::size_t kMaxGroups = 1000;
    static constexpr std::size_t kMaxSteps = 20000;  // all groups together
    // A group is two tags and one attribute, a step one or two tags and four;
    // attributes are counted twice over, see XmlLimits.
    static constexpr XmlLimits kFileLimits{4u << 20, 2 * (kMaxGroups + kMaxSteps) + 64,
                                           2 * (kMaxGroups + 4 * kMaxSteps) + 64};

    static MacroLibrary& Instance();

    MacroLibrary() = default;
    MacroLibrary(const MacroLibrary&) = delete;
    MacroLibrary& operator=(const MacroLibrary&) = delete;

    // Stores the path and reads the file. False for an empty path or a file that
    // cannot be read or parsed; groups and configuration then stay as they were.
    bool Load(const std::string& path);
    bool LoadFromBuffer(std::string_view xml);
    // Rewrites the whole file atomically; false when it could not be written.
    bool Save() const;

    // Default configuration and no groups; does not save.
    void ResetToDefaults();
    // Appends an empty group named "Group n" (the first free n from the group
    // count on) and saves. Returns the result of the save; false without a
    // change when the library holds kMaxGroups groups.
    bool AddGroup();
    bool DeleteGroup(int index);
    bool RenameGroup(int index, const std::string& name);
    // Appends a step; does not save. False without a change when the library
    // holds kMaxSteps steps.
    bool AddStep(MacroGroup& group, const MacroStep& step);
    bool AddStep(int groupIndex, const MacroStep& step);

    MacroRecordConfig& Config() { return config_; }
    const MacroRecordConfig& Config() const { return config_; }
    std::vector<MacroGroup>& Groups() { return groups_; }
    const std::vector<MacroGroup>& Groups() const { return groups_; }
    // Null for an index outside the groups.
    MacroGroup* GetGroup(int index);
    // Steps of all groups together.
    std::size_t StepCount() const;

    const std::string& Path() const { return path_; }
    std::string ToXml() const;
    // One group as macro.xml holds it: a "group" element with its "item" steps,
    // appended to parent (also the form of a shared group file).
    static void AppendGroup(pugi::xml_node& parent, const MacroGroup& group);
    // One "item" step element as macro.xml holds it, read leniently.
    static MacroStep ReadStep(const pugi::xml_node& item);
    // Back to the freshly created state: defaults, no groups, no path.
    void ResetForTest();

private:
    MacroRecordConfig config_;
    std::string path_;
    std::vector<MacroGroup> groups_;
};
