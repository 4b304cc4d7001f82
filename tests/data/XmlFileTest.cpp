#include "data/XmlFile.h"

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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
    fs::resize_file(huge, kSettingsFileLimits.maxBytes + 1);
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

namespace {

TEST(XmlFile, LimitsCountTagsAndQuotedAttributesWithoutParsing) {
    const XmlLimits limits{64, 3, 2};
    const std::string utf16Attribute("<\0a\0 \0b\0=\0\"\0\"\0/\0>\0", 18);
    const struct {
        std::string bytes;
        bool within;
    } cases[] = {
        {"<a b=\"1\"><c d='2'/></a>", true},         // three tags, two attributes
        {"<a/><b/><c/><d/>", false},                 // a fourth tag
        {"<a b=\"1\" c=\"2\" d=\"3\"/>", false},     // a third attribute
        {"<a b = \"1\"\nc=\n'2' d=\"3\"/>", false},  // blanks around '=' still count
        {"<a b=\"x=y=z\">=1=2=3</a>", true},         // '=' without a quote after it is text
        {std::string(64, ' '), true},
        {std::string(65, ' '), false},
        {utf16Attribute + utf16Attribute + utf16Attribute, false},  // NULs of UTF-16 are skipped
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(WithinXmlLimits(c.bytes, limits), c.within);
        pugi::xml_document doc;
        if (!c.within) {
            EXPECT_FALSE(ParseXml(doc, c.bytes, pugi::encoding_auto, limits));
        }
    }
    EXPECT_TRUE(WithinXmlLimits(utf16Attribute + utf16Attribute, limits));
}

// Records what the saver asks to sync and what is on disk at that moment.
class RecordingSync : public platform::FileSync {
public:
    explicit RecordingSync(std::string target) : target_(std::move(target)) {}
    bool SyncFile(const std::string& path) const override {
        calls.push_back("file " + fs::path(path).parent_path().string() + " " + ReadText(path) + " | " +
                        ReadText(target_));
        return fileResult;
    }
    bool SyncFolder(const std::string& path) const override {
        calls.push_back("folder " + path + " " + ReadText(target_));
        return folderResult;
    }
    mutable std::vector<std::string> calls;
    bool fileResult = true;
    bool folderResult = true;

private:
    std::string target_;
};

TEST(XmlFile, SyncsTheDataBeforeTheRenameAndTheFolderAfter) {
    TempDir dir;
    const std::string path = dir.File("out.xml");
    WriteText(path, "old");
    RecordingSync sync(path);
    ASSERT_TRUE(ReplaceFileAtomically(path, "new", sync));
    EXPECT_EQ(sync.calls, (std::vector<std::string>{"file " + dir.path().string() + " new | old",
                                                    "folder " + dir.path().string() + " new"}));

    // Data that may not have reached the disk never replaces the old file.
    sync.calls.clear();
    sync.fileResult = false;
    EXPECT_FALSE(ReplaceFileAtomically(path, "newer", sync));
    EXPECT_EQ(ReadText(path), "new");
    EXPECT_EQ(sync.calls.size(), 1u);
    EXPECT_EQ(dir.EntryCount(), 1u);

    // The rename happened, but whether it lasts is unknown: not a success.
    sync.fileResult = true;
    sync.folderResult = false;
    EXPECT_FALSE(ReplaceFileAtomically(path, "newest", sync));
    EXPECT_EQ(ReadText(path), "newest");
}

TEST(XmlFile, SystemSyncReportsWhatItCannotSync) {
    TempDir dir;
    const platform::FileSync& sync = platform::SystemFileSync();
    WriteText(dir.File("f"), "x");
    EXPECT_TRUE(sync.SyncFile(dir.File("f")));
    EXPECT_TRUE(sync.SyncFolder(dir.path().string()));
    EXPECT_FALSE(sync.SyncFile(dir.File("missing")));
    EXPECT_FALSE(sync.SyncFolder(dir.File("missing")));
    EXPECT_FALSE(sync.SyncFolder(dir.File("f")));  // not a folder
}

TEST(XmlFile, SaveRemovesOnlyItsOwnLeftoverTemporaryFiles) {
    TempDir dir;
    const std::string path = dir.File("out.xml");
    const std::vector<std::string> stale = {"out.xml.tmp0123456789ab", "out.xml.tmpffffffffffff"};
    const std::vector<std::string> kept = {
        "out.xml.tmp0123456789a",     // too short
        "out.xml.tmp0123456789abc",   // too long
        "out.xml.tmp0123456789AB",    // not ours: upper case
        "out.xml.tmp0123456789ag",    // not hex
        "out.xml.bak",                // the user's
        "other.xml.tmp0123456789ab",  // another file's
        "xout.xml.tmp0123456789ab",
    };
    for (const auto& name : stale) WriteText(dir.File(name), "torn");
    for (const auto& name : kept) WriteText(dir.File(name), "keep");
    // A folder or a link with our name is not a file we wrote.
    fs::create_directory(dir.File("out.xml.tmp00000000000a"));
    fs::create_symlink(dir.File("other.xml.tmp0123456789ab"), dir.File("out.xml.tmp00000000000b"));

    ASSERT_TRUE(ReplaceFileAtomically(path, "new"));
    EXPECT_EQ(ReadText(path), "new");
    for (const auto& name : stale) EXPECT_FALSE(fs::exists(dir.File(name))) << name;
    for (const auto& name : kept) EXPECT_EQ(ReadText(dir.File(name)), "keep") << name;
    EXPECT_TRUE(fs::is_directory(dir.File("out.xml.tmp00000000000a")));
    EXPECT_TRUE(fs::is_symlink(dir.File("out.xml.tmp00000000000b")));
    EXPECT_EQ(dir.EntryCount(), 1 + kept.size() + 2);
}

TEST(XmlFile, SaveThroughSymbolicLinksReplacesTheFileTheyName) {
    TempDir dir;
    fs::create_directories(dir.File("home"));
    fs::create_directories(dir.File("real/sub"));
    const std::string real = dir.File("real/data.xml");
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links;  // link, what it points to
        std::string saved;                                       // the path saved to
        std::string written;                                     // the file that must hold the bytes
    } cases[] = {
        {"relative link", {{"home/data.xml", "../real/data.xml"}}, "home/data.xml", "real/data.xml"},
        {"absolute link", {{"home/data.xml", real}}, "home/data.xml", "real/data.xml"},
        {"chain of links",
         {{"home/data.xml", dir.File("real/sub/hop.xml")}, {"real/sub/hop.xml", "../data.xml"}},
         "home/data.xml",
         "real/data.xml"},
        {"dangling link", {{"home/data.xml", "../real/new.xml"}}, "home/data.xml", "real/new.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteText(real, "old");
        fs::remove(dir.File("real/new.xml"));
        for (const auto& [link, to] : c.links) {
            fs::remove(dir.File(link));
            fs::create_symlink(to, dir.File(link));
        }
        ASSERT_TRUE(ReplaceFileAtomically(dir.File(c.saved), "new"));
        EXPECT_EQ(ReadText(dir.File(c.written)), "new");
        for (const auto& [link, to] : c.links) {
            EXPECT_TRUE(fs::is_symlink(dir.File(link))) << link;
            EXPECT_EQ(fs::read_symlink(dir.File(link)), to);
        }
        for (const char* folder : {"home", "real", "real/sub"})
            for (const auto& e : fs::directory_iterator(dir.File(folder)))
                EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
        for (const auto& [link, to] : c.links) fs::remove(dir.File(link));
    }

    // A loop names no file: nothing is written and the links stay.
    fs::create_symlink("b.xml", dir.File("home/a.xml"));
    fs::create_symlink("a.xml", dir.File("home/b.xml"));
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("home/a.xml"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.File("home/a.xml")));
    EXPECT_TRUE(fs::is_symlink(dir.File("home/b.xml")));
    // A link into a missing folder cannot be written.
    fs::create_symlink("../nowhere/x.xml", dir.File("home/c.xml"));
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("home/c.xml"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.File("home/c.xml")));
}

}  // namespace
