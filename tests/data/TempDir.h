#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

// A fresh folder under the system temp folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("kbconf-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    // Names in the folder, to see that no temporary file was left behind.
    size_t EntryCount() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path_)) ++n;
        return n;
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::string TestData(const std::string& name) { return std::string(KBCONF_TEST_DATA) + "/" + name; }
