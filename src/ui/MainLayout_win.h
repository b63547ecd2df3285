#pragma once
// The main window's layout: the rules of its resizable controls and its
// minimum size (the outer size it first opened with). User interface thread.
#include <vector>
#include <windows.h>

#include "ui/Layout_win.h"
#include "ui/ResizeLayout.h"

class CMainLayout {
public:
    // Margins are measured now, from the controls' template positions.
    void Register(HWND window);
    void Apply() { m_rules.ApplyLayout(m_window); }
    // WM_GETMINMAXINFO: never smaller than it opened.
    void OnGetMinMaxInfo(MINMAXINFO* info) const;

    int MinWidth() const { return m_minWidth; }
    int MinHeight() const { return m_minHeight; }
    const std::vector<ResizeSpec>& Rules() const { return m_rules.Rules(); }

private:
    HWND m_window = nullptr;
    int m_minWidth = 0;
    int m_minHeight = 0;
    CWin32LayoutPlatform m_platform;
    CResizeLayout m_rules{m_platform};
};
