// The timeline canvas over a GDI device context.
#pragma once
#include <windows.h>
#include "app/timeline/timeline_canvas.h"

class GdiCanvas : public TimelineCanvas {
public:
    GdiCanvas(HDC dc, HFONT label_font, HFONT message_font) : dc_(dc), label_(label_font), message_(message_font) {}
    void set_rop(TlRop rop) override;
    void fill(const TlRect& rect, skin::Colour colour) override;
    void line(int x0, int y0, int x1, int y1, skin::Colour colour, int width) override;
    void text(const char* text, const TlRect& rect, skin::Colour colour, TlFont font, bool centred) override;
    void picture(const CRgbImage& image, const TlRect& dest) override;

private:
    HDC dc_;
    HFONT label_, message_;
};
