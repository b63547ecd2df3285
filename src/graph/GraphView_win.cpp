// The graph control (1054): its geometry, the point lists and the picture.
// The picture is built whole in an off-screen image and copied to the
// control in one step, so it never flickers.
#include "app/VantrelDlg_win.h"

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

void CVantrelDlg::UpdateGraphGeometry()
{
    const HWND graph = Item(IDC_GRAPH_AREA);
    if (!graph) return;
    RECT client{};
    GetClientRect(graph, &client);
    ::UpdateGraphGeometry(m_graphGeometry, client.right, client.bottom, m_dpiScaleY, m_zoomLevel, m_graphInfo);
}

void CVantrelDlg::BuildGraphPoints()
{
    const LogStore& log = m_logData;
    ::BuildGraphPoints(m_graphPoints, m_graphGeometry, m_graphInfo, m_zoomLevel, m_scrollOffset,
                       static_cast<int64_t>(log.RecordCount()), [&log](int64_t index) {
                           const tagLOGDATA& record = log.Record(static_cast<size_t>(index));
                           GraphSample sample;
                           sample.rsoc = record.rsoc;
                           sample.temperature = record.temperature;
                           sample.voltage = record.voltage;
                           return sample;
                       });
}

void CVantrelDlg::RedrawGraph()
{
    const HWND graph = Item(IDC_GRAPH_AREA);
    if (!graph) return;
    CWindowDC dc(graph);
    PaintGraph(dc.Get());
}

void CVantrelDlg::PaintGraph(HDC target)
{
    if (!target) return;
    const int width = m_graphGeometry.width;
    const int height = m_graphGeometry.height;
    CMemoryDC memory(target);
    CBitmap image(CreateCompatibleBitmap(target, width, height));
    if (!memory.Get() || !image) return;
    CSelectObject selectImage(memory.Get(), image.Get());
    CSelectObject selectFont(memory.Get(), m_graphFont.Get() ? static_cast<HGDIOBJ>(m_graphFont.Get())
                                                             : GetStockObject(DEFAULT_GUI_FONT));
    const HDC dc = memory.Get();
    // The default pen and brush: a white area inside a 1-pixel black frame.
    Rectangle(dc, 0, 0, width, height);
    DrawGraphFrame(dc);
    DrawSeries(dc, 0);
    DrawSeries(dc, 1);  // graph 2 lies on top
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

void CVantrelDlg::DrawGraphFrame(HDC dc)
{
    const GraphFrameScene scene = BuildGraphFrame(m_graphGeometry, m_graphInfo, m_dpiScaleX, m_dpiScaleY);
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

    const size_t count = m_logData.RecordCount();
    const int64_t index = CursorRecordIndex(static_cast<int64_t>(count), m_cursorOffset);
    if (index < 0) return;
    const int32_t rsoc = m_logData.Record(static_cast<size_t>(index)).rsoc;
    if (const auto line = CursorLine(m_graphGeometry, m_zoomLevel, m_scrollOffset, m_cursorOffset, rsoc)) {
        CPen cursor(CreatePen(PS_DOT, 1, kGraphCursorColour));
        CSelectObject select(dc, cursor.Get());
        DrawLine(dc, *line);
    }
}

void CVantrelDlg::DrawSeries(HDC dc, int graph)
{
    const int32_t count = SeriesPointCount(m_graphInfo, graph, m_graphPoints);
    if (count == 0) return;
    CPen pen(CreatePen(PS_SOLID, kGraphSeriesPenWidth, graph == 0 ? kGraph1Colour : kGraph2Colour));
    CSelectObject select(dc, pen.Get());
    Polyline(dc, reinterpret_cast<const POINT*>(m_graphPoints.points[graph]), count);
}

bool CVantrelDlg::OnDrawGraphItem(const DRAWITEMSTRUCT* item)
{
    // The control repaints on its own too (uncovered, resized): the same picture.
    if (!item || item->CtlID != IDC_GRAPH_AREA) return false;
    PaintGraph(item->hDC);
    return true;
}

LRESULT CVantrelDlg::OnGraphSettingsChanged()
{
    if (m_graphSettingDlg) m_graphInfo = m_graphSettingDlg->GraphInfo();
    UpdateGraphGeometry();
    BuildGraphPoints();
    RedrawGraph();
    ShowCursorReadout(m_cursorOffset);
    return 0;
}
