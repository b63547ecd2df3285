// The virtual log list (control 1008): it keeps no texts of its own, asks for
// each cell when it paints, and only learns the new item count on an append,
// so adding a row costs the same at ten rows as at ten million.
#include "log/LogView_win.h"

#include "log/LogList.h"
#include "log/LogTime.h"
#include "ui/DpiMetrics.h"

void CLogView::CreateColumns(double dpiScaleX)
{
    const HWND list = List();
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    RECT rect{};
    GetWindowRect(list, &rect);
    const auto widths = LogListColumnWidths(rect.right - rect.left, dpiScaleX);
    struct Column {
        const wchar_t* heading;
        int format;
    };
    const Column columns[kLogListColumnCount] = {
        {L"Date", LVCFMT_LEFT},    {L"Time", LVCFMT_LEFT},      {L"RSOC[%]", LVCFMT_RIGHT},
        {L"Temp[℃]", LVCFMT_RIGHT}, {L"Volt[mV]", LVCFMT_RIGHT}, {L"Message", LVCFMT_LEFT},
    };
    for (int index = 0; index < kLogListColumnCount; ++index) {
        LVCOLUMNW col{};
        col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.fmt = columns[index].format;
        col.cx = widths[index];
        col.pszText = const_cast<wchar_t*>(columns[index].heading);
        col.iSubItem = index;
        ListView_InsertColumn(list, index, &col);
    }
}

void CLogView::FitColumns(double dpiScaleX)
{
    const HWND list = List();
    if (!list) return;
    RECT rect{};
    GetWindowRect(list, &rect);
    const auto widths = LogListColumnWidths(rect.right - rect.left, dpiScaleX);
    for (int column = 0; column < kLogListColumnCount; ++column) ListView_SetColumnWidth(list, column, widths[column]);
}

void CLogView::AddMeasurementRow(const tagLOGDATA& record)
{
    m_log.AddMeasurementRow(record);
    JournalLastRow();
    FollowTail();
}

void CLogView::AddMessageRow(const std::wstring& text)
{
    AddMessageRow(text, LocalTimeNow());
}

void CLogView::AddMessageRow(const std::wstring& text, const LogTime& stamp)
{
    m_log.AddMessageRow(text, stamp);
    JournalLastRow();
    FollowTail();
}

void CLogView::FollowTail()
{
    HWND list = List();
    if (!list) return;
    const int old = ListView_GetItemCount(list);
    ListView_SetItemCountEx(list, static_cast<int>(m_log.RowCount()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    // Follow the new row only while the previous last row is in view, so a
    // user who scrolled up keeps the place. The new row is brought wholly
    // into view: left half-visible at the bottom edge, it would not count as
    // in view at the next append and the list would stop following.
    if (LogListFollowsNewRow(ListView_GetTopIndex(list), ListView_GetCountPerPage(list), old))
        ListView_EnsureVisible(list, old, FALSE);
    // The light-cyan background moves to the new last row.
    InvalidateRect(list, nullptr, FALSE);
}

void CLogView::Clear()
{
    m_log.Clear();
    if (HWND list = List()) ListView_DeleteAllItems(list);
}

void CLogView::SelectRecordRow(int64_t recordIndex)
{
    const HWND list = List();
    if (recordIndex < 0 || static_cast<size_t>(recordIndex) >= m_log.RecordCount() || !list) return;
    const int row = m_log.Record(static_cast<size_t>(recordIndex)).rowIndex;
    // One selected row: whatever was selected goes.
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row, FALSE);
    SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}

LRESULT CLogView::OnGetDispInfo(NMLVDISPINFOW* info)
{
    LVITEMW& item = info->item;
    const bool known = item.iItem >= 0 && static_cast<size_t>(item.iItem) < m_log.RowCount();
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        // The store cuts the text to the buffer; message rows of a loaded file
        // can be of any length.
        if (known)
            m_log.CellText(static_cast<size_t>(item.iItem), item.iSubItem, item.pszText,
                               static_cast<size_t>(item.cchTextMax));
        else
            item.pszText[0] = L'\0';
    }
    if (item.mask & LVIF_PARAM)
        item.lParam = known ? m_log.RowKind(static_cast<size_t>(item.iItem)) : kLogRowMeasurement;
    return 0;
}

LRESULT CLogView::OnCustomDraw(NMLVCUSTOMDRAW* draw)
{
    const DWORD stage = draw->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if ((stage & CDDS_ITEM) && (stage & CDDS_PREPAINT)) {
        const size_t item = static_cast<size_t>(draw->nmcd.dwItemSpec);
        const int count = ListView_GetItemCount(List());
        const int32_t kind = item < m_log.RowCount() ? m_log.RowKind(item) : kLogRowMeasurement;
        const LogRowColours colours = LogRowColoursFor(item, count > 0 ? static_cast<size_t>(count) : 0, kind);
        if (colours.ownBackground) draw->clrTextBk = colours.background;
        draw->clrText = colours.text;
        return CDRF_NOTIFYSUBITEMDRAW;
    }
    return CDRF_DODEFAULT;
}
