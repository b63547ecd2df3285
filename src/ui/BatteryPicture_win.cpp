#include "ui/BatteryPicture_win.h"

#include "resource.h"
#include "ui/CurrentValuePanel.h"

namespace {
// The colour left out when the picture is drawn: the area around the battery.
constexpr COLORREF kPictureTransparent = RGB(255, 0, 255);
}

void CBatteryPicture::Attach(HWND window)
{
    m_window = window;
    Load(kBatteryBitmapNoValue);
}

void CBatteryPicture::ShowLevel(uint8_t rsoc)
{
    const int32_t id = BatteryBitmapId(rsoc);
    // The same bars as now: nothing is loaded and nothing repainted.
    if (!BatteryPictureChanges(m_bitmapId, id)) return;
    Load(id);
    InvalidateRect(m_window, nullptr, FALSE);
}

void CBatteryPicture::Load(int32_t id)
{
    m_bitmap.Reset(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
    m_bitmapId = id;
    ++m_loads;
}

void CBatteryPicture::Repaint() const
{
    const HWND picture = GetDlgItem(m_window, IDC_BATTERY_PICTURE);
    if (!picture) return;
    RECT rect{};
    GetClientRect(picture, &rect);
    CWindowDC dc(picture);
    Draw(dc.Get(), rect);
}

bool CBatteryPicture::OnDrawItem(int id, const DRAWITEMSTRUCT* item) const
{
    // The picture control repaints on its own too (uncovered, or the dialog
    // background erased over it): draw the same picture then.
    if (id != IDC_BATTERY_PICTURE || !item) return false;
    Draw(item->hDC, item->rcItem);
    return true;
}

void CBatteryPicture::Draw(HDC dc, const RECT& rect) const
{
    if (!dc || !m_bitmap) return;
    BITMAP info{};
    if (!GetObjectW(m_bitmap.Get(), sizeof(info), &info)) return;
    CMemoryDC memory(dc);
    if (!memory.Get()) return;
    CSelectObject select(memory.Get(), m_bitmap.Get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    TransparentBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory.Get(), 0, 0,
                   info.bmWidth, info.bmHeight, kPictureTransparent);
}
