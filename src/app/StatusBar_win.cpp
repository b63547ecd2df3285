// The four-pane status bar at the bottom of the main window.
#include "app/VantrelDlg_win.h"

#include "ui/CurrentValuePanel.h"


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
    int32_t edges[kStatusPaneCount];
    StatusPaneRightEdges(client.right, edges);
    int parts[kStatusPaneCount];
    for (int i = 0; i < kStatusPaneCount; ++i) parts[i] = edges[i];
    SendMessageW(m_statusBar, SB_SETPARTS, kStatusPaneCount, reinterpret_cast<LPARAM>(parts));
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
    SetStatusText(3, ConnectedPaneText(connected));
}

void CVantrelDlg::ShowInterval()
{
    SetStatusText(2, IntervalPaneText(m_settings.ReceiveInterval));
}
