#pragma once
// The window operations the layout rules need, on real windows: live-window
// test, parent, client and outer rectangles, and one deferred batch of moves.
#include <windows.h>

#include "ui/ResizeLayout.h"

class CWin32LayoutPlatform : public CLayoutPlatform {
public:
    CWin32LayoutPlatform() = default;
    CWin32LayoutPlatform(const CWin32LayoutPlatform&) = delete;
    CWin32LayoutPlatform& operator=(const CWin32LayoutPlatform&) = delete;

    bool IsLiveWindow(LayoutHandle window) override;
    LayoutHandle ParentOf(LayoutHandle window) override;
    bool ClientRect(LayoutHandle window, PixelRect& rect) override;
    bool RectInParent(LayoutHandle control, LayoutHandle parent, PixelRect& rect) override;
    bool BeginMoves(int32_t count) override;
    bool AddMove(LayoutHandle control, const PixelRect& rect) override;
    bool EndMoves() override;

private:
    HDWP m_batch = nullptr;
};
