// The virtual log list (control 1008): it keeps no texts of its own, asks for
// each cell when it paints, and only learns the new item count on an append,
// so adding a row costs the same at ten rows as at ten million.
#include "app/VantrelDlg_win.h"

#include "fw/MessageBox_win.h"
#include "log/LogList.h"
#include "log/LogTime.h"
#include "resource.h"

void CVantrelDlg::AddMeasurementRow(const tagLOGDATA& record)
{
    m_logData.AddMeasurementRow(record);
    JournalLastRow();
    FollowLogTail();
}

void CVantrelDlg::AddMessageRow(const std::wstring& text)
{
    m_logData.AddMessageRow(text, LocalTimeNow());
    JournalLastRow();
    FollowLogTail();
}

void CVantrelDlg::FollowLogTail()
{
    HWND list = Item(IDC_LOG_LIST);
    if (!list) return;
    const int old = ListView_GetItemCount(list);
    ListView_SetItemCountEx(list, static_cast<int>(m_logData.RowCount()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    // Follow the new row only while the previous last row is in view, so a
    // user who scrolled up keeps the place. The new row is brought wholly
    // into view: left half-visible at the bottom edge, it would not count as
    // in view at the next append and the list would stop following.
    if (LogListFollowsNewRow(ListView_GetTopIndex(list), ListView_GetCountPerPage(list), old))
        ListView_EnsureVisible(list, old, FALSE);
    // The light-cyan background moves to the new last row.
    InvalidateRect(list, nullptr, FALSE);
}

void CVantrelDlg::ClearLogData()
{
    m_cursorOffset = 0;
    m_scrollOffset = 0;
    m_logData.Clear();
    if (HWND list = Item(IDC_LOG_LIST)) ListView_DeleteAllItems(list);
    for (int id : {IDC_READOUT_TIME, IDC_READOUT_GRAPH1, IDC_READOUT_GRAPH2}) SetItemText(id, std::wstring());
}

void CVantrelDlg::OnClearLog()
{
    if (AppMessageBox(GetHwnd(), L"Clear the log?", L"Clear Log", MB_OKCANCEL | MB_ICONWARNING) != IDOK) return;
    ClearLogData();
    UpdateGraphScrollBar();
    BuildGraphPoints();
    RedrawGraph();
}

LRESULT CVantrelDlg::OnLogListGetDispInfo(NMLVDISPINFOW* info)
{
    LVITEMW& item = info->item;
    const bool known = item.iItem >= 0 && static_cast<size_t>(item.iItem) < m_logData.RowCount();
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        // The store cuts the text to the buffer; message rows of a loaded file
        // can be of any length.
        if (known)
            m_logData.CellText(static_cast<size_t>(item.iItem), item.iSubItem, item.pszText,
                               static_cast<size_t>(item.cchTextMax));
        else
            item.pszText[0] = L'\0';
    }
    if (item.mask & LVIF_PARAM)
        item.lParam = known ? m_logData.RowKind(static_cast<size_t>(item.iItem)) : kLogRowMeasurement;
    return 0;
}

LRESULT CVantrelDlg::OnLogListCustomDraw(NMLVCUSTOMDRAW* draw)
{
    const DWORD stage = draw->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if ((stage & CDDS_ITEM) && (stage & CDDS_PREPAINT)) {
        const size_t item = static_cast<size_t>(draw->nmcd.dwItemSpec);
        const int count = ListView_GetItemCount(Item(IDC_LOG_LIST));
        const int32_t kind = item < m_logData.RowCount() ? m_logData.RowKind(item) : kLogRowMeasurement;
        const LogRowColours colours = LogRowColoursFor(item, count > 0 ? static_cast<size_t>(count) : 0, kind);
        if (colours.ownBackground) draw->clrTextBk = colours.background;
        draw->clrText = colours.text;
        return CDRF_NOTIFYSUBITEMDRAW;
    }
    return CDRF_DODEFAULT;
}
