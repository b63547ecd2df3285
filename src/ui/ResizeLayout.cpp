#include "ui/ResizeLayout.h"

#include <cstddef>

ResizeMargins UnsetMargins()
{
    ResizeMargins m;
    m.left = m.top = m.right = m.bottom = kUnsetMargin;
    return m;
}

bool AreUnsetMargins(const ResizeMargins& m)
{
    return m.left == kUnsetMargin && m.top == kUnsetMargin && m.right == kUnsetMargin &&
           m.bottom == kUnsetMargin;
}

bool IsContradictoryRule(uint32_t flags)
{
    const uint32_t horizontal = ANCHOR_LEFT | ANCHOR_RIGHT | KEEP_WIDTH;
    const uint32_t vertical = ANCHOR_TOP | ANCHOR_BOTTOM | KEEP_HEIGHT;
    return (flags & horizontal) == horizontal || (flags & vertical) == vertical;
}

ResizeMargins MeasureMargins(const PixelRect& client, const PixelRect& control)
{
    ResizeMargins m;
    m.left = control.left;
    m.top = control.top;
    m.right = Saturate32(static_cast<int64_t>(client.right) - control.right);
    m.bottom = Saturate32(static_cast<int64_t>(client.bottom) - control.bottom);
    return m;
}

PixelRect ApplyResizeRule(const ResizeSpec& rule, const PixelRect& client, const PixelRect& current)
{
    // 64-bit throughout: margins and rectangles are whatever the caller
    // measured, and their sums must not wrap.
    const int64_t w = static_cast<int64_t>(current.right) - current.left;
    const int64_t h = static_cast<int64_t>(current.bottom) - current.top;
    int64_t left = current.left;
    int64_t top = current.top;
    int64_t right = current.right;
    int64_t bottom = current.bottom;
    const uint32_t f = rule.flags;
    if (f & ANCHOR_LEFT) {
        left = static_cast<int64_t>(client.left) + rule.margins.left;
        if (f & KEEP_WIDTH) {
            right = left + w;
        }
    }
    if (f & ANCHOR_RIGHT) {
        right = static_cast<int64_t>(client.right) - rule.margins.right;
        if (f & KEEP_WIDTH) {
            left = right - w;
        }
    }
    if (f & ANCHOR_TOP) {
        top = static_cast<int64_t>(client.top) + rule.margins.top;
        if (f & KEEP_HEIGHT) {
            bottom = top + h;
        }
    }
    if (f & ANCHOR_BOTTOM) {
        bottom = static_cast<int64_t>(client.bottom) - rule.margins.bottom;
        if (f & KEEP_HEIGHT) {
            top = bottom - h;
        }
    }
    if (right < left) {
        right = left;
    }
    if (bottom < top) {
        bottom = top;
    }
    PixelRect r;
    r.left = ClampToPixel(left);
    r.top = ClampToPixel(top);
    r.right = ClampToPixel(right);
    r.bottom = ClampToPixel(bottom);
    return r;
}

CResizeLayout::CResizeLayout(CLayoutPlatform& platform) : m_platform(platform) {}

bool CResizeLayout::SetControlRule(LayoutHandle control, uint32_t flags, const ResizeMargins& margins)
{
    if (!m_platform.IsLiveWindow(control)) {
        return false;
    }
    ResizeSpec* found = nullptr;
    size_t foundAt = 0;
    for (size_t i = 0; i < m_rules.size(); ++i) {
        if (m_rules[i].control == control) {
            found = &m_rules[i];
            foundAt = i;
            break;
        }
    }
    if (flags == 0) {
        if (found == nullptr) {
            return false;
        }
        m_rules.erase(m_rules.begin() + static_cast<std::ptrdiff_t>(foundAt));
        return true;
    }
    if (IsContradictoryRule(flags)) {
        return false;
    }
    ResizeMargins stored = margins;
    if (AreUnsetMargins(margins)) {
        const LayoutHandle parent = m_platform.ParentOf(control);
        PixelRect client;
        PixelRect rect;
        if (parent == nullptr || !m_platform.ClientRect(parent, client) ||
            !m_platform.RectInParent(control, parent, rect)) {
            return false;
        }
        stored = MeasureMargins(client, rect);
    }
    if (found == nullptr) {
        m_rules.push_back(ResizeSpec());
        found = &m_rules.back();
    }
    found->control = control;
    found->margins = stored;
    found->flags = flags;
    return true;
}

bool CResizeLayout::SetStretchRight(LayoutHandle control)
{
    return SetControlRule(control, kStretchRight, UnsetMargins());
}

bool CResizeLayout::SetRideBottom(LayoutHandle control)
{
    return SetControlRule(control, kRideBottom, UnsetMargins());
}

bool CResizeLayout::SetStretchRightDown(LayoutHandle control, uint32_t extraFlags)
{
    return SetControlRule(control, kStretchRightDown | extraFlags, UnsetMargins());
}

bool CResizeLayout::ApplyLayout(LayoutHandle parent)
{
    if (parent == nullptr) {
        return false;
    }
    // Read the client area first so that a failure leaves no batch open.
    PixelRect client;
    if (!m_platform.ClientRect(parent, client)) {
        return false;
    }
    if (!m_platform.BeginMoves(static_cast<int32_t>(m_rules.size()))) {
        return false;
    }
    for (const ResizeSpec& rule : m_rules) {
        PixelRect current;
        if (!m_platform.RectInParent(rule.control, parent, current)) {
            current = PixelRect();
        }
        if (!m_platform.AddMove(rule.control, ApplyResizeRule(rule, client, current))) {
            return false;
        }
    }
    return m_platform.EndMoves();
}
