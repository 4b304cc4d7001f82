#include "app/AppConfig.h"

#include <gtest/gtest.h>

#include "data/TempDir.h"

namespace {

using Pairs = std::vector<std::pair<std::int32_t, std::int32_t>>;

class AppConfigTest : public ::testing::Test {
protected:
    AppConfig& config = AppConfig::Instance();
    TempDir dir;
    void SetUp() override { config.ResetForTest(); }
    void TearDown() override { config.ResetForTest(); }

    bool LoadText(const std::string& text) {
        WriteText(dir.File("config.xml"), text);
        return config.Load(dir.File("config.xml"));
    }
};

TEST_F(AppConfigTest, ReadsEveryTopLevelElement) {
    ASSERT_TRUE(config.Load(TestData("config.xml")));
    EXPECT_TRUE(config.chineseUi);
    EXPECT_EQ(config.vid, 0x1A2C);
    EXPECT_EQ(config.pid, 0x7080);
    EXPECT_EQ(config.interface, 2);
    EXPECT_EQ(config.subdevice, 0);

    ASSERT_EQ(config.funkeys.size(), 3u);  // nameless children left out, order kept
    EXPECT_EQ(config.funkeys[0].name, "Calculator");
    EXPECT_EQ(config.funkeys[0].code, 0xC0192u);
    EXPECT_EQ(config.funkeys[0].path, "calc");
    EXPECT_EQ(config.funkeys[0].argm, "-x");
    EXPECT_EQ(config.funkeys[1].name, "\xe6\x92\xad\xe6\x94\xbe");
    EXPECT_EQ(config.funkeys[1].code, 0xC00CDu);
    EXPECT_EQ(config.funkeys[1].path, "");
    EXPECT_EQ(config.funkeys[2].code, 0xFFFFFFFFu);

    ASSERT_EQ(config.combkeys.size(), 6u);
    EXPECT_EQ(config.combkeys[0].keys, (Pairs{{224, 20}, {6, 20}}));
    EXPECT_EQ(config.combkeys[1].keys, (Pairs{{224, 10}, {6, 10}}));
    EXPECT_EQ(config.combkeys[2].keys, (Pairs{{6, 0}}));
    EXPECT_TRUE(config.combkeys[3].keys.empty());
    EXPECT_EQ(config.combkeys[4].name, "NoCode");
    EXPECT_TRUE(config.combkeys[4].keys.empty());
    EXPECT_EQ(config.combkeys[5].name, "");
    EXPECT_EQ(config.combkeys[5].keys, (Pairs{{458976, 5}, {0, 7}, {1, 2}, {0, 4}, {0, 0}, {-3, -4}}));
}

TEST_F(AppConfigTest, Utf16FileIsDetected) {
    ASSERT_TRUE(config.Load(TestData("config-utf16.xml")));
    EXPECT_TRUE(config.chineseUi);
    ASSERT_EQ(config.funkeys.size(), 1u);
    EXPECT_EQ(config.funkeys[0].name, "\xe5\xae\x8f");
}

TEST_F(AppConfigTest, LanguageIsChineseOnlyForExactlyCn) {
    for (const char* language : {"CN", "zh", "en", " cn", "cn ", ""}) {
        config.ResetForTest();
        ASSERT_TRUE(LoadText(std::string("<local language=\"") + language + "\"/>"));
        EXPECT_FALSE(config.chineseUi) << language;
    }
    config.ResetForTest();
    ASSERT_TRUE(LoadText("<local/>"));
    EXPECT_FALSE(config.chineseUi);
}

TEST_F(AppConfigTest, ElementsMustBeTopLevel) {
    ASSERT_TRUE(
        LoadText("<root><local language=\"cn\"/><usb vid=\"1\"/><funkey><k name=\"a\"/></funkey>"
                 "<combkey><k name=\"b\"/></combkey></root>"));
    EXPECT_FALSE(config.chineseUi);
    EXPECT_EQ(config.vid, 0);
    EXPECT_TRUE(config.funkeys.empty());
    EXPECT_TRUE(config.combkeys.empty());
}

TEST_F(AppConfigTest, UsbIdsAreSignedHexClampedAt32Bits) {
    ASSERT_TRUE(LoadText("<usb vid=\"80000000\" pid=\"-0x10\" interface=\"7fffffff\" subdevice=\"12g4\"/>"));
    EXPECT_EQ(config.vid, 0x7FFFFFFF);
    EXPECT_EQ(config.pid, -16);
    EXPECT_EQ(config.interface, 0x7FFFFFFF);
    EXPECT_EQ(config.subdevice, 0x12);
}

TEST_F(AppConfigTest, MissingOrBrokenFileKeepsDefaults) {
    EXPECT_FALSE(config.Load(dir.File("none.xml")));
    EXPECT_FALSE(config.Load(""));
    EXPECT_FALSE(LoadText("<local language=\"cn\"><usb"));
    EXPECT_FALSE(config.chineseUi);
    EXPECT_TRUE(LoadText(""));
    EXPECT_FALSE(config.chineseUi);
    EXPECT_TRUE(config.funkeys.empty());
}

TEST_F(AppConfigTest, SecondLoadAppends) {
    const std::string text = "<funkey><k name=\"a\" code=\"1\"/></funkey><combkey><k name=\"b\"/></combkey>";
    ASSERT_TRUE(LoadText(text));
    ASSERT_TRUE(LoadText(text));
    EXPECT_EQ(config.funkeys.size(), 2u);
    EXPECT_EQ(config.combkeys.size(), 2u);
    // A broken second file changes nothing, the kept document included.
    EXPECT_FALSE(LoadText("<"));
    EXPECT_EQ(config.funkeys.size(), 2u);
    EXPECT_TRUE(config.document.child("funkey"));
}

}  // namespace
