#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/MacroGroup.h"

class MacroLibrary;

// Macro groups shared as files. An exported file is a small XML document with one
// "group" element in the same form as in macro.xml; an import reads such a file
// or a whole macro.xml. Reading checks everything before anything changes, so a
// bad file leaves the library as it was.
class MacroGroupFile {
public:
    // Far above any macro a person records (a step is about 60 bytes), far below
    // what could hurt the program.
    static constexpr std::size_t kMaxFileBytes = 4u << 20;
    static constexpr std::size_t kMaxGroups = 1000;
    static constexpr std::size_t kMaxSteps = 100000;

    enum class Status {
        kOk,
        kUnreadable,  // missing, not a regular file, or could not be read
        kTooLarge,    // more than kMaxFileBytes, kMaxGroups or kMaxSteps
        kNotXml,
        kNoGroup,
        kBadStep,   // a step with a key code of 0 or a state other than 0 and 1
        kNotSaved,  // the library could not write macro.xml; nothing was added
    };

    struct Result {
        Status status = Status::kOk;
        std::vector<MacroGroup> groups;  // what was read (kOk), or what was added (Import)
        int badGroup = -1;               // kBadStep: position of the group in the file
        int badStep = -1;                //           and of the step in the group
    };

    // Writes one group atomically (temporary file beside the target, then rename).
    static bool Write(const MacroGroup& group, const std::string& path);
    static std::string ToXml(const MacroGroup& group);

    static Result Read(const std::string& path);
    static Result Parse(std::string_view bytes);

    // Reads the file and appends its groups to the library, each renamed with
    // UniqueName when its name is taken, then saves. On any failure the library
    // is left unchanged. The result's groups are the ones added, as named.
    static Result Import(MacroLibrary& library, const std::string& path);

    // `wanted` when no group of the library has exactly that name; otherwise
    // "<wanted> <n>" with the first free n from the number of groups on, the way
    // new groups are numbered. An empty name is made as a new group's name.
    static std::string UniqueName(const MacroLibrary& library, const std::string& wanted);
};
