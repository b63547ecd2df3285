#include <gtest/gtest.h>

#include <limits>
#include <numeric>

#include "ui/CurrentValuePanel.h"
#include "ui/DpiMetrics.h"

TEST(BatteryPicture, BitmapPerChargeBand)
{
    struct Case {
        int first;
        int last;
        int32_t id;
    };
    const Case bands[] = {
        {0, 4, 134},   {5, 10, 135},  {11, 20, 136}, {21, 30, 137}, {31, 40, 138},  {41, 50, 139},
        {51, 60, 140}, {61, 70, 141}, {71, 80, 133}, {81, 90, 142}, {91, 100, 143}, {101, 255, 144},
    };
    int covered = 0;
    for (const Case& band : bands) {
        for (int rsoc = band.first; rsoc <= band.last; ++rsoc) {
            EXPECT_EQ(BatteryBitmapId(static_cast<uint8_t>(rsoc)), band.id) << rsoc;
            ++covered;
        }
    }
    EXPECT_EQ(covered, 256);
    EXPECT_EQ(kBatteryBitmapNoValue, 144);
}

TEST(BatteryPicture, SameBarsLoadNothing)
{
    const int32_t first = BatteryBitmapId(55);
    EXPECT_FALSE(BatteryPictureChanges(first, BatteryBitmapId(58)));
    EXPECT_TRUE(BatteryPictureChanges(first, BatteryBitmapId(61)));
    EXPECT_TRUE(BatteryPictureChanges(kBatteryBitmapNoValue, BatteryBitmapId(100)));
}

TEST(CurrentValuePanel, ValueTexts)
{
    EXPECT_EQ(RsocValueText(80), L"80");
    EXPECT_EQ(RsocValueText(0), L"0");
    EXPECT_EQ(RsocValueText(4294967295u), L"4294967295");
    EXPECT_EQ(TemperatureValueText(25.04), L"25.0");
    EXPECT_EQ(TemperatureValueText(-5.26), L"-5.3");
    EXPECT_EQ(TemperatureValueText(-273.2), L"-273.2");
    EXPECT_EQ(TemperatureValueText(1e308).size(), 311u);
}

TEST(StatusBar, PaneTexts)
{
    EXPECT_EQ(DemoModePaneText(0), L"");
    EXPECT_EQ(DemoModePaneText(1), L" [Demo Mode1]");
    EXPECT_EQ(DemoModePaneText(2), L" [Demo Mode2]");
    EXPECT_EQ(IntervalPaneText(2), L"Interval : 2 sec");
    EXPECT_EQ(IntervalPaneText(10), L"Interval : 10 sec");
    EXPECT_EQ(IntervalPaneText(std::numeric_limits<int32_t>::min()), L"Interval : -2147483648 sec");
    EXPECT_EQ(ConnectedPaneText(true), L"USB Connected");
    EXPECT_EQ(ConnectedPaneText(false), L"");
}

TEST(StatusBar, PaneEdges)
{
    int32_t edges[kStatusPaneCount];
    StatusPaneRightEdges(800, edges);
    EXPECT_EQ(edges[0], 370);  // pane 0 takes what the fixed panes leave
    EXPECT_EQ(edges[1], 510);
    EXPECT_EQ(edges[2], 670);
    EXPECT_EQ(edges[3], -1);
    StatusPaneRightEdges(200, edges);
    EXPECT_EQ(edges[0], 0);
    EXPECT_EQ(edges[1], 0);
    EXPECT_EQ(edges[2], 70);
    StatusPaneRightEdges(std::numeric_limits<int32_t>::min(), edges);
    EXPECT_EQ(edges[2], 0);
}

TEST(MinimisedWindow, IconCentredInTheClientArea)
{
    struct Case {
        int32_t cw, ch, iw, ih, x, y;
    };
    const Case cases[] = {
        {160, 120, 32, 32, 64, 44},
        {161, 121, 32, 32, 65, 45},
        {0, 0, 32, 32, -15, -15},  // integer division truncates toward zero
        {std::numeric_limits<int32_t>::max(), 0, std::numeric_limits<int32_t>::min(), 0, kPixelLimit, 0},
    };
    for (const Case& c : cases) {
        const IconOrigin o = CentredIconOrigin(c.cw, c.ch, c.iw, c.ih);
        EXPECT_EQ(o.x, c.x) << c.cw;
        EXPECT_EQ(o.y, c.y) << c.ch;
    }
}

TEST(DpiMetrics, FontsAndColumnsFollowTheScale)
{
    struct Case {
        int32_t dpi;
        int32_t listFont, valueFont, graphFont;
        int32_t date, time, numbers;
    };
    const Case cases[] = {
        {96, 14, 16, 10, 90, 70, 75},     {120, 17, 20, 12, 112, 87, 93}, {144, 21, 24, 15, 135, 105, 112},
        {192, 28, 32, 20, 180, 140, 150}, {0, 14, 16, 10, 90, 70, 75},  // no reading: 96 dpi
        {-96, 14, 16, 10, 90, 70, 75},
    };
    for (const Case& c : cases) {
        const double scale = DpiScaleFromLogPixels(c.dpi);
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(LogListFontHeight(scale), c.listFont);
        EXPECT_EQ(ValueFontHeight(scale), c.valueFont);
        EXPECT_EQ(GraphFontHeight(scale), c.graphFont);
        const auto widths = LogListColumnWidths(1000, scale);
        EXPECT_EQ(widths[0], c.date);
        EXPECT_EQ(widths[1], c.time);
        EXPECT_EQ(widths[2], c.numbers);
        EXPECT_EQ(widths[4], c.numbers);
    }
    EXPECT_EQ(DpiScaleFromLogPixels(144), 1.5);
}

TEST(DpiMetrics, MessageColumnFollowsTheListWidth)
{
    struct Case {
        int32_t listWidth;
        double scale;
        int32_t message;
    };
    const Case cases[] = {
        {800, 1.0, 387},
        {414, 1.0, 1},
        {413, 1.0, 0},
        {300, 1.0, 0},  // minimised or narrow: never negative
        {0, 1.0, 0},
        {std::numeric_limits<int32_t>::min(), 1.0, 0},
        {800, 1.5, 580},
        {40000, 1.0, 32767},  // the list's 16-bit width limit, not wrapped
        {std::numeric_limits<int32_t>::max(), 64.0, 32767},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LogListColumnWidths(c.listWidth, c.scale)[5], c.message) << c.listWidth << " @ " << c.scale;
    }
    // At 96 dpi the six columns are 28 pixels narrower than the list.
    const auto widths = LogListColumnWidths(800, 1.0);
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), 800 - 28);
}

TEST(DpiMetrics, LogoSize)
{
    const PixelSize logo = ScaledLogoSize(100, 50, 1.5, 1.25);
    EXPECT_EQ(logo.width, 150);
    EXPECT_EQ(logo.height, 62);
    const PixelSize same = ScaledLogoSize(100, 50, 1.0, 1.0);
    EXPECT_EQ(same.width, 100);
    EXPECT_EQ(same.height, 50);
}
