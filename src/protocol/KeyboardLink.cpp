#include "protocol/KeyboardLink.h"

#include "data/LedEffectTable.h"
#include "data/SideLightTable.h"
#include "platform/Clock.h"
#include "protocol/Packets.h"

namespace protocol {

KeyboardLink::KeyboardLink()
    : KeyboardLink(LedEffectTable::Instance(), SideLightTable::Instance(), platform::SteadyClock()) {}

KeyboardLink::KeyboardLink(LedEffectTable& effects, SideLightTable& sides, platform::Clock& clock,
                           platform::HidBackend* hid)
    : keyboard(hid), effects_(effects), sides_(sides), clock_(clock) {
    keyboard.overlapped = true;
    keyboard.separateHandles = false;
}

bool KeyboardLink::ConnectRow(int row) {
    if (row < 0 || row >= static_cast<int>(DeviceTable.size())) return false;
    const DeviceTableEntry& e = DeviceTable[static_cast<size_t>(row)];
    // Open writes the version only when an interface matched, so an unmatched
    // attempt leaves the old value, as it should.
    uint16_t version = static_cast<uint16_t>(hidAttributeVersion);
    bool opened = keyboard.Open(e.productId, e.collectionNumber, &version, e.vendorId, e.interfaceNumber);
    hidAttributeVersion = version;
    if (opened) deviceProtocol = e.protocol;
    return opened;
}

bool KeyboardLink::ConnectKeyboard() {
    for (int row = 0; row < static_cast<int>(DeviceTable.size()); ++row)
        if (ConnectRow(row)) return true;
    return false;
}

void KeyboardLink::WaitForPacketGap() {
    // Measured in microseconds: whole milliseconds on both ends could come out
    // up to 1 ms short of the gap.
    const int64_t lastUs = lastSendUs_ / 1000 == lastSendTime ? lastSendUs_ : lastSendTime * 1000;
    int64_t elapsedUs = clock_.NowUs() - lastUs;
    if (elapsedUs < 0) elapsedUs = 0;
    const int64_t gapUs = kPacketGapMs * 1000;
    if (elapsedUs < gapUs) clock_.Sleep((gapUs - elapsedUs + 999) / 1000);
}

void KeyboardLink::MarkSent() {
    lastSendUs_ = clock_.NowUs();
    lastSendTime = lastSendUs_ / 1000;
}

bool KeyboardLink::SendEffect(int index) {
    if (index == -1) index = effects_.GetSelected();
    auto slot = effects_.CopySlot(index);
    if (index < 0 || index >= LedEffectTable::kSlotCount || !slot) return false;
    WaitForPacketGap();
    bool sent;
    if (deviceProtocol == FeatureReports) {
        sent = keyboard.SetFeature(EffectPacket(index, *slot));
    } else {
        sent = keyboard.Write(EffectFrame(index, *slot)) > 0;
    }
    MarkSent();
    return sent;
}

bool KeyboardLink::SendStartupSlot(int index) {
    if (index < 0 || index >= LedEffectTable::kSlotCount) return false;
    auto slot = effects_.CopySlot(index);
    if (!slot) return false;
    return keyboard.SetFeature(StartupSlotPacket(index, *slot));
}

bool KeyboardLink::SendSideLight(int index) {
    if (index == -1) index = sides_.GetSelected();
    const SideLightSlot* slot = sides_.GetSlot(index);
    if (index < 0 || index >= SideLightTable::kSlotCount || !slot) return false;
    WaitForPacketGap();
    bool sent = false;
    if (deviceProtocol == FeatureReports) sent = keyboard.SetFeature(SideLightPacket(index, slot->first));
    MarkSent();
    return sent;
}

void KeyboardLink::QueryFirmwareVersion() {
    if (!keyboard.IsOpen()) return;
    if (deviceProtocol == FramedOutputReports) {
        firmwareVersion = hidAttributeVersion;
        return;
    }
    Packet8 buffer = VersionQueryPacket();
    if (!keyboard.SetFeature(buffer)) return;
    if (!keyboard.GetFeature(buffer)) return;
    int32_t version = 0;
    if (ParseVersionReply(buffer, &version)) firmwareVersion = version;
}

bool KeyboardLink::FirmwareVersionText(const std::string& firmwareWord, std::string* text) const {
    if (firmwareVersion == -1 || !text) return false;
    *text = firmwareWord + ": v" + std::to_string(firmwareVersion >> 8) + "." + std::to_string(firmwareVersion & 0xFF);
    return true;
}

bool KeyboardLink::SendFactoryReset() {
    if (deviceProtocol == FeatureReports) return keyboard.Write(FactoryResetPacket()) > 0;
    bool first = keyboard.Write(ResetFrame1()) > 0;
    clock_.Sleep(kResetPauseMs);
    bool second = keyboard.Write(ResetFrame2()) > 0;
    return first && second;
}

}  // namespace protocol
