#pragma once
// Sizes of the main window that follow the screen's dots per inch: fonts,
// log-list columns, the logo, and the recorded minimum window size.
#include <array>
#include <cstdint>

#include "ui/PixelRect.h"

// LOGPIXELSX or LOGPIXELSY / 96. Not positive: 1.0.
double DpiScaleFromLogPixels(int32_t logPixels);

// LOGFONT heights: truncate(14 x v) for the log list, truncate(16 x v) for the
// bold value font, truncate(10 x v) for the graph texts.
int32_t LogListFontHeight(double vScale);
int32_t ValueFontHeight(double vScale);
int32_t GraphFontHeight(double vScale);
constexpr int32_t kValueFontWeight = 700;
constexpr int32_t kGraphFontWeight = 400;

constexpr int kLogListColumnCount = 6;

// Column widths of the log list for a list `listWidth` pixels wide: 90, 70,
// 75, 75, 75 and (listWidth - 413), each times sx and truncated. The list
// takes 16-bit widths; a width is kept within 0..32767 instead of wrapping,
// so a minimised window gives the Message column width 0, not a negative one.
std::array<int32_t, kLogListColumnCount> LogListColumnWidths(int32_t listWidth, double hScale);

// Logo static size: the bitmap's size times the DPI scales, truncated.
struct PixelSize {
    int32_t width = 0;
    int32_t height = 0;
};
PixelSize ScaledLogoSize(int32_t bitmapWidth, int32_t bitmapHeight, double hScale, double vScale);

// The window's outer size when it opened; no limit until both are recorded.
struct MinimumWindowSize {
    int32_t width = 0;
    int32_t height = 0;
    bool IsRecorded() const { return width != 0 && height != 0; }
};
