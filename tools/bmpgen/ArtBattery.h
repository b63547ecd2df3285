#pragma once
// The twelve battery pictures of the current-value panel: a battery lying on
// its side, terminal to the left, with up to ten bars filling from the right.
#include <cstdint>
#include <vector>

#include "ArtCanvas.h"

namespace art {

constexpr int kBatteryWidth = 160;
constexpr int kBatteryHeight = 90;
constexpr int kBatterySlots = 10;
// Drawn around the battery; the panel leaves this colour out when painting.
constexpr Rgba kTransparentKey = Opaque(255, 0, 255);

constexpr Rgba kBarRed = Opaque(255, 0, 0);
constexpr Rgba kBarYellow = Opaque(255, 255, 0);
constexpr Rgba kBarGreen = Opaque(155, 255, 102);

struct BatteryLook {
    uint16_t resourceId;
    int bars;                 // 0..10, the rightmost ones lit
    Rgba barColour;
    bool redInnerOutline;     // the empty-battery warning
};

// All twelve, in resource id order.
const std::vector<BatteryLook>& BatteryLooks();

Canvas DrawBattery(const BatteryLook& look);

// Horizontal centre of bar slot 0 (next to the terminal) .. 9 (right end),
// and the vertical centre of the bars.
int BatteryBarCentreX(int slot);
constexpr int kBatteryBarCentreY = 45;

}  // namespace art
