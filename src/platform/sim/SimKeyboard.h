#pragma once
// The emulated keyboard: both supported models as composite devices, with a
// firmware model behind the configuration interface.
//
//   0x7080: mi_00 boot keyboard; mi_01 with collections 01..07, collection 07
//           being the configuration collection (8-byte feature report 7,
//           8-byte output report 7). Version query by feature report.
//   0x7FFF: mi_00 boot keyboard; mi_01 collections 01, 02; mi_02 without
//           collections, the configuration interface (65-byte output report,
//           no feature reports). Version in the HID attributes.
//
// The firmware applies effect, start-up slot, side light and reset packets to
// an observable lighting state, answers the version query, and ignores what it
// does not understand. After a reset it can drop off the bus and come back.

#include <cstdint>
#include <mutex>

#include "platform/sim/SimHidDevice.h"

namespace platform::sim {

enum class SimKeyboardModel { k7080, k7FFF };

struct SimLighting {
    // The last effect (or start-up slot) packet: bytes 3..7 of 07 FF FF ...,
    // or bytes 5..9 of an effect frame.
    uint8_t mode = 0;
    uint8_t brightness = 0;
    uint8_t speed = 0;
    uint8_t flag = 0;   // start-up slot packets: deriction
    uint8_t byte7 = 0;  // start-up slot packets: selection
    uint8_t sideLevel = 0;
    uint8_t sideEffect = 0;
    int effectPackets = 0;  // effect and start-up slot packets and effect frames
    int sidePackets = 0;
    int versionQueries = 0;
    int resets = 0;
    int ignored = 0;  // packets the firmware did not understand
};

class SimKeyboard final : public SimHidDevice {
public:
    explicit SimKeyboard(SimKeyboardModel model, uint16_t version = 0x0100);

    SimKeyboardModel Model() const { return model_; }
    // Index (into Interfaces()) of the configuration interface.
    size_t ConfigInterface() const;

    void SetVersion(uint16_t version);  // 7FFF: takes effect at the next plug
    uint16_t Version() const;
    void SetGarbageReply(bool garbage);  // version replies become noise
    // After a reset, drop off the bus after dropMs and come back awayMs later.
    void SetReenumerateOnReset(bool enabled, int64_t dropMs = 100, int64_t awayMs = 500);

    SimLighting Lighting() const;
    // What a reset restores.
    static SimLighting FactoryLighting();

    HidAttributes Attributes() const override;
    std::vector<SimInterface> Interfaces() const override;
    bool OnSetFeature(size_t iface, const uint8_t* data, size_t len) override;
    bool OnGetFeature(size_t iface, uint8_t* data, size_t len) override;
    bool OnOutput(size_t iface, const uint8_t* data, size_t len) override;

private:
    void ApplySettings(const uint8_t* p);  // p = 07 FF FF ...
    void FactoryReset();                   // with mutex_ held

    const SimKeyboardModel model_;
    mutable std::mutex mutex_;
    uint16_t version_;
    bool garbage_ = false;
    bool reenumerate_ = false;
    int64_t dropMs_ = 100;
    int64_t awayMs_ = 500;
    bool versionAsked_ = false;
    bool resetArmed_ = false;  // 7FFF: reset frame 1 seen
    SimLighting lighting_;
};

}  // namespace platform::sim
