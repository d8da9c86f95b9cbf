// Drawing helpers and colours the owner-drawn menu's building and drawing share.
#pragma once
#include "afxwin.h"

namespace glint {

constexpr COLORREF kClassicItem = 0xACA820;
constexpr COLORREF kFlatFace = 0xC03E20;
constexpr COLORREF kFlatColumn = 0xFFC040;
constexpr COLORREF kFlatBox = 0x80FF40;
constexpr COLORREF kFlatSeparator = 0x9B9B9B;
constexpr COLORREF kFlatSelectedText = 0x37CDFF;


// The menu font of the system, for measuring and for drawing through a memory DC.
inline HFONT create_menu_font() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    return ::CreateFontIndirectA(&metrics.lfMenuFont);
}

// A DC of the thread's main window, else of the desktop.
struct MeasureDC {
    HWND wnd;
    HDC dc;
    MeasureDC() {
        CWnd* main = AfxGetMainWnd();
        wnd = main && ::IsWindow(main->m_hWnd) ? main->m_hWnd : ::GetDesktopWindow();
        dc = ::GetDC(wnd);
    }
    ~MeasureDC() { ::ReleaseDC(wnd, dc); }
};

inline int text_width(HDC dc, const std::u16string& text) {
    SIZE s{};
    ::GetTextExtentPoint32W(dc, (LPCWSTR)text.c_str(), (int)text.size(), &s);
    return s.cx;
}

inline void fill(HDC dc, const RECT& r, COLORREF c) {
    HBRUSH brush = ::CreateSolidBrush(c);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
}

inline void draw_radio_dot(HDC dc, int x, int y, COLORREF c) {
    HPEN pen = ::CreatePen(PS_SOLID, 1, c);
    HBRUSH brush = ::CreateSolidBrush(c);
    HGDIOBJ old_pen = ::SelectObject(dc, pen), old_brush = ::SelectObject(dc, brush);
    ::Ellipse(dc, x, y, x + 6, y + 6);
    ::SelectObject(dc, old_pen);
    ::SelectObject(dc, old_brush);
    ::DeleteObject(pen);
    ::DeleteObject(brush);
}

// Seven vertical 3-pixel strokes whose tops run 2, 3, 4, 3, 2, 1, 0 below y.
inline void draw_check_tick(HDC dc, int x, int y, COLORREF c) {
    static const int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
    HPEN pen = ::CreatePen(PS_SOLID, 1, c);
    HGDIOBJ old = ::SelectObject(dc, pen);
    for (int i = 0; i < 7; ++i) {
        ::MoveToEx(dc, x + i, y + kTop[i], nullptr);
        ::LineTo(dc, x + i, y + kTop[i] + 3);
    }
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

inline bool has_checked_bitmap(HMENU menu, UINT id) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    return menu && ::GetMenuItemInfoA(menu, id, FALSE, &info) && info.hbmpChecked;
}

}  // namespace glint
