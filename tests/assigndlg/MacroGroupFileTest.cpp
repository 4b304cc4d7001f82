#include "data/MacroGroupFile.h"

#include <gtest/gtest.h>

#include "data/MacroLibrary.h"
#include "data/TempDir.h"

namespace {

using Status = MacroGroupFile::Status;

MacroGroup Sample() {
    return MacroGroup{"Combo & <more>",
                      {{0x00070004, 1, 50, "A"}, {0x00070004, 0, 12, "A"}, {0x000C00CD, 1, 0, "Play Pause"}}};
}

struct GroupFile : ::testing::Test {
    TempDir dir;
    MacroLibrary library;
    void SetUp() override {
        ASSERT_TRUE(library.LoadFromBuffer(
            "<config group=\"0\"/><macro><group name=\"Group 0\"><item code=\"458756\" state=\"1\"/></group>"
            "<group name=\"Combo &amp; &lt;more&gt;\"/></macro>"));
        library.Load(dir.File("macro.xml"));  // sets the path; the file does not exist yet
        ASSERT_TRUE(library.Save());
    }
};

TEST_F(GroupFile, ExportWritesOneGroupInTheLibraryForm) {
    const std::string path = dir.File("combo.xml");
    ASSERT_TRUE(MacroGroupFile::Write(Sample(), path));
    EXPECT_EQ(ReadText(path),
              "<?xml version=\"1.0\"?>\n"
              "<group name=\"Combo &amp; &lt;more>\">\n"
              "\t<item code=\"458756\" state=\"1\" delay=\"50\" name=\"A\" />\n"
              "\t<item code=\"458756\" state=\"0\" delay=\"12\" name=\"A\" />\n"
              "\t<item code=\"786637\" state=\"1\" delay=\"0\" name=\"Play Pause\" />\n"
              "</group>\n");
    EXPECT_EQ(dir.EntryCount(), 2u) << "no temporary file is left beside it";
}

TEST_F(GroupFile, ExportThenImportGivesTheSameStepsUnderAFreeName) {
    const std::string path = dir.File("combo.xml");
    ASSERT_TRUE(MacroGroupFile::Write(Sample(), path));

    const auto r = MacroGroupFile::Import(library, path);
    ASSERT_EQ(r.status, Status::kOk);
    ASSERT_EQ(library.Groups().size(), 3u);
    // The name is taken, so it is numbered the way new groups are: from the group count on.
    EXPECT_EQ(library.Groups()[2].name, "Combo & <more> 2");
    EXPECT_EQ(library.Groups()[2].steps, Sample().steps);
    // Saved at once.
    MacroLibrary reread;
    ASSERT_TRUE(reread.Load(dir.File("macro.xml")));
    EXPECT_EQ(reread.Groups(), library.Groups());
}

TEST_F(GroupFile, ImportOfAWholeLibraryAppendsEveryGroup) {
    MacroLibrary other;
    ASSERT_TRUE(other.LoadFromBuffer(
        "<config/><macro><group name=\"Group 0\"><item code=\"458757\" state=\"1\" delay=\"3\"/></group>"
        "<group><item code=\"458758\" state=\"0\"/></group><group name=\"Fresh\"/></macro>"));
    WriteText(dir.File("other.xml"), other.ToXml());

    const auto r = MacroGroupFile::Import(library, dir.File("other.xml"));
    ASSERT_EQ(r.status, Status::kOk);
    std::vector<std::string> names;
    for (const MacroGroup& g : library.Groups()) names.push_back(g.name);
    // "Group 0" is taken (n starts at 2 groups), an unnamed group gets a new group's name.
    EXPECT_EQ(names, (std::vector<std::string>{"Group 0", "Combo & <more>", "Group 0 2", "Group 3", "Fresh"}));
    EXPECT_EQ(library.Groups()[2].steps, (std::vector<MacroStep>{{0x00070005, 1, 3, ""}}));
}

TEST_F(GroupFile, BadFilesChangeNothing) {
    const std::string before = ReadText(dir.File("macro.xml"));
    const std::string big = "<group name=\"x\">" + std::string(MacroGroupFile::kMaxFileBytes, ' ') + "</group>";
    std::string manySteps = "<group name=\"x\">";
    for (size_t i = 0; i <= MacroGroupFile::kMaxSteps; ++i) manySteps += "<i code=\"4\" state=\"1\"/>";
    manySteps += "</group>";
    const struct {
        const char* what;
        std::string bytes;
        Status status;
        int badGroup, badStep;
    } cases[] = {
        {"not xml", "this is no macro", Status::kNotXml, -1, -1},
        {"torn xml", "<group name=\"x\"><item code=\"4\"", Status::kNotXml, -1, -1},
        {"empty", "", Status::kNoGroup, -1, -1},
        {"other document", "<positions><key/></positions>", Status::kNoGroup, -1, -1},
        {"settings only", "<config type=\"1\"/>", Status::kNoGroup, -1, -1},
        {"code 0", "<group name=\"x\"><item code=\"458756\" state=\"1\"/><item code=\"0\" state=\"0\"/></group>",
         Status::kBadStep, 0, 1},
        {"no code", "<macro><group/><group><item state=\"1\"/></group></macro>", Status::kBadStep, 1, 0},
        {"odd state", "<group><item code=\"458756\" state=\"7\"/></group>", Status::kBadStep, 0, 0},
        {"huge file", big, Status::kTooLarge, -1, -1},
        {"too many steps", manySteps, Status::kTooLarge, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteText(dir.File("bad.xml"), c.bytes);
        const auto r = MacroGroupFile::Import(library, dir.File("bad.xml"));
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.badGroup, c.badGroup);
        EXPECT_EQ(r.badStep, c.badStep);
        EXPECT_EQ(library.Groups().size(), 2u);
        EXPECT_EQ(ReadText(dir.File("macro.xml")), before);
    }
    EXPECT_EQ(MacroGroupFile::Import(library, dir.File("missing.xml")).status, Status::kUnreadable);
    EXPECT_EQ(MacroGroupFile::Import(library, dir.path().string()).status, Status::kUnreadable);
}

TEST_F(GroupFile, ImportThatCannotBeSavedAddsNothing) {
    MacroGroupFile::Write(Sample(), dir.File("combo.xml"));
    library.Load(dir.File("gone/macro.xml"));  // a folder that does not exist: saves fail
    EXPECT_EQ(MacroGroupFile::Import(library, dir.File("combo.xml")).status, Status::kNotSaved);
    EXPECT_EQ(library.Groups().size(), 2u);
}

}  // namespace
