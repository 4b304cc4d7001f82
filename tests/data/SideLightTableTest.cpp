#include "data/SideLightTable.h"

#include <optional>

#include <gtest/gtest.h>

#include "data/TempDir.h"

namespace {

class SideLightTableTest : public ::testing::Test {
protected:
    SideLightTable& table = SideLightTable::Instance();
    TempDir dir;
    void SetUp() override { table.ResetForTest(); }
    void TearDown() override { table.ResetForTest(); }
};

std::string ResetFile() {
    std::string s = "<?xml version=\"1.0\"?>\n<effect sel=\"0\">\n";
    for (int level : {4, 4, 4, 7, 7, 7, 7, 7, 7, 7, 7, 7})
        s += "\t<item brightness=\"" + std::to_string(level) + "\" />\n";
    return s + "</effect>\n";
}

TEST_F(SideLightTableTest, GoldenFileLoadsAndSavesTheSameBytes) {
    const std::string path = dir.File("sidemodel.xml");
    const std::string golden = ReadText(TestData("sidemodel.xml"));
    WriteText(path, golden);
    ASSERT_TRUE(table.Load(path));
    EXPECT_EQ(table.GetSelected(), 11);
    EXPECT_EQ(table.GetSlot(-1)->Brightness(), 4);
    ASSERT_TRUE(table.Save());
    EXPECT_EQ(ReadText(path), golden);
}

TEST_F(SideLightTableTest, MissingOrBrokenFileIsReplacedByResetValues) {
    const std::string tooLarge =
        "<effect sel=\"3\">" + std::string(SideLightTable::kFileLimits.maxBytes, ' ') + "</effect>";
    const std::optional<std::string> files[] = {std::nullopt, "<effect", "<a></b>", tooLarge};
    for (const auto& contents : files) {
        SCOPED_TRACE(contents ? contents->substr(0, 40) : "(missing)");
        const std::string path = dir.File("sidemodel.xml");
        std::remove(path.c_str());
        if (contents) WriteText(path, *contents);
        table.ResetForTest();
        table.SetSelected(5);
        EXPECT_FALSE(table.Load(path));
        EXPECT_EQ(ReadText(path), ResetFile());
        EXPECT_EQ(table.GetSelected(), 0);
    }
}

TEST_F(SideLightTableTest, LevelUsesTheLowNibbleAndKeepsTheOtherBits) {
    const struct {
        const char* value;
        int level;
    } cases[] = {
        {"8", 0}, {"7", 7}, {"19", 3}, {"24", 0}, {"-1", 0}, {"-9", 7}, {"x", 0}, {"  6;", 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        SideLightSlot* slot = table.GetSlot(0);
        slot->first = 0x5A;
        slot->second = 0xC3;
        ASSERT_TRUE(table.LoadFromBuffer(std::string("<effect><i brightness=\"") + c.value + "\"/></effect>"));
        EXPECT_EQ(slot->Brightness(), c.level);
        EXPECT_EQ(slot->first & 0x0F, 0x0A);
        EXPECT_EQ(slot->second, 0xC3);
    }
}

TEST_F(SideLightTableTest, ResetSetsLevelAndSecondByteBitZeroOnly) {
    SideLightSlot* slot = table.GetSlot(5);
    slot->first = 0x2B;
    slot->second = 0xFE;
    table.ResetToDefaults();
    EXPECT_EQ(slot->first, 0x7B);
    EXPECT_EQ(slot->second, 0xF1);
    EXPECT_EQ(table.GetSlot(1)->Brightness(), 4);
}

TEST_F(SideLightTableTest, SelClampAndChildLimit) {
    const struct {
        const char* sel;
        int expected;
    } cases[] = {{"12", 12}, {"13", 0}, {"11", 11}, {"-1", 0}};
    for (const auto& c : cases) {
        ASSERT_TRUE(table.LoadFromBuffer(std::string("<effect sel=\"") + c.sel + "\"/>"));
        EXPECT_EQ(table.GetSelected(), c.expected) << c.sel;
    }
    ASSERT_TRUE(table.LoadFromBuffer("<effect sel=\"12\"/>"));
    EXPECT_EQ(table.GetSlot(-1), nullptr);
    EXPECT_EQ(table.GetSlot(12), nullptr);

    std::string items;
    for (int i = 0; i < 14; ++i) items += "<item brightness=\"" + std::to_string(i % 8) + "\"/>";
    ASSERT_TRUE(table.LoadFromBuffer("<effect>" + items + "</effect>"));
    EXPECT_EQ(table.GetSlot(11)->Brightness(), 3);
    EXPECT_TRUE(table.LoadFromBuffer(""));
    EXPECT_EQ(table.GetSlot(11)->Brightness(), 3);
}

}  // namespace
