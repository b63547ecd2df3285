#include "graph/GraphNavigation.h"

#include <cmath>
#include <limits>

namespace {

int32_t ClampOffset(int64_t offset, int32_t diff)
{
    const int64_t top = diff > 0 ? diff : 0;
    if (offset < 0) {
        return 0;
    }
    return static_cast<int32_t>(offset > top ? top : offset);
}

}  // namespace

int32_t GraphScrollDiff(int64_t recordCount, int32_t zoomLevel)
{
    // A negative count (there is none) is taken as 0, so the subtraction
    // cannot overflow.
    const int64_t count = recordCount < 0 ? 0 : recordCount;
    return Saturate32(count - VisibleRecordCount(zoomLevel));
}

GraphScrollBarState UpdateGraphScrollBar(int64_t recordCount, int32_t zoomLevel, int32_t& scrollOffset)
{
    GraphScrollBarState bar;
    const int32_t diff = GraphScrollDiff(recordCount, zoomLevel);
    bar.enabled = diff > 0;
    if (bar.enabled) {
        scrollOffset = ClampOffset(scrollOffset, diff);
        bar.rangeMax = diff;
        bar.position = Saturate32(static_cast<int64_t>(diff) - scrollOffset);
    }
    return bar;
}

bool ZoomNotificationApplies(int32_t code)
{
    return code != GRAPH_TRACKBAR_END_TRACK;
}

GraphScrollBarState ApplyZoom(int64_t recordCount, int32_t trackbarPosition, int32_t& zoomLevel,
                              int32_t& scrollOffset)
{
    zoomLevel = ClampZoomLevel(trackbarPosition);
    GraphScrollBarState bar = UpdateGraphScrollBar(recordCount, zoomLevel, scrollOffset);
    if (!bar.enabled) {
        scrollOffset = 0;
    }
    return bar;
}

GraphScrollResult ApplyGraphScroll(int32_t code, int32_t thumbPosition, int64_t recordCount,
                                   int32_t zoomLevel, int32_t scrollOffset)
{
    const int32_t diff = GraphScrollDiff(recordCount, zoomLevel);
    const int64_t offset = scrollOffset;
    int64_t next = offset;
    switch (code) {
        case GRAPH_SCROLL_LINE_LEFT: next = offset < diff ? offset + 1 : diff; break;
        case GRAPH_SCROLL_LINE_RIGHT: next = offset > 0 ? offset - 1 : 0; break;
        case GRAPH_SCROLL_PAGE_LEFT:
            next = offset < static_cast<int64_t>(diff) - 20 ? offset + 20 : diff;
            break;
        case GRAPH_SCROLL_PAGE_RIGHT: next = offset > 20 ? offset - 20 : 0; break;
        case GRAPH_SCROLL_THUMB_TRACK: next = static_cast<int64_t>(diff) - thumbPosition; break;
        default: break;
    }
    GraphScrollResult result;
    result.scrollOffset = ClampOffset(next, diff);
    // While the thumb is dragged the platform moves it itself.
    result.setPosition = code != GRAPH_SCROLL_THUMB_TRACK;
    if (result.setPosition) {
        result.position = Saturate32(static_cast<int64_t>(diff) - result.scrollOffset);
    }
    return result;
}

PixelRect ControlRectInClient(const PixelRect& screenRect, int32_t clientLeft, int32_t clientTop)
{
    const int64_t dx = -static_cast<int64_t>(clientLeft);
    const int64_t dy = -static_cast<int64_t>(clientTop);
    PixelRect r;
    r.left = ClampToPixel(screenRect.left + dx);
    r.top = ClampToPixel(screenRect.top + dy);
    r.right = ClampToPixel(screenRect.right + dx);
    r.bottom = ClampToPixel(screenRect.bottom + dy);
    return r;
}

std::optional<int32_t> PickCursorOffset(const PixelRect& controlRect, const GraphGeometry& geometry,
                                        int32_t zoomLevel, int32_t scrollOffset, int32_t x, int32_t y)
{
    const PixelRect& plot = geometry.plot;
    const int64_t left = static_cast<int64_t>(controlRect.left) + plot.left;
    const int64_t right =
        static_cast<int64_t>(controlRect.right) - (static_cast<int64_t>(geometry.width) - plot.right);
    if (x < left || x >= right || y < controlRect.top || y >= controlRect.bottom) {
        return std::nullopt;
    }
    const int64_t plotWidth = static_cast<int64_t>(plot.right) - plot.left;
    if (plotWidth <= 0) {
        return std::nullopt;
    }
    // Deliberately P / visible, not the x step P / (visible - 1), so a pick
    // at the very left edge names the record just left of the view.
    const double perRecord = static_cast<double>(plotWidth) / VisibleRecordCount(zoomLevel);
    double d = std::trunc(static_cast<double>(right - x) / perRecord);
    if (d < 0.0) {
        d = 0.0;
    }
    const double offset = d + scrollOffset;
    if (offset >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(offset);
}

int32_t StepCursorOffset(int32_t cursorOffset)
{
    return cursorOffset == std::numeric_limits<int32_t>::max() ? cursorOffset : cursorOffset + 1;
}
