#pragma once
// The UI-free half of the main window's keyboard handling: which keyboard is
// open and in which family, the packet pacing, and the lighting, version and
// reset exchanges. The window owns one and forwards to it; the call sequences
// are the window's. Reads the lighting tables afresh on every send.

#include <cstdint>
#include <string>

#include "hid/HidDevice.h"
#include "protocol/DeviceTable.h"

class LedEffectTable;
class SideLightTable;

namespace platform {
class Clock;
class HidBackend;
}  // namespace platform

namespace protocol {

class KeyboardLink {
public:
    static constexpr int64_t kPacketGapMs = 100;
    static constexpr int64_t kResetPauseMs = 1500;
    static constexpr int32_t kLatestFirmware = 0x0100;

    // Defaults: the process-wide tables, the steady clock and the current HID
    // backend (hid null).
    KeyboardLink();
    KeyboardLink(LedEffectTable& effects, SideLightTable& sides, platform::Clock& clock,
                 platform::HidBackend* hid = nullptr);

    int32_t deviceProtocol = FeatureReports;
    int32_t hidAttributeVersion = 0;  // from the last open attempt that matched
    hid::HidDevice keyboard;          // overlapped, one shared handle
    int64_t lastSendTime = 0;         // ms on the link's clock
    int32_t firmwareVersion = -1;     // major * 256 + minor, -1 unknown

    // Tries the DeviceTable rows in order; the first that opens sets the family.
    bool ConnectKeyboard();
    // Opens one row (after a device notice); sets the family on success.
    bool ConnectRow(int row);

    // Pacing of lighting packets: sleeps until kPacketGapMs after the last one.
    void WaitForPacketGap();
    void MarkSent();

    // -1: the table's selected slot. Outside the table: nothing, not even pacing.
    // The results say whether the packets went out; the window ignores them
    // (sending is fire-and-forget), the CLI reports them.
    bool SendEffect(int index);
    bool SendStartupSlot(int index);  // not paced; any thread
    bool SendSideLight(int index);    // false for the framed family: it has none

    void QueryFirmwareVersion();
    // "<Firmware>: v<major>.<minor>", with the translated word passed in; false
    // (text untouched) while no version is known.
    bool FirmwareVersionText(const std::string& firmwareWord, std::string* text) const;
    bool SendFactoryReset();

private:
    LedEffectTable& effects_;
    SideLightTable& sides_;
    platform::Clock& clock_;
    int64_t lastSendUs_ = 0;  // lastSendTime, finer
};

}  // namespace protocol
