// The layouts hold every widget the windows look up, with the class each expects,
// and the lists and sliders agree with the tables behind them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "ExpectedWidgets.h"
#include "UiresFiles.h"

namespace {

using uires::Expected;
using uires::kWidgets;

// Classes that satisfy a lookup: the layout class or one derived from it.
bool Satisfies(const std::string& have, const std::string& want) {
    if (have == want) return true;
    static const std::set<std::pair<std::string, std::string>> derived = {{"checkex", "check"}, {"radioex", "radio"},
                                                                          {"editex", "edit"},   {"tabctrl2", "tabctrl"},
                                                                          {"page2", "page"},    {"imgbtn", "button"}};
    return derived.count({have, want}) > 0;
}

std::map<std::string, uires::LayoutWidget> WidgetsOf(const std::string& layout,
                                                     std::vector<std::string>* dups = nullptr) {
    static std::map<std::string, pugi::xml_document> docs;
    auto it = docs.find(layout);
    if (it == docs.end()) it = docs.emplace(layout, uires::Load("layout/" + layout + ".ui")).first;
    return uires::Widgets(it->second, dups);
}

}  // namespace

TEST(UiresLayout, EveryLookedUpWidgetHasItsClassAndPlace) {
    for (const Expected& e : kWidgets) {
        SCOPED_TRACE(std::string(e.layout) + ": " + e.name);
        const auto widgets = WidgetsOf(e.layout);
        auto it = widgets.find(e.name);
        ASSERT_NE(it, widgets.end()) << "missing";
        EXPECT_TRUE(Satisfies(it->second.cls, e.cls)) << "class " << it->second.cls << ", wanted " << e.cls;
        if (e.inside) {
            const auto& up = it->second.ancestors;
            EXPECT_NE(std::find(up.begin(), up.end(), e.inside), up.end()) << "not inside " << e.inside;
        }
    }
}

TEST(UiresLayout, NamesAreUniqueAndPagesAreInOrder) {
    for (const char* layout : {"XML_MAINWND", "macro", "SYS_XML_MSGBOX"}) {
        std::vector<std::string> dups;
        WidgetsOf(layout, &dups);
        // Row templates are cloned per row, so "template" may repeat; nothing else may.
        dups.erase(std::remove(dups.begin(), dups.end(), "template"), dups.end());
        EXPECT_TRUE(dups.empty()) << layout << " repeats " << (dups.empty() ? "" : dups.front());
    }
    // The page index is what the code selects: effect pages 0..3 and the four assignment kinds.
    auto pageOrder = [](const char* layout, const char* tabs) {
        std::vector<std::string> pages;
        const auto widgets = WidgetsOf(layout);
        for (pugi::xml_node c : widgets.at(tabs).node.children("widget")) pages.push_back(c.attribute("name").value());
        return pages;
    };
    EXPECT_EQ(pageOrder("XML_MAINWND", "tab_color_effect"),
              (std::vector<std::string>{"page_wave", "page_dynamic", "page_static", "page_loader"}));
    EXPECT_EQ(pageOrder("macro", "tab_macro_mode_selection"),
              (std::vector<std::string>{"page_macro", "page_single", "page_media", "page_function"}));
    for (pugi::xml_node c : WidgetsOf("macro").at("tab_macro_mode_selection").node.children("widget"))
        EXPECT_STREQ(c.attribute("class").value(), "page2") << "a tabctrl2 only takes page2 children";
}

TEST(UiresLayout, ListsAndSlidersMatchTheTables) {
    const auto main = WidgetsOf("XML_MAINWND");
    auto items = [](const uires::LayoutWidget& w) {
        return int(std::distance(w.node.children("item").begin(), w.node.children("item").end()));
    };
    EXPECT_EQ(items(main.at("cbx_color_effect")), 20);
    EXPECT_EQ(items(main.at("cbx_side_color_effect")), 12);
    EXPECT_GE(items(main.at("cbx_in_lv")), 1) << "the window selects its item 0";

    // Ranges inside what the tables keep when loading: speed 0..4, brightness 0..5, side level 0..7.
    struct Range {
        const char* name;
        int max;
    };
    for (const Range& r :
         {Range{"bar_general_speed_0", 4}, Range{"bar_general_speed_1", 4}, Range{"bar_general_speed_3", 4},
          Range{"bar_const_brightness_0", 5}, Range{"bar_const_brightness_1", 5}, Range{"bar_const_brightness_2", 5},
          Range{"bar_const_brightness_3", 5}, Range{"bar_side_brightness", 7}}) {
        SCOPED_TRACE(r.name);
        const pugi::xml_node n = main.at(r.name).node;
        EXPECT_EQ(uires::StringProp(n, "min"), "0");
        EXPECT_EQ(uires::StringProp(n, "max"), std::to_string(r.max));
    }

    // The window answers every press itself; a default marking would wipe the assignment marks.
    const pugi::xml_node kb = main.at("img_keyboard").node;
    EXPECT_EQ(uires::StringProp(kb, "type"), "0");
    EXPECT_EQ(uires::Resolve(uires::StringProp(kb, "crdxml")), "uires/keyboard/keyboard.xml");
    EXPECT_EQ(uires::StringProp(main.at("tray_icon").node, "menu"), "SMENU:menu_tray");

    // Play modes: only values that playback understands, one per entry.
    const auto dlg = WidgetsOf("macro");
    const pugi::xml_node play = dlg.at("macro_play_mode").node;
    std::vector<int> values;
    for (pugi::xml_node item : play.children("item")) {
        int value = -1;
        for (pugi::xml_node p : item.children("property"))
            if (std::string(p.attribute("name").value()) == "value") value = p.child("string").text().as_int(-1);
        EXPECT_TRUE(value == 2 || value == 3 || value == 4 || value == 5 || value == 6 || value == 8) << value;
        values.push_back(value);
    }
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), 2) << "the first entry plays the steps `repeat` times";
    EXPECT_EQ(std::set<int>(values.begin(), values.end()).size(), values.size()) << "two entries with one mode";
}

TEST(UiresLayout, DelaySwitchesAreOneExclusiveChoice) {
    // Radio boxes sharing one parent are exclusive; the dialog never unchecks the others.
    const auto dlg = WidgetsOf("macro");
    const auto& a = dlg.at("chk_macro_realy_delay");
    for (const char* n : {"chk_macro_fixed_delay", "chk_macro_no_delay"}) {
        EXPECT_EQ(dlg.at(n).ancestors.front(), a.ancestors.front()) << n;
        EXPECT_EQ(dlg.at(n).cls, a.cls);
    }
    // No other radio in that parent joins the group.
    int radios = 0;
    for (const auto& [name, w] : dlg)
        if (Satisfies(w.cls, "radio") && w.ancestors.front() == a.ancestors.front()) ++radios;
    EXPECT_EQ(radios, 3);
}

TEST(UiresLayout, ReferencedSkinsAndImagesExist) {
    std::map<std::string, pugi::xml_node> skins;
    pugi::xml_document skinDoc = uires::Load("values/skin.xml");
    for (pugi::xml_node s : skinDoc.child("skin").children("imgframe")) skins[s.attribute("name").value()] = s;
    ASSERT_FALSE(skins.empty());

    for (const char* layout : {"XML_MAINWND", "macro", "SYS_XML_MSGBOX"})
        for (const auto& [name, w] : WidgetsOf(layout))
            for (const char* attr : {"skin", "iconSkin", "ani_in", "ani_out", "tabSkin", "icons", "tabHeadBgSkin"}) {
                const std::string v = uires::StringProp(w.node, attr);
                if (v.empty()) continue;
                const bool isImage = v.find(':') != std::string::npos;
                EXPECT_TRUE(isImage || skins.count(v)) << layout << "/" << name << " " << attr << "=" << v;
            }
    for (const char* menu : {"smenu/menu_tray.xml", "smenuex/menu_more.xml"}) {
        pugi::xml_document doc = uires::Load(menu);
        for (pugi::xml_node item : doc.child("menu").children("item"))
            if (item.attribute("icon")) {
                // An image resource "img:NAME", or a skin name.
                const std::string icon = item.attribute("icon").value();
                const bool image = icon.rfind("img:", 0) == 0 &&
                                   std::filesystem::exists(uires::Path("img/" + icon.substr(4) + ".png"));
                EXPECT_TRUE(image || skins.count(icon)) << menu << " " << icon;
            }
    }
}
