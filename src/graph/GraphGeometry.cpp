#include "graph/GraphGeometry.h"

namespace {

int32_t ClampExtent(int32_t value)
{
    if (value < 0) {
        return 0;
    }
    return value > kMaxGraphExtent ? kMaxGraphExtent : value;
}

}  // namespace

void UpdateGraphGeometry(GraphGeometry& geometry, int32_t width, int32_t height, double vScale,
                         int32_t zoomLevel, const CGraphInfo& info)
{
    const double v = SanitizeDpiScale(vScale);
    geometry.width = ClampExtent(width);
    geometry.height = ClampExtent(height);
    geometry.vScale = v;

    // The vertical scale sizes the horizontal margins too.
    PixelRect& plot = geometry.plot;
    plot.left = TruncToPixel(36.0 * v);
    plot.top = 0;
    plot.right = TruncToPixel(geometry.width - 36.0 * v);
    plot.bottom = geometry.height;

    geometry.xStep = (static_cast<double>(plot.right) - plot.left) / (VisibleRecordCount(zoomLevel) - 1);

    const double usable = (static_cast<double>(plot.bottom) - plot.top) - 30.0 * v;
    for (int graph = 0; graph < 2; ++graph) {
        const GraphRange& range = info.RangeOf(graph);
        const double span = range.max - range.min;
        geometry.yScale[graph] = span > 0.0 ? usable / span : 0.0;
    }
}

GraphPoint GraphPointFor(const GraphGeometry& geometry, const CGraphInfo& info, int graph, int32_t i,
                         const GraphSample& sample)
{
    const int32_t kind = info.KindOf(graph);
    const double value = GraphValueOf(kind, sample);
    const PixelRect& plot = geometry.plot;
    GraphPoint point;
    point.x = TruncToPixel(plot.right - geometry.xStep * i);
    // A range's minimum sits 15 x v above the bottom edge; values outside the
    // range lie beyond the grid lines and are only cut by the control edges.
    const double base = plot.bottom - 15.0 * geometry.vScale;
    point.y = TruncToPixel(base - (value - info.RangeOf(graph).min) * geometry.yScale[graph]);
    return point;
}
