#include "data/MacroGroupFile.h"

#include <filesystem>
#include <pugixml.hpp>

#include "data/MacroLibrary.h"
#include "data/XmlFile.h"

namespace {

using Status = MacroGroupFile::Status;

// Reads one group element; false (with the step's position) for a step that
// could not be played.
bool ReadGroup(const pugi::xml_node& g, MacroGroup& group, int* badStep) {
    group.name = g.attribute("name").value();
    int index = 0;
    for (pugi::xml_node s = g.first_child(); s; s = s.next_sibling()) {
        if (s.type() != pugi::node_element) continue;
        MacroStep step = MacroLibrary::ReadStep(s);
        if (step.code == 0 || (step.state != 0 && step.state != 1)) {
            *badStep = index;
            return false;
        }
        group.steps.push_back(std::move(step));
        ++index;
    }
    return true;
}

}  // namespace

std::string MacroGroupFile::ToXml(const MacroGroup& group) {
    pugi::xml_document doc;
    pugi::xml_node root = doc;
    MacroLibrary::AppendGroup(root, group);
    return XmlToString(doc);
}

bool MacroGroupFile::Write(const MacroGroup& group, const std::string& path) {
    return ReplaceFileAtomically(path, ToXml(group));
}

MacroGroupFile::Result MacroGroupFile::Read(const std::string& path) {
    Result r;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        r.status = Status::kUnreadable;
        return r;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxFileBytes) {
        r.status = Status::kTooLarge;
        return r;
    }
    std::string bytes;
    if (!ReadFileBytes(path, bytes, kMaxFileBytes)) {
        r.status = Status::kUnreadable;
        return r;
    }
    return Parse(bytes);
}

MacroGroupFile::Result MacroGroupFile::Parse(std::string_view bytes) {
    Result r;
    if (bytes.size() > kMaxFileBytes) {
        r.status = Status::kTooLarge;
        return r;
    }
    pugi::xml_document doc;
    const auto parsed = doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
    if (parsed.status == pugi::status_no_document_element) {
        // Empty, or only a declaration or comments: no group. The parser drops
        // text outside elements, so plain text is recognised here as no XML.
        const auto first = bytes.find_first_not_of(" \t\r\n");
        const bool text = first != std::string_view::npos && bytes[first] != '<' &&
                          bytes.substr(first, 3) != std::string_view("\xEF\xBB\xBF");
        r.status = text ? Status::kNotXml : Status::kNoGroup;
        return r;
    }
    if (parsed.status != pugi::status_ok) {
        r.status = Status::kNotXml;
        return r;
    }

    // Exported files hold "group" elements at the top; a whole macro.xml holds
    // them inside "macro", where every child counts as a group.
    std::vector<pugi::xml_node> elements;
    for (pugi::xml_node top = doc.first_child(); top; top = top.next_sibling()) {
        if (top.type() != pugi::node_element) continue;
        if (std::string_view(top.name()) == "group") {
            elements.push_back(top);
        } else if (std::string_view(top.name()) == "macro") {
            for (pugi::xml_node g = top.first_child(); g; g = g.next_sibling())
                if (g.type() == pugi::node_element) elements.push_back(g);
        }
    }
    if (elements.empty()) {
        r.status = Status::kNoGroup;
        return r;
    }
    if (elements.size() > kMaxGroups) {
        r.status = Status::kTooLarge;
        return r;
    }

    std::size_t steps = 0;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        MacroGroup group;
        int badStep = -1;
        if (!ReadGroup(elements[i], group, &badStep)) {
            r.status = Status::kBadStep;
            r.badGroup = static_cast<int>(i);
            r.badStep = badStep;
            r.groups.clear();
            return r;
        }
        steps += group.steps.size();
        if (steps > kMaxSteps) {
            r.status = Status::kTooLarge;
            r.groups.clear();
            return r;
        }
        r.groups.push_back(std::move(group));
    }
    return r;
}

MacroGroupFile::Result MacroGroupFile::Import(MacroLibrary& library, const std::string& path) {
    Result r = Read(path);
    if (r.status != Status::kOk) return r;

    const std::size_t before = library.Groups().size();
    for (MacroGroup& group : r.groups) {
        group.name = UniqueName(library, group.name);
        library.Groups().push_back(group);
    }
    if (!library.Save()) {
        library.Groups().resize(before);
        r.status = Status::kNotSaved;
        r.groups.clear();
    }
    return r;
}

std::string MacroGroupFile::UniqueName(const MacroLibrary& library, const std::string& wanted) {
    const auto& groups = library.Groups();
    auto taken = [&](const std::string& name) {
        for (const MacroGroup& g : groups)
            if (g.name == name) return true;
        return false;
    };
    if (!wanted.empty() && !taken(wanted)) return wanted;
    const std::string prefix = wanted.empty() ? std::string("Group ") : wanted + " ";
    for (std::size_t n = groups.size();; ++n) {
        std::string candidate = prefix + std::to_string(n);
        if (!taken(candidate)) return candidate;
    }
}
