#include "data/XmlFile.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }

private:
    std::string& out_;
};

// Closes the stream on every path out of ReplaceFileAtomically.
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A temporary file is the target's name, ".tmp" and twelve lowercase hex digits.
constexpr std::string_view kTemporaryMarker = ".tmp";
constexpr size_t kTemporaryDigits = 12;

std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 gen{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%08x%04x", static_cast<unsigned>(gen()), counter.fetch_add(1) & 0xFFFFu);
    return path + suffix;
}

bool IsTemporaryOf(std::string_view name, std::string_view base) {
    if (name.size() != base.size() + kTemporaryMarker.size() + kTemporaryDigits) return false;
    if (name.substr(0, base.size()) != base || name.substr(base.size(), kTemporaryMarker.size()) != kTemporaryMarker)
        return false;
    for (const char c : name.substr(base.size() + kTemporaryMarker.size()))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

fs::path FolderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

// A save that died between writing its temporary file and renaming it leaves
// that file behind; only regular files named exactly as ours are taken.
void RemoveLeftoverTemporaries(const fs::path& target) {
    const std::string base = target.filename().string();
    std::vector<fs::path> stale;
    std::error_code ec;
    for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (IsTemporaryOf(it->path().filename().string(), base) && it->is_regular_file(typeError) &&
            !it->is_symlink(typeError))
            stale.push_back(it->path());
    }
    for (const fs::path& p : stale) fs::remove(p, ec);
}

// The file a save must replace: symbolic links are followed to what they name,
// relative ones from their own folder, so that the link itself survives. False
// for a loop or an unreadable link.
bool ResolveLinks(const std::string& path, fs::path& out) {
    fs::path p(path);
    for (int hops = 0; hops < 40; ++hops) {  // the kernel's own limit for a chain
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) {
            out = p;
            return true;
        }
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) return false;
        p = target.is_absolute() ? target : FolderOf(p) / target;
    }
    return false;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; }

}  // namespace

std::string XmlToString(const pugi::xml_document& doc) {
    std::string out;
    StringWriter writer(out);
    doc.save(writer, "\t", pugi::format_indent, pugi::encoding_utf8);
    return out;
}

bool SaveXmlAtomically(const pugi::xml_document& doc, const std::string& path, const platform::FileSync& sync) {
    return ReplaceFileAtomically(path, XmlToString(doc), sync);
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, const platform::FileSync& sync) {
    fs::path target;
    if (path.empty() || !ResolveLinks(path, target)) return false;
    const std::string targetPath = target.string();
    RemoveLeftoverTemporaries(target);

    std::string tmp;
    FilePtr file;
    // "x": never reuse a name that happens to exist already.
    for (int attempt = 0; attempt < 8 && !file; ++attempt) {
        tmp = TemporaryNameFor(targetPath);
        file.reset(std::fopen(tmp.c_str(), "wbx"));
    }
    if (!file) return false;

    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    ok = std::fflush(file.get()) == 0 && ok;
    ok = !std::ferror(file.get()) && ok;
    // fclose reports a failure of the last buffered write too.
    ok = std::fclose(file.release()) == 0 && ok;
    // The data must be on disk before the name points at it, or a power cut
    // can leave an empty file under the old name.
    ok = ok && sync.SyncFile(tmp);

    std::error_code ec;
    if (ok) {
        // Keep the permissions the user gave the file being replaced.
        const fs::file_status old = fs::status(target, ec);
        if (!ec && fs::exists(old)) fs::permissions(tmp, old.permissions(), ec);
        ec.clear();
        fs::rename(tmp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(tmp, ec);
        return false;
    }
    // The rename itself lives in the folder.
    return sync.SyncFolder(FolderOf(target).string());
}

bool ReadFileBytes(const std::string& path, std::string& out, std::size_t maxBytes) {
    out.clear();
    if (path.empty()) return false;
    std::error_code ec;
    // Opening a pipe would block; a device may never end.
    if (!fs::is_regular_file(path, ec)) return false;
    const auto size = fs::file_size(path, ec);
    if (ec || size > maxBytes) return false;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    out.reserve(static_cast<size_t>(size));
    char buffer[16384];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        out.append(buffer, n);
        if (out.size() > maxBytes) {  // grew while being read
            out.clear();
            out.shrink_to_fit();
            return false;
        }
        if (n < sizeof buffer) break;
    }
    return !std::ferror(file.get());
}

bool WithinXmlLimits(std::string_view bytes, const XmlLimits& limits) {
    if (bytes.size() > limits.maxBytes) return false;
    size_t tags = 0, attributes = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '<') {
            if (++tags > limits.maxTags) return false;
        } else if (bytes[i] == '=') {
            // NUL counts as blank so that UTF-16 and UTF-32 text is counted too.
            size_t j = i + 1;
            while (j < bytes.size() && IsBlank(bytes[j])) ++j;
            if (j < bytes.size() && (bytes[j] == '"' || bytes[j] == '\'') && ++attributes > limits.maxAttributes)
                return false;
        }
    }
    return true;
}

bool ParseXml(pugi::xml_document& doc, std::string_view bytes, pugi::xml_encoding encoding, const XmlLimits& limits) {
    if (!WithinXmlLimits(bytes, limits)) return false;
    const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, encoding);
    return result.status == pugi::status_ok || result.status == pugi::status_no_document_element;
}
