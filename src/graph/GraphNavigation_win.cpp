// Zoom trackbar 1047, graph scroll bar 1055, the mouse cursor over the graph,
// the readout boxes 1048, 1049, 1052 and "↓" (1053).
#include "app/VantrelDlg_win.h"

#include "graph/CursorReadout.h"
#include "graph/GraphNavigation.h"
#include "graph/GraphScene.h"
#include "resource.h"

namespace {
// Enables or disables the bar; an enabled bar gets its range and thumb.
void ShowScrollBarState(HWND bar, const GraphScrollBarState& state)
{
    if (!bar) return;
    EnableWindow(bar, state.enabled ? TRUE : FALSE);
    if (!state.enabled) return;
    SetScrollRange(bar, SB_CTL, 0, state.rangeMax, FALSE);
    SetScrollPos(bar, SB_CTL, state.position, TRUE);
}

// The thumb's tracking position. The message carries only 16 bits of it, too
// few for a long log, so a wider range asks the bar itself.
int32_t ThumbTrackPosition(HWND bar, UINT messagePosition)
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_TRACKPOS;
    if (bar && GetScrollInfo(bar, SB_CTL, &info) && info.nMax > 0xFFFF) return info.nTrackPos;
    return static_cast<int32_t>(messagePosition & 0xFFFF);
}
}

void CVantrelDlg::InitZoomControls()
{
    const HWND zoom = Item(IDC_ZOOM);
    SendMessageW(zoom, TBM_SETRANGE, TRUE, MAKELPARAM(0, kMaxZoomLevel));
    SendMessageW(zoom, TBM_SETPOS, TRUE, m_zoomLevel);
    EnableItem(IDC_GRAPH_SCROLL, false);
}

void CVantrelDlg::UpdateGraphScrollBar()
{
    const GraphScrollBarState state =
        ::UpdateGraphScrollBar(static_cast<int64_t>(m_logData.RecordCount()), m_zoomLevel, m_scrollOffset);
    ShowScrollBarState(Item(IDC_GRAPH_SCROLL), state);
}

void CVantrelDlg::OnHScroll(UINT code, UINT position, HWND control)
{
    const int64_t count = static_cast<int64_t>(m_logData.RecordCount());
    const HWND bar = Item(IDC_GRAPH_SCROLL);
    if (control && control == Item(IDC_ZOOM)) {
        if (!ZoomNotificationApplies(static_cast<int32_t>(code))) return;
        const int32_t trackbar = static_cast<int32_t>(SendMessageW(control, TBM_GETPOS, 0, 0));
        ShowScrollBarState(bar, ApplyZoom(count, trackbar, m_zoomLevel, m_scrollOffset));
        UpdateGraphGeometry();
        BuildGraphPoints();
        RedrawGraph();
    } else if (control && control == bar) {
        const int32_t thumb = code == SB_THUMBTRACK ? ThumbTrackPosition(bar, position) : 0;
        const GraphScrollResult result =
            ApplyGraphScroll(static_cast<int32_t>(code), thumb, count, m_zoomLevel, m_scrollOffset);
        m_scrollOffset = result.scrollOffset;
        BuildGraphPoints();
        RedrawGraph();
        if (result.setPosition) SetScrollPos(bar, SB_CTL, result.position, TRUE);
    }
}

void CVantrelDlg::OnLButtonDown(UINT /*flags*/, POINT point)
{
    PickCursor(point);
}

void CVantrelDlg::OnMouseMove(UINT flags, POINT point)
{
    if (flags & MK_LBUTTON) PickCursor(point);
}

void CVantrelDlg::PickCursor(POINT point)
{
    const HWND graph = Item(IDC_GRAPH_AREA);
    if (!graph) return;
    RECT screen{};
    GetWindowRect(graph, &screen);
    POINT origin{0, 0};
    ClientToScreen(GetHwnd(), &origin);
    const PixelRect control =
        ControlRectInClient(PixelRect{screen.left, screen.top, screen.right, screen.bottom}, origin.x, origin.y);
    const auto offset = PickCursorOffset(control, m_graphGeometry, m_zoomLevel, m_scrollOffset, point.x, point.y);
    if (offset) ShowCursorReadout(*offset);
}

void CVantrelDlg::ShowCursorReadout(int32_t n)
{
    const CursorTarget target = ResolveCursorTarget(static_cast<int64_t>(m_logData.RecordCount()), n);
    if (target.index < 0) {
        SetItemText(IDC_READOUT_TIME, CursorDateTimeTextNone());
        return;
    }
    const tagLOGDATA& record = m_logData.Record(static_cast<size_t>(target.index));
    SetItemText(IDC_READOUT_TIME, CursorDateTimeText(record.year, record.month, record.day, record.hour,
                                                     record.minute, record.second));
    m_cursorOffset = target.offset;
    GraphSample sample;
    sample.rsoc = record.rsoc;
    sample.temperature = record.temperature;
    sample.voltage = record.voltage;
    SetItemText(IDC_READOUT_GRAPH1, CursorValueText(m_graphInfo.KindOf(0), sample));
    SetItemText(IDC_READOUT_GRAPH2, CursorValueText(m_graphInfo.KindOf(1), sample));
    RedrawGraph();
}

void CVantrelDlg::OnJumpToCursorRow()
{
    const int64_t index = CursorRecordIndex(static_cast<int64_t>(m_logData.RecordCount()), m_cursorOffset);
    const HWND list = Item(IDC_LOG_LIST);
    if (index < 0 || !list) return;
    const int row = m_logData.Record(static_cast<size_t>(index)).rowIndex;
    // One selected row: whatever was selected goes.
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row, FALSE);
    SendMessageW(GetHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}
