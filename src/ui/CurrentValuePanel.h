#pragma once
// The current-value panel and the status bar: which battery picture a charge
// shows, the value texts, the pane texts, and where the minimised window's
// icon goes.
#include <cstdint>
#include <string>

#include "ui/PixelRect.h"

// Battery picture shown from start-up until the first value (no bars).
constexpr int32_t kBatteryBitmapNoValue = 144;

// Bitmap resource for an RSOC in percent: 134 (empty, red) for 0-4, 135 for
// 5-10, then one more bar per ten percent (133 being the eight-bar picture),
// 143 for 91-100 and 144 above 100.
int32_t BatteryBitmapId(uint8_t rsoc);

// Whether a new picture has to be loaded and the window repainted.
inline bool BatteryPictureChanges(int32_t loadedId, int32_t chosenId)
{
    return loadedId != chosenId;
}

// "%u" of the RSOC and "%0.1f" of the temperature in degrees Celsius.
std::wstring RsocValueText(uint32_t rsoc);
std::wstring TemperatureValueText(double celsius);

// Status bar: pane 0 stretches, panes 1 to 3 have fixed widths (not scaled).
constexpr int kStatusPaneCount = 4;
constexpr int32_t kStatusPaneWidths[kStatusPaneCount] = {0, 140, 160, 130};

// Right edges of the four panes for a bar `barWidth` pixels wide; the last
// pane reaches the right end (-1). Edges never go below 0.
void StatusPaneRightEdges(int32_t barWidth, int32_t (&edges)[kStatusPaneCount]);

// " [Demo Mode1]", " [Demo Mode2]", empty in normal mode.
std::wstring DemoModePaneText(int32_t demoMode);
// "Interval : %d sec".
std::wstring IntervalPaneText(int32_t seconds);
// "USB Connected" or empty.
std::wstring ConnectedPaneText(bool connected);

// Top-left corner of the icon centred in a minimised window's client area.
struct IconOrigin {
    int32_t x = 0;
    int32_t y = 0;
};
IconOrigin CentredIconOrigin(int32_t clientWidth, int32_t clientHeight, int32_t iconWidth,
                             int32_t iconHeight);
