// Zoom trackbar 1047, graph scroll bar 1055, the mouse cursor over the graph,
// the readout boxes 1048, 1049, 1052 and "↓" (1053).
#include "graph/GraphView_win.h"

#include <commctrl.h>
#include <limits>

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

void CGraphView::InitZoomControls()
{
    const HWND zoom = Item(IDC_ZOOM);
    SendMessageW(zoom, TBM_SETRANGE, TRUE, MAKELPARAM(0, kMaxZoomLevel));
    SendMessageW(zoom, TBM_SETPOS, TRUE, m_zoomLevel);
    EnableWindow(Item(IDC_GRAPH_SCROLL), FALSE);
}

void CGraphView::UpdateScrollBar()
{
    const GraphScrollBarState state =
        ::UpdateGraphScrollBar(static_cast<int64_t>(m_log.RecordCount()), m_zoomLevel, m_scrollOffset);
    ShowScrollBarState(Item(IDC_GRAPH_SCROLL), state);
}

void CGraphView::OnHScroll(UINT code, UINT position, HWND control)
{
    const int64_t count = static_cast<int64_t>(m_log.RecordCount());
    const HWND bar = Item(IDC_GRAPH_SCROLL);
    if (control && control == Item(IDC_ZOOM)) {
        if (!ZoomNotificationApplies(static_cast<int32_t>(code))) return;
        const int32_t trackbar = static_cast<int32_t>(SendMessageW(control, TBM_GETPOS, 0, 0));
        ShowScrollBarState(bar, ApplyZoom(count, trackbar, m_zoomLevel, m_scrollOffset));
        UpdateGeometry();
        Refresh();
    } else if (control && control == bar) {
        const int32_t thumb = code == SB_THUMBTRACK ? ThumbTrackPosition(bar, position) : 0;
        const GraphScrollResult result =
            ApplyGraphScroll(static_cast<int32_t>(code), thumb, count, m_zoomLevel, m_scrollOffset);
        m_scrollOffset = result.scrollOffset;
        Refresh();
        if (result.setPosition) SetScrollPos(bar, SB_CTL, result.position, TRUE);
    }
}

void CGraphView::Pick(POINT point)
{
    const HWND graph = Item(IDC_GRAPH_AREA);
    if (!graph) return;
    RECT screen{};
    GetWindowRect(graph, &screen);
    POINT origin{0, 0};
    ClientToScreen(m_window, &origin);
    const PixelRect control =
        ControlRectInClient(PixelRect{screen.left, screen.top, screen.right, screen.bottom}, origin.x, origin.y);
    const auto offset = PickCursorOffset(control, m_geometry, m_zoomLevel, m_scrollOffset, point.x, point.y);
    if (offset) ShowCursorReadout(*offset);
}

void CGraphView::ShowCursorReadout(int32_t n)
{
    const CursorTarget target = ResolveCursorTarget(static_cast<int64_t>(m_log.RecordCount()), n);
    if (target.index < 0) {
        SetDlgItemTextW(m_window, IDC_READOUT_TIME, CursorDateTimeTextNone().c_str());
        return;
    }
    const tagLOGDATA& record = m_log.Record(static_cast<size_t>(target.index));
    SetDlgItemTextW(m_window, IDC_READOUT_TIME,
                    CursorDateTimeText(record.year, record.month, record.day, record.hour, record.minute,
                                       record.second).c_str());
    m_cursorOffset = target.offset;
    GraphSample sample;
    sample.rsoc = record.rsoc;
    sample.temperature = record.temperature;
    sample.voltage = record.voltage;
    SetDlgItemTextW(m_window, IDC_READOUT_GRAPH1, CursorValueText(m_info.KindOf(0), sample).c_str());
    SetDlgItemTextW(m_window, IDC_READOUT_GRAPH2, CursorValueText(m_info.KindOf(1), sample).c_str());
    Redraw();
}

int64_t CGraphView::CursorRecordIndex() const
{
    return ::CursorRecordIndex(static_cast<int64_t>(m_log.RecordCount()), m_cursorOffset);
}

void CGraphView::StepForNewRecord()
{
    UpdateScrollBar();
    m_cursorOffset = StepCursorOffset(m_cursorOffset);
}

void CGraphView::ResetView()
{
    m_cursorOffset = 0;
    m_scrollOffset = 0;
    for (int id : {IDC_READOUT_TIME, IDC_READOUT_GRAPH1, IDC_READOUT_GRAPH2}) SetDlgItemTextW(m_window, id, L"");
}

void CGraphView::PlaceCursorPastOldest()
{
    const size_t records = m_log.RecordCount();
    const size_t cursorLimit = static_cast<size_t>(std::numeric_limits<int32_t>::max());
    m_cursorOffset = static_cast<int32_t>(records < cursorLimit ? records : cursorLimit);
}
