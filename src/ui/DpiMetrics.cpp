#include "ui/DpiMetrics.h"

namespace {

int32_t ColumnWidth(double width)
{
    const int32_t w = TruncToPixel(width);
    if (w < 0) {
        return 0;
    }
    return w > 32767 ? 32767 : w;
}

}  // namespace

double DpiScaleFromLogPixels(int32_t logPixels)
{
    return logPixels > 0 ? logPixels / 96.0 : 1.0;
}

int32_t LogListFontHeight(double vScale)
{
    return TruncToPixel(14.0 * SanitizeDpiScale(vScale));
}

int32_t ValueFontHeight(double vScale)
{
    return TruncToPixel(16.0 * SanitizeDpiScale(vScale));
}

int32_t GraphFontHeight(double vScale)
{
    return TruncToPixel(10.0 * SanitizeDpiScale(vScale));
}

std::array<int32_t, kLogListColumnCount> LogListColumnWidths(int32_t listWidth, double hScale)
{
    const double sx = SanitizeDpiScale(hScale);
    return {ColumnWidth(90.0 * sx), ColumnWidth(70.0 * sx),
            ColumnWidth(75.0 * sx), ColumnWidth(75.0 * sx),
            ColumnWidth(75.0 * sx), ColumnWidth((static_cast<double>(listWidth) - 413.0) * sx)};
}

PixelSize ScaledLogoSize(int32_t bitmapWidth, int32_t bitmapHeight, double hScale, double vScale)
{
    PixelSize size;
    size.width = TruncToPixel(bitmapWidth * SanitizeDpiScale(hScale));
    size.height = TruncToPixel(bitmapHeight * SanitizeDpiScale(vScale));
    return size;
}
