#pragma once
// Everything the graph painter draws, computed without a device context: the
// grid, the axes, the texts of both margins, the cursor line and which series
// get a polyline. The painter only turns these into pens, lines and texts.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graph/GraphGeometry.h"
#include "graph/GraphInfo.h"
#include "ui/PixelRect.h"

// Colours as the platform's COLORREF: 0x00BBGGRR.
constexpr uint32_t MakeRgb(uint32_t red, uint32_t green, uint32_t blue)
{
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

constexpr uint32_t kGraphBackgroundColour = MakeRgb(255, 255, 255);
constexpr uint32_t kGraphFrameColour = MakeRgb(0, 0, 0);
constexpr uint32_t kGraphGridColour = MakeRgb(220, 220, 220);
constexpr uint32_t kGraph1Colour = MakeRgb(0, 0, 255);
constexpr uint32_t kGraph2Colour = MakeRgb(255, 0, 255);
constexpr uint32_t kGraphCursorColour = MakeRgb(0, 200, 0);
constexpr int kGraphSeriesPenWidth = 2;

// From (x1, y1) to (x2, y2); the end point itself is not lit.
struct GraphLine {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
};

enum class GraphTextAlign { Left, Right };

// A single line of text, cut to its rectangle.
struct GraphText {
    std::wstring text;
    PixelRect rect;
    GraphTextAlign align = GraphTextAlign::Left;
    bool verticalCentre = true;  // otherwise at the top of the rectangle
    uint32_t colour = 0;
};

struct GraphFrameScene {
    GraphLine grid[3];             // middle, maximum and minimum lines, grey
    GraphLine axes[2];             // left and right axis, black
    std::vector<GraphText> texts;  // in drawing order
};

// Grid, axes and the texts of both graphs. h and v are the horizontal and
// vertical DPI scales. Graph 2 of kind None gets an empty name and no labels.
GraphFrameScene BuildGraphFrame(const GraphGeometry& geometry, const CGraphInfo& info, double hScale,
                                double vScale);

// Index of the cursor record (count back cursorOffset from the newest of
// recordCount records), or -1 when that lies outside the log.
int64_t CursorRecordIndex(int64_t recordCount, int64_t cursorOffset);

// The dotted cursor line for a cursor record whose rsoc is cursorRsoc (the
// caller found it with CursorRecordIndex). None when the record is not a
// measurement (rsoc at or below -20000), lies on the rightmost visible
// position or out of view.
std::optional<GraphLine> CursorLine(const GraphGeometry& geometry, int32_t zoomLevel, int32_t scrollOffset,
                                    int32_t cursorOffset, int32_t cursorRsoc);

// How many points of a graph's list make its polyline: 0 for kind None and
// when fewer than two points exist (nothing to draw).
int32_t SeriesPointCount(const CGraphInfo& info, int graph, const GraphPointLists& lists);
