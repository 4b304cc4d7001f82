#include "platform/linux/LockFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

using platform::linuxos::ChooseLockFolder;
namespace fs = std::filesystem;

namespace {

class LockFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        root = fs::temp_directory_path() / ("kbconf-lockroot-" + std::to_string(rd()));
        fs::create_directories(root);
        shared = root / ("kbconf-" + std::to_string(::getuid()));
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    unsigned Mode(const fs::path& p) {
        struct stat st {};
        ::lstat(p.c_str(), &st);
        return st.st_mode & 0777;
    }
    fs::path MakeFolder(const std::string& name, mode_t mode) {
        fs::path p = root / name;
        fs::create_directory(p);
        ::chmod(p.c_str(), mode);
        return p;
    }

    fs::path root, shared;
};

}  // namespace

TEST_F(LockFolderTest, OnlyAPrivateFolderOfOursIsUsed) {
    const fs::path good = MakeFolder("runtime", 0700);
    const fs::path open = MakeFolder("open-runtime", 0755);
    std::string warning;
    // The runtime folder first; a runtime folder that is not private is passed over.
    EXPECT_EQ(ChooseLockFolder(good.string(), root.string(), ::getuid(), &warning), good.string());
    EXPECT_EQ(ChooseLockFolder(open.string(), root.string(), ::getuid(), &warning), shared.string());
    // Without one, <tmp>/kbconf-<uid>, created private.
    EXPECT_EQ(Mode(shared), 0700u);
    EXPECT_EQ(ChooseLockFolder("", root.string(), ::getuid(), &warning), shared.string());
    EXPECT_TRUE(warning.empty()) << warning;
}

TEST_F(LockFolderTest, AFolderSomeoneCouldHoldIsRefusedForAPrivateOne) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        const char* reason;
    };
    const fs::path elsewhere = MakeFolder("elsewhere", 0700);
    std::vector<Case> cases = {
        {"open to all", [&] { fs::create_directory(shared), ::chmod(shared.c_str(), 0777); }, "has mode 777"},
        {"a link to a private folder", [&] { fs::create_directory_symlink(elsewhere, shared); }, "is a link"},
        {"a file", [&] { fs::create_directories(root), std::ofstream(shared) << "x"; }, "is not a folder"},
    };
    if (::getuid() == 0) {
        cases.push_back({"another user's",
                         [&] {
                             fs::create_directory(shared);
                             ::chmod(shared.c_str(), 0700);
                             ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
                         },
                         "belongs to user 65534"});
    }
    for (const Case& c : cases) {
        std::error_code ec;
        fs::remove_all(shared, ec);
        c.prepare();
        std::string warning;
        const std::string chosen = ChooseLockFolder("", root.string(), ::getuid(), &warning);
        EXPECT_NE(chosen, shared.string()) << c.what;
        EXPECT_EQ(chosen.rfind(shared.string() + "-", 0), 0u) << c.what << ": " << chosen;
        EXPECT_EQ(Mode(chosen), 0700u) << c.what;
        EXPECT_NE(warning.find(c.reason), std::string::npos) << c.what << ": " << warning;
        EXPECT_NE(warning.find(chosen), std::string::npos) << warning;
        fs::remove_all(chosen, ec);
    }
}
