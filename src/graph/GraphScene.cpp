#include "graph/GraphScene.h"

namespace {

PixelRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    PixelRect r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

GraphText Text(std::wstring text, const PixelRect& rect, GraphTextAlign align, bool verticalCentre,
               uint32_t colour)
{
    GraphText t;
    t.text = std::move(text);
    t.rect = rect;
    t.align = align;
    t.verticalCentre = verticalCentre;
    t.colour = colour;
    return t;
}

// Maximum, unit, middle and minimum of one graph, in that order, all in the
// margin described by left and right.
void AddValueLabels(std::vector<GraphText>& texts, int32_t kind, const GraphRange& range, int32_t left,
                    int32_t right, GraphTextAlign align, uint32_t colour, int32_t bottom, double v)
{
    const double half = static_cast<double>(bottom / 2);
    const double middle = (range.max - range.min) * 0.5 + range.min;
    texts.push_back(Text(FormatGraphValue(kind, range.max),
                         Rect(left, TruncToPixel(15.0 * v), right, TruncToPixel(25.0 * v)), align, true,
                         colour));
    texts.push_back(
        Text(GraphKindUnit(kind), Rect(left, 3, right, TruncToPixel(25.0 * v)), align, false, colour));
    texts.push_back(Text(FormatGraphValue(kind, middle),
                         Rect(left, TruncToPixel(half - 5.0 * v), right, TruncToPixel(half + 5.0 * v)), align,
                         true, colour));
    texts.push_back(Text(FormatGraphValue(kind, range.min),
                         Rect(left, TruncToPixel(bottom - 25.0 * v), right, TruncToPixel(bottom - 15.0 * v)),
                         align, true, colour));
}

// Sum of two pixel values without overflow, even for a geometry that did not
// come from UpdateGraphGeometry.
int32_t Offset(int32_t pixel, int32_t delta)
{
    return ClampToPixel(static_cast<int64_t>(pixel) + delta);
}

}  // namespace

GraphFrameScene BuildGraphFrame(const GraphGeometry& geometry, const CGraphInfo& info, double hScale,
                                double vScale)
{
    const double h = SanitizeDpiScale(hScale);
    const double v = SanitizeDpiScale(vScale);
    const PixelRect& p = geometry.plot;
    GraphFrameScene scene;

    const int32_t middleY = p.bottom / 2;
    const int32_t maxY = TruncToPixel(p.top + 15.0 * v);
    const int32_t minY = TruncToPixel(p.bottom - 15.0 * v);
    scene.grid[0] = {p.left, middleY, p.right, middleY};
    scene.grid[1] = {p.left, maxY, p.right, maxY};
    scene.grid[2] = {p.left, minY, p.right, minY};
    scene.axes[0] = {p.left, p.top, p.left, p.bottom};
    scene.axes[1] = {p.right, p.top, p.right, p.bottom};

    const int32_t kind1 = info.KindOf(0);
    const int32_t kind2 = info.KindOf(1);
    const int32_t nameBottom = TruncToPixel(p.top + 12.0 * v);
    scene.texts.push_back(Text(GraphKindName(kind1),
                               Rect(Offset(p.left, 2), p.top, TruncToPixel(p.left + 50.0 * h), nameBottom),
                               GraphTextAlign::Left, true, kGraph1Colour));
    scene.texts.push_back(Text(GraphKindName(kind2),
                               Rect(TruncToPixel(static_cast<double>(p.right) - 2.0 - 50.0 * h), p.top,
                                    Offset(p.right, -2), nameBottom),
                               GraphTextAlign::Right, true, kGraph2Colour));

    // Left margin from x = 1 to L - 2, right margin from R + 3 to W - 1.
    AddValueLabels(scene.texts, kind1, info.RangeOf(0), 1, Offset(p.left, -2), GraphTextAlign::Right,
                   kGraph1Colour, p.bottom, v);
    if (kind2 != GRAPH_KIND_NONE) {
        AddValueLabels(scene.texts, kind2, info.RangeOf(1), Offset(p.right, 3), Offset(geometry.width, -1),
                       GraphTextAlign::Left, kGraph2Colour, p.bottom, v);
    }
    return scene;
}

int64_t CursorRecordIndex(int64_t recordCount, int64_t cursorOffset)
{
    if (recordCount <= 0 || cursorOffset < 0 || cursorOffset >= recordCount) {
        return -1;
    }
    return recordCount - 1 - cursorOffset;
}

std::optional<GraphLine> CursorLine(const GraphGeometry& geometry, int32_t zoomLevel, int32_t scrollOffset,
                                    int32_t cursorOffset, int32_t cursorRsoc)
{
    // Records whose rsoc is a marker far below any charge carry no point.
    if (!(static_cast<double>(cursorRsoc) > -20000.0)) {
        return std::nullopt;
    }
    const int64_t d = static_cast<int64_t>(cursorOffset) - scrollOffset;
    // d = 0 is the rightmost visible record: the line would hide the axis.
    if (d <= 0 || d >= VisibleRecordCount(zoomLevel)) {
        return std::nullopt;
    }
    const PixelRect& p = geometry.plot;
    const int32_t x =
        TruncToPixel((static_cast<double>(p.right) - 1.0) - static_cast<double>(d) * geometry.xStep);
    return GraphLine{x, p.top, x, p.bottom};
}

int32_t SeriesPointCount(const CGraphInfo& info, int graph, const GraphPointLists& lists)
{
    if (info.KindOf(graph) == GRAPH_KIND_NONE || lists.count < 2) {
        return 0;
    }
    return lists.count > kMaxVisibleRecords ? kMaxVisibleRecords : lists.count;
}
