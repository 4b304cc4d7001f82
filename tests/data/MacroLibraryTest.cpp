#include "data/MacroLibrary.h"

#include <gtest/gtest.h>

#include "data/TempDir.h"

namespace {

class MacroLibraryTest : public ::testing::Test {
protected:
    MacroLibrary& lib = MacroLibrary::Instance();
    TempDir dir;
    void SetUp() override { lib.ResetForTest(); }
    void TearDown() override { lib.ResetForTest(); }
};

TEST_F(MacroLibraryTest, GoldenFileLoadsAndSavesTheSameBytes) {
    const std::string path = dir.File("macro.xml");
    const std::string golden = ReadText(TestData("macro.xml"));
    WriteText(path, golden);
    ASSERT_TRUE(lib.Load(path));
    const MacroRecordConfig& c = lib.Config();
    EXPECT_EQ(c.type, 3);
    EXPECT_EQ(c.mode, 1);
    EXPECT_EQ(c.delay, 25);
    EXPECT_EQ(c.group, -1);
    EXPECT_EQ(c.skcode, 0x70004);
    ASSERT_EQ(lib.Groups().size(), 3u);
    EXPECT_EQ(lib.Groups()[1].name, "");
    EXPECT_EQ(lib.Groups()[2].name, "\xe8\xbf\x9e\xe6\x8b\x9b & \"combo\" <1>");
    EXPECT_EQ(lib.Groups()[0].steps[1], (MacroStep{0x70004, 0, -1, "A"}));
    ASSERT_TRUE(lib.Save());
    EXPECT_EQ(ReadText(path), golden);
}

TEST_F(MacroLibraryTest, FreshLibrarySavesDefaults) {
    const std::string path = dir.File("macro.xml");
    EXPECT_FALSE(lib.Load(path));  // missing: nothing written
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(lib.Save());
    EXPECT_EQ(ReadText(path),
              "<?xml version=\"1.0\"?>\n"
              "<config type=\"0\" repeat=\"1\" mode=\"0\" delay=\"10\" media=\"0\" function=\"0\" "
              "group=\"0\" skcode=\"0\" play=\"0\" />\n"
              "<macro />\n");
}

TEST_F(MacroLibraryTest, ConfigElementRules) {
    // Without "config" the current choices stay.
    lib.Config().repeat = 7;
    ASSERT_TRUE(lib.LoadFromBuffer("<macro><g name=\"a\"/></macro>"));
    EXPECT_EQ(lib.Config().delay, 10);
    EXPECT_EQ(lib.Config().repeat, 7);
    EXPECT_EQ(lib.Groups().size(), 1u);

    // With it, every absent attribute is 0; "macro" missing leaves no groups.
    ASSERT_TRUE(lib.LoadFromBuffer("<config mode=\" 2\" group=\"-1\" play=\"3z\"/>"));
    EXPECT_EQ(lib.Config(), (MacroRecordConfig{0, 0, 0, 2, 0, 0, 0, -1, 0, 3, 0}));
    EXPECT_TRUE(lib.Groups().empty());

    // The order of the top-level elements does not matter, nor do extra ones.
    ASSERT_TRUE(lib.LoadFromBuffer("<x/><macro><a/></macro><y/><config delay=\"40\"/>"));
    EXPECT_EQ(lib.Config().delay, 40);
    EXPECT_EQ(lib.Groups().size(), 1u);
}

TEST_F(MacroLibraryTest, GroupsAndStepsAreReadByPosition) {
    ASSERT_TRUE(
        lib.LoadFromBuffer("<macro>"
                           "<one name=\"same\"><s code=\"-1\" state=\"1\" delay=\"5ms\"/><t/></one>"
                           "<two name=\"same\"/>"
                           "</macro>"));
    ASSERT_EQ(lib.Groups().size(), 2u);
    EXPECT_EQ(lib.Groups()[0].name, "same");
    EXPECT_EQ(lib.Groups()[1].name, "same");
    ASSERT_EQ(lib.Groups()[0].steps.size(), 2u);
    EXPECT_EQ(lib.Groups()[0].steps[0], (MacroStep{-1, 1, 5, ""}));
    EXPECT_EQ(lib.Groups()[0].steps[1], (MacroStep{0, 0, 0, ""}));
}

TEST_F(MacroLibraryTest, BrokenFileKeepsEverything) {
    const std::string path = dir.File("macro.xml");
    ASSERT_TRUE(lib.AddGroup() == false);  // no path yet: the save fails, the group stays
    WriteText(path, "<macro><group name=\"x\">");
    lib.Config().delay = 99;
    EXPECT_FALSE(lib.Load(path));
    EXPECT_EQ(lib.Groups().size(), 1u);
    EXPECT_EQ(lib.Config().delay, 99);
    EXPECT_EQ(ReadText(path), "<macro><group name=\"x\">");

    // An empty file parses: groups go, the configuration stays.
    WriteText(path, "");
    EXPECT_TRUE(lib.Load(path));
    EXPECT_TRUE(lib.Groups().empty());
    EXPECT_EQ(lib.Config().delay, 99);
}

// `groups` groups holding `steps` steps between them, and a configuration.
std::string MacroFile(size_t groups, size_t steps) {
    std::string s = "<config delay=\"7\"/><macro>";
    for (size_t g = 0; g < groups; ++g) {
        s += "<group name=\"G" + std::to_string(g) + "\">";
        for (size_t i = g; i < steps; i += groups) s += "<item code=\"458798\" state=\"1\" delay=\"9\" name=\"=\"/>";
        s += "</group>\n";
    }
    return s + "</macro>";
}

std::string Repeat(const std::string& unit, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += unit;
    return s;
}

TEST_F(MacroLibraryTest, FilesBeyondTheLimitsAreBrokenAndKeptAsTheyAre) {
    constexpr size_t kGroups = MacroLibrary::kMaxGroups, kSteps = MacroLibrary::kMaxSteps;
    constexpr XmlLimits kLimits = MacroLibrary::kFileLimits;
    const std::string path = dir.File("macro.xml");
    WriteText(path, MacroFile(kGroups, kSteps));
    ASSERT_TRUE(lib.Load(path));
    EXPECT_EQ(lib.Groups().size(), kGroups);
    EXPECT_EQ(lib.StepCount(), kSteps);

    const struct {
        const char* what;
        std::string contents;
    } cases[] = {
        {"a group too many", MacroFile(kGroups + 1, kSteps)},
        {"a step too many", MacroFile(kGroups, kSteps + 1)},
        {"too large", MacroFile(1, 1) + std::string(kLimits.maxBytes, ' ')},
        {"too many tags", MacroFile(1, 1) + Repeat("<!---->", kLimits.maxTags)},
        {"too many attributes", "<macro><g" + Repeat(" a=\"\"", kLimits.maxAttributes + 1) + "/></macro>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        lib.ResetForTest();
        lib.Groups().push_back(MacroGroup{"kept", {}});
        WriteText(path, c.contents);
        EXPECT_FALSE(lib.Load(path));
        ASSERT_EQ(lib.Groups().size(), 1u);
        EXPECT_EQ(lib.Groups()[0].name, "kept");
        EXPECT_EQ(lib.Config().delay, 10);  // the "config" element was not read either
        EXPECT_EQ(ReadText(path), c.contents);
    }
}

// What the library saves must load again, so it stops growing at the limits.
TEST_F(MacroLibraryTest, AddGroupAndAddStepStopAtTheLimits) {
    const std::string path = dir.File("macro.xml");
    WriteText(path, MacroFile(MacroLibrary::kMaxGroups, MacroLibrary::kMaxSteps));
    ASSERT_TRUE(lib.Load(path));
    const std::string before = ReadText(path);
    EXPECT_FALSE(lib.AddGroup());
    EXPECT_FALSE(lib.AddStep(0, MacroStep{0x70004, 1, 10, "A"}));
    EXPECT_FALSE(lib.AddStep(lib.Groups().back(), MacroStep{0x70004, 1, 10, "A"}));
    EXPECT_EQ(lib.Groups().size(), MacroLibrary::kMaxGroups);
    EXPECT_EQ(lib.StepCount(), MacroLibrary::kMaxSteps);
    EXPECT_EQ(ReadText(path), before);

    ASSERT_TRUE(lib.DeleteGroup(0));  // frees a group and its steps
    EXPECT_TRUE(lib.AddStep(0, MacroStep{0x70004, 1, 10, "A"}));
    EXPECT_TRUE(lib.AddGroup());
    ASSERT_TRUE(lib.Save());
    EXPECT_TRUE(lib.Load(path));
}

TEST_F(MacroLibraryTest, AddGroupPicksTheFirstFreeNameFromTheCount) {
    lib.Load(dir.File("macro.xml"));
    auto names = [&] {
        std::vector<std::string> out;
        for (const MacroGroup& g : lib.Groups()) out.push_back(g.name);
        return out;
    };
    ASSERT_TRUE(lib.AddGroup());
    ASSERT_TRUE(lib.AddGroup());
    EXPECT_EQ(names(), (std::vector<std::string>{"Group 0", "Group 1"}));
    ASSERT_TRUE(lib.DeleteGroup(0));
    ASSERT_TRUE(lib.AddGroup());  // n starts at 1, which is taken
    EXPECT_EQ(names(), (std::vector<std::string>{"Group 1", "Group 2"}));
    ASSERT_TRUE(lib.RenameGroup(0, "Group 3"));
    ASSERT_TRUE(lib.AddGroup());  // "Group 2" and "Group 3" taken
    EXPECT_EQ(names(), (std::vector<std::string>{"Group 3", "Group 2", "Group 4"}));
    EXPECT_NE(ReadText(dir.File("macro.xml")).find("<group name=\"Group 4\" />"), std::string::npos);
}

TEST_F(MacroLibraryTest, DeleteAndRenameCheckIndexAndName) {
    const std::string path = dir.File("macro.xml");
    lib.Load(path);
    lib.AddGroup();
    const std::string saved = ReadText(path);
    lib.Config().repeat = 42;  // would show up in the file on any save
    EXPECT_FALSE(lib.DeleteGroup(1));
    EXPECT_FALSE(lib.DeleteGroup(-1));
    EXPECT_FALSE(lib.RenameGroup(0, "Group 0"));
    EXPECT_FALSE(lib.RenameGroup(1, "x"));
    EXPECT_EQ(ReadText(path), saved);
    EXPECT_TRUE(lib.RenameGroup(0, "group 0"));
    EXPECT_NE(ReadText(path).find("repeat=\"42\""), std::string::npos);
}

TEST_F(MacroLibraryTest, ResetAndAddStepDoNotSave) {
    const std::string path = dir.File("macro.xml");
    lib.Load(path);
    lib.AddGroup();
    const std::string saved = ReadText(path);
    EXPECT_TRUE(lib.AddStep(0, MacroStep{0x70004, 1, 10, "A"}));
    EXPECT_FALSE(lib.AddStep(1, MacroStep{}));
    EXPECT_EQ(lib.Groups()[0].steps.size(), 1u);
    lib.Config().delay = 3;
    lib.ResetToDefaults();
    EXPECT_EQ(ReadText(path), saved);
    EXPECT_TRUE(lib.Groups().empty());
    EXPECT_EQ(lib.Config(), MacroRecordConfig{});
}

}  // namespace
