// The current-value panel: which battery picture a charge shows, when it is
// loaded, and how it is painted.
#include "WinHarness.h"

namespace {

// The pixels of a window as they are on the screen (top-down, 32-bit BGRA).
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Capture CaptureWindow(HWND wnd)
{
    Capture c;
    RECT r{};
    GetWindowRect(wnd, &r);
    c.width = r.right - r.left;
    c.height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = c.width;
    info.bmiHeader.biHeight = -c.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, c.width, c.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    c.pixels.assign(p, p + static_cast<size_t>(c.width) * c.height);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(nullptr, screen);
    return c;
}

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Green(uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

// Shows the window, lets it paint and takes its pixels.
Capture Shown(MainWindow& w)
{
    SetWindowPos(w.Wnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(w.Wnd());
    PumpMessages(300);
    return CaptureWindow(GetDlgItem(w.Wnd(), IDC_BATTERY_PICTURE));
}

using PanelTest = WindowTest;

} // namespace

TEST_F(PanelTest, PictureForEachCharge)
{
    MainWindow w;
    EXPECT_EQ(w.dlg.Picture().LoadedBitmapId(), 144) << "no value yet";
    const HICON dragIcon = reinterpret_cast<HICON>(SendMessageW(w.Wnd(), WM_QUERYDRAGICON, 0, 0));
    EXPECT_NE(dragIcon, nullptr);
    EXPECT_EQ(dragIcon, reinterpret_cast<HICON>(SendMessageW(w.Wnd(), WM_GETICON, ICON_BIG, 0)));
    const std::pair<uint8_t, int32_t> cases[] = {{0, 134},  {4, 134},  {5, 135},  {10, 135}, {11, 136},
                                                 {50, 139}, {80, 133}, {81, 142}, {90, 142}, {91, 143},
                                                 {100, 143}, {101, 144}, {255, 144}};
    for (const auto& [rsoc, id] : cases) {
        w.dlg.Picture().ShowLevel(rsoc);
        EXPECT_EQ(w.dlg.Picture().LoadedBitmapId(), id) << int(rsoc);
    }
}

TEST_F(PanelTest, SameBarsLoadNothing)
{
    MainWindow w;
    w.dlg.Picture().ShowLevel(30);
    const uint32_t loads = w.dlg.Picture().BitmapLoads();
    w.dlg.Picture().ShowLevel(55);
    w.dlg.Picture().ShowLevel(58);
    EXPECT_EQ(w.dlg.Picture().BitmapLoads(), loads + 1);
    w.dlg.Picture().ShowLevel(60);
    EXPECT_EQ(w.dlg.Picture().BitmapLoads(), loads + 1);
    w.dlg.Picture().ShowLevel(61);
    EXPECT_EQ(w.dlg.Picture().BitmapLoads(), loads + 2);
}

TEST_F(PanelTest, PictureIsPaintedWithoutItsMagentaSurround)
{
    MainWindow w;
    w.dlg.Board().SetMeasuring(1);
    w.dlg.HandleSubBoardReport(Payload({0x03, 0x50, 0xA6, 0x0B, 0x10, 0x0F}).data());
    const Capture shot = Shown(w);
    ASSERT_GT(shot.width, 20);
    int magenta = 0, green = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const uint32_t p = shot.At(x, y);
            if (Red(p) > 200 && Green(p) < 80 && Blue(p) > 200) ++magenta;
            if (Green(p) > 200 && Red(p) > 110 && Red(p) < 200 && Blue(p) < 150) ++green;
        }
    EXPECT_EQ(magenta, 0);
    EXPECT_GT(green, 50) << "the eight green bars of RSOC 80";
    // The surround shows the dialog's own background.
    const uint32_t corner = shot.At(0, 0);
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    EXPECT_EQ(Red(corner), GetRValue(face));
    EXPECT_EQ(Green(corner), GetGValue(face));
    EXPECT_EQ(Blue(corner), GetBValue(face));

    // A new picture reaches the screen: RSOC 4 has no bars at all.
    w.dlg.Picture().ShowLevel(4);
    const Capture empty = Shown(w);
    int greenLeft = 0;
    for (uint32_t p : empty.pixels)
        if (Green(p) > 200 && Red(p) > 110 && Red(p) < 200 && Blue(p) < 150) ++greenLeft;
    EXPECT_EQ(greenLeft, 0);
}
