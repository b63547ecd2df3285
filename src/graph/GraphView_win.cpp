// The graph control (1054): its geometry, the point lists and the picture.
// The picture is built whole in an off-screen image and copied to the
// control in one step, so it never flickers.
#include "graph/GraphView_win.h"

#include <new>

#include "graph/GraphNavigation.h"
#include "graph/GraphScene.h"
#include "resource.h"

static_assert(sizeof(GraphPoint) == sizeof(POINT), "point lists are handed to Polyline as they are");

namespace {
RECT ToRect(const PixelRect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

void DrawLine(HDC dc, const GraphLine& line)
{
    MoveToEx(dc, line.x1, line.y1, nullptr);
    LineTo(dc, line.x2, line.y2);
}
}

void CGraphView::UpdateGeometry()
{
    const HWND graph = Item(IDC_GRAPH_AREA);
    if (!graph) return;
    RECT client{};
    GetClientRect(graph, &client);
    ::UpdateGraphGeometry(m_geometry, client.right, client.bottom, m_dpiScaleY, m_zoomLevel, m_info);
}

void CGraphView::BuildPoints()
{
    const LogStore& log = m_log;
    ::BuildGraphPoints(m_points, m_geometry, m_info, m_zoomLevel, m_scrollOffset,
                       static_cast<int64_t>(log.RecordCount()), [&log](int64_t index) {
                           const tagLOGDATA& record = log.Record(static_cast<size_t>(index));
                           GraphSample sample;
                           sample.rsoc = record.rsoc;
                           sample.temperature = record.temperature;
                           sample.voltage = record.voltage;
                           return sample;
                       });
}

void CGraphView::Redraw()
{
    const HWND graph = Item(IDC_GRAPH_AREA);
    if (!graph) return;
    CWindowDC dc(graph);
    Paint(dc.Get());
}

void CGraphView::Paint(HDC target)
{
    if (!target) return;
    const int width = m_geometry.width;
    const int height = m_geometry.height;
    CMemoryDC memory(target);
    CBitmap image(CreateCompatibleBitmap(target, width, height));
    if (!memory.Get() || !image) return;
    CSelectObject selectImage(memory.Get(), image.Get());
    CSelectObject selectFont(memory.Get(), m_font.Get() ? static_cast<HGDIOBJ>(m_font.Get())
                                                        : GetStockObject(DEFAULT_GUI_FONT));
    const HDC dc = memory.Get();
    // The default pen and brush: a white area inside a 1-pixel black frame.
    Rectangle(dc, 0, 0, width, height);
    DrawFrame(dc);
    DrawSeries(dc, 0);
    DrawSeries(dc, 1);  // graph 2 lies on top
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

void CGraphView::DrawFrame(HDC dc)
{
    const GraphFrameScene scene = BuildGraphFrame(m_geometry, m_info, m_dpiScaleX, m_dpiScaleY);
    {
        CPen grid(CreatePen(PS_SOLID, 1, kGraphGridColour));
        CSelectObject select(dc, grid.Get());
        for (const GraphLine& line : scene.grid) DrawLine(dc, line);
    }
    for (const GraphLine& line : scene.axes) DrawLine(dc, line);  // the default black pen

    for (const GraphText& text : scene.texts) {
        RECT rect = ToRect(text.rect);
        UINT format = DT_SINGLELINE | DT_NOPREFIX;
        format |= text.align == GraphTextAlign::Right ? DT_RIGHT : DT_LEFT;
        format |= text.verticalCentre ? DT_VCENTER : DT_TOP;
        SetTextColor(dc, text.colour);
        DrawTextW(dc, text.text.c_str(), static_cast<int>(text.text.size()), &rect, format);
    }
    SetTextColor(dc, RGB(0, 0, 0));

    const int64_t index = CursorRecordIndex();
    if (index < 0) return;
    const int32_t rsoc = m_log.Record(static_cast<size_t>(index)).rsoc;
    if (const auto line = CursorLine(m_geometry, m_zoomLevel, m_scrollOffset, m_cursorOffset, rsoc)) {
        CPen cursor(CreatePen(PS_DOT, 1, kGraphCursorColour));
        CSelectObject select(dc, cursor.Get());
        DrawLine(dc, *line);
    }
}

void CGraphView::DrawSeries(HDC dc, int graph)
{
    const int32_t count = SeriesPointCount(m_info, graph, m_points);
    if (count == 0) return;
    CPen pen(CreatePen(PS_SOLID, kGraphSeriesPenWidth, graph == 0 ? kGraph1Colour : kGraph2Colour));
    CSelectObject select(dc, pen.Get());
    Polyline(dc, reinterpret_cast<const POINT*>(m_points.points[graph]), count);
}

bool CGraphView::OnDrawItem(const DRAWITEMSTRUCT* item)
{
    // The control repaints on its own too (uncovered, resized): the same picture.
    if (!item || item->CtlID != IDC_GRAPH_AREA) return false;
    Paint(item->hDC);
    return true;
}

void CGraphView::Attach(HWND window, double dpiScaleX, double dpiScaleY, HFONT font)
{
    m_window = window;
    m_dpiScaleX = dpiScaleX;
    m_dpiScaleY = dpiScaleY;
    m_font.Reset(font);
}

void CGraphView::CreateSettingsDialog()
{
    m_settingsDlg.reset(new (std::nothrow) CGraphSettingDlg(m_info, m_window));
    // A top-level window of its own, not owned by the main window: it is not
    // minimised with it and may lie behind it.
    if (m_settingsDlg) m_settingsDlg->Create(GetDesktopWindow());
}

void CGraphView::DestroySettingsDialog()
{
    if (!m_settingsDlg) return;
    m_settingsDlg->DestroyWindow();
    m_settingsDlg.reset();
}

void CGraphView::ShowSettingsDialog()
{
    if (!m_settingsDlg || !m_settingsDlg->GetHwnd()) return;
    const HWND wnd = m_settingsDlg->GetHwnd();
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
}

void CGraphView::OnSettingsChanged()
{
    if (m_settingsDlg) m_info = m_settingsDlg->GraphInfo();
    UpdateGeometry();
    Refresh();
    ShowCursorReadout(m_cursorOffset);
}
