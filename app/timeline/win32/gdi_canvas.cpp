#include "gdi_canvas.h"
#include "engine/image/gdi/rgb_image_gdi.h"

void GdiCanvas::set_rop(TlRop rop) {
    SetROP2(dc_, rop == TlRop::Xor ? R2_XORPEN : rop == TlRop::NotXor ? R2_NOTXORPEN : R2_COPYPEN);
}

void GdiCanvas::fill(const TlRect& r, skin::Colour colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT rect{r.left, r.top, r.right, r.bottom};
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
}

void GdiCanvas::line(int x0, int y0, int x1, int y1, skin::Colour colour, int width) {
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ old = SelectObject(dc_, pen);
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
    SelectObject(dc_, old);
    DeleteObject(pen);
}

void GdiCanvas::text(const char* text, const TlRect& r, skin::Colour colour, TlFont font, bool centred) {
    HFONT chosen = font == TlFont::Message ? message_ : label_;
    HGDIOBJ old = chosen ? SelectObject(dc_, chosen) : nullptr;
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, colour);
    RECT rect{r.left, r.top, r.right, r.bottom};
    DrawTextA(dc_, text, -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | (centred ? DT_CENTER : DT_LEFT));
    if (old) SelectObject(dc_, old);
}

void GdiCanvas::picture(const CRgbImage& image, const TlRect& dest) {
    CRgbImageGdi::StretchDraw(dc_, RECT{dest.left, dest.top, dest.right, dest.bottom}, image, 0, 0);
}
