// Zoom trackbar, graph scroll bar, cursor picks, readout boxes and "↓" on the
// real main window.
#include "WinHarness.h"

namespace {
using GraphNavigationWin = WindowTest;

// Record k of the log has RSOC 100 when k == marked, 0 otherwise: its point
// lies on the maximum line, every other one on the minimum line.
void AppendMarked(MainWindow& w, int count, int marked)
{
    for (int k = 0; k < count; ++k) w.Append(Reading(k, k == marked ? 100 : 0, 25.0, 3700));
}
}

TEST_F(GraphNavigationWin, StartsAtLevelZeroWithTheBarDisabled)
{
    MainWindow w;
    ASSERT_TRUE(w.created);
    const HWND zoom = w.Item(IDC_ZOOM);
    EXPECT_EQ(SendMessageW(zoom, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageW(zoom, TBM_GETRANGEMAX, 0, 0), 10);
    EXPECT_EQ(SendMessageW(zoom, TBM_GETPOS, 0, 0), 0);
    EXPECT_FALSE(w.ScrollEnabled());
    EXPECT_EQ(w.dlg.Graph().Points().count, 0);
    // The geometry was made from the control's client size at start-up.
    RECT client{};
    GetClientRect(w.Item(IDC_GRAPH_AREA), &client);
    EXPECT_EQ(w.dlg.Graph().Geometry().width, client.right);
    EXPECT_EQ(w.dlg.Graph().Geometry().height, client.bottom);
}

TEST_F(GraphNavigationWin, ScrollBarNotificationsMoveTheView)
{
    MainWindow w;
    AppendMarked(w, 100, -1);
    EXPECT_FALSE(w.ScrollEnabled()) << "exactly one view of records";
    w.dlg.ClearLogData();
    // 150 records: the record at index 99 is the one at the right edge once
    // the view is scrolled back by 50.
    AppendMarked(w, 150, 99);
    ASSERT_TRUE(w.ScrollEnabled());
    EXPECT_EQ(w.ScrollMax(), 50);
    EXPECT_EQ(w.ScrollPos(), 50);

    struct Step {
        WORD code;
        WORD thumb;
        int offset;
        int position;  // -1: not set by the window (the thumb is dragged)
    };
    const Step steps[] = {
        {SB_LINELEFT, 0, 1, 49},     {SB_LINERIGHT, 0, 0, 50},  {SB_LINERIGHT, 0, 0, 50},
        {SB_THUMBTRACK, 10, 40, -1}, {SB_PAGELEFT, 0, 50, 0},   {SB_LINELEFT, 0, 50, 0},
        {SB_PAGERIGHT, 0, 30, 20},   {SB_ENDSCROLL, 0, 30, 20}, {SB_THUMBPOSITION, 3, 30, 20},
        {SB_PAGERIGHT, 0, 10, 40},   {SB_PAGERIGHT, 0, 0, 50},
    };
    int lastPosition = w.ScrollPos();
    for (const Step& s : steps) {
        w.HScroll(IDC_GRAPH_SCROLL, s.code, s.thumb);
        EXPECT_EQ(w.dlg.Graph().ScrollOffset(), s.offset) << "code " << s.code;
        const int expected = s.position < 0 ? lastPosition : s.position;
        EXPECT_EQ(w.ScrollPos(), expected) << "code " << s.code;
        lastPosition = w.ScrollPos();
        if (s.offset == 50) {
            // Scrolled back by 50: record 99 at the right edge, the oldest at L.
            const GraphGeometry& g = w.dlg.Graph().Geometry();
            ASSERT_EQ(w.dlg.Graph().Points().count, 100);
            EXPECT_EQ(w.dlg.Graph().Points().points[0][0].y, static_cast<int>(15 * g.vScale));
            EXPECT_EQ(w.dlg.Graph().Points().points[0][99].x, g.plot.left);
        }
    }
}

TEST_F(GraphNavigationWin, ZoomChangesTheVisibleRangeAndClampsTheOffset)
{
    MainWindow w;
    w.AppendMany(500);
    w.HScroll(IDC_GRAPH_SCROLL, SB_THUMBTRACK, 300);  // offset 400 - 300 = 100
    ASSERT_EQ(w.dlg.Graph().ScrollOffset(), 100);

    // Level 1 shows 300: the right edge stays where it was.
    w.Zoom(1, TB_THUMBTRACK);
    EXPECT_EQ(w.dlg.Graph().ZoomLevel(), 1);
    EXPECT_EQ(w.dlg.Graph().ScrollOffset(), 100);
    EXPECT_TRUE(w.ScrollEnabled());
    EXPECT_EQ(w.ScrollMax(), 200);
    EXPECT_EQ(w.ScrollPos(), 100);
    const GraphGeometry& g = w.dlg.Graph().Geometry();
    EXPECT_DOUBLE_EQ(g.xStep, (g.plot.right - g.plot.left) / 299.0);
    EXPECT_EQ(w.dlg.Graph().Points().count, 300);

    // The end of a drag is not a zoom of its own.
    SendMessageW(w.Item(IDC_ZOOM), TBM_SETPOS, TRUE, 5);
    w.HScroll(IDC_ZOOM, TB_ENDTRACK);
    EXPECT_EQ(w.dlg.Graph().ZoomLevel(), 1);

    // Level 2 holds all 500: the bar goes off and the view returns to the newest.
    w.Zoom(2);
    EXPECT_EQ(w.dlg.Graph().ZoomLevel(), 2);
    EXPECT_FALSE(w.ScrollEnabled());
    EXPECT_EQ(w.dlg.Graph().ScrollOffset(), 0);
    EXPECT_EQ(w.dlg.Graph().Points().count, 500);

    // Level 10 with 2100 and more records: every point list is full.
    w.AppendMany(1700, 50, 25.0, 3700, 500);
    w.Zoom(10, TB_BOTTOM);
    EXPECT_EQ(w.dlg.Graph().Points().count, 2100);
    EXPECT_TRUE(w.ScrollEnabled());
    EXPECT_EQ(w.ScrollMax(), 100);

    // 150 records at level 0, then level 1: disabled, offset 0.
    w.dlg.ClearLogData();
    w.AppendMany(150);
    w.Zoom(0);
    w.HScroll(IDC_GRAPH_SCROLL, SB_PAGELEFT);
    ASSERT_EQ(w.dlg.Graph().ScrollOffset(), 20);
    w.Zoom(1);
    EXPECT_FALSE(w.ScrollEnabled());
    EXPECT_EQ(w.dlg.Graph().ScrollOffset(), 0);
}

TEST_F(GraphNavigationWin, PickFillsTheReadoutBoxes)
{
    MainWindow w;
    for (int k = 0; k < 150; ++k) w.Append(Reading(k, k, 20.0 + k / 10.0, static_cast<uint16_t>(3000 + k)));
    const RECT hit = w.HitArea();
    const int y = (hit.top + hit.bottom) / 2;

    // The right edge itself is outside; one pixel left of it is the newest record.
    w.Press(hit.right, y);
    EXPECT_EQ(w.Text(IDC_READOUT_TIME), "");
    w.Press(hit.right - 1, y);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 0);
    EXPECT_EQ(w.Text(IDC_READOUT_TIME), "2024/03/09 07:02:29");
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH1), "RSOC\n149 %");
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH2), "Temp\n34.9 \xE2\x84\x83");

    // Divisor plot width / visible records.
    const double perRecord = (w.dlg.Graph().Geometry().plot.right - w.dlg.Graph().Geometry().plot.left) / 100.0;
    const int x = hit.right - static_cast<int>(10 * perRecord) - 1;
    const int d = static_cast<int>((hit.right - x) / perRecord);
    w.Press(x, y);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), d);
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH1), "RSOC\n" + std::to_string(149 - d) + " %");

    // Moving without the button changes nothing; dragging follows the mouse.
    w.Move(hit.left, y, 0);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), d);
    w.Move(hit.left + 1, y, MK_LBUTTON);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 99);
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH1), "RSOC\n50 %");

    // Outside the plot (left margin, below the control) nothing changes.
    w.Press(hit.left - 1, y);
    w.Press(hit.right - 1, hit.bottom);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 99);

    // With the view scrolled back, a pick counts from the right edge of the view.
    w.HScroll(IDC_GRAPH_SCROLL, SB_PAGELEFT);
    w.Press(hit.right - 1, y);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 20);

    // A new reading, as the measurement hands it over, keeps the cursor on its record.
    w.dlg.AddReading(7, 30.0, 3000, true);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 21);
    w.dlg.Graph().ShowCursorReadout(w.dlg.Graph().CursorOffset());
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH1), "RSOC\n129 %");
}

// A press on the pixel where a record's point is drawn picks that record, at
// zoom 0 and at zoom 1, where records lie a few pixels apart.
TEST_F(GraphNavigationWin, PickAtADrawnPointSelectsItsRecord)
{
    MainWindow w;
    w.AppendMany(2000);
    const POINT origin = w.GraphOrigin();
    for (int level : {0, 1}) {
        w.Zoom(level);
        const GraphPointLists& points = w.dlg.Graph().Points();
        const double visible = points.count;
        const double perRecord = (w.dlg.Graph().Geometry().plot.right - w.dlg.Graph().Geometry().plot.left) / visible;
        // Points are drawn a plot width / (visible - 1) apart, picks count a
        // plot width / visible: the two part by a record further left, as
        // they are meant to. Up to there the drawn pixel names its record.
        const int32_t agree = static_cast<int32_t>((visible - 1) * (1 - 1 / perRecord));
        ASSERT_GT(agree, 20) << "zoom " << level;
        for (int32_t i = 1; i < agree; ++i) {
            const GraphPoint p = points.points[0][i];
            w.Press(origin.x + p.x, origin.y + w.dlg.Graph().Geometry().height / 2);
            ASSERT_EQ(w.dlg.Graph().CursorOffset(), i) << "zoom " << level << ", record " << i << " drawn at x " << p.x;
        }
    }
}

TEST_F(GraphNavigationWin, StandbyAndEmptyLogReadouts)
{
    MainWindow w;
    const RECT hit = w.HitArea();
    w.Press(hit.right - 1, hit.top + 5);
    EXPECT_EQ(w.Text(IDC_READOUT_TIME), " ") << "a pick with no records leaves a single blank";
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH1), "");

    w.Append(Reading(0, -1, -90000.0, 0));
    w.Press(hit.right - 1, hit.top + 5);
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH1), "RSOC\nStandby");
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH2), "Temp\nStandby");
    // The standby record lies on the RSOC 0 line.
    const GraphGeometry& g = w.dlg.Graph().Geometry();
    EXPECT_EQ(w.dlg.Graph().Points().points[0][0].y, static_cast<int>(g.plot.bottom - 15 * g.vScale));
}

TEST_F(GraphNavigationWin, JumpSelectsTheCursorRowPastMessageRows)
{
    MainWindow w;
    const HWND list = w.Item(IDC_LOG_LIST);
    // "↓" without a cursor record selects nothing.
    w.Click(IDC_JUMP_TO_CURSOR);
    EXPECT_EQ(ListView_GetSelectedCount(list), 0u);

    for (int k = 0; k < 40; ++k) {
        w.dlg.LogView().AddMeasurementRow(Reading(k, k, 25.0, 3700));
        if (k % 3 == 0) w.dlg.AddMessageRow(L"Communication error");
    }
    ShowWindow(w.Wnd(), SW_SHOW);
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    w.dlg.Graph().ShowCursorReadout(30);  // record 9
    w.Click(IDC_JUMP_TO_CURSOR);
    const int row = w.dlg.LogData().Record(9).rowIndex;
    ASSERT_GT(row, 9) << "message rows lie before it";
    EXPECT_EQ(ListView_GetSelectedCount(list), 1u);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), row);
    EXPECT_EQ(GetFocus(), list);
}

TEST_F(GraphNavigationWin, ApplyingSettingsAfterALoadMovesTheCursorToTheOldest)
{
    MainWindow w;
    for (int k = 0; k < 30; ++k) w.dlg.LogView().AddMeasurementRow(Reading(k, 60 + k, 25.0, 3700));
    // After a load the cursor offset equals the number of records: no cursor record.
    w.dlg.Graph().PlaceCursorPastOldest();
    SendMessageW(w.Wnd(), WM_GRAPH_SETTINGS_CHANGED, 0, 0);
    EXPECT_EQ(w.dlg.Graph().CursorOffset(), 29);
    EXPECT_EQ(w.Text(IDC_READOUT_TIME), "2024/03/09 07:00:00");
    EXPECT_EQ(w.Text(IDC_READOUT_GRAPH1), "RSOC\n60 %");
}
