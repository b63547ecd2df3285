// The four-pane status bar at the bottom of the main window.
#include "app/VantrelDlg_win.h"

#include <cwchar>

namespace {
// Panes 1, 2 and 3 have fixed widths (not scaled); pane 0 takes the rest.
constexpr int kPaneWidths[] = {140, 160, 130};
}

void CVantrelDlg::CreateStatusBar()
{
    m_statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                                  0, 0, 0, 0, GetHwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    LayoutStatusBar();
}

void CVantrelDlg::LayoutStatusBar()
{
    if (!m_statusBar) return;
    SendMessageW(m_statusBar, WM_SIZE, 0, 0);  // the bar docks itself at the bottom
    RECT client{};
    GetClientRect(GetHwnd(), &client);
    // Right edges of the panes; kPaneWidths[i] is the width of pane i + 1.
    int parts[4] = {0, 0, 0, -1};
    int right = client.right;
    for (int i = 2; i >= 0; --i) {
        right -= kPaneWidths[i];
        parts[i] = right;
    }
    SendMessageW(m_statusBar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts));
}

void CVantrelDlg::SetStatusText(int pane, const std::wstring& text)
{
    if (m_statusBar) SendMessageW(m_statusBar, SB_SETTEXTW, pane, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring CVantrelDlg::StatusText(int pane) const
{
    if (!m_statusBar) return std::wstring();
    LRESULT info = SendMessageW(m_statusBar, SB_GETTEXTLENGTHW, pane, 0);
    std::wstring text(LOWORD(info) + 1, L'\0');
    SendMessageW(m_statusBar, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(LOWORD(info));
    return text;
}

void CVantrelDlg::ShowConnected(bool connected)
{
    SetStatusText(3, connected ? L"USB Connected" : L"");
}

void CVantrelDlg::ShowInterval()
{
    wchar_t text[64];
    swprintf(text, 64, L"Interval : %d sec", static_cast<int>(m_settings.ReceiveInterval));
    SetStatusText(2, text);
}
