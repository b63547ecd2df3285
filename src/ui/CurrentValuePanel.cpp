#include "ui/CurrentValuePanel.h"

#include <cstdio>

namespace {

std::wstring Widen(const char* text, int length, size_t capacity)
{
    if (length <= 0) {
        return std::wstring();
    }
    const size_t n = static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : capacity - 1;
    return std::wstring(text, text + n);
}

}  // namespace

int32_t BatteryBitmapId(uint8_t rsoc)
{
    // First row whose upper bound the value does not exceed.
    struct Row {
        uint8_t upper;
        int32_t id;
    };
    static const Row kRows[] = {
        {4, 134},  {10, 135}, {20, 136}, {30, 137}, {40, 138},  {50, 139},
        {60, 140}, {70, 141}, {80, 133}, {90, 142}, {100, 143},
    };
    for (const Row& row : kRows) {
        if (rsoc <= row.upper) {
            return row.id;
        }
    }
    return kBatteryBitmapNoValue;
}

std::wstring RsocValueText(uint32_t rsoc)
{
    char buffer[16];
    return Widen(buffer, std::snprintf(buffer, sizeof buffer, "%u", static_cast<unsigned>(rsoc)),
                 sizeof buffer);
}

std::wstring TemperatureValueText(double celsius)
{
    char buffer[400];
    return Widen(buffer, std::snprintf(buffer, sizeof buffer, "%0.1f", celsius), sizeof buffer);
}

void StatusPaneRightEdges(int32_t barWidth, int32_t (&edges)[kStatusPaneCount])
{
    int64_t right = barWidth;
    for (int pane = kStatusPaneCount - 1; pane > 0; --pane) {
        right -= kStatusPaneWidths[pane];
        edges[pane - 1] = right < 0 ? 0 : static_cast<int32_t>(right);
    }
    edges[kStatusPaneCount - 1] = -1;
}

std::wstring DemoModePaneText(int32_t demoMode)
{
    switch (demoMode) {
        case 1: return L" [Demo Mode1]";
        case 2: return L" [Demo Mode2]";
        default: return std::wstring();
    }
}

std::wstring IntervalPaneText(int32_t seconds)
{
    char buffer[48];
    return Widen(buffer, std::snprintf(buffer, sizeof buffer, "Interval : %d sec", static_cast<int>(seconds)),
                 sizeof buffer);
}

std::wstring ConnectedPaneText(bool connected)
{
    return connected ? L"USB Connected" : std::wstring();
}

IconOrigin CentredIconOrigin(int32_t clientWidth, int32_t clientHeight, int32_t iconWidth, int32_t iconHeight)
{
    // Integer division truncates toward zero, as the window code always did.
    IconOrigin origin;
    origin.x = ClampToPixel((static_cast<int64_t>(clientWidth) - iconWidth + 1) / 2);
    origin.y = ClampToPixel((static_cast<int64_t>(clientHeight) - iconHeight + 1) / 2);
    return origin;
}
