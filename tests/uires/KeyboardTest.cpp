// The keyboard picture's coordinate file: every key a real HID usage with its
// proper name, areas that a click can never hit twice, a complete full-size layout.
#include <gtest/gtest.h>

#include <QString>
#include <map>
#include <regex>
#include <set>

#include "UiresFiles.h"
#include "data/KeyNameTable.h"
#include "widgets/CoordButtonImage.h"

namespace {

struct Key {
    int id = -1;
    int va = -1;
    std::string name;
    int x = 0, y = 0, w = 0, h = 0;
    bool colorOk = false;
};

// The keys as the keyboard picture itself reads them.
std::vector<Key> Keys(int* width, int* height) {
    pugi::xml_document doc = uires::Load("keyboard/keyboard.xml");
    pugi::xml_node root = doc.child("positions");
    *width = root.attribute("width").as_int();
    *height = root.attribute("height").as_int();
    QVector<CoordButton> read;
    EXPECT_TRUE(CoordButtonImage::LoadKeys(QString::fromStdString(uires::Path("keyboard/keyboard.xml")), &read));
    // The colour text is checked as written: the widget takes anything
    // unreadable as white, which would hide a typo.
    std::vector<std::string> colors;
    for (pugi::xml_node n : root.children())
        if (n.type() == pugi::node_element) colors.push_back(n.attribute("color").value());
    EXPECT_EQ(colors.size(), static_cast<size_t>(read.size()));
    static const std::regex rrggbb("#[0-9A-Fa-f]{6}");
    std::vector<Key> out;
    for (int i = 0; i < read.size(); ++i) {
        const CoordButton& b = read[i];
        Key k;
        k.id = b.id;
        k.va = b.va;
        k.name = b.name.toStdString();
        k.x = b.left;
        k.y = b.top;
        k.w = b.right - b.left;
        k.h = b.bottom - b.top;
        const std::string& text = static_cast<size_t>(i) < colors.size() ? colors[i] : std::string();
        k.colorOk = std::regex_match(text, rrggbb) && b.color == std::stoul(text.substr(1), nullptr, 16);
        out.push_back(k);
    }
    return out;
}

}  // namespace

TEST(UiresKeyboard, EveryKeyIsAUsageWithItsName) {
    int width = 0, height = 0;
    const std::vector<Key> keys = Keys(&width, &height);
    ASSERT_FALSE(keys.empty());
    for (const Key& k : keys) {
        SCOPED_TRACE(k.name);
        EXPECT_TRUE(k.va == 7 || k.va == 12) << "usage page " << k.va;
        EXPECT_GT(k.id, 0);
        EXPECT_TRUE(k.colorOk) << "colour must be #rrggbb";
        const KeyNameEntry& entry = KeyNameTable::FindKey(std::uint16_t(k.id), std::uint16_t(k.va));
        EXPECT_STRNE(entry.name, "") << "usage " << k.id << " of page " << k.va << " has no name";
        EXPECT_EQ(k.name, entry.name) << "the key names table calls it " << entry.name;
    }
}

TEST(UiresKeyboard, AreasNeverOverlapAndStayOnThePicture) {
    int width = 0, height = 0;
    const std::vector<Key> keys = Keys(&width, &height);
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    for (size_t i = 0; i < keys.size(); ++i) {
        const Key& a = keys[i];
        EXPECT_GT(a.w, 0) << a.name;
        EXPECT_GT(a.h, 0) << a.name;
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.w <= width && a.y + a.h <= height)
            << a.name << " leaves the picture";
        for (size_t j = i + 1; j < keys.size(); ++j) {
            const Key& b = keys[j];
            const bool overlap = a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
            EXPECT_FALSE(overlap) << a.name << " and " << b.name;
        }
    }
}

TEST(UiresKeyboard, UsageIdsAreUniqueSinceThePictureMatchesByIdAlone) {
    // Marks and labels find "the first key whose id equals" the code's low 16 bits,
    // so a consumer key sharing a usage id with a keyboard key (Mute 0xE2 and Left
    // Alt) would mark the wrong key.
    int width = 0, height = 0;
    std::map<int, std::string> seen;
    for (const Key& k : Keys(&width, &height)) {
        auto [it, fresh] = seen.emplace(k.id, k.name);
        EXPECT_TRUE(fresh) << k.name << " shares id " << k.id << " with " << it->second;
    }
}

TEST(UiresKeyboard, HoldsTheFullSizeLayout) {
    // The 104 keys of a full-size ANSI keyboard, by keyboard-page usage.
    std::set<int> want;
    for (int u = 0x04; u <= 0x27; ++u) want.insert(u);  // letters and digits
    for (int u = 0x28; u <= 0x38; ++u)
        if (u != 0x32) want.insert(u);                  // Return .. slash, without the ISO key
    for (int u = 0x39; u <= 0x63; ++u) want.insert(u);  // Caps Lock, F keys, navigation, keypad
    want.insert(0x65);                                  // App
    for (int u = 0xE0; u <= 0xE7; ++u) want.insert(u);  // modifiers
    ASSERT_EQ(want.size(), 104u);

    int width = 0, height = 0;
    std::set<int> have;
    for (const Key& k : Keys(&width, &height))
        if (k.va == 7) have.insert(k.id);
    for (int u : want) EXPECT_TRUE(have.count(u)) << "usage 0x" << std::hex << u << " missing";
}
