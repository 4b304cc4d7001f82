#include "data/LedEffectTable.h"

#include <optional>

#include <gtest/gtest.h>

#include "data/FileSizeLimit.h"
#include "data/TempDir.h"

namespace {

std::string ResetFile() {
    std::string s = "<?xml version=\"1.0\"?>\n<effect sel=\"20\">\n";
    for (int i = 0; i < 20; ++i) s += "\t<item speed=\"0\" brightness=\"5\" deriction=\"0\" selection=\"0\" />\n";
    return s + "</effect>\n";
}

std::string Effect(const std::string& attrs, const std::string& children) {
    return "<effect " + attrs + ">" + children + "</effect>";
}

class LedEffectTableTest : public ::testing::Test {
protected:
    LedEffectTable& table = LedEffectTable::Instance();
    TempDir dir;
    void SetUp() override { table.ResetForTest(); }
    void TearDown() override { table.ResetForTest(); }
};

TEST_F(LedEffectTableTest, GoldenFileLoadsAndSavesTheSameBytes) {
    const std::string path = dir.File("ledeffect.xml");
    const std::string golden = ReadText(TestData("ledeffect.xml"));
    WriteText(path, golden);
    ASSERT_TRUE(table.Load(path));
    EXPECT_EQ(table.GetSelected(), 7);
    EXPECT_EQ(*table.GetSlot(-1), (LedEffectSlot{3, 2, 1, 3}));  // brightness, speed, deriction, selection
    ASSERT_TRUE(table.Save());
    EXPECT_EQ(ReadText(path), golden);
}

TEST_F(LedEffectTableTest, MissingOrBrokenFileIsReplacedByResetValues) {
    // Well-formed files beyond the limits are broken as well.
    const std::string tooLarge = Effect("sel=\"3\"", std::string(LedEffectTable::kFileLimits.maxBytes, ' '));
    std::string tooManyTags;
    for (size_t i = 0; i < LedEffectTable::kFileLimits.maxTags; ++i) tooManyTags += "<!---->";
    const std::optional<std::string> files[] = {
        std::nullopt, "<effect sel=\"3\"><item", "\xff\xfe garbage <", tooLarge, Effect("sel=\"3\"", tooManyTags),
    };
    for (const auto& contents : files) {
        SCOPED_TRACE(contents ? contents->substr(0, 40) : "(missing)");
        const std::string path = dir.File("ledeffect.xml");
        std::remove(path.c_str());
        if (contents) WriteText(path, *contents);
        table.ResetForTest();
        table.GetSlot(0)->speed = 3;
        EXPECT_FALSE(table.Load(path));
        EXPECT_EQ(ReadText(path), ResetFile());
        EXPECT_EQ(table.GetSelected(), 20);
        EXPECT_EQ(table.GetSlot(-1), nullptr);
        EXPECT_EQ(*table.GetSlot(0), (LedEffectSlot{5, 0, 0, 0}));
        EXPECT_EQ(table.Path(), path);
    }
}

TEST_F(LedEffectTableTest, ByteOrderMarkAndCrLfAreReadButNeverWritten) {
    const std::string path = dir.File("ledeffect.xml");
    WriteText(path,
              "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<effect sel=\"2\">\r\n"
              "\t<item speed=\"1\"/>\r\n</effect>\r\n");
    ASSERT_TRUE(table.Load(path));
    EXPECT_EQ(table.GetSelected(), 2);
    EXPECT_EQ(table.GetSlot(0)->speed, 1);
    ASSERT_TRUE(table.Save());
    const std::string text = ReadText(path);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?>\n<effect sel=\"2\">\n", 0), 0u) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST_F(LedEffectTableTest, EmptyPathChangesNothing) {
    table.GetSlot(4)->speed = 2;
    EXPECT_FALSE(table.Load(""));
    EXPECT_EQ(table.GetSlot(4)->speed, 2);
    EXPECT_FALSE(table.Save());  // nowhere to save to yet
}

TEST_F(LedEffectTableTest, FileWithoutEffectRootParsesAndOnlyResetsSel) {
    for (const char* contents : {"", "<other sel=\"5\"><item speed=\"1\"/></other>"}) {
        SCOPED_TRACE(contents);
        table.ResetForTest();
        table.SetSelected(9);
        table.GetSlot(0)->speed = 3;
        EXPECT_TRUE(table.LoadFromBuffer(contents));
        EXPECT_EQ(table.GetSelected(), 0);
        EXPECT_EQ(table.GetSlot(0)->speed, 3);
    }
}

TEST_F(LedEffectTableTest, SelIsClampedAsUnsigned) {
    const struct {
        const char* attr;
        int sel;
    } cases[] = {
        {"sel=\"20\"", 20}, {"sel=\"21\"", 0}, {"sel=\"19\"", 19},        {"sel=\" +4x\"", 4}, {"sel=\"-1\"", 0},
        {"sel=\"abc\"", 0}, {"", 0},           {"sel=\"4294967316\"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attr);
        ASSERT_TRUE(table.LoadFromBuffer(Effect(c.attr, "")));
        EXPECT_EQ(table.GetSelected(), c.sel);
    }
    ASSERT_TRUE(table.LoadFromBuffer(Effect("sel=\"20\"", "")));
    EXPECT_EQ(table.GetSlot(-1), nullptr);
}

TEST_F(LedEffectTableTest, SlotFieldsUseTheLowByteThenTheClamps) {
    const struct {
        const char* item;
        LedEffectSlot slot;
    } cases[] = {
        {R"(<item speed="9" brightness="6" deriction="2"/>)", {5, 4, 0, 1}},
        {R"(<item speed="4" brightness="5" deriction="1" selection="255"/>)", {5, 4, 1, 255}},
        {R"(<item brightness="261"/>)", {5, 0, 0, 1}},
        {R"(<item brightness="256" selection="257"/>)", {0, 0, 0, 1}},
        {R"(<item speed="-1" brightness="-252" deriction="257" selection="-1"/>)", {4, 4, 1, 255}},
        {R"(<item speed=" 3 " brightness="2abc" deriction="x" selection=""/>)", {2, 3, 0, 0}},
        {R"(<item/>)", {0, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        ASSERT_TRUE(table.LoadFromBuffer(Effect("sel=\"0\"", c.item)));
        EXPECT_EQ(*table.GetSlot(0), c.slot);
    }
}

TEST_F(LedEffectTableTest, ChildrenAreReadByPositionUpToTwenty) {
    std::string many;
    for (int i = 0; i < 25; ++i) many += "<x" + std::to_string(i) + " speed=\"" + std::to_string(i % 5) + "\"/>";
    ASSERT_TRUE(table.LoadFromBuffer(Effect("sel=\"1\"", "text<!-- c -->" + many)));
    for (int i = 0; i < 20; ++i) EXPECT_EQ(table.GetSlot(i)->speed, i % 5) << i;
    EXPECT_EQ(table.GetSlot(20), nullptr);
    EXPECT_EQ(table.GetSlot(-2), nullptr);

    // Three children: the rest keep what they held.
    ASSERT_TRUE(table.LoadFromBuffer(Effect("sel=\"1\"", "<a/><b/><c/>")));
    EXPECT_EQ(table.GetSlot(2)->speed, 0);
    EXPECT_EQ(table.GetSlot(3)->speed, 3);
    EXPECT_EQ(table.GetSlot(19)->speed, 4);
}

TEST_F(LedEffectTableTest, SaveWritesAttributesInFixedOrder) {
    const std::string path = dir.File("ledeffect.xml");
    WriteText(path, Effect("sel=\"2\"", R"(<item selection="7" deriction="1" brightness="3" speed="2"/>)"));
    ASSERT_TRUE(table.Load(path));
    ASSERT_TRUE(table.Save());
    const std::string text = ReadText(path);
    EXPECT_NE(
        text.find("<effect sel=\"2\">\n\t<item speed=\"2\" brightness=\"3\" deriction=\"1\" selection=\"7\" />\n"),
        std::string::npos)
        << text;
}

TEST_F(LedEffectTableTest, ChangesAreSavedAndUncheckedSelIsWritten) {
    const std::string path = dir.File("ledeffect.xml");
    table.Load(path);  // creates the reset file
    ASSERT_TRUE(table.SetSelected(-5));
    EXPECT_NE(ReadText(path).find("<effect sel=\"-5\">"), std::string::npos);
    EXPECT_EQ(table.GetSlot(-1), nullptr);
    ASSERT_TRUE(table.SetSelected(3));
    table.GetSlot(-1)->brightness = 1;
    ASSERT_TRUE(table.Save());
    ASSERT_TRUE(table.ResetToDefaults());
    EXPECT_EQ(ReadText(path), ResetFile());
}

TEST_F(LedEffectTableTest, FailedSaveKeepsMemoryAndTheOldFile) {
    const std::string path = dir.File("ledeffect.xml");
    ASSERT_FALSE(table.Load(path));  // writes the reset file
    ASSERT_EQ(ReadText(path), ResetFile());
    bool saved = true;
    {
        FileSizeLimit limit(100);  // the disk fills up part way through the save
        ASSERT_TRUE(limit.active());
        saved = table.SetSelected(4);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(table.GetSelected(), 4);
    EXPECT_EQ(ReadText(path), ResetFile());
    EXPECT_EQ(dir.EntryCount(), 1u);

    // A folder where the file was: every save fails, the folder stays.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(table.SetSelected(5));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

}  // namespace
