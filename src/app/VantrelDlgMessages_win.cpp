// The main window's message map: which handler each message and control
// notification reaches. Handlers live in their subsystem's files.
#include "app/VantrelDlg_win.h"

#include "resource.h"

bool CVantrelDlg::OnCommand(WORD id, WORD code, HWND /*control*/)
{
    if (code != BN_CLICKED) return false;
    switch (id) {
    default:
        return false;
    }
}

bool CVantrelDlg::OnNotify(int /*id*/, NMHDR* /*header*/, LRESULT& /*result*/)
{
    return false;
}

bool CVantrelDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    switch (msg) {
    case WM_SYSCOMMAND: {
        const UINT id = static_cast<UINT>(wp) & 0xFFF0;
        if (id == IDM_ABOUTBOX || id == IDM_LOADLOG) {
            OnSysCommand(static_cast<UINT>(wp), lp);
            result = 0;
            return true;
        }
        return false;  // the platform's default handling
    }
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(m_icon);
        return true;
    case WM_SIZE:
        LayoutStatusBar();
        return false;
    default:
        return false;
    }
}
