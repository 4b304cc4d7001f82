// Both translations load and cover every text the layouts, menus and windows show;
// the Chinese one really is Chinese.
#include <gtest/gtest.h>

#include <set>

#include "UiresFiles.h"

namespace {

using Catalogue = std::map<std::string, std::map<std::string, std::string>>;  // context -> source -> translation

Catalogue Read(const std::string& file, std::string* languageName) {
    Catalogue out;
    pugi::xml_document doc = uires::Load("translator/" + file + ".xml");
    pugi::xml_node lang = doc.child("language");
    *languageName = lang.attribute("name").value();
    for (pugi::xml_node ctx : lang.children("context"))
        for (pugi::xml_node m : ctx.children("message"))
            out[ctx.attribute("name").value()][m.child("source").text().get()] = m.child("translation").text().get();
    return out;
}

bool HasLatinLetter(const std::string& s) {
    for (unsigned char c : s)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    return false;
}

// UTF-8 of U+4E00..U+9FFF starts with a byte E4..E9.
bool HasHan(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0xE4 && c <= 0xE9) return true;
    return false;
}

// Texts that stay as they are in Chinese: the language's own name, and file names.
bool StaysLatin(const std::string& s) { return s == "English"; }

struct Shown {
    std::string context;
    std::string text;
};

std::vector<Shown> EveryShownText() {
    std::vector<Shown> out;
    for (const char* layout : {"XML_MAINWND", "macro", "SYS_XML_MSGBOX"}) {
        pugi::xml_document doc = uires::Load(std::string("layout/") + layout + ".ui");
        for (const std::string& t : uires::LayoutTexts(doc)) out.push_back({layout, t});
    }
    for (const auto& [ctx, file] :
         {std::pair{"menu_tray", "smenu/menu_tray.xml"}, std::pair{"menu_more", "smenuex/menu_more.xml"}}) {
        pugi::xml_document doc = uires::Load(file);
        for (pugi::xml_node item : doc.child("menu").children("item"))
            out.push_back({ctx, item.attribute("text").value()});
    }
    // Texts the windows set themselves, in the context of the class that sets them.
    const Shown byCode[] = {
        {"CMainDlg", "Please insert USB device!"},
        {"CMainDlg", "Please insert USB device"},
        {"CMainDlg", "The firmware is already the latest version and no upgrade is required."},
        {"CMainDlg", "All settings will be restored, are you sure you want to continue?"},
        {"CMainDlg", "Warning"},
        {"CMainDlg", "Speed"},
        {"CMainDlg", "Brightness"},
        {"", "Firmware"},
        {"MacroRecordDlg", "Start record"},
        {"MacroRecordDlg", "Stop record"},
        {"KeyAndDelayAdapter", "key down"},
        {"KeyAndDelayAdapter", "replace"},
        {"MessageBox", "OK"},
        {"MessageBox", "Cancel"},
    };
    out.insert(out.end(), std::begin(byCode), std::end(byCode));
    return out;
}

}  // namespace

TEST(UiresTranslation, BothLoadUnderTheirNames) {
    for (const char* file : {"lang_en", "lang_cn"}) {
        std::string name;
        const Catalogue c = Read(file, &name);
        EXPECT_EQ(name, file);
        EXPECT_FALSE(c.empty()) << file;
    }
}

TEST(UiresTranslation, EveryShownTextIsCovered) {
    std::string name;
    const Catalogue en = Read("lang_en", &name);
    const Catalogue cn = Read("lang_cn", &name);
    for (const Shown& s : EveryShownText()) {
        SCOPED_TRACE("[" + s.context + "] " + s.text);
        if (!HasLatinLetter(s.text)) continue;  // symbols and numbers need no translation
        auto ce = en.find(s.context);
        ASSERT_NE(ce, en.end()) << "no English context";
        EXPECT_EQ(ce->second.count(s.text), 1u) << "not in lang_en";
        auto cc = cn.find(s.context);
        ASSERT_NE(cc, cn.end()) << "no Chinese context";
        auto m = cc->second.find(s.text);
        ASSERT_NE(m, cc->second.end()) << "not in lang_cn";
        EXPECT_FALSE(m->second.empty());
        if (!StaysLatin(s.text)) {
            EXPECT_TRUE(HasHan(m->second)) << "translated as " << m->second;
        }
    }
}

TEST(UiresTranslation, ChineseKeepsWhatTheEnglishHas) {
    // Every English message has a Chinese twin in the same context, so switching
    // languages never leaves a text behind.
    std::string name;
    const Catalogue en = Read("lang_en", &name);
    const Catalogue cn = Read("lang_cn", &name);
    for (const auto& [ctx, messages] : en)
        for (const auto& [source, translation] : messages) {
            EXPECT_EQ(translation, source) << "lang_en translates [" << ctx << "] " << source;
            EXPECT_TRUE(cn.count(ctx) && cn.at(ctx).count(source)) << "[" << ctx << "] " << source;
        }
}
