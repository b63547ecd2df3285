#pragma once
// The battery picture (control 1011) of the current-value panel: which of
// the bar bitmaps is shown, loaded only when the bars change, and drawn
// scaled with the area around the battery left out. User interface thread.
#include <cstdint>
#include <windows.h>

#include "fw/Gdi_win.h"

class CBatteryPicture {
public:
    // window: the main window holding the picture control.
    void Attach(HWND window);
    // The picture for a reading of rsoc percent; repaints when it changed.
    void ShowLevel(uint8_t rsoc);
    // Into the control as it is now (after the window painted).
    void Repaint() const;
    // WM_DRAWITEM; true for the picture control.
    bool OnDrawItem(int id, const DRAWITEMSTRUCT* item) const;

    int32_t LoadedBitmapId() const { return m_bitmapId; }
    uint32_t BitmapLoads() const { return m_loads; }

private:
    void Load(int32_t id);
    void Draw(HDC dc, const RECT& rect) const;

    HWND m_window = nullptr;
    CBitmap m_bitmap;
    int32_t m_bitmapId = 0;
    uint32_t m_loads = 0;
};
