#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/MacroGroup.h"
#include "data/MacroRecordConfig.h"
#include "data/MacroStep.h"

// The user's macros and the dialog's last choices, kept in macro.xml.
// UI thread only; the dialog edits the configuration and the groups in place
// and then calls Save.
class MacroLibrary {
public:
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
    // count on) and saves. Returns the result of the save.
    bool AddGroup();
    bool DeleteGroup(int index);
    bool RenameGroup(int index, const std::string& name);
    // Appends a step; does not save.
    void AddStep(MacroGroup& group, const MacroStep& step);
    bool AddStep(int groupIndex, const MacroStep& step);

    MacroRecordConfig& Config() { return config_; }
    const MacroRecordConfig& Config() const { return config_; }
    std::vector<MacroGroup>& Groups() { return groups_; }
    const std::vector<MacroGroup>& Groups() const { return groups_; }
    // Null for an index outside the groups.
    MacroGroup* GetGroup(int index);

    const std::string& Path() const { return path_; }
    std::string ToXml() const;
    // Back to the freshly created state: defaults, no groups, no path.
    void ResetForTest();

private:
    MacroRecordConfig config_;
    std::string path_;
    std::vector<MacroGroup> groups_;
};
