#include <gtest/gtest.h>

#include <limits>

#include "graph/CursorReadout.h"
#include "graph/GraphNavigation.h"

namespace {

constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();

GraphGeometry Geometry(int32_t w, int32_t h, int32_t level)
{
    GraphGeometry g;
    UpdateGraphGeometry(g, w, h, 1.0, level, CGraphInfo());
    return g;
}

PixelRect R(int32_t l, int32_t t, int32_t r, int32_t b)
{
    PixelRect rect;
    rect.left = l;
    rect.top = t;
    rect.right = r;
    rect.bottom = b;
    return rect;
}

}  // namespace

TEST(GraphScrollBar, EnabledOnlyWhenRecordsOverflowTheView)
{
    struct Case {
        int64_t count;
        int32_t level;
        int32_t offsetIn;
        bool enabled;
        int32_t rangeMax;
        int32_t position;
        int32_t offsetOut;
    };
    const Case cases[] = {
        {0, 0, 0, false, 0, 0, 0},
        {100, 0, 0, false, 0, 0, 0},
        {101, 0, 0, true, 1, 1, 0},
        {150, 0, 0, true, 50, 50, 0},
        {150, 0, 30, true, 50, 20, 30},
        {150, 0, 80, true, 50, 0, 50},  // pulled back to the oldest view
        {150, 0, -4, true, 50, 50, 0},
        {150, 1, 0, false, 0, 0, 0},
        {150, 1, 7, false, 0, 0, 7},  // a disabled bar leaves the offset alone
        {std::numeric_limits<int64_t>::max(), 0, 5, true, kMax32, kMax32 - 5, 5},
    };
    for (const Case& c : cases) {
        int32_t offset = c.offsetIn;
        const GraphScrollBarState bar = UpdateGraphScrollBar(c.count, c.level, offset);
        SCOPED_TRACE(testing::Message()
                     << c.count << " records, level " << c.level << ", offset " << c.offsetIn);
        EXPECT_EQ(bar.enabled, c.enabled);
        EXPECT_EQ(bar.rangeMax, c.rangeMax);
        EXPECT_EQ(bar.position, c.position);
        EXPECT_EQ(offset, c.offsetOut);
    }
}

TEST(GraphScrollBar, NotificationTable)
{
    struct Case {
        int32_t code;
        int32_t thumb;
        int32_t offsetIn;
        int32_t offsetOut;
        bool setPosition;
    };
    // 150 records at level 0: diff = 50.
    const Case cases[] = {
        {GRAPH_SCROLL_LINE_LEFT, 0, 0, 1, true},
        {GRAPH_SCROLL_LINE_LEFT, 0, 49, 50, true},
        {GRAPH_SCROLL_LINE_LEFT, 0, 50, 50, true},
        {GRAPH_SCROLL_LINE_RIGHT, 0, 1, 0, true},
        {GRAPH_SCROLL_LINE_RIGHT, 0, 0, 0, true},
        {GRAPH_SCROLL_PAGE_LEFT, 0, 40, 50, true},
        {GRAPH_SCROLL_PAGE_LEFT, 0, 29, 49, true},
        {GRAPH_SCROLL_PAGE_LEFT, 0, 30, 50, true},
        {GRAPH_SCROLL_PAGE_RIGHT, 0, 21, 1, true},
        {GRAPH_SCROLL_PAGE_RIGHT, 0, 20, 0, true},
        {GRAPH_SCROLL_THUMB_TRACK, 10, 0, 40, false},
        {GRAPH_SCROLL_THUMB_TRACK, 50, 20, 0, false},
        {GRAPH_SCROLL_THUMB_TRACK, -5, 0, 50, false},  // stale positions stay in range
        {GRAPH_SCROLL_THUMB_TRACK, 9999, 0, 0, false},
        {GRAPH_SCROLL_THUMB_TRACK, kMin32, 0, 50, false},
        {GRAPH_SCROLL_THUMB_POSITION, 10, 7, 7, true},
        {GRAPH_SCROLL_LEFT, 0, 7, 7, true},
        {GRAPH_SCROLL_RIGHT, 0, 7, 7, true},
        {GRAPH_SCROLL_END_SCROLL, 0, 7, 7, true},
        {99, 0, 7, 7, true},
    };
    for (const Case& c : cases) {
        const GraphScrollResult r = ApplyGraphScroll(c.code, c.thumb, 150, 0, c.offsetIn);
        SCOPED_TRACE(testing::Message()
                     << "code " << c.code << " thumb " << c.thumb << " offset " << c.offsetIn);
        EXPECT_EQ(r.scrollOffset, c.offsetOut);
        EXPECT_EQ(r.setPosition, c.setPosition);
        if (c.setPosition) {
            EXPECT_EQ(r.position, 50 - c.offsetOut);
        }
    }
}

TEST(GraphScrollBar, OffsetNeverLeavesItsRangeWhateverTheInputs)
{
    const int64_t counts[] = {0, 1, 150, 2100, 5000000, std::numeric_limits<int64_t>::max(), -3};
    const int32_t offsets[] = {kMin32, -1, 0, 1, 20, 49, 50, 51, kMax32};
    for (int64_t count : counts) {
        for (int32_t level = -1; level <= 11; level += 4) {
            const int32_t diff = GraphScrollDiff(count, level);
            for (int32_t code = 0; code <= 8; ++code) {
                for (int32_t offset : offsets) {
                    const GraphScrollResult r = ApplyGraphScroll(code, offset, count, level, offset);
                    EXPECT_GE(r.scrollOffset, 0);
                    EXPECT_LE(r.scrollOffset, diff > 0 ? diff : 0);
                }
            }
        }
    }
}

TEST(GraphZoom, ZoomKeepsTheRightEdgeUnlessTheViewRunsPastTheOldest)
{
    struct Case {
        int64_t count;
        int32_t position;
        int32_t offsetIn;
        int32_t level;
        bool enabled;
        int32_t offsetOut;
    };
    const Case cases[] = {
        {150, 1, 0, 1, false, 0},    {150, 1, 30, 1, false, 0},  // everything fits: back to the newest
        {400, 1, 30, 1, true, 30},                               // right edge stays
        {400, 1, 250, 1, true, 100},                             // would run past the oldest record
        {400, 0, 250, 0, true, 250}, {400, -3, 0, 0, true, 0},  {5000, 40, 0, 10, true, 0},
    };
    for (const Case& c : cases) {
        int32_t level = 0;
        int32_t offset = c.offsetIn;
        const GraphScrollBarState bar = ApplyZoom(c.count, c.position, level, offset);
        SCOPED_TRACE(testing::Message() << c.count << " records to position " << c.position);
        EXPECT_EQ(level, c.level);
        EXPECT_EQ(bar.enabled, c.enabled);
        EXPECT_EQ(offset, c.offsetOut);
        if (bar.enabled) {
            EXPECT_EQ(bar.position, bar.rangeMax - offset);
        }
    }
    EXPECT_TRUE(ZoomNotificationApplies(GRAPH_SCROLL_THUMB_TRACK));
    EXPECT_TRUE(ZoomNotificationApplies(GRAPH_SCROLL_LINE_LEFT));
    EXPECT_FALSE(ZoomNotificationApplies(GRAPH_TRACKBAR_END_TRACK));
}

TEST(GraphPick, HitAreaAndRecordUnderTheMouse)
{
    // Control at (10, 20)-(530, 250) in the dialog, 520 x 230: plot from x 46
    // to 494 (exclusive), P = 448, P / visible = 4.48 at level 0.
    const GraphGeometry g = Geometry(520, 230, 0);
    const PixelRect control = R(10, 20, 530, 250);
    struct Case {
        int32_t x;
        int32_t y;
        int32_t scroll;
        bool hit;
        int32_t offset;
    };
    const Case cases[] = {
        {493, 100, 0, true, 0},   // right edge of the plot: newest record
        {494, 100, 0, false, 0},  // right edge itself is outside
        // 4.48 is a little above its decimal value in binary, so a whole
        // number of records' widths truncates one lower.
        {46, 100, 0, true, 99},  // left edge belongs to the area
        {45, 100, 0, false, 0},
        {489, 20, 0, true, 1},  // top edge belongs, 5 / 4.48 = 1
        {489, 19, 0, false, 0},
        {489, 249, 0, true, 1},
        {489, 250, 0, false, 0},
        {489, 100, 7, true, 8},
        {270, 100, 0, true, 49},
        {269, 100, 0, true, 50},
    };
    for (const Case& c : cases) {
        const auto offset = PickCursorOffset(control, g, 0, c.scroll, c.x, c.y);
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
        ASSERT_EQ(offset.has_value(), c.hit);
        if (c.hit) {
            EXPECT_EQ(*offset, c.offset);
        }
    }
    // Wider zoom: 448 / 2100 pixels per record.
    const GraphGeometry wide = Geometry(520, 230, 10);
    EXPECT_EQ(PickCursorOffset(control, wide, 10, 0, 270, 100), 1050);
}

TEST(GraphPick, DegenerateAreasNeverPick)
{
    // A control narrower than its margins has no plot to pick from.
    const GraphGeometry narrow = Geometry(60, 230, 0);
    EXPECT_FALSE(PickCursorOffset(R(0, 0, 60, 230), narrow, 0, 0, 30, 10).has_value());
    const GraphGeometry none = Geometry(0, 0, 0);
    EXPECT_FALSE(PickCursorOffset(R(0, 0, 0, 0), none, 0, 0, 0, 0).has_value());
    // Extreme rectangles and offsets saturate.
    const GraphGeometry g = Geometry(520, 230, 0);
    const PixelRect huge = R(kMin32, kMin32, kMax32, kMax32);
    EXPECT_TRUE(PickCursorOffset(huge, g, 0, kMax32, 0, 0).has_value());
    EXPECT_EQ(*PickCursorOffset(huge, g, 0, kMax32, 0, 0), kMax32);
}

TEST(GraphPick, ControlRectangleInClientCoordinates)
{
    const PixelRect r = ControlRectInClient(R(120, 250, 640, 480), 106, 225);
    EXPECT_EQ(r, R(14, 25, 534, 255));
    const PixelRect extreme = ControlRectInClient(R(kMax32, kMin32, kMax32, kMin32), kMin32, kMax32);
    EXPECT_LE(extreme.right, kPixelLimit);
    EXPECT_GE(extreme.top, -kPixelLimit);
}

TEST(GraphCursor, StepsBackWithEachNewRecord)
{
    EXPECT_EQ(StepCursorOffset(0), 1);
    EXPECT_EQ(StepCursorOffset(41), 42);
    EXPECT_EQ(StepCursorOffset(kMax32), kMax32);
}

TEST(CursorReadout, TargetOfAPick)
{
    struct Case {
        int64_t count;
        int64_t requested;
        int32_t offset;
        int64_t index;
    };
    const Case cases[] = {
        {0, 0, -1, -1},  // empty log: no record
        {0, 5, -1, -1},
        {10, 0, 0, 9},
        {10, 3, 3, 6},
        {10, 9, 9, 0},
        {10, 10, 9, 0},  // beyond the oldest: the oldest
        {10, 1000000, 9, 0},
        {10, -1, -1, -1},
        {10, std::numeric_limits<int64_t>::min(), kMin32, -1},
        {std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max(), kMax32, 0},
    };
    for (const Case& c : cases) {
        const CursorTarget t = ResolveCursorTarget(c.count, c.requested);
        SCOPED_TRACE(testing::Message() << c.count << " records, request " << c.requested);
        EXPECT_EQ(t.offset, c.offset);
        EXPECT_EQ(t.index, c.index);
    }
}

TEST(CursorReadout, DateAndTimeBox)
{
    EXPECT_EQ(CursorDateTimeText(2019, 3, 7, 9, 5, 1), L"2019/03/07 09:05:01");
    EXPECT_EQ(CursorDateTimeText(0, 0, 0, -1, -1, -1), L"   0/00/00 -1:-1:-1");
    EXPECT_EQ(CursorDateTimeText(12, 12, 31, 23, 59, 59), L"  12/12/31 23:59:59");
    EXPECT_EQ(CursorDateTimeText(kMin32, kMin32, kMin32, kMin32, kMin32, kMin32).size(), 71u);
    EXPECT_EQ(CursorDateTimeTextNone(), L" ");
}

TEST(CursorReadout, ValueBoxes)
{
    struct Case {
        int32_t kind;
        int32_t rsoc;
        double temperature;
        uint16_t voltage;
        const wchar_t* text;
    };
    const Case cases[] = {
        {GRAPH_KIND_RSOC, 55, 0, 0, L"RSOC\n55 %"},
        {GRAPH_KIND_RSOC, -1, 0, 0, L"RSOC\nStandby"},
        {GRAPH_KIND_RSOC, -90000, 0, 0, L"RSOC\nStandby"},
        {GRAPH_KIND_RSOC, -2, 0, 0, L"RSOC\n-2 %"},
        {GRAPH_KIND_TEMP, -1, 25.26, 0, L"Temp\n25.3 \u2103"},
        {GRAPH_KIND_TEMP, 50, -1.0, 0, L"Temp\n-1.0 \u2103"},
        {GRAPH_KIND_TEMP, 50, -90000.0, 0, L"Temp\nStandby"},
        {GRAPH_KIND_TEMP, 50, -90000.04, 0, L"Temp\n-90000.0 \u2103"},
        {GRAPH_KIND_VOLT, -1, 0, 3700, L"Volt\n3700 mV"},
        {GRAPH_KIND_NONE, 50, 25.0, 3700, L""},
        {77, 50, 25.0, 3700, L""},
    };
    for (const Case& c : cases) {
        GraphSample s;
        s.rsoc = c.rsoc;
        s.temperature = c.temperature;
        s.voltage = c.voltage;
        EXPECT_EQ(CursorValueText(c.kind, s), c.text) << c.kind << " " << c.rsoc << " " << c.temperature;
    }
}
