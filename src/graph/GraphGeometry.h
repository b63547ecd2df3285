#pragma once
// Where the records land in the graph control: the plot rectangle, the x step
// and y scales, and the two point lists the renderer draws as polylines.
#include <cstdint>

#include "graph/GraphInfo.h"
#include "ui/PixelRect.h"

struct GraphGeometry {
    int32_t width = 0;              // W: client rectangle of the graph control is (0, 0, W, H)
    int32_t height = 0;             // H
    PixelRect plot;                 // L, T, R, B
    double vScale = 1.0;            // vertical DPI scale the geometry was made with
    double xStep = 0.0;             // pixels between neighbouring records, both graphs
    double yScale[2] = {0.0, 0.0};  // pixels per value unit, graph 1 and 2
};

// Largest client size taken as it is; bigger sizes are clamped to it (and
// negative ones to 0) so that no pixel computation can overflow.
constexpr int32_t kMaxGraphExtent = 1 << 24;

// Recomputes the geometry for a control of W x H pixels. A range whose span
// is not a positive number gets y scale 0: all its points then lie on the
// minimum line instead of dividing by zero.
void UpdateGraphGeometry(GraphGeometry& geometry, int32_t width, int32_t height, double vScale,
                         int32_t zoomLevel, const CGraphInfo& info);

// Same memory layout as the platform's POINT.
struct GraphPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct GraphPointLists {
    GraphPoint points[2][kMaxVisibleRecords];  // graph 1, graph 2
    int32_t count = 0;                         // shared by both lists
};

// Point of graph g (0 or 1) for the record i places left of the right edge.
GraphPoint GraphPointFor(const GraphGeometry& geometry, const CGraphInfo& info, int graph, int32_t i,
                         const GraphSample& sample);

// Rebuilds both point lists from the newest records. recordCount is the
// number of records; sampleAt(index) returns the GraphSample of the record at
// that index (0 oldest). At most VisibleRecordCount(zoomLevel) records are
// read, whatever the length of the log. A negative scroll offset is taken as
// 0.
template <class SampleAt>
void BuildGraphPoints(GraphPointLists& lists, const GraphGeometry& geometry, const CGraphInfo& info,
                      int32_t zoomLevel, int32_t scrollOffset, int64_t recordCount, SampleAt&& sampleAt)
{
    lists.count = 0;
    const int64_t offset = scrollOffset < 0 ? 0 : scrollOffset;
    const int32_t visible = VisibleRecordCount(zoomLevel);
    for (int32_t i = 0; i < visible; ++i) {
        if (offset + i >= recordCount) {
            break;
        }
        const GraphSample sample = sampleAt(recordCount - 1 - offset - i);
        lists.points[0][i] = GraphPointFor(geometry, info, 0, i, sample);
        lists.points[1][i] = GraphPointFor(geometry, info, 1, i, sample);
        lists.count = i + 1;
    }
}
