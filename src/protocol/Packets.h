#pragma once
// Every packet the keyboard is sent, as pure functions over byte arrays. All
// fields are single bytes (no multi-byte integers); derivations are modulo 256.
//
// 8-byte packets (report id 07 in byte 0):
//   version query   07 F1 00 00 00 00 00 00            SetFeature, then GetFeature
//   effect          07 FF FF mode bright speed flag 00  SetFeature
//   start-up slot   07 FF FF index bright speed deriction selection   SetFeature
//   side light      07 FF FF 20 00 00 level|effect 00   SetFeature
//   factory reset   07 F0 AA 00 00 00 00 00            Write, 8-byte form
// 64-byte frames (Write, 64-byte form: 00 in front, 65 bytes on the wire):
//   effect frame    BB AA 99 88 AA mode bright speed flag 00, 54 x 00
//   reset frame 1   BB AA 99 88 AA AA AA AA AA AA, 54 x 00
//   reset frame 2   BB AA 99 88, 60 x 00

#include <array>
#include <cstdint>

#include "data/LedEffectSlot.h"

namespace protocol {

using Packet8 = std::array<uint8_t, 8>;
using Frame64 = std::array<uint8_t, 64>;
static_assert(sizeof(Packet8) == 8 && sizeof(Frame64) == 64, "wire sizes");

inline constexpr uint8_t kReportId = 0x07;
// The frame magic, the 32-bit value 0x8899AABB stored little-endian.
inline constexpr uint32_t kFrameMagic = 0x8899AABBu;

// Effect index (0..19) to the mode byte: 0 stays 0, i becomes i + 1 (mode 1 is
// never sent).
constexpr uint8_t EffectMode(int index) { return static_cast<uint8_t>(index == 0 ? 0 : index + 1); }
// 1 when the slot's selection is 2.
constexpr uint8_t EffectFlag(uint8_t selection) { return selection == 2 ? 1 : 0; }
// Side level in the high nibble (kept from the slot's first byte), effect number
// in the low nibble.
constexpr uint8_t SideLevelAndEffect(uint8_t firstSlotByte, int sideIndex) {
    return static_cast<uint8_t>((firstSlotByte & 0xF0) | (sideIndex & 0x0F));
}

Packet8 VersionQueryPacket();
Packet8 EffectPacket(int index, const LedEffectSlot& slot);
Packet8 StartupSlotPacket(int index, const LedEffectSlot& slot);
Packet8 SideLightPacket(int sideIndex, uint8_t firstSlotByte);
Packet8 FactoryResetPacket();
Frame64 EffectFrame(int index, const LedEffectSlot& slot);
Frame64 ResetFrame1();
Frame64 ResetFrame2();

// The version reply 07 major minor ...: major * 256 + minor; false when the
// reply does not carry the report id (noise on the line).
bool ParseVersionReply(const Packet8& reply, int32_t* version);

}  // namespace protocol
