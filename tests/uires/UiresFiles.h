#pragma once
// Reading the files of the uires folder for the resource checks.
#include <pugixml.hpp>

#include <map>
#include <string>
#include <vector>

namespace uires {

inline std::string Path(const std::string& rel) { return std::string(KBCONF_SOURCE_DIR "/uires/") + rel; }

// Parsed document; an empty one (no children) when the file is missing or broken.
inline pugi::xml_document Load(const std::string& rel) {
    pugi::xml_document doc;
    doc.load_file(Path(rel).c_str());
    return doc;
}

// A widget of a layout: its class and the names of the widgets above it, nearest first.
struct LayoutWidget {
    std::string cls;
    pugi::xml_node node;
    std::vector<std::string> ancestors;
};

inline std::string StringProp(const pugi::xml_node& widget, const char* name) {
    for (pugi::xml_node p : widget.children("property"))
        if (std::string(p.attribute("name").value()) == name) return p.child("string").text().get();
    return {};
}

inline bool HasStringProp(const pugi::xml_node& widget, const char* name) {
    for (pugi::xml_node p : widget.children("property"))
        if (std::string(p.attribute("name").value()) == name && p.child("string")) return true;
    return false;
}

// Every named widget of a layout document; names that occur twice are collected in dups.
inline std::map<std::string, LayoutWidget> Widgets(const pugi::xml_document& doc,
                                                   std::vector<std::string>* dups = nullptr) {
    std::map<std::string, LayoutWidget> out;
    for (pugi::xpath_node xn : doc.select_nodes("//widget")) {
        pugi::xml_node w = xn.node();
        LayoutWidget lw{w.attribute("class").value(), w, {}};
        for (pugi::xml_node up = w.parent(); up; up = up.parent())
            if (std::string(up.name()) == "widget") lw.ancestors.push_back(up.attribute("name").value());
        const std::string name = w.attribute("name").value();
        if (!out.emplace(name, lw).second && dups) dups->push_back(name);
    }
    return out;
}

// The string table, in file order.
inline std::vector<std::pair<std::string, std::string>> StringTable() {
    std::vector<std::pair<std::string, std::string>> out;
    pugi::xml_document doc = Load("values/string.xml");
    for (pugi::xml_node i : doc.child("string").children("item"))
        out.emplace_back(i.attribute("name").value(), i.attribute("value").value());
    return out;
}

// "@string/NAME" resolved through the string table; other text unchanged.
inline std::string Resolve(const std::string& text) {
    if (text.rfind("@string/", 0) != 0) return text;
    for (const auto& [name, value] : StringTable())
        if (name == text.substr(8)) return value;
    return text;
}

// The texts a layout shows (and the loader translates in the layout's context):
// text, title, windowTitle, toolTip and tip properties, list headers and combo box items.
inline std::vector<std::string> LayoutTexts(const pugi::xml_document& doc) {
    std::vector<std::string> out;
    for (pugi::xpath_node xn : doc.select_nodes("//widget")) {
        pugi::xml_node w = xn.node();
        for (const char* prop : {"text", "title", "windowTitle", "toolTip", "tip"}) {
            const std::string t = Resolve(StringProp(w, prop));
            if (!t.empty()) out.push_back(t);
        }
        std::string headers = StringProp(w, "headers");
        for (size_t start = 0; !headers.empty() && start <= headers.size();) {
            const size_t bar = headers.find('|', start);
            const std::string h = headers.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
            if (!h.empty()) out.push_back(h);
            if (bar == std::string::npos) break;
            start = bar + 1;
        }
        for (pugi::xml_node item : w.children("item"))
            for (pugi::xml_node p : item.children("property"))
                if (std::string(p.attribute("name").value()) == "text") out.push_back(p.child("string").text().get());
    }
    return out;
}

}  // namespace uires
