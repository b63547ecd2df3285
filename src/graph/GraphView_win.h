#pragma once
// The graph view of the main window: the graph control (1054) with its
// picture, the zoom trackbar (1047), the scroll bar (1055), the cursor and
// its readout boxes (1048, 1049, 1052), and the graph settings dialog. It
// owns the graph description, the geometry, the point lists and the view
// (zoom level, records hidden at the newest end, cursor record counted back
// from the newest), and reads the records of the log it pictures.
// User interface thread only.
#include <cstdint>
#include <memory>
#include <windows.h>

#include "fw/Gdi_win.h"
#include "graph/GraphGeometry.h"
#include "graph/GraphInfo.h"
#include "graph/GraphSettingDlg_win.h"
#include "log/LogStore.h"

class CGraphView {
public:
    explicit CGraphView(const LogStore& log) : m_log(log) {}
    CGraphView(const CGraphView&) = delete;
    CGraphView& operator=(const CGraphView&) = delete;

    // window: the main window holding the controls. font: the graph's text
    // font, owned from now on (may be null: the default GUI font).
    void Attach(HWND window, double dpiScaleX, double dpiScaleY, HFONT font);
    void InitZoomControls();

    // The settings dialog: a top-level window of its own for the view's life.
    void CreateSettingsDialog();
    void DestroySettingsDialog();
    void ShowSettingsDialog();
    // WM_GRAPH_SETTINGS_CHANGED: takes over the dialog's description.
    void OnSettingsChanged();

    // After the control's size changed.
    void UpdateGeometry();
    // After records were appended, cleared or loaded: scroll bar 1055 state.
    void UpdateScrollBar();
    void BuildPoints();
    void Redraw();
    // Points and picture anew.
    void Refresh()
    {
        BuildPoints();
        Redraw();
    }
    // The whole picture, built off-screen and copied to `target` at (0, 0).
    void Paint(HDC target);
    // WM_DRAWITEM; true for the graph control.
    bool OnDrawItem(const DRAWITEMSTRUCT* item);

    // One record was appended: the scroll bar follows and the cursor stays
    // on the record it was on.
    void StepForNewRecord();
    // The log was cleared: view and cursor back to the newest end, readouts empty.
    void ResetView();
    // A log was loaded: the cursor is on no record until the user picks one.
    void PlaceCursorPastOldest();

    // WM_HSCROLL from the zoom trackbar or the graph scroll bar.
    void OnHScroll(UINT code, UINT position, HWND control);
    // A press, or a drag with the left button, over the plot picks a record.
    void Pick(POINT point);
    // Puts the cursor on the record n steps back from the newest and fills
    // the readout boxes.
    void ShowCursorReadout(int32_t n);
    // The record under the cursor; -1 when none.
    int64_t CursorRecordIndex() const;

    const CGraphInfo& Info() const { return m_info; }
    const GraphGeometry& Geometry() const { return m_geometry; }
    const GraphPointLists& Points() const { return m_points; }
    int32_t ZoomLevel() const { return m_zoomLevel; }
    int32_t ScrollOffset() const { return m_scrollOffset; }
    int32_t CursorOffset() const { return m_cursorOffset; }
    CGraphSettingDlg* SettingsDialog() const { return m_settingsDlg.get(); }

private:
    HWND Item(int id) const { return GetDlgItem(m_window, id); }
    void DrawFrame(HDC dc);
    // graph: 0 for graph 1, 1 for graph 2.
    void DrawSeries(HDC dc, int graph);

    const LogStore& m_log;
    HWND m_window = nullptr;
    double m_dpiScaleX = 1.0;
    double m_dpiScaleY = 1.0;
    CFont m_font;
    CGraphInfo m_info;
    GraphGeometry m_geometry;
    GraphPointLists m_points;
    int32_t m_zoomLevel = 0;
    int32_t m_scrollOffset = 0;
    int32_t m_cursorOffset = 0;
    std::unique_ptr<CGraphSettingDlg> m_settingsDlg;
};
