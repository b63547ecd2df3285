#pragma once
// Zoom, scrolling and cursor picking of the graph, as arithmetic on the view
// state. The window code applies the results to the trackbar, the scroll bar
// and the readout boxes.
#include <cstdint>
#include <optional>

#include "graph/GraphGeometry.h"
#include "ui/PixelRect.h"

// Horizontal scroll notification codes, numbered as the platform numbers
// them (SB_* and, for the trackbar, TB_ENDTRACK).
enum GraphScrollCode : int32_t {
    GRAPH_SCROLL_LINE_LEFT = 0,
    GRAPH_SCROLL_LINE_RIGHT = 1,
    GRAPH_SCROLL_PAGE_LEFT = 2,
    GRAPH_SCROLL_PAGE_RIGHT = 3,
    GRAPH_SCROLL_THUMB_POSITION = 4,
    GRAPH_SCROLL_THUMB_TRACK = 5,
    GRAPH_SCROLL_LEFT = 6,
    GRAPH_SCROLL_RIGHT = 7,
    GRAPH_SCROLL_END_SCROLL = 8,
    GRAPH_TRACKBAR_END_TRACK = 8,
};

// What the graph scroll bar should show. When enabled, its range is
// 0..rangeMax and its thumb at position; when disabled, range and position
// are left alone.
struct GraphScrollBarState {
    bool enabled = false;
    int32_t rangeMax = 0;
    int32_t position = 0;
};

// Records that do not fit into the view: count - visible(zoom), saturated to
// 32 bits. Negative when everything fits.
int32_t GraphScrollDiff(int64_t recordCount, int32_t zoomLevel);

// After records were appended, cleared or loaded: enables the bar when there
// is more than one view of records and pulls scrollOffset back into range.
GraphScrollBarState UpdateGraphScrollBar(int64_t recordCount, int32_t zoomLevel, int32_t& scrollOffset);

// True for every trackbar notification except the end of a tracking, so the
// graph follows the thumb while it is dragged.
bool ZoomNotificationApplies(int32_t code);

// Trackbar moved to trackbarPosition (clamped to 0..10): sets zoomLevel, keeps
// the right edge where it was unless the view would run past the oldest
// record, and sets scrollOffset to 0 when everything fits.
GraphScrollBarState ApplyZoom(int64_t recordCount, int32_t trackbarPosition, int32_t& zoomLevel,
                              int32_t& scrollOffset);

struct GraphScrollResult {
    int32_t scrollOffset = 0;
    bool setPosition = false;  // false while the thumb is dragged
    int32_t position = 0;      // bar position when setPosition
};

// One scroll-bar notification. thumbPosition is the tracking position of
// thumb-track. The new offset is kept within 0..max(0, diff) whatever the
// inputs, so a stale or out-of-range thumb position cannot leave the view
// beyond the log.
GraphScrollResult ApplyGraphScroll(int32_t code, int32_t thumbPosition, int64_t recordCount,
                                   int32_t zoomLevel, int32_t scrollOffset);

// Rectangle of a control in its dialog's client coordinates, from its screen
// rectangle and the screen position of the dialog's client origin (the real
// one: frame widths differ between fixed and resizable frames).
PixelRect ControlRectInClient(const PixelRect& screenRect, int32_t clientLeft, int32_t clientTop);

// Mouse pick over the graph control (controlRect in the same coordinates as
// x, y). The hit area is the plot's width and the control's full height, left
// and top edges included. Returns the cursor offset (a count back from the
// newest record) or nothing when the point misses or the plot has no width.
std::optional<int32_t> PickCursorOffset(const PixelRect& controlRect, const GraphGeometry& geometry,
                                        int32_t zoomLevel, int32_t scrollOffset, int32_t x, int32_t y);

// The cursor follows its record when one is appended: one more step back.
int32_t StepCursorOffset(int32_t cursorOffset);
