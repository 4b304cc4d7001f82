// Tables, menus and the global definitions the start-up and the windows read.
#include <gtest/gtest.h>

#include <set>

#include "UiresFiles.h"

TEST(UiresTables, StringTableStartsWithTheInstanceName) {
    const auto table = uires::StringTable();
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(table.front().first, "instanceName");
    EXPECT_FALSE(table.front().second.empty());
    std::set<std::string> names;
    for (const auto& [name, value] : table) EXPECT_TRUE(names.insert(name).second) << name << " twice";
}

TEST(UiresTables, ColoursAreHexTriplets) {
    pugi::xml_document doc = uires::Load("values/color.xml");
    int count = 0;
    for (pugi::xml_node i : doc.child("color").children("item")) {
        const std::string v = i.attribute("value").value();
        ++count;
        EXPECT_TRUE(v.size() == 7 && v[0] == '#' &&
                    v.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos)
            << i.attribute("name").value() << "=" << v;
    }
    EXPECT_GT(count, 0);
}

TEST(UiresTables, MenusCarryOnlyCommandsTheWindowServes) {
    // Any id but 1 (upgrade check) and 6 (exit) would be an item that does nothing.
    for (const char* file : {"smenu/menu_tray.xml", "smenuex/menu_more.xml"}) {
        SCOPED_TRACE(file);
        pugi::xml_document doc = uires::Load(file);
        ASSERT_TRUE(doc.child("menu"));
        std::set<int> ids;
        for (pugi::xml_node item : doc.child("menu").children("item")) {
            EXPECT_FALSE(std::string(item.attribute("text").value()).empty());
            ids.insert(item.attribute("id").as_int());
        }
        EXPECT_EQ(ids, (std::set<int>{1, 6}));
    }
}

TEST(UiresTables, UiDefNamesAStyleSheetThatExists) {
    pugi::xml_document doc = uires::Load("uidef/XML_INIT.xml");
    pugi::xml_node def = doc.child("uidef");
    ASSERT_TRUE(def);
    EXPECT_FALSE(std::string(def.child("font").attribute("face").value()).empty());
    const std::string style = def.child("style").attribute("src").value();
    ASSERT_FALSE(style.empty());
    FILE* f = std::fopen(uires::Path(style).c_str(), "rb");
    EXPECT_NE(f, nullptr) << style;
    if (f) std::fclose(f);
}
