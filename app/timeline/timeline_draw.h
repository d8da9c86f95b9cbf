// The timeline's own drawing pieces on a canvas: its shaded fills, the bevelled band behind the strip
// and under the progress, the film-frame picture of an empty list and the XOR cursor line.
#pragma once
#include "timeline_canvas.h"

// The two system colours the band's right edge is drawn in (COLOR_3DDKSHADOW, COLOR_BTNSHADOW).
struct EdgeColours {
    skin::Colour dark_shadow = 0x404040;
    skin::Colour shadow = 0x808080;
};

// The shaded fill of `rect` in `base`, clamped horizontally into [clip_left, clip_right]; nothing when
// the rectangle lies wholly outside. Styles 7, 8 and 10 are the skin's; 22, 177, 221 and 222 the
// timeline's own.
void draw_gradient(TimelineCanvas& canvas, skin::Colour base, TlRect rect, int style, int clip_left, int clip_right);

void draw_range_band(TimelineCanvas& canvas, skin::Colour k, TlRect rect, int clip_left, int clip_right,
                     const EdgeColours& edges);

// The empty list's picture in the UI colour `ui`.
void draw_film_frame(TimelineCanvas& canvas, skin::Colour ui, TlRect rect);

// Two arrowheads and a shaft between x and x2, drawn with NOTXOR so a second call at the same place
// erases it.
void draw_cursor_line(TimelineCanvas& canvas, int x, int top, int x2, int bottom);
