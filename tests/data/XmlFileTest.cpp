#include "data/XmlFile.h"

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

#include <gtest/gtest.h>

#include "data/FileSizeLimit.h"
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

    bool saved_ok = true;
    {
        FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        saved_ok = SaveXmlAtomically(SampleDocument(500), path);
    }
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
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    if (geteuid() != 0) {
        EXPECT_FALSE(ReplaceFileAtomically(path, "new"));
    } else {
        // Folder permissions do not stop root: try as an unprivileged user in a child.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(2);
                std::_Exit(ReplaceFileAtomically(path, "new") ? 1 : 0);
            },
            ::testing::ExitedWithCode(0), "");
    }
    EXPECT_EQ(ReadText(path), "previous");
    EXPECT_EQ(dir.EntryCount(), 1u);
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
    EXPECT_FALSE(ReadFileBytes(dir.File("big"), out, big.size() - 1));
    EXPECT_TRUE(out.empty());
}

TEST(XmlFile, RefusesFilesThatAreNotDataFiles) {
    TempDir dir;
    std::string out;
    // Far beyond any data file: refused without being read (the file is sparse).
    const std::string huge = dir.File("huge.xml");
    WriteText(huge, "<effect/>");
    fs::resize_file(huge, kMaxDataFileBytes + 1);
    EXPECT_FALSE(ReadFileBytes(huge, out));
    // A pipe would block the reader for ever.
    const std::string fifo = dir.File("fifo.xml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileBytes(fifo, out));
    EXPECT_FALSE(ReadFileBytes("/dev/zero", out));
}

}  // namespace

namespace {

TEST(XmlFile, OddlyNamedFilesAndFolders) {
    TempDir dir;
    const std::string folder = dir.File("\xe9\x85\x8d\xe7\xbd\xae dir");  // non-ASCII with a blank
    fs::create_directory(folder);
    for (const char* name : {"with space.xml", "\xe5\xae\x8f.xml", "-dash.xml", ".hidden", "a'b\"c&.xml",
                             "no-extension", "trailing.dot."}) {
        SCOPED_TRACE(name);
        const std::string path = folder + "/" + name;
        ASSERT_TRUE(ReplaceFileAtomically(path, "one"));
        ASSERT_TRUE(ReplaceFileAtomically(path, "two"));
        std::string out;
        ASSERT_TRUE(ReadFileBytes(path, out));
        EXPECT_EQ(out, "two");
    }
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++files;
    EXPECT_EQ(files, 7u);  // no temporary file left behind
}

}  // namespace
