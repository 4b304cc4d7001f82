#include "platform/NamedLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

using platform::NamedLock;
using platform::NamedLockGuard;

namespace {

class LockFolder {
public:
    LockFolder() {
        std::random_device rd;
        path = std::filesystem::temp_directory_path() / ("kbconf-lock-" + std::to_string(rd()));
        std::filesystem::create_directories(path);
    }
    ~LockFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

// Appends "<tag> <who>\n" in one write, so that lines never tear.
void Mark(int fd, char tag, int who) {
    std::string line = std::string(1, tag) + " " + std::to_string(who) + "\n";
    ssize_t n = ::write(fd, line.data(), line.size());
    (void)n;
}

// True when every "b N" is directly followed by "e N".
bool NeverInterleaved(const std::string& file, int* pairs) {
    std::ifstream in(file);
    std::string a, b;
    *pairs = 0;
    while (std::getline(in, a)) {
        if (!std::getline(in, b)) return false;
        if (a[0] != 'b' || b[0] != 'e' || a.substr(2) != b.substr(2)) return false;
        ++*pairs;
    }
    return true;
}

}  // namespace

TEST(NamedLock, TwoProcessesSharingALockNeverInterleave) {
    LockFolder folder;
    const std::string out = (folder.path / "trace").string();
    const std::string dir = folder.path.string();
    constexpr int kRounds = 40;
    std::vector<pid_t> children;
    for (int who = 1; who <= 2; ++who) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            NamedLock lock("HidDevice::SetFeature", dir);
            for (int i = 0; i < kRounds; ++i) {
                lock.Lock();
                Mark(fd, 'b', who);
                ::usleep(500);
                Mark(fd, 'e', who);
                lock.Unlock();
            }
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int pairs = 0;
    EXPECT_TRUE(NeverInterleaved(out, &pairs));
    EXPECT_EQ(pairs, 2 * kRounds);

    struct stat st {};
    ASSERT_EQ(::stat((folder.path / "HidDevice%3a%3aSetFeature.lock").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(NamedLock, ReentrantForTheHolderAndExclusiveBetweenThreads) {
    LockFolder folder;
    NamedLock a("HidDevice::Open", folder.path.string());
    NamedLock b("HidDevice::Open", folder.path.string());  // same name, same lock
    ASSERT_TRUE(a.Lock());
    ASSERT_TRUE(b.Lock());  // the holding thread takes it again
    std::atomic<bool> taken{false};
    std::thread other([&] {
        NamedLock c("HidDevice::Open", folder.path.string());
        NamedLockGuard guard(c);
        taken = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    b.Unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(taken);  // still held once
    a.Unlock();
    other.join();
    EXPECT_TRUE(taken);

    // Another name is another lock.
    NamedLock close("HidDevice::Close", folder.path.string());
    NamedLockGuard holdClose(close);
    std::thread open([&] { NamedLockGuard g(a); });
    open.join();
}

TEST(NamedLock, ForkedChildDoesNotInheritTheParentsHold) {
    LockFolder folder;
    NamedLock lock("HidDevice::Write", folder.path.string());
    ASSERT_TRUE(lock.Lock());
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The parent holds it: a non-blocking probe from here must fail.
        int fd = ::open((folder.path / "HidDevice%3a%3aWrite.lock").c_str(), O_RDWR);
        bool free = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::_exit(free ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    lock.Unlock();
}

TEST(NamedLock, TryLockTakesOnlyAFreeLock) {
    LockFolder folder;
    const std::string dir = folder.path.string();
    NamedLock lock("single", dir);

    // Free: taken, and again by the holder.
    ASSERT_EQ(lock.TryLock(), NamedLock::Try::kTaken);
    EXPECT_EQ(lock.TryLock(), NamedLock::Try::kTaken);
    // Held by this thread: busy for another, which must not Unlock it either.
    std::thread([&] {
        NamedLock same("single", dir);
        EXPECT_EQ(same.TryLock(), NamedLock::Try::kBusy);
        same.Unlock();
    }).join();
    lock.Unlock();
    lock.Unlock();
    std::thread([&] {
        NamedLock same("single", dir);
        EXPECT_EQ(same.TryLock(), NamedLock::Try::kTaken);
        same.Unlock();
    }).join();

    // Held by another process (any other open of the file is one to flock).
    int fd = ::open((folder.path / "single.lock").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(lock.TryLock(), NamedLock::Try::kBusy);
    // Busy left nothing held in this process: another thread tries the same.
    std::thread([&] {
        NamedLock same("single", dir);
        EXPECT_EQ(same.TryLock(), NamedLock::Try::kBusy);
    }).join();
    ::flock(fd, LOCK_UN);
    EXPECT_EQ(lock.TryLock(), NamedLock::Try::kTaken);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);  // and it really holds the file
    lock.Unlock();
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);

    // No usable lock file: failed, nothing held, Lock does not hang either.
    NamedLock nowhere("single", (folder.path / "missing").string());
    EXPECT_EQ(nowhere.TryLock(), NamedLock::Try::kFailed);
    std::thread([&] {
        NamedLock same("single", (folder.path / "missing").string());
        EXPECT_FALSE(same.Lock());
        same.Unlock();
    }).join();
}
