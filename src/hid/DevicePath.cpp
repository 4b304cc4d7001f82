#include "hid/DevicePath.h"

namespace hid {
namespace {

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// `marker` then `count` alphanumerics at `pos`; advances pos past them.
bool Take(std::string_view s, size_t& pos, std::string_view marker, size_t count, std::string_view* part) {
    if (s.substr(pos, marker.size()) != marker) return false;
    size_t at = pos + marker.size();
    if (at + count > s.size()) return false;
    for (size_t i = 0; i < count; ++i)
        if (!IsAlnum(s[at + i])) return false;
    *part = s.substr(at, count);
    pos = at + count;
    return true;
}

int32_t ReadHex(std::string_view part) {
    int32_t value = 0;
    for (char c : part) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

bool ParseDevicePath(std::string_view path, int32_t* vendor, int32_t* product, int32_t* interfaceNumber,
                     int32_t* collectionNumber) {
    constexpr std::string_view kStart = "hid#vid_";
    for (size_t start = path.find(kStart); start != std::string_view::npos; start = path.find(kStart, start + 1)) {
        size_t pos = start + kStart.size() - 4;  // back onto "vid_"
        std::string_view vid, pid, rev, mi, col;
        if (!Take(path, pos, "vid_", 4, &vid) || !Take(path, pos, "&pid_", 4, &pid)) continue;
        Take(path, pos, "&rev_", 4, &rev);
        bool hasMi = Take(path, pos, "&mi_", 2, &mi);
        bool hasCol = Take(path, pos, "&col", 2, &col);
        if (vendor) *vendor = ReadHex(vid);
        if (product) *product = ReadHex(pid);
        if (interfaceNumber) *interfaceNumber = hasMi ? ReadHex(mi) : -1;
        if (collectionNumber) *collectionNumber = hasCol ? ReadHex(col) : -1;
        return true;
    }
    return false;
}

}  // namespace hid
