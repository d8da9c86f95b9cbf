// The GDI adaptors of the skin core: a planned shaded fill, a line list of bevels and hatchings, and a
// bitmap tiled over an area. Every class's drawing comes down to these; each new brush and pen is
// deleted before the call returns.
#pragma once
#include <windows.h>
#include "controls/skin_core/skin_bands.h"
#include "controls/skin_core/skin_strokes.h"

void skin_paint_plan(HDC dc, COLORREF colour, const RECT& rect, const skin::FillPlan& plan);
// A class's DrawGradient: its profile's plan of `style` over `rect`, painted.
void skin_draw_gradient(HDC dc, const skin::Profile& profile, COLORREF colour, RECT rect, int style);
void skin_paint_strokes(HDC dc, const skin::Strokes& strokes);
// Tiles `bitmap` (width x height) from the origin over width x height of `dc`, one more row and column
// than fit, as the skinned dialog does.
void skin_tile_bitmap(HDC dc, HBITMAP bitmap, int bitmap_width, int bitmap_height, int width, int height);
// A background bitmap a skinned window owns. Take: deletes the old one, keeps `bitmap` (NULL only
// removes the old one) and its size; FALSE, deleting it too, when it is not a bitmap. Load: this
// module's bitmap resource; FALSE, and no bitmap, when the resource is missing.
BOOL skin_take_bitmap(HBITMAP* owned, int* width, int* height, HBITMAP bitmap);
BOOL skin_load_bitmap(HBITMAP* owned, int* width, int* height, UINT resource_id);

// The colours of the skin's bevels from the system.
skin::SystemShades skin_system_shades();

// A bitmap resource of this module, loaded for one paint and selected into a memory DC for blits; the
// blits do nothing when the resource is missing.
class SkinResourceBitmap {
public:
    SkinResourceBitmap(HDC compatible, UINT id);
    ~SkinResourceBitmap();
    SkinResourceBitmap(const SkinResourceBitmap&) = delete;
    SkinResourceBitmap& operator=(const SkinResourceBitmap&) = delete;
    bool Loaded() const { return m_bitmap != nullptr; }
    void Blit(HDC dc, int x, int y, int w, int h, int sx = 0, int sy = 0) const;
    int width = 0, height = 0;

private:
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

inline skin::Rect skin_rect(const RECT& r) { return skin::Rect{(int)r.left, (int)r.top, (int)r.right, (int)r.bottom}; }
