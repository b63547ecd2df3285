#include "ui/MainLayout_win.h"

#include "resource.h"

void CMainLayout::Register(HWND window)
{
    m_window = window;
    RECT outer{};
    GetWindowRect(window, &outer);
    m_minWidth = outer.right - outer.left;
    m_minHeight = outer.bottom - outer.top;

    auto item = [window](int id) { return GetDlgItem(window, id); };
    m_rules.SetStretchRight(item(IDC_GRAPH_AREA));
    m_rules.SetStretchRight(item(IDC_GRAPH_SCROLL));
    m_rules.SetStretchRightDown(item(IDC_DATA_MEASURED_GROUP), 0);
    m_rules.SetStretchRightDown(item(IDC_LOG_LIST), 0);
    m_rules.SetRideBottom(item(IDC_START_MEASURE));
    m_rules.SetRideBottom(item(IDC_STOP_MEASURE));
    m_rules.SetStretchRightDown(item(IDC_CLEAR_LOG), KEEP_WIDTH | KEEP_HEIGHT);
    m_rules.SetStretchRightDown(item(IDC_STORE_LOG), KEEP_WIDTH | KEEP_HEIGHT);
}

void CMainLayout::OnGetMinMaxInfo(MINMAXINFO* info) const
{
    if (!info || !m_window || m_minWidth == 0 || m_minHeight == 0) return;
    info->ptMinTrackSize.x = m_minWidth;
    info->ptMinTrackSize.y = m_minHeight;
}
