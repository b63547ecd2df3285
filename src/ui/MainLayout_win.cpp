// The main window follows its size: the registered controls move and stretch,
// the status bar and the log list's columns are re-fitted and the graph is
// redrawn for its new size. The window never gets smaller than it opened.
#include "app/VantrelDlg_win.h"

#include "resource.h"
#include "ui/DpiMetrics.h"

void CVantrelDlg::RegisterLayout()
{
    // Margins are measured now, from the template positions.
    m_layout.SetStretchRight(Item(IDC_GRAPH_AREA));
    m_layout.SetStretchRight(Item(IDC_GRAPH_SCROLL));
    m_layout.SetStretchRightDown(Item(IDC_DATA_MEASURED_GROUP), 0);
    m_layout.SetStretchRightDown(Item(IDC_LOG_LIST), 0);
    m_layout.SetRideBottom(Item(IDC_START_MEASURE));
    m_layout.SetRideBottom(Item(IDC_STOP_MEASURE));
    m_layout.SetStretchRightDown(Item(IDC_CLEAR_LOG), KEEP_WIDTH | KEEP_HEIGHT);
    m_layout.SetStretchRightDown(Item(IDC_STORE_LOG), KEEP_WIDTH | KEEP_HEIGHT);
}

void CVantrelDlg::OnSize(UINT /*type*/, int /*cx*/, int /*cy*/)
{
    m_layout.ApplyLayout(GetHwnd());
    LayoutStatusBar();
    if (const HWND list = Item(IDC_LOG_LIST)) {
        RECT rect{};
        GetWindowRect(list, &rect);
        const auto widths = LogListColumnWidths(rect.right - rect.left, m_dpiScaleX);
        for (int column = 0; column < kLogListColumnCount; ++column)
            ListView_SetColumnWidth(list, column, widths[column]);
    }
    UpdateGraphGeometry();
    BuildGraphPoints();
    RedrawGraph();
}

void CVantrelDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (!info || !GetHwnd() || m_minWidth == 0 || m_minHeight == 0) return;
    info->ptMinTrackSize.x = m_minWidth;
    info->ptMinTrackSize.y = m_minHeight;
}
