// The current-value panel: battery picture 1011, the RSOC and temperature
// edits, and the painting of the main window (minimised icon, graphs,
// picture).
#include "app/VantrelDlg_win.h"

#include "resource.h"
#include "ui/CurrentValuePanel.h"

namespace {
// The colour left out when the picture is drawn: the area around the battery.
constexpr COLORREF kPictureTransparent = RGB(255, 0, 255);
}

void CVantrelDlg::BindCurrentValueTexts()
{
    BindText(IDC_RSOC_VALUE, &m_rsocText);
    BindText(IDC_TEMP_VALUE, &m_temperatureText);
}

void CVantrelDlg::LoadBatteryBitmap()
{
    LoadBatteryPicture(kBatteryBitmapNoValue);
}

void CVantrelDlg::ShowBatteryLevel(uint8_t rsoc)
{
    const int32_t id = BatteryBitmapId(rsoc);
    // The same bars as now: nothing is loaded and nothing repainted.
    if (!BatteryPictureChanges(m_batteryBitmapId, id)) return;
    LoadBatteryPicture(id);
    InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CVantrelDlg::LoadBatteryPicture(int32_t id)
{
    m_batteryBitmap.Reset(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
    m_batteryBitmapId = id;
    ++m_batteryBitmapLoads;
}

void CVantrelDlg::DrawBatteryPicture(HDC dc, const RECT& rect) const
{
    if (!dc || !m_batteryBitmap) return;
    BITMAP info{};
    if (!GetObjectW(m_batteryBitmap.Get(), sizeof(info), &info)) return;
    CMemoryDC memory(dc);
    if (!memory.Get()) return;
    CSelectObject select(memory.Get(), m_batteryBitmap.Get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    TransparentBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory.Get(), 0, 0,
                   info.bmWidth, info.bmHeight, kPictureTransparent);
}

bool CVantrelDlg::OnPaint()
{
    const HWND wnd = GetHwnd();
    if (IsIconic(wnd)) {
        CPaintDC dc(wnd);
        SendMessageW(wnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
        RECT client{};
        GetClientRect(wnd, &client);
        const IconOrigin at = CentredIconOrigin(client.right - client.left, client.bottom - client.top,
                                                GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
        DrawIcon(dc.Get(), at.x, at.y, m_icon);
        return true;
    }
    RedrawGraph();
    if (HWND picture = Item(IDC_BATTERY_PICTURE)) {
        RECT rect{};
        GetClientRect(picture, &rect);
        CWindowDC dc(picture);
        DrawBatteryPicture(dc.Get(), rect);
    }
    return false;
}

bool CVantrelDlg::OnDrawItem(int id, const DRAWITEMSTRUCT* item)
{
    // The picture control repaints on its own too (uncovered, or the dialog
    // background erased over it): draw the same picture then.
    if (id != IDC_BATTERY_PICTURE || !item) return false;
    DrawBatteryPicture(item->hDC, item->rcItem);
    return true;
}
