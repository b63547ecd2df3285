// The main window's message map: which handler or part each message and
// control notification reaches.
#include "app/VantrelDlg_win.h"

#include <windowsx.h>

#include "resource.h"

bool CVantrelDlg::OnCommand(WORD id, WORD code, HWND /*control*/)
{
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_COMMUNICATE: OnCommunicate(); return true;
    case IDC_START_MEASURE: OnStartMeasure(); return true;
    case IDC_STOP_MEASURE: OnStopMeasure(); return true;
    case IDC_CLEAR_LOG: OnClearLog(); return true;
    case IDC_STORE_LOG: OnStoreLog(); return true;
    case IDC_READ_WORD: OnReadWord(); return true;
    case IDC_WRITE_WORD: OnWriteWord(); return true;
    case IDC_OPEN_FILE: OnOpenFile(); return true;
    case IDC_FLASH_WRITE: OnFlashWrite(); return true;
    case IDC_GRAPH_SETTING: m_graph.ShowSettingsDialog(); return true;
    case IDC_JUMP_TO_CURSOR: m_logView.SelectRecordRow(m_graph.CursorRecordIndex()); return true;
    default:
        return false;
    }
}

bool CVantrelDlg::OnNotify(int id, NMHDR* header, LRESULT& result)
{
    if (id == IDC_LOG_LIST) {
        switch (header->code) {
        case LVN_GETDISPINFOW:
            result = m_logView.OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
            return true;
        case NM_CUSTOMDRAW:
            result = m_logView.OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
            return true;
        default:
            return false;
        }
    }
    return false;
}

bool CVantrelDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    switch (msg) {
    case WM_SYSCOMMAND: {
        const UINT id = static_cast<UINT>(wp) & 0xFFF0;
        if (id == IDM_ABOUTBOX || id == IDM_LOADLOG) {
            OnSysCommand(static_cast<UINT>(wp));
            result = 0;
            return true;
        }
        return false;  // the platform's default handling
    }
    case WM_DEVICECHANGE:
        OnDeviceChange(static_cast<UINT>(wp), reinterpret_cast<const DEV_BROADCAST_HDR*>(lp));
        return false;  // then the default processing
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(m_icon);
        return true;
    case kSubBoardReportMessage:
        OnSubBoardReport();
        result = 0;
        return true;
    case kBoardLostMessage:
        OnBoardLost();
        result = 0;
        return true;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wp));
        return false;  // then the default timer handling
    case WM_PAINT:
        if (!OnPaint()) return false;  // the dialog's default painting
        result = 0;
        return true;
    case WM_DRAWITEM:
        if (m_graph.OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) {
            result = TRUE;
            return true;
        }
        if (!m_picture.OnDrawItem(static_cast<int>(wp), reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return false;
        result = TRUE;
        return true;
    case WM_SIZE:
        OnSize();
        return false;
    case WM_GETMINMAXINFO:
        m_layout.OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp));
        return false;  // then the default handling
    case WM_GRAPH_SETTINGS_CHANGED:
        m_graph.OnSettingsChanged();
        result = 0;
        return true;
    case WM_HSCROLL:
        m_graph.OnHScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return false;  // then the default handling
    case WM_LBUTTONDOWN:
        m_graph.Pick(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return false;
    case WM_MOUSEMOVE:
        if (wp & MK_LBUTTON) m_graph.Pick(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return false;
    default:
        return false;
    }
}
