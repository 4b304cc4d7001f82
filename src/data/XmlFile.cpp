#include "data/XmlFile.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

namespace {

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

std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 gen{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%08x%04x", static_cast<unsigned>(gen()), counter.fetch_add(1) & 0xFFFFu);
    return path + suffix;
}

}  // namespace

std::string XmlToString(const pugi::xml_document& doc) {
    std::string out;
    StringWriter writer(out);
    doc.save(writer, "\t", pugi::format_indent, pugi::encoding_utf8);
    return out;
}

bool SaveXmlAtomically(const pugi::xml_document& doc, const std::string& path) {
    return ReplaceFileAtomically(path, XmlToString(doc));
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    namespace fs = std::filesystem;

    std::string tmp;
    FilePtr file;
    // "x": never reuse a name that happens to exist already.
    for (int attempt = 0; attempt < 8 && !file; ++attempt) {
        tmp = TemporaryNameFor(path);
        file.reset(std::fopen(tmp.c_str(), "wbx"));
    }
    if (!file) return false;

    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    ok = std::fflush(file.get()) == 0 && ok;
    ok = !std::ferror(file.get()) && ok;
    // fclose reports a failure of the last buffered write too.
    ok = std::fclose(file.release()) == 0 && ok;

    std::error_code ec;
    if (ok) {
        // Keep the permissions the user gave the file being replaced.
        const fs::file_status old = fs::status(path, ec);
        if (!ec && fs::exists(old)) fs::permissions(tmp, old.permissions(), ec);
        ec.clear();
        fs::rename(tmp, path, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(tmp, ec);
    return ok;
}

bool ReadFileBytes(const std::string& path, std::string& out, std::size_t maxBytes) {
    out.clear();
    if (path.empty()) return false;
    std::error_code ec;
    // Opening a pipe would block; a device may never end.
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > maxBytes) return false;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    char buffer[16384];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        out.append(buffer, n);
        if (out.size() > maxBytes) {  // grew while being read
            out.clear();
            return false;
        }
        if (n < sizeof buffer) break;
    }
    return !std::ferror(file.get());
}

bool ParseXml(pugi::xml_document& doc, std::string_view bytes, pugi::xml_encoding encoding) {
    const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, encoding);
    return result.status == pugi::status_ok || result.status == pugi::status_no_document_element;
}
