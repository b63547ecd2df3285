#include "ui/Layout_win.h"

namespace {
HWND Wnd(LayoutHandle handle)
{
    return static_cast<HWND>(handle);
}

PixelRect ToPixelRect(const RECT& r)
{
    return PixelRect{r.left, r.top, r.right, r.bottom};
}
}

bool CWin32LayoutPlatform::IsLiveWindow(LayoutHandle window)
{
    return window && IsWindow(Wnd(window));
}

LayoutHandle CWin32LayoutPlatform::ParentOf(LayoutHandle window)
{
    return GetParent(Wnd(window));
}

bool CWin32LayoutPlatform::ClientRect(LayoutHandle window, PixelRect& rect)
{
    RECT r{};
    if (!GetClientRect(Wnd(window), &r)) return false;
    rect = ToPixelRect(r);
    return true;
}

bool CWin32LayoutPlatform::RectInParent(LayoutHandle control, LayoutHandle parent, PixelRect& rect)
{
    RECT r{};
    if (!GetWindowRect(Wnd(control), &r)) return false;
    POINT topLeft{r.left, r.top};
    POINT bottomRight{r.right, r.bottom};
    if (!ScreenToClient(Wnd(parent), &topLeft) || !ScreenToClient(Wnd(parent), &bottomRight)) return false;
    rect = PixelRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    return true;
}

bool CWin32LayoutPlatform::BeginMoves(int32_t count)
{
    m_batch = BeginDeferWindowPos(count > 0 ? count : 1);
    return m_batch != nullptr;
}

bool CWin32LayoutPlatform::AddMove(LayoutHandle control, const PixelRect& rect)
{
    if (!m_batch) return false;
    // On failure DeferWindowPos frees the batch itself.
    m_batch = DeferWindowPos(m_batch, Wnd(control), nullptr, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return m_batch != nullptr;
}

bool CWin32LayoutPlatform::EndMoves()
{
    if (!m_batch) return false;
    const BOOL done = EndDeferWindowPos(m_batch);
    m_batch = nullptr;
    return done != FALSE;
}
