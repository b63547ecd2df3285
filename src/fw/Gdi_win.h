#pragma once
// Owning GDI objects and scoped device contexts. Owners delete; the scope
// objects undo what they did (selection, GetDC, BeginPaint) on destruction.
#include <windows.h>

template <class H>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(H h) : m_h(h) {}
    ~CGdiObject() { Reset(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_h(other.Release()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    H Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    H Release() { H h = m_h; m_h = nullptr; return h; }
    void Reset(H h = nullptr) {
        if (m_h) DeleteObject(m_h);
        m_h = h;
    }

private:
    H m_h = nullptr;
};

using CFont = CGdiObject<HFONT>;
using CBitmap = CGdiObject<HBITMAP>;
using CPen = CGdiObject<HPEN>;

// Selects an object into a DC for one scope and puts the previous one back.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(SelectObject(dc, obj)) {}
    ~CSelectObject() { if (m_old) SelectObject(m_dc, m_old); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A memory DC compatible with another DC.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatible) : m_dc(CreateCompatibleDC(compatible)) {}
    ~CMemoryDC() { if (m_dc) DeleteDC(m_dc); }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

// GetDC / ReleaseDC for one scope.
class CWindowDC {
public:
    explicit CWindowDC(HWND wnd) : m_wnd(wnd), m_dc(GetDC(wnd)) {}
    ~CWindowDC() { if (m_dc) ReleaseDC(m_wnd, m_dc); }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_wnd;
    HDC m_dc;
};

// BeginPaint / EndPaint for one WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND wnd) : m_wnd(wnd) { m_dc = BeginPaint(wnd, &m_ps); }
    ~CPaintDC() { EndPaint(m_wnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC Get() const { return m_dc; }
    const PAINTSTRUCT& Info() const { return m_ps; }

private:
    HWND m_wnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};
