#include "SkinPaint.h"
#include "afxwin.h"
#include "controls/skin_core/tab_rules.h"

void skin_paint_plan(HDC dc, COLORREF colour, const RECT& rect, const skin::FillPlan& plan) {
    auto fill = [dc](const RECT& r, COLORREF c) {
        HBRUSH brush = ::CreateSolidBrush(c);
        HGDIOBJ old = ::SelectObject(dc, brush);
        ::FillRect(dc, &r, brush);
        ::SelectObject(dc, old);
        ::DeleteObject(brush);
    };
    if (plan.plain_fill) fill(rect, colour);
    for (const skin::Band& b : plan.bands) fill(RECT{b.left, b.top, b.right, b.bottom}, b.colour);
}

void skin_draw_gradient(HDC dc, const skin::Profile& profile, COLORREF colour, RECT r, int style) {
    skin_paint_plan(dc, colour, r, skin::plan_shaded_fill(profile, colour, r.left, r.top, r.right, r.bottom, style));
}

void skin_paint_strokes(HDC dc, const skin::Strokes& strokes) {
    int old_rop = ::SetROP2(dc, R2_COPYPEN);
    for (const skin::Stroke& s : strokes) {
        switch (s.kind) {
        case skin::StrokeKind::Fill: {
            RECT r = {s.rect.left, s.rect.top, s.rect.right, s.rect.bottom};
            HBRUSH brush = ::CreateSolidBrush(s.brush);
            ::FillRect(dc, &r, brush);
            ::DeleteObject(brush);
            break;
        }
        case skin::StrokeKind::Pixel:
            ::SetPixel(dc, s.points[0].x, s.points[0].y, s.pen);
            break;
        case skin::StrokeKind::Polyline: {
            if (s.points.empty()) break;
            HPEN pen = ::CreatePen(PS_SOLID, s.width, s.pen);
            HGDIOBJ old = ::SelectObject(dc, pen);
            ::MoveToEx(dc, s.points[0].x, s.points[0].y, nullptr);
            for (size_t i = 1; i < s.points.size(); ++i) ::LineTo(dc, s.points[i].x, s.points[i].y);
            ::SelectObject(dc, old);
            ::DeleteObject(pen);
            break;
        }
        case skin::StrokeKind::Rectangle: {
            HPEN pen = ::CreatePen(PS_SOLID, 1, s.pen);
            HBRUSH brush = ::CreateSolidBrush(s.brush);
            HGDIOBJ old_pen = ::SelectObject(dc, pen);
            HGDIOBJ old_brush = ::SelectObject(dc, brush);
            ::Rectangle(dc, s.rect.left, s.rect.top, s.rect.right, s.rect.bottom);
            ::SelectObject(dc, old_pen);
            ::SelectObject(dc, old_brush);
            ::DeleteObject(pen);
            ::DeleteObject(brush);
            break;
        }
        case skin::StrokeKind::RoundRect: {
            // In the stroke's own pen and brush, else in those the device context holds.
            HPEN pen = s.own_tools ? ::CreatePen(PS_SOLID, 1, s.pen) : nullptr;
            HBRUSH brush = s.own_tools ? ::CreateSolidBrush(s.brush) : nullptr;
            HGDIOBJ old_pen = pen ? ::SelectObject(dc, pen) : nullptr;
            HGDIOBJ old_brush = brush ? ::SelectObject(dc, brush) : nullptr;
            ::RoundRect(dc, s.rect.left, s.rect.top, s.rect.right, s.rect.bottom, s.round, s.round);
            if (pen) ::DeleteObject(::SelectObject(dc, old_pen));
            if (brush) ::DeleteObject(::SelectObject(dc, old_brush));
            break;
        }
        case skin::StrokeKind::FloodFill: {
            HBRUSH brush = ::CreateSolidBrush(s.brush);
            HGDIOBJ old = ::SelectObject(dc, brush);
            ::ExtFloodFill(dc, s.points[0].x, s.points[0].y, s.pen, FLOODFILLBORDER);
            ::SelectObject(dc, old);
            ::DeleteObject(brush);
            break;
        }
        }
    }
    ::SetROP2(dc, old_rop);
}

void skin_tile_bitmap(HDC dc, HBITMAP bitmap, int bitmap_width, int bitmap_height, int width, int height) {
    if (!bitmap) return;
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    for (const skin::Point& p : skin::tile_origins(width, height, bitmap_width, bitmap_height))
        ::BitBlt(dc, p.x, p.y, bitmap_width, bitmap_height, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

BOOL skin_take_bitmap(HBITMAP* owned, int* width, int* height, HBITMAP bitmap) {
    if (*owned) ::DeleteObject(*owned);
    *owned = nullptr;
    *width = *height = 0;
    if (!bitmap) return TRUE;
    BITMAP bm{};
    if (::GetObjectType(bitmap) != OBJ_BITMAP || !::GetObjectA(bitmap, sizeof bm, &bm)) {
        ::DeleteObject(bitmap);
        return FALSE;
    }
    *owned = bitmap;
    *width = bm.bmWidth;
    *height = bm.bmHeight;
    return TRUE;
}

BOOL skin_load_bitmap(HBITMAP* owned, int* width, int* height, UINT resource_id) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(resource_id), (LPCSTR)RT_BITMAP);
    HBITMAP bitmap = (HBITMAP)::LoadImageA(module, MAKEINTRESOURCEA(resource_id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    BOOL kept = skin_take_bitmap(owned, width, height, bitmap);
    // A missing resource removes the old bitmap and is reported, not passed off as success.
    return bitmap ? kept : FALSE;
}

skin::SystemShades skin_system_shades() {
    return skin::SystemShades{::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_BTNSHADOW)};
}

SkinResourceBitmap::SkinResourceBitmap(HDC compatible, UINT id) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(id), (LPCSTR)RT_BITMAP);
    m_bitmap = ::LoadBitmapA(module, MAKEINTRESOURCEA(id));
    if (!m_bitmap) return;
    BITMAP bm{};
    ::GetObjectA(m_bitmap, sizeof bm, &bm);
    width = bm.bmWidth;
    height = bm.bmHeight;
    m_dc = ::CreateCompatibleDC(compatible);
    m_old = ::SelectObject(m_dc, m_bitmap);
}

SkinResourceBitmap::~SkinResourceBitmap() {
    if (m_dc) {
        ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
    }
    if (m_bitmap) ::DeleteObject(m_bitmap);
}

void SkinResourceBitmap::Blit(HDC dc, int x, int y, int w, int h, int sx, int sy) const {
    if (m_dc) ::BitBlt(dc, x, y, w, h, m_dc, sx, sy, SRCCOPY);
}
