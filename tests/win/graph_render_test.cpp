// The graph picture, drawn into a memory image and read back pixel by pixel.
#include "WinHarness.h"

namespace {

// The graph picture drawn into a 32-bit memory image of the control's size.
class GraphImage {
public:
    explicit GraphImage(CVantrelDlg& dlg)
        : width(dlg.Graph().Geometry().width), height(dlg.Graph().Geometry().height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
        // Grey first, so that a picture that draws nothing is told apart.
        RECT all{0, 0, width, height};
        HBRUSH grey = CreateSolidBrush(RGB(1, 2, 3));
        FillRect(dc, &all, grey);
        DeleteObject(grey);
        dlg.Graph().Paint(dc);
        GdiFlush();
        pixels = static_cast<const uint32_t*>(bits);
    }
    ~GraphImage()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    GraphImage(const GraphImage&) = delete;
    GraphImage& operator=(const GraphImage&) = delete;

    // As COLORREF (0x00BBGGRR).
    COLORREF At(int x, int y) const
    {
        const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Pixels of one colour inside [x0, x1) x [y0, y1).
    int Count(COLORREF colour, int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += At(x, y) == colour;
        return n;
    }
    int Count(COLORREF colour) const { return Count(colour, 0, 0, width, height); }

    int width;
    int height;

private:
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    const uint32_t* pixels = nullptr;
};

using GraphRenderWin = WindowTest;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(220, 220, 220);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGreen = RGB(0, 200, 0);

// y of a value of graph g as the point lists place it.
int ValueY(const CVantrelDlg& dlg, int graph, double value)
{
    const GraphGeometry& g = dlg.Graph().Geometry();
    const double min = dlg.Graph().Info().RangeOf(graph).min;
    return static_cast<int>(g.plot.bottom - 15 * g.vScale - (value - min) * g.yScale[graph]);
}

// The colour's pixels in the column x, rows y - 2 .. y + 2 (a 2-pixel pen
// may put its extra row on either side).
int Near(const GraphImage& image, COLORREF colour, int x, int y)
{
    return image.Count(colour, x, y - 2, x + 1, y + 3);
}
}

TEST_F(GraphRenderWin, EmptyLogShowsFrameGridAxesAndNoLines)
{
    MainWindow w;
    const GraphGeometry& g = w.dlg.Graph().Geometry();
    GraphImage image(w.dlg);
    ASSERT_GT(image.width, 100);
    const int L = g.plot.left, R = g.plot.right, B = g.plot.bottom;
    const int maxY = static_cast<int>(15 * g.vScale), minY = static_cast<int>(B - 15 * g.vScale);

    EXPECT_EQ(image.At(0, 0), kBlack);
    EXPECT_EQ(image.At(image.width - 1, image.height - 1), kBlack);
    EXPECT_EQ(image.At((L + R) / 2, B / 2 + 5), kWhite);
    for (int y : {B / 2, maxY, minY}) {
        EXPECT_EQ(image.At(L + 5, y), kGrey) << y;
        EXPECT_EQ(image.At(R - 1, y), kGrey) << "lit up to R, not including it: " << y;
    }
    EXPECT_EQ(image.At(L, B / 2 + 3), kBlack);
    EXPECT_EQ(image.At(R, B / 2 + 3), kBlack);
    // Labels in both margins and their colours; nothing between the grid lines.
    EXPECT_GT(image.Count(kBlue, 1, 0, L - 1, image.height), 0);
    EXPECT_GT(image.Count(kMagenta, R + 3, 0, image.width - 1, image.height), 0);
    EXPECT_EQ(image.Count(kBlue, L + 1, maxY + 1, R, minY), 0);
    EXPECT_EQ(image.Count(kMagenta, L + 1, maxY + 1, R, minY), 0);
    EXPECT_EQ(image.Count(kGreen), 0);
}

TEST_F(GraphRenderWin, SeriesLinesInTheirColoursGraphTwoOnTop)
{
    MainWindow w;
    // RSOC 50 and 25.0 degrees both lie on the middle of their ranges.
    w.AppendMany(60, 50, 25.0);
    const GraphGeometry& g = w.dlg.Graph().Geometry();
    const int middle = ValueY(w.dlg, 0, 50);
    ASSERT_EQ(middle, ValueY(w.dlg, 1, 25.0));
    {
        GraphImage image(w.dlg);
        const int x = g.plot.right - 20;
        EXPECT_GT(Near(image, kMagenta, x, middle), 0);
        EXPECT_EQ(Near(image, kBlue, x, middle), 0) << "graph 2 covers graph 1";
        // Left of the oldest point there is no line.
        const int oldestX = w.dlg.Graph().Points().points[0][59].x;
        EXPECT_EQ(image.Count(kMagenta, g.plot.left + 1, middle - 2, oldestX - 2, middle + 3), 0);
    }

    // Different values: each line at its own height.
    w.AppendMany(60, 80, 70.0, 3700, 60);
    GraphImage image(w.dlg);
    const int x = g.plot.right - 20;
    EXPECT_GT(Near(image, kBlue, x, ValueY(w.dlg, 0, 80)), 0);
    EXPECT_GT(Near(image, kMagenta, x, ValueY(w.dlg, 1, 70.0)), 0);
    EXPECT_EQ(ValueY(w.dlg, 1, 70.0), static_cast<int>(15 * g.vScale)) << "range maximum on the top grid line";
}

TEST_F(GraphRenderWin, NoneDrawsNothingForGraphTwo)
{
    MainWindow w;
    w.AppendMany(60, 30, 10.0);
    const HWND settings = w.dlg.Graph().SettingsDialog()->GetHwnd();
    CheckRadioButton(settings, IDC_GS_GRAPH2_RSOC, IDC_GS_GRAPH2_NONE, IDC_GS_GRAPH2_NONE);
    Click(settings, IDC_GS_APPLY);
    ASSERT_EQ(w.dlg.Graph().Info().m_graph2Kind, GRAPH_KIND_NONE);
    GraphImage image(w.dlg);
    const GraphGeometry& g = w.dlg.Graph().Geometry();
    EXPECT_EQ(image.Count(kMagenta), 0) << "no line and no labels";
    // The right margin is empty: white inside the frame (the 2-pixel line may
    // reach one pixel past the axis).
    EXPECT_EQ(image.Count(kWhite, g.plot.right + 3, 1, image.width - 1, image.height - 1),
              (image.width - g.plot.right - 4) * (image.height - 2));
    EXPECT_GT(Near(image, kBlue, g.plot.right - 20, ValueY(w.dlg, 0, 30)), 0);
}

TEST_F(GraphRenderWin, CursorLineOnlyLeftOfTheNewestVisibleRecord)
{
    MainWindow w;
    w.AppendMany(50);
    const GraphGeometry& g = w.dlg.Graph().Geometry();
    w.dlg.Graph().ShowCursorReadout(0);
    {
        GraphImage image(w.dlg);
        EXPECT_EQ(image.Count(kGreen), 0) << "the cursor on the rightmost record shows no line";
    }
    w.dlg.Graph().ShowCursorReadout(10);
    {
        GraphImage image(w.dlg);
        const int x = static_cast<int>((g.plot.right - 1) - 10 * g.xStep);
        EXPECT_GT(image.Count(kGreen, x, 0, x + 1, image.height), 5);
        EXPECT_EQ(image.Count(kGreen), image.Count(kGreen, x, 0, x + 1, image.height)) << "one vertical line";
    }
    // A marker record under the cursor draws no line.
    w.Append(Reading(50, -30000, 25.0, 3700));
    w.dlg.Graph().ShowCursorReadout(0);
    w.Append(Reading(51, 50, 25.0, 3700));
    ASSERT_EQ(w.dlg.Graph().CursorOffset(), 1);
    GraphImage image(w.dlg);
    EXPECT_EQ(image.Count(kGreen), 0);
}

TEST_F(GraphRenderWin, TheControlShowsTheSamePicture)
{
    MainWindow w;
    w.AppendMany(120, 50, 25.0);
    ShowWindow(w.Wnd(), SW_SHOW);
    PumpMessages(50);
    // Paint over the control, then let it repaint itself: the owner-drawn
    // control asks the window for the picture.
    const HWND graph = w.Item(IDC_GRAPH_AREA);
    HDC dc = GetDC(graph);
    RECT all{0, 0, w.dlg.Graph().Geometry().width, w.dlg.Graph().Geometry().height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    InvalidateRect(graph, nullptr, FALSE);
    UpdateWindow(graph);
    const GraphGeometry& g = w.dlg.Graph().Geometry();
    const int middle = ValueY(w.dlg, 0, 50);
    int magenta = 0;
    for (int y = middle - 2; y <= middle + 2; ++y) magenta += GetPixel(dc, g.plot.right - 20, y) == kMagenta;
    EXPECT_GT(magenta, 0);
    EXPECT_EQ(GetPixel(dc, 0, 0), kBlack);
    EXPECT_EQ(GetPixel(dc, (g.plot.left + g.plot.right) / 2, g.plot.bottom / 2 + 5), kWhite);
    ReleaseDC(graph, dc);
}
