#pragma once
// Shared by the graph and layout tests: the main window with its graph state
// in reach, records with known stamps, and the picture drawn into memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>
#include <commctrl.h>

#include "app/VantrelDlg_win.h"
#include "graph/GraphNavigation.h"
#include "link/SubBoardLink_win.h"
#include "resource.h"
#include "WinHarness.h"

class GraphDlg : public CVantrelDlg {
public:
    using CVantrelDlg::CVantrelDlg;
};

// A measurement with a stamp derived from its number, so that readouts can be
// told apart: 2024/mm/dd hh:mm:ss with seconds = n % 60, minutes = n / 60 % 60.
inline tagLOGDATA Reading(int n, int32_t rsoc, double temperature, uint16_t voltage)
{
    tagLOGDATA r{};
    r.year = 2024;
    r.month = 3;
    r.day = 9;
    r.hour = 7 + n / 3600;
    r.minute = static_cast<int16_t>(n / 60 % 60);
    r.second = static_cast<int16_t>(n % 60);
    r.rsoc = rsoc;
    r.temperature = temperature;
    r.voltage = voltage;
    return r;
}

class GraphWindow {
public:
    GraphWindow() : dlg(L"")
    {
        created = dlg.Create(nullptr);
        PumpMessages(30);
    }
    ~GraphWindow() { dlg.DestroyWindow(); }
    GraphWindow(const GraphWindow&) = delete;
    GraphWindow& operator=(const GraphWindow&) = delete;

    HWND Wnd() const { return dlg.GetHwnd(); }
    HWND Item(int id) const { return GetDlgItem(dlg.GetHwnd(), id); }
    std::string Text(int id) const { return Utf8(dlg.ItemText(id)); }

    // One reading arriving as the dispatcher hands it over: record and row,
    // scroll bar, cursor step, points and picture.
    void Append(const tagLOGDATA& record)
    {
        dlg.LogView().AddMeasurementRow(record);
        dlg.Graph().StepForNewRecord();
        dlg.Graph().Refresh();
    }
    // n readings numbered from `first`, all with the same values, ending in
    // the state that n single appends leave (one redraw instead of n).
    void AppendMany(int count, int32_t rsoc = 50, double temperature = 25.0, uint16_t voltage = 3700, int first = 0)
    {
        for (int i = 0; i < count; ++i) {
            dlg.LogView().AddMeasurementRow(Reading(first + i, rsoc, temperature, voltage));
            dlg.Graph().StepForNewRecord();
        }
        dlg.Graph().Refresh();
    }

    void HScroll(int id, WORD code, WORD position = 0)
    {
        SendMessageW(Wnd(), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(Item(id)));
    }
    void Zoom(int level, WORD code = TB_THUMBPOSITION)
    {
        SendMessageW(Item(IDC_ZOOM), TBM_SETPOS, TRUE, level);
        HScroll(IDC_ZOOM, code, static_cast<WORD>(level));
    }
    int ScrollPos() const { return GetScrollPos(Item(IDC_GRAPH_SCROLL), SB_CTL); }
    int ScrollMax() const
    {
        int lo = 0, hi = 0;
        GetScrollRange(Item(IDC_GRAPH_SCROLL), SB_CTL, &lo, &hi);
        return hi;
    }
    bool ScrollEnabled() const { return IsWindowEnabled(Item(IDC_GRAPH_SCROLL)) != FALSE; }

    // Where the graph control's top-left corner lies in the main window's
    // client area, as the window system places it.
    POINT GraphOrigin() const
    {
        POINT origin{0, 0};
        MapWindowPoints(Item(IDC_GRAPH_AREA), Wnd(), &origin, 1);
        return origin;
    }
    // The hit area of the plot in the main window's client coordinates.
    RECT HitArea() const
    {
        const POINT o = GraphOrigin();
        const GraphGeometry& g = dlg.Graph().Geometry();
        return RECT{o.x + g.plot.left, o.y, o.x + g.plot.right, o.y + g.height};
    }
    void Press(int x, int y) { SendMessageW(Wnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Move(int x, int y, WPARAM buttons)
    {
        SendMessageW(Wnd(), WM_MOUSEMOVE, buttons, MAKELPARAM(x, y));
    }

    GraphDlg dlg;
    bool created = false;
};

// The graph picture drawn into a 32-bit memory image of the control's size.
class GraphImage {
public:
    explicit GraphImage(GraphDlg& dlg)
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

// No settings file and no listed board before and after each test.
class GraphTest : public testing::Test {
protected:
    void SetUp() override
    {
        ini = BesideExe(L"Vantrel.ini");
        DeleteFileW(ini.c_str());
        SetEnvironmentVariableW(kDeviceEnvironmentVariable, nullptr);
    }
    void TearDown() override { DeleteFileW(ini.c_str()); }
    std::wstring ini;
};
