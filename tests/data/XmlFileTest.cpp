#include "data/XmlFile.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "data/TempDir.h"

namespace {

namespace fs = std::filesystem;

pugi::xml_document SampleDocument(int items) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("effect");
    root.append_attribute("sel").set_value(3);
    for (int i = 0; i < items; ++i) {
        pugi::xml_node item = root.append_child("item");
        item.append_attribute("brightness").set_value(i);
        item.append_attribute("name").set_value("\xe5\xae\x8f");
    }
    return doc;
}

TEST(XmlFile, WritesTheHouseFormat) {
    TempDir dir;
    const std::string path = dir.File("out.xml");
    ASSERT_TRUE(SaveXmlAtomically(SampleDocument(2), path));
    EXPECT_EQ(ReadText(path),
              "<?xml version=\"1.0\"?>\n"
              "<effect sel=\"3\">\n"
              "\t<item brightness=\"0\" name=\"\xe5\xae\x8f\" />\n"
              "\t<item brightness=\"1\" name=\"\xe5\xae\x8f\" />\n"
              "</effect>\n");
    EXPECT_EQ(dir.EntryCount(), 1u);

    // An empty document is the declaration alone.
    EXPECT_EQ(XmlToString(pugi::xml_document{}), "<?xml version=\"1.0\"?>\n");
}

TEST(XmlFile, ReplacesAnExistingFileAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.File("out.xml");
    WriteText(path, "old contents that are longer than the new ones, by quite a bit");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(ReplaceFileAtomically(path, "new"));
    EXPECT_EQ(ReadText(path), "new");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(dir.EntryCount(), 1u);
}

// A write that fails part way (here the file-size limit, as a full disk would)
// must leave the previous file as it was and no temporary file behind.
TEST(XmlFile, FailedWriteLeavesThePreviousFileIntact) {
    TempDir dir;
    const std::string path = dir.File("out.xml");
    const std::string previous = XmlToString(SampleDocument(1));
    WriteText(path, previous);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = SaveXmlAtomically(SampleDocument(500), path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadText(path), previous);
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(XmlFile, UnwritableTargetsFailCleanly) {
    TempDir dir;
    // The target is a folder: the rename cannot replace it.
    const std::string folder = dir.File("sub");
    fs::create_directory(folder);
    EXPECT_FALSE(ReplaceFileAtomically(folder, "x"));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(dir.EntryCount(), 1u);

    // The parent is missing, or is a file.
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("missing/out.xml"), "x"));
    WriteText(dir.File("plain"), "p");
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("plain/out.xml"), "x"));
    EXPECT_FALSE(ReplaceFileAtomically("", "x"));
}

TEST(XmlFile, ReadOnlyFolderKeepsThePreviousFile) {
    TempDir dir;
    const std::string path = dir.File("out.xml");
    WriteText(path, "previous");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    // A privileged user may write anyway; then there is nothing to test here.
    if (std::FILE* probe = std::fopen(dir.File("probe").c_str(), "wb")) {
        std::fclose(probe);
        fs::remove(dir.File("probe"));
        GTEST_SKIP() << "folder permissions are not enforced for this user";
    }
    EXPECT_FALSE(ReplaceFileAtomically(path, "new"));
    EXPECT_EQ(ReadText(path), "previous");
}

TEST(XmlFile, ReadFileBytes) {
    TempDir dir;
    std::string out = "stale";
    EXPECT_FALSE(ReadFileBytes(dir.File("missing.xml"), out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(ReadFileBytes(dir.path().string(), out));
    const std::string big(100000, 'x');
    WriteText(dir.File("big"), big);
    EXPECT_TRUE(ReadFileBytes(dir.File("big"), out));
    EXPECT_EQ(out, big);
}

}  // namespace
