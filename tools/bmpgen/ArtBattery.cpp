#include "ArtBattery.h"

#include "res/resource.h"

namespace art {
namespace {

constexpr Rgba kOutline = Opaque(128, 128, 128);
constexpr Rgba kBarOutline = Opaque(64, 64, 64);
constexpr Rgba kInside = Opaque(255, 255, 255);

// Body: a 4 px grey outline around a white inside of 133 x 70 px, which
// holds ten 10 px bars with 3 px gaps.
constexpr int kBodyLeft = 13, kBodyTop = 6, kBodyRight = 154, kBodyBottom = 84;
constexpr int kOutlineWidth = 4;
constexpr int kBarLeft = 20, kBarPitch = 13, kBarWidth = 10;
constexpr int kBarTop = 14, kBarBottom = 76;

RoundRect PxRect(int x0, int y0, int x1, int y1, int r) { return RoundRect(Px(x0), Px(y0), Px(x1), Px(y1), Px(r)); }

}  // namespace

const std::vector<BatteryLook>& BatteryLooks()
{
    static const std::vector<BatteryLook> looks = {
        {IDB_BATTERY_8, 8, kBarGreen, false},
        {IDB_BATTERY_EMPTY, 0, kBarRed, true},
        {IDB_BATTERY_1, 1, kBarRed, false},
        {IDB_BATTERY_2, 2, kBarYellow, false},
        {IDB_BATTERY_3, 3, kBarYellow, false},
        {IDB_BATTERY_4, 4, kBarYellow, false},
        {IDB_BATTERY_5, 5, kBarGreen, false},
        {IDB_BATTERY_6, 6, kBarGreen, false},
        {IDB_BATTERY_7, 7, kBarGreen, false},
        {IDB_BATTERY_9, 9, kBarGreen, false},
        {IDB_BATTERY_10, 10, kBarGreen, false},
        {IDB_BATTERY_NONE, 0, kBarGreen, false},
    };
    return looks;
}

int BatteryBarCentreX(int slot) { return kBarLeft + slot * kBarPitch + kBarWidth / 2; }

Canvas DrawBattery(const BatteryLook& look)
{
    Canvas c(kBatteryWidth, kBatteryHeight, kTransparentKey);
    // Hard edges against the key colour: a blended edge pixel would be
    // neither transparent nor part of the picture and shows as a pink fringe.
    c.Fill(PxRect(5, 31, kBodyLeft + 2, 59, 3), kOutline, Edge::Hard);
    c.Fill(PxRect(kBodyLeft, kBodyTop, kBodyRight, kBodyBottom, 10), kOutline, Edge::Hard);
    c.Fill(PxRect(kBodyLeft + kOutlineWidth, kBodyTop + kOutlineWidth, kBodyRight - kOutlineWidth,
                  kBodyBottom - kOutlineWidth, 6),
           kInside);

    if (look.redInnerOutline) {
        const RoundRect outer = PxRect(19, 12, 148, 78, 5);
        const RoundRect inner = PxRect(22, 15, 145, 75, 3);
        c.Fill(Difference(outer, inner), kBarRed);
    }
    for (int slot = kBatterySlots - look.bars; slot < kBatterySlots; ++slot) {
        const int x0 = kBarLeft + slot * kBarPitch;
        c.Fill(PxRect(x0, kBarTop, x0 + kBarWidth, kBarBottom, 3), kBarOutline);
        c.Fill(PxRect(x0 + 1, kBarTop + 1, x0 + kBarWidth - 1, kBarBottom - 1, 2), look.barColour);
    }
    return c;
}

}  // namespace art
