#include "protocol/Packets.h"

namespace protocol {
namespace {

Frame64 FrameWithMagic() {
    Frame64 f{};
    f[0] = static_cast<uint8_t>(kFrameMagic & 0xFF);
    f[1] = static_cast<uint8_t>((kFrameMagic >> 8) & 0xFF);
    f[2] = static_cast<uint8_t>((kFrameMagic >> 16) & 0xFF);
    f[3] = static_cast<uint8_t>((kFrameMagic >> 24) & 0xFF);
    return f;
}

}  // namespace

Packet8 VersionQueryPacket() { return {kReportId, 0xF1, 0, 0, 0, 0, 0, 0}; }

Packet8 EffectPacket(int index, const LedEffectSlot& slot) {
    return {kReportId, 0xFF, 0xFF, EffectMode(index), slot.brightness, slot.speed, EffectFlag(slot.selection), 0};
}

Packet8 StartupSlotPacket(int index, const LedEffectSlot& slot) {
    return {kReportId,       0xFF,       0xFF,           static_cast<uint8_t>(index),
            slot.brightness, slot.speed, slot.deriction, slot.selection};
}

Packet8 SideLightPacket(int sideIndex, uint8_t firstSlotByte) {
    return {kReportId, 0xFF, 0xFF, 0x20, 0, 0, SideLevelAndEffect(firstSlotByte, sideIndex), 0};
}

Packet8 FactoryResetPacket() { return {kReportId, 0xF0, 0xAA, 0, 0, 0, 0, 0}; }

Frame64 EffectFrame(int index, const LedEffectSlot& slot) {
    Frame64 f = FrameWithMagic();
    f[4] = 0xAA;
    f[5] = EffectMode(index);
    f[6] = slot.brightness;
    f[7] = slot.speed;
    f[8] = EffectFlag(slot.selection);
    f[9] = 0;
    return f;
}

Frame64 ResetFrame1() {
    Frame64 f = FrameWithMagic();
    for (int i = 4; i < 10; ++i) f[i] = 0xAA;
    return f;
}

Frame64 ResetFrame2() { return FrameWithMagic(); }

bool ParseVersionReply(const Packet8& reply, int32_t* version) {
    if (reply[0] != kReportId) return false;
    if (version) *version = int32_t{reply[1]} * 256 + reply[2];
    return true;
}

}  // namespace protocol
