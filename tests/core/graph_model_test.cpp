#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "graph/GraphGeometry.h"
#include "graph/GraphInfo.h"

namespace {

// Records as the graph sees them, with a log of which indices were read.
struct FakeLog {
    std::vector<GraphSample> samples;
    mutable std::vector<int64_t> reads;

    GraphSample operator()(int64_t index) const
    {
        reads.push_back(index);
        return samples.at(static_cast<size_t>(index));
    }
};

FakeLog RisingRsocLog(int count)
{
    FakeLog log;
    for (int i = 0; i < count; ++i) {
        GraphSample s;
        s.rsoc = i % 101;
        s.temperature = 25.0;
        s.voltage = 3700;
        log.samples.push_back(s);
    }
    return log;
}

GraphGeometry Geometry(int32_t w, int32_t h, double v, int32_t level, const CGraphInfo& info = CGraphInfo())
{
    GraphGeometry g;
    UpdateGraphGeometry(g, w, h, v, level, info);
    return g;
}

}  // namespace

TEST(GraphInfo, StartsWithRsocAndTempAndTheirRanges)
{
    const CGraphInfo info;
    EXPECT_EQ(info.m_graph1Kind, GRAPH_KIND_RSOC);
    EXPECT_EQ(info.m_graph2Kind, GRAPH_KIND_TEMP);
    const double expected[4][2] = {{0, 100}, {-20, 70}, {0, 5000}, {0, 100}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(info.m_range[k].min, expected[k][0]) << k;
        EXPECT_EQ(info.m_range[k].max, expected[k][1]) << k;
    }
    CGraphInfo copy;
    copy.m_graph2Kind = GRAPH_KIND_NONE;
    copy.m_range[GRAPH_KIND_VOLT].max = 4200;
    CGraphInfo other;
    other = copy;
    EXPECT_EQ(other.m_graph2Kind, GRAPH_KIND_NONE);
    EXPECT_EQ(other.m_range[GRAPH_KIND_VOLT].max, 4200);
}

TEST(GraphInfo, CorruptKindsReadAsNone)
{
    CGraphInfo info;
    info.m_graph1Kind = -7;
    info.m_graph2Kind = 1000;
    EXPECT_EQ(info.KindOf(0), GRAPH_KIND_NONE);
    EXPECT_EQ(info.KindOf(1), GRAPH_KIND_NONE);
    EXPECT_EQ(&info.RangeOf(1), &info.m_range[GRAPH_KIND_NONE]);
}

TEST(GraphInfo, VisibleCountPerZoomLevel)
{
    const int32_t expected[] = {100, 300, 500, 700, 900, 1100, 1300, 1500, 1700, 1900, 2100};
    for (int32_t level = 0; level <= 10; ++level) {
        EXPECT_EQ(VisibleRecordCount(level), expected[level]) << level;
    }
    // Out-of-range levels never ask for more than the point lists hold.
    EXPECT_EQ(VisibleRecordCount(-1), 100);
    EXPECT_EQ(VisibleRecordCount(11), kMaxVisibleRecords);
    EXPECT_EQ(VisibleRecordCount(std::numeric_limits<int32_t>::min()), 100);
    EXPECT_EQ(VisibleRecordCount(std::numeric_limits<int32_t>::max()), kMaxVisibleRecords);
}

TEST(GraphInfo, RecordValuePerKind)
{
    GraphSample s;
    s.rsoc = 42;
    s.temperature = -3.5;
    s.voltage = 65535;
    EXPECT_EQ(GraphValueOf(GRAPH_KIND_RSOC, s), 42.0);
    EXPECT_EQ(GraphValueOf(GRAPH_KIND_TEMP, s), -3.5);
    EXPECT_EQ(GraphValueOf(GRAPH_KIND_VOLT, s), 65535.0);
    EXPECT_EQ(GraphValueOf(GRAPH_KIND_NONE, s), 0.0);
    s.rsoc = -1;  // standby
    EXPECT_EQ(GraphValueOf(GRAPH_KIND_RSOC, s), 0.0);
    s.rsoc = -2;  // not a standby marker
    EXPECT_EQ(GraphValueOf(GRAPH_KIND_RSOC, s), -2.0);
}

TEST(GraphGeometry, WorkedExampleAt96Dpi)
{
    const GraphGeometry g = Geometry(520, 230, 1.0, 0);
    EXPECT_EQ(g.width, 520);
    EXPECT_EQ(g.height, 230);
    EXPECT_EQ(g.plot.left, 36);
    EXPECT_EQ(g.plot.top, 0);
    EXPECT_EQ(g.plot.right, 484);
    EXPECT_EQ(g.plot.bottom, 230);
    EXPECT_DOUBLE_EQ(g.xStep, 448.0 / 99.0);
    EXPECT_DOUBLE_EQ(g.yScale[0], 2.0);         // RSOC 0..100
    EXPECT_DOUBLE_EQ(g.yScale[1], 200.0 / 90);  // Temp -20..70

    FakeLog log = RisingRsocLog(1);
    log.samples[0].rsoc = 50;
    log.samples.push_back(log.samples[0]);
    GraphPointLists lists;
    BuildGraphPoints(lists, g, CGraphInfo(), 0, 0, 2, log);
    ASSERT_EQ(lists.count, 2);
    EXPECT_EQ(lists.points[0][0].x, 484);
    EXPECT_EQ(lists.points[0][0].y, 115);
    EXPECT_EQ(lists.points[0][1].x, 479);
    EXPECT_EQ(lists.points[1][0].x, 484);  // both graphs share the time axis
}

TEST(GraphPoints, WindowOfRecordsForZoomAndScroll)
{
    struct Case {
        int records;
        int32_t level;
        int32_t scroll;
        int32_t points;
        int64_t newestRead;  // record drawn at R
        int64_t oldestRead;  // record drawn furthest left
    };
    const Case cases[] = {
        {0, 0, 0, 0, -1, -1},         {1, 0, 0, 1, 0, 0},
        {150, 0, 0, 100, 149, 50},    {150, 0, 50, 100, 99, 0},
        {150, 0, 149, 1, 0, 0},       {150, 0, 150, 0, -1, -1},  // past the oldest record: nothing
        {150, 1, 0, 150, 149, 0},     {3000, 10, 0, 2100, 2999, 900},
        {2100, 10, 0, 2100, 2099, 0}, {150, 0, -5, 100, 149, 50},  // a negative offset reads as 0
    };
    for (const Case& c : cases) {
        FakeLog log = RisingRsocLog(c.records);
        GraphPointLists lists;
        lists.count = 77;
        const GraphGeometry g = Geometry(520, 230, 1.0, c.level);
        BuildGraphPoints(lists, g, CGraphInfo(), c.level, c.scroll, c.records, log);
        SCOPED_TRACE(testing::Message()
                     << c.records << " records, level " << c.level << ", scroll " << c.scroll);
        EXPECT_EQ(lists.count, c.points);
        ASSERT_EQ(log.reads.size(), static_cast<size_t>(c.points));
        if (c.points > 0) {
            EXPECT_EQ(log.reads.front(), c.newestRead);
            EXPECT_EQ(log.reads.back(), c.oldestRead);
            EXPECT_EQ(lists.points[0][0].x, g.plot.right);
        }
        if (c.points == VisibleRecordCount(c.level)) {
            // A full view reaches the left axis.
            EXPECT_EQ(lists.points[0][c.points - 1].x, g.plot.left);
        }
    }
}

TEST(GraphPoints, LongLogReadsOnlyTheVisibleRecords)
{
    // 10^6 records: the build touches one view's worth, newest first.
    struct CountingLog {
        int64_t* reads;
        GraphSample operator()(int64_t index) const
        {
            ++*reads;
            GraphSample s;
            s.rsoc = static_cast<int32_t>(index % 100);
            return s;
        }
    };
    int64_t reads = 0;
    GraphPointLists lists;
    const GraphGeometry g = Geometry(800, 300, 1.0, 10);
    BuildGraphPoints(lists, g, CGraphInfo(), 10, 0, 1000000, CountingLog{&reads});
    EXPECT_EQ(lists.count, 2100);
    EXPECT_EQ(reads, 2100);
}

TEST(GraphPoints, ValuesOutsideTheRangeLieBeyondTheGridLines)
{
    GraphGeometry g = Geometry(520, 230, 1.0, 0);
    CGraphInfo info;
    struct Case {
        int graph;
        GraphSample sample;
        int32_t y;
    };
    GraphSample hot;
    hot.temperature = 80.0;
    GraphSample cold;
    cold.temperature = -30.0;
    GraphSample standby;
    standby.rsoc = -1;
    GraphSample overfull;
    overfull.rsoc = 120;
    const Case cases[] = {
        {1, hot, TruncToPixel(215 - 100 * 200.0 / 90)},  // above the maximum line at 15
        {1, cold, TruncToPixel(215 + 10 * 200.0 / 90)},  // below the minimum line at 215
        {0, standby, 215},                               // standby drawn at RSOC 0
        {0, overfull, -25},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GraphPointFor(g, info, c.graph, 0, c.sample).y, c.y);
    }
    EXPECT_LT(GraphPointFor(g, info, 1, 0, hot).y, 15);
    EXPECT_GT(GraphPointFor(g, info, 1, 0, cold).y, 215);

    info.m_graph2Kind = GRAPH_KIND_VOLT;
    GraphSample half;
    half.voltage = 2500;
    UpdateGraphGeometry(g, 520, 230, 1.0, 0, info);
    EXPECT_EQ(GraphPointFor(g, info, 1, 0, half).y, 115);
}

TEST(GraphGeometry, HostileInputsStayFiniteAndInRange)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        int32_t w, h;
        double v;
        int32_t level;
    };
    const Case cases[] = {
        {0, 0, 1.0, 0},
        {-100, -100, 1.0, 0},
        {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max(), 1.0, 10},
        {520, 230, nan, 0},
        {520, 230, 0.0, 0},
        {520, 230, -2.0, 0},
        {520, 230, inf, 0},
        {520, 230, 1e300, 0},
        {10, 10, 1.0, -50},
        {10, 10, 64.0, 99},
    };
    for (const Case& c : cases) {
        CGraphInfo info;
        info.m_range[GRAPH_KIND_RSOC] = {5.0, 5.0};   // no span
        info.m_range[GRAPH_KIND_TEMP] = {nan, 70.0};  // not a number
        GraphGeometry g;
        UpdateGraphGeometry(g, c.w, c.h, c.v, c.level, info);
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " v " << c.v << " level " << c.level);
        EXPECT_GE(g.width, 0);
        EXPECT_LE(g.width, kMaxGraphExtent);
        EXPECT_TRUE(std::isfinite(g.xStep));
        EXPECT_EQ(g.yScale[0], 0.0);
        EXPECT_EQ(g.yScale[1], 0.0);

        FakeLog log = RisingRsocLog(3);
        log.samples[1].temperature = nan;
        log.samples[2].temperature = -inf;
        GraphPointLists lists;
        BuildGraphPoints(lists, g, info, c.level, 0, 3, log);
        EXPECT_EQ(lists.count, 3);
        for (int i = 0; i < lists.count; ++i) {
            for (int graph = 0; graph < 2; ++graph) {
                EXPECT_LE(std::abs(static_cast<int64_t>(lists.points[graph][i].x)), kPixelLimit);
                EXPECT_LE(std::abs(static_cast<int64_t>(lists.points[graph][i].y)), kPixelLimit);
            }
        }
    }

    // Extreme values with a sane range saturate instead of wrapping.
    const GraphGeometry g = Geometry(520, 230, 1.0, 0);
    GraphSample extreme;
    extreme.temperature = -1e300;
    EXPECT_EQ(GraphPointFor(g, CGraphInfo(), 1, 0, extreme).y, kPixelLimit);
    extreme.temperature = 1e300;
    EXPECT_EQ(GraphPointFor(g, CGraphInfo(), 1, 0, extreme).y, -kPixelLimit);
}
