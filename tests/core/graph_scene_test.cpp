#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph/GraphScene.h"

namespace {

GraphGeometry Geometry(int32_t w, int32_t h, double v, int32_t level, const CGraphInfo& info = CGraphInfo())
{
    GraphGeometry g;
    UpdateGraphGeometry(g, w, h, v, level, info);
    return g;
}

std::vector<std::wstring> TextsOf(const GraphFrameScene& scene)
{
    std::vector<std::wstring> texts;
    for (const GraphText& t : scene.texts) {
        texts.push_back(t.text);
    }
    return texts;
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

TEST(GraphScene, ColoursAreInPlatformByteOrder)
{
    EXPECT_EQ(kGraph1Colour, 0x00FF0000u);  // blue
    EXPECT_EQ(kGraph2Colour, 0x00FF00FFu);  // magenta
    EXPECT_EQ(kGraphCursorColour, 0x0000C800u);
    EXPECT_EQ(kGraphGridColour, 0x00DCDCDCu);
}

TEST(GraphScene, EmptyLogFrameAt96Dpi)
{
    const GraphGeometry g = Geometry(520, 230, 1.0, 0);
    const GraphFrameScene scene = BuildGraphFrame(g, CGraphInfo(), 1.0, 1.0);

    // Middle, maximum and minimum grid lines from L to R; axes at L and R.
    const int32_t gridY[3] = {115, 15, 215};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(scene.grid[i].x1, 36);
        EXPECT_EQ(scene.grid[i].x2, 484);
        EXPECT_EQ(scene.grid[i].y1, gridY[i]);
        EXPECT_EQ(scene.grid[i].y2, gridY[i]);
    }
    EXPECT_EQ(scene.axes[0].x1, 36);
    EXPECT_EQ(scene.axes[0].x2, 36);
    EXPECT_EQ(scene.axes[1].x1, 484);
    EXPECT_EQ(scene.axes[0].y1, 0);
    EXPECT_EQ(scene.axes[0].y2, 230);

    const std::vector<std::wstring> expected = {L"RSOC", L"Temp", L"100",    L"%",    L"50",
                                                L"0",    L"70.0", L"\u2103", L"25.0", L"-20.0"};
    EXPECT_EQ(TextsOf(scene), expected);

    struct Placement {
        PixelRect rect;
        GraphTextAlign align;
        bool centre;
        uint32_t colour;
    };
    const Placement placements[] = {
        {R(38, 0, 86, 12), GraphTextAlign::Left, true, kGraph1Colour},       // name 1
        {R(432, 0, 482, 12), GraphTextAlign::Right, true, kGraph2Colour},    // name 2
        {R(1, 15, 34, 25), GraphTextAlign::Right, true, kGraph1Colour},      // max 1
        {R(1, 3, 34, 25), GraphTextAlign::Right, false, kGraph1Colour},      // unit 1
        {R(1, 110, 34, 120), GraphTextAlign::Right, true, kGraph1Colour},    // middle 1
        {R(1, 205, 34, 215), GraphTextAlign::Right, true, kGraph1Colour},    // min 1
        {R(487, 15, 519, 25), GraphTextAlign::Left, true, kGraph2Colour},    // max 2
        {R(487, 3, 519, 25), GraphTextAlign::Left, false, kGraph2Colour},    // unit 2
        {R(487, 110, 519, 120), GraphTextAlign::Left, true, kGraph2Colour},  // middle 2
        {R(487, 205, 519, 215), GraphTextAlign::Left, true, kGraph2Colour},  // min 2
    };
    ASSERT_EQ(scene.texts.size(), 10u);
    for (size_t i = 0; i < scene.texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(scene.texts[i].rect, placements[i].rect);
        EXPECT_EQ(scene.texts[i].align, placements[i].align);
        EXPECT_EQ(scene.texts[i].verticalCentre, placements[i].centre);
        EXPECT_EQ(scene.texts[i].colour, placements[i].colour);
    }
}

TEST(GraphScene, GridAndMarginsAt144Dpi)
{
    const GraphGeometry g = Geometry(520, 230, 1.5, 0);
    const GraphFrameScene scene = BuildGraphFrame(g, CGraphInfo(), 1.5, 1.5);
    EXPECT_EQ(g.plot.left, 54);
    EXPECT_EQ(scene.grid[0].y1, 115);
    EXPECT_EQ(scene.grid[1].y1, 22);
    EXPECT_EQ(scene.grid[2].y1, 207);
    // Name of graph 1: (L + 2, T, L + 75, T + 18).
    EXPECT_EQ(scene.texts[0].rect, R(56, 0, 129, 18));
    // Minimum label of graph 1: truncate(230 - 37.5) .. truncate(230 - 22.5).
    EXPECT_EQ(scene.texts[5].rect, R(1, 192, 52, 207));
    // A range's maximum and minimum are drawn on the grid lines.
    GraphSample full;
    full.rsoc = 100;
    GraphSample empty;
    empty.rsoc = 0;
    EXPECT_EQ(GraphPointFor(g, CGraphInfo(), 0, 0, full).y, scene.grid[1].y1);
    EXPECT_EQ(GraphPointFor(g, CGraphInfo(), 0, 0, empty).y, scene.grid[2].y1);
}

TEST(GraphScene, LabelsFollowKindsAndRanges)
{
    struct Case {
        int32_t kind1;
        int32_t kind2;
        std::vector<std::wstring> texts;
    };
    CGraphInfo info;
    info.m_range[GRAPH_KIND_VOLT] = {3000.0, 4200.0};
    const Case cases[] = {
        {GRAPH_KIND_TEMP,
         GRAPH_KIND_RSOC,
         {L"Temp", L"RSOC", L"70.0", L"\u2103", L"25.0", L"-20.0", L"100", L"%", L"50", L"0"}},
        {GRAPH_KIND_VOLT, GRAPH_KIND_NONE, {L"Volt", L"", L"4200", L"mV", L"3600", L"3000"}},
        {GRAPH_KIND_RSOC,
         GRAPH_KIND_VOLT,
         {L"RSOC", L"Volt", L"100", L"%", L"50", L"0", L"4200", L"mV", L"3600", L"3000"}},
    };
    const GraphGeometry g = Geometry(520, 230, 1.0, 0);
    for (const Case& c : cases) {
        info.m_graph1Kind = c.kind1;
        info.m_graph2Kind = c.kind2;
        EXPECT_EQ(TextsOf(BuildGraphFrame(g, info, 1.0, 1.0)), c.texts) << c.kind1 << "/" << c.kind2;
    }
}

TEST(GraphScene, SeriesDrawOnlyWithTwoPointsAndAKind)
{
    GraphPointLists lists;
    CGraphInfo info;
    lists.count = 0;
    EXPECT_EQ(SeriesPointCount(info, 0, lists), 0);
    lists.count = 1;
    EXPECT_EQ(SeriesPointCount(info, 0, lists), 0);
    lists.count = 2;
    EXPECT_EQ(SeriesPointCount(info, 0, lists), 2);
    EXPECT_EQ(SeriesPointCount(info, 1, lists), 2);
    info.m_graph2Kind = GRAPH_KIND_NONE;
    EXPECT_EQ(SeriesPointCount(info, 1, lists), 0);
    EXPECT_EQ(SeriesPointCount(info, 0, lists), 2);
    lists.count = 5000;  // corrupted count never runs past the list
    EXPECT_EQ(SeriesPointCount(info, 0, lists), kMaxVisibleRecords);
}

TEST(GraphScene, CursorRecordIndex)
{
    struct Case {
        int64_t count;
        int64_t offset;
        int64_t index;
    };
    const Case cases[] = {
        {0, 0, -1}, {1, 0, 0}, {10, 0, 9}, {10, 9, 0}, {10, 10, -1}, {10, -1, -1}, {10, 1000000, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CursorRecordIndex(c.count, c.offset), c.index) << c.count << "/" << c.offset;
    }
}

TEST(GraphScene, CursorLineRule)
{
    const GraphGeometry g = Geometry(520, 230, 1.0, 0);
    const double step = 448.0 / 99.0;
    struct Case {
        int32_t scroll;
        int32_t cursor;
        int32_t rsoc;
        bool drawn;
        int32_t x;
    };
    const Case cases[] = {
        {0, 0, 50, false, 0},                                // newest visible record: no line
        {0, 1, 50, true, static_cast<int32_t>(483 - step)},  // one further left
        {0, 99, 50, true, static_cast<int32_t>(483 - 99 * step)},
        {0, 100, 50, false, 0},  // left of the view
        {10, 10, 50, false, 0},
        {10, 12, 50, true, static_cast<int32_t>(483 - 2 * step)},
        {10, 5, 50, false, 0},                                   // right of the view
        {0, 5, -1, true, static_cast<int32_t>(483 - 5 * step)},  // standby still has a line
        {0, 5, -19999, true, static_cast<int32_t>(483 - 5 * step)},
        {0, 5, -20000, false, 0},
        {0, 5, -90000, false, 0},
    };
    for (const Case& c : cases) {
        const auto line = CursorLine(g, 0, c.scroll, c.cursor, c.rsoc);
        SCOPED_TRACE(testing::Message()
                     << "scroll " << c.scroll << " cursor " << c.cursor << " rsoc " << c.rsoc);
        ASSERT_EQ(line.has_value(), c.drawn);
        if (c.drawn) {
            EXPECT_EQ(line->x1, c.x);
            EXPECT_EQ(line->x2, c.x);
            EXPECT_EQ(line->y1, 0);
            EXPECT_EQ(line->y2, 230);
        }
    }
    // A wider zoom keeps lines for records further back.
    const GraphGeometry wide = Geometry(520, 230, 1.0, 10);
    EXPECT_TRUE(CursorLine(wide, 10, 0, 2099, 50).has_value());
    EXPECT_FALSE(CursorLine(wide, 10, 0, 2100, 50).has_value());
    // Offsets at the ends of their type do not wrap into the view.
    EXPECT_FALSE(
        CursorLine(g, 0, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 0));
    EXPECT_FALSE(
        CursorLine(g, 0, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(), 0));
}

TEST(GraphScene, DegenerateGeometryDoesNotOverflow)
{
    GraphGeometry g;
    g.width = std::numeric_limits<int32_t>::max();
    g.plot = R(std::numeric_limits<int32_t>::min(), 0, std::numeric_limits<int32_t>::max(),
               std::numeric_limits<int32_t>::max());
    g.xStep = std::numeric_limits<double>::quiet_NaN();
    CGraphInfo info;
    info.m_range[GRAPH_KIND_TEMP] = {-1e308, 1e308};
    const GraphFrameScene scene = BuildGraphFrame(g, info, 1e9, -1.0);
    EXPECT_EQ(scene.texts.size(), 10u);
    const auto line = CursorLine(g, 0, 0, 1, 0);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->x1, 0);  // NaN step lands on 0, not on undefined behaviour
}
