// What the timeline draws with: a device context reduced to the few operations its picture needs, so
// the picture can be painted through GDI in the program and recorded in tests.
#pragma once
#include <cstdint>
#include "controls/skin_core/skin_colour.h"

class CRgbImage;

struct TlRect {
    int left, top, right, bottom;
};

enum class TlRop { Copy, Xor, NotXor };
enum class TlFont { Label, Message };

class TimelineCanvas {
public:
    virtual ~TimelineCanvas() = default;
    // The raster operation of the lines drawn after it (fills always copy).
    virtual void set_rop(TlRop rop) = 0;
    virtual void fill(const TlRect& rect, skin::Colour colour) = 0;
    // A line from (x0, y0) up to, not including, (x1, y1) with a pen of that width.
    virtual void line(int x0, int y0, int x1, int y1, skin::Colour colour, int width) = 0;
    // Text on a transparent background, left-aligned or centred in the rectangle, one line.
    virtual void text(const char* text, const TlRect& rect, skin::Colour colour, TlFont font, bool centred) = 0;
    virtual void picture(const CRgbImage& image, const TlRect& dest) = 0;
};
