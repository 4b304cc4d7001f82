#include "hid/HidEnumerator.h"

#include "hid/DevicePath.h"
#include "hid/HidLog.h"
#include "platform/HidBackend.h"

namespace hid {
namespace {

bool PartMatches(int32_t wanted, int32_t actual) {
    if (wanted == -1) return true;
    if (wanted < 0) return false;
    return wanted == actual;
}

}  // namespace

std::vector<HidInterfaceInfo> EnumerateHidInterfaces(int32_t vendor, int32_t productCount, const int32_t* products,
                                                     int32_t interfaceNumber, int32_t collectionNumber,
                                                     platform::HidBackend* hid) {
    std::vector<HidInterfaceInfo> result;
    const bool anyVendor = vendor <= 0;
    const bool anyProduct = productCount <= 0 || products == nullptr;
    if (anyVendor && anyProduct) return result;

    platform::HidBackend& backend = hid ? *hid : platform::CurrentHid();
    std::vector<platform::HidInterfaceEntry> entries;
    if (!backend.ListInterfaces(&entries)) return result;
    HidLog("got classs: guid={%s}\n", platform::kHidClassGuid.ToString().c_str());

    for (size_t index = 0; index < entries.size(); ++index) {
        const platform::HidInterfaceEntry& entry = entries[index];
        HidLog("enum interface: guid={%s} index=%d\n", entry.classGuid.ToString().c_str(), static_cast<int>(index));
        if (entry.path.empty()) {
            HidLog("获取接口信息失败\n");
            continue;
        }
        int32_t vid, pid, mi, col;
        if (!ParseDevicePath(entry.path, &vid, &pid, &mi, &col)) continue;
        if (!anyVendor && vid != vendor) continue;
        if (!anyProduct) {
            bool listed = false;
            for (int32_t i = 0; i < productCount; ++i) listed = listed || products[i] == pid;
            if (!listed) continue;
        }
        if (!PartMatches(interfaceNumber, mi) || !PartMatches(collectionNumber, col)) continue;

        HidInterfaceInfo info;
        info.path = entry.path;
        info.classGuid = entry.classGuid;
        info.flags = entry.flags;
        info.vendorId = vid;
        info.productId = pid;

        uint32_t error = 0;
        auto handle = backend.Open(entry.path, platform::kAccessRead | platform::kAccessWrite,
                                   platform::kShareRead | platform::kShareWrite, true, &error);
        HidLog("open dev: %08x\n", handle ? static_cast<unsigned>(handle->Id()) : 0xFFFFFFFFu);
        if (handle) {
            platform::HidAttributes attributes;
            if (handle->GetAttributes(&attributes)) info.versionNumber = attributes.versionNumber;
            platform::HidCaps caps;
            if (handle->GetCaps(&caps)) {
                info.usagePage = caps.usagePage;
                info.usage = caps.usage;
            }
        }
        result.push_back(std::move(info));
    }
    return result;
}

}  // namespace hid
