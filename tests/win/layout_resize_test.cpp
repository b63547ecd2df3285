// The main window follows its size: registered controls move and stretch,
// everything else stays, and the window never gets smaller than it opened.
#include "WinHarness.h"

#include <map>

namespace {
using LayoutResizeWin = WindowTest;

RECT RectInClient(HWND dlg, HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE OuterSize(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void Resize(HWND wnd, int width, int height)
{
    SetWindowPos(wnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages(20);
}

// How a control's edges move when the window grows by (dx, dy).
struct Expected {
    int id;
    int left, top, right, bottom;  // multiples of dx (left, right) and dy (top, bottom)
};
const Expected kGrowth[] = {
    {IDC_GRAPH_AREA, 0, 0, 1, 0},          {IDC_GRAPH_SCROLL, 0, 0, 1, 0},
    {IDC_DATA_MEASURED_GROUP, 0, 0, 1, 1}, {IDC_LOG_LIST, 0, 0, 1, 1},
    {IDC_START_MEASURE, 0, 1, 0, 1},       {IDC_STOP_MEASURE, 0, 1, 0, 1},
    {IDC_CLEAR_LOG, 1, 1, 1, 1},           {IDC_STORE_LOG, 1, 1, 1, 1},
    // Controls without a rule keep their template places.
    {IDC_GRAPH_SETTING, 0, 0, 0, 0},       {IDC_ZOOM, 0, 0, 0, 0},
    {IDC_READOUT_GRAPH2, 0, 0, 0, 0},      {IDC_COMMUNICATE, 0, 0, 0, 0},
};

int ColumnWidth(HWND list, int column)
{
    return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
}
}

TEST_F(LayoutResizeWin, RulesAreRegisteredInOrder)
{
    MainWindow w;
    const int ids[] = {IDC_GRAPH_AREA,   IDC_GRAPH_SCROLL, IDC_DATA_MEASURED_GROUP, IDC_LOG_LIST,
                       IDC_START_MEASURE, IDC_STOP_MEASURE, IDC_CLEAR_LOG,           IDC_STORE_LOG};
    const uint32_t flags[] = {0x02, 0x02, 0x0A, 0x0A, 0x38, 0x38, 0x3A, 0x3A};
    const auto& rules = w.dlg.Layout().Rules();
    ASSERT_EQ(rules.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(rules[i].control, w.Item(ids[i])) << i;
        EXPECT_EQ(rules[i].flags, flags[i]) << i;
    }
    // Margins measured from the template place: the list's right margin.
    RECT client{};
    GetClientRect(w.Wnd(), &client);
    EXPECT_EQ(rules[3].margins.right, client.right - RectInClient(w.Wnd(), w.Item(IDC_LOG_LIST)).right);
    const SIZE start = OuterSize(w.Wnd());
    EXPECT_EQ(w.dlg.Layout().MinWidth(), start.cx);
    EXPECT_EQ(w.dlg.Layout().MinHeight(), start.cy);
}

TEST_F(LayoutResizeWin, GrowingMovesAndStretchesAndTheStartSizeRestores)
{
    MainWindow w;
    ShowWindow(w.Wnd(), SW_SHOW);
    PumpMessages(20);
    const SIZE start = OuterSize(w.Wnd());
    std::map<int, RECT> before;
    for (const Expected& e : kGrowth) before[e.id] = RectInClient(w.Wnd(), w.Item(e.id));

    const int dx = 100, dy = 50;
    Resize(w.Wnd(), start.cx + dx, start.cy + dy);
    ASSERT_EQ(OuterSize(w.Wnd()).cx, start.cx + dx);
    for (const Expected& e : kGrowth) {
        const RECT now = RectInClient(w.Wnd(), w.Item(e.id));
        const RECT& was = before[e.id];
        EXPECT_EQ(now.left - was.left, e.left * dx) << e.id;
        EXPECT_EQ(now.top - was.top, e.top * dy) << e.id;
        EXPECT_EQ(now.right - was.right, e.right * dx) << e.id;
        EXPECT_EQ(now.bottom - was.bottom, e.bottom * dy) << e.id;
    }
    // The Message column takes the list's new width; all six are 28 narrower
    // than the list at 96 dots per inch.
    const HWND list = w.Item(IDC_LOG_LIST);
    const RECT listRect = RectInClient(w.Wnd(), list);
    const int listWidth = listRect.right - listRect.left;
    EXPECT_EQ(ColumnWidth(list, 5), static_cast<int>((listWidth - 413) * w.dlg.DpiScaleX()));
    if (w.dlg.DpiScaleX() == 1.0) {
        int sum = 0;
        for (int c = 0; c < 6; ++c) sum += ColumnWidth(list, c);
        EXPECT_EQ(sum, listWidth - 28);
    }
    // The graph adapts to its new width.
    RECT graphClient{};
    GetClientRect(w.Item(IDC_GRAPH_AREA), &graphClient);
    EXPECT_EQ(w.dlg.Graph().Geometry().width, graphClient.right);
    // The status bar spans the client width.
    RECT client{}, bar{};
    GetClientRect(w.Wnd(), &client);
    GetWindowRect(w.dlg.StatusBar(), &bar);
    EXPECT_EQ(bar.right - bar.left, client.right);

    Resize(w.Wnd(), start.cx, start.cy);
    for (const Expected& e : kGrowth) {
        const RECT now = RectInClient(w.Wnd(), w.Item(e.id));
        EXPECT_TRUE(EqualRect(&now, &before[e.id])) << e.id;
    }
}

TEST_F(LayoutResizeWin, NeverSmallerThanAtTheStart)
{
    MainWindow w;
    ShowWindow(w.Wnd(), SW_SHOW);
    PumpMessages(20);
    const SIZE start = OuterSize(w.Wnd());
    MINMAXINFO info{};
    SendMessageW(w.Wnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, start.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, start.cy);

    Resize(w.Wnd(), start.cx - 120, start.cy - 60);
    const SIZE now = OuterSize(w.Wnd());
    EXPECT_EQ(now.cx, start.cx);
    EXPECT_EQ(now.cy, start.cy);
}

TEST_F(LayoutResizeWin, MinimisedGivesNoNegativeSizesAndRestoringPutsEverythingBack)
{
    MainWindow w;
    w.AppendMany(150);
    ShowWindow(w.Wnd(), SW_SHOW);
    PumpMessages(20);
    std::map<int, RECT> before;
    for (const Expected& e : kGrowth) before[e.id] = RectInClient(w.Wnd(), w.Item(e.id));

    ShowWindow(w.Wnd(), SW_MINIMIZE);
    PumpMessages(20);
    ASSERT_TRUE(IsIconic(w.Wnd()));
    // Whatever the client area is now, no control and no column is negative.
    for (const Expected& e : kGrowth) {
        const RECT now = RectInClient(w.Wnd(), w.Item(e.id));
        EXPECT_GE(now.right - now.left, 0) << e.id;
        EXPECT_GE(now.bottom - now.top, 0) << e.id;
    }
    for (int c = 0; c < 6; ++c) EXPECT_GE(ColumnWidth(w.Item(IDC_LOG_LIST), c), 0) << c;
    // The graph survives an empty control: nothing to draw, nothing broken.
    w.dlg.Graph().Redraw();

    ShowWindow(w.Wnd(), SW_RESTORE);
    PumpMessages(20);
    for (const Expected& e : kGrowth) {
        const RECT now = RectInClient(w.Wnd(), w.Item(e.id));
        EXPECT_TRUE(EqualRect(&now, &before[e.id])) << e.id;
    }
    EXPECT_EQ(w.dlg.Graph().Points().count, 100);
}
