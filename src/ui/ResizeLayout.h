#pragma once
// Layout rules that keep controls attached to the edges of their parent's
// client area while the window is resized, and the geometry of one rule. The
// window operations come through CLayoutPlatform so the rules run and are
// tested without a window system.
#include <cstdint>
#include <vector>

#include "ui/PixelRect.h"

enum ResizeAnchor : uint32_t {
    ANCHOR_LEFT = 0x01,
    ANCHOR_RIGHT = 0x02,
    ANCHOR_TOP = 0x04,
    ANCHOR_BOTTOM = 0x08,
    KEEP_WIDTH = 0x10,
    KEEP_HEIGHT = 0x20,
};

// The control stretches to the right.
constexpr uint32_t kStretchRight = ANCHOR_RIGHT;
// The control rides on the bottom edge, keeping its size.
constexpr uint32_t kRideBottom = ANCHOR_BOTTOM | KEEP_WIDTH | KEEP_HEIGHT;
// The control stretches right and down (plus caller flags).
constexpr uint32_t kStretchRightDown = ANCHOR_RIGHT | ANCHOR_BOTTOM;

// Platform window handle, opaque here.
using LayoutHandle = void*;

struct ResizeMargins {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;   // distance of the control's right edge from the client right edge
    int32_t bottom = 0;  // distance of the control's bottom edge from the client bottom edge
};

// All four margins at the smallest 32-bit value: measure them from where the
// control is now.
constexpr int32_t kUnsetMargin = INT32_MIN;
ResizeMargins UnsetMargins();
bool AreUnsetMargins(const ResizeMargins& margins);

struct ResizeSpec {
    LayoutHandle control = nullptr;
    ResizeMargins margins;
    uint32_t flags = 0;
};

// Left+right+keep-width or top+bottom+keep-height cannot all hold at once.
bool IsContradictoryRule(uint32_t flags);

// Margins of a control at `control` (in the parent's client coordinates)
// inside the client rectangle `client`.
ResizeMargins MeasureMargins(const PixelRect& client, const PixelRect& control);

// New rectangle of a control for the client rectangle `client`, from its
// current rectangle and its rule. Edges without an anchor stay. A width or
// height that would be negative (a minimised window has an empty client area)
// becomes 0, keeping the left and top edges; the margins are kept, so the
// next size change puts the control back.
PixelRect ApplyResizeRule(const ResizeSpec& rule, const PixelRect& client, const PixelRect& current);

// What the rules need from the window system.
class CLayoutPlatform {
public:
    virtual ~CLayoutPlatform() = default;
    virtual bool IsLiveWindow(LayoutHandle window) = 0;
    virtual LayoutHandle ParentOf(LayoutHandle window) = 0;
    virtual bool ClientRect(LayoutHandle window, PixelRect& rect) = 0;
    // The control's outer rectangle in its parent's client coordinates.
    virtual bool RectInParent(LayoutHandle control, LayoutHandle parent, PixelRect& rect) = 0;
    // One batched move of several windows; z-order unchanged.
    virtual bool BeginMoves(int32_t count) = 0;
    virtual bool AddMove(LayoutHandle control, const PixelRect& rect) = 0;  // false abandons the batch
    virtual bool EndMoves() = 0;
};

class CResizeLayout {
public:
    explicit CResizeLayout(CLayoutPlatform& platform);
    CResizeLayout(const CResizeLayout&) = delete;
    CResizeLayout& operator=(const CResizeLayout&) = delete;

    // Adds a rule, replaces the rule of a control that has one (keeping its
    // place), or with flags 0 removes it. False for a dead window, a
    // contradictory rule, flags 0 without a rule, or unset margins on a
    // control without a parent.
    bool SetControlRule(LayoutHandle control, uint32_t flags, const ResizeMargins& margins);
    bool SetStretchRight(LayoutHandle control);
    bool SetRideBottom(LayoutHandle control);
    bool SetStretchRightDown(LayoutHandle control, uint32_t extraFlags);

    // Places every registered control for the parent's current client area in
    // one batch. True when every control was placed.
    bool ApplyLayout(LayoutHandle parent);

    const std::vector<ResizeSpec>& Rules() const { return m_rules; }

private:
    CLayoutPlatform& m_platform;
    std::vector<ResizeSpec> m_rules;
};
