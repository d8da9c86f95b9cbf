// The skinned progress bar without a window: its shades, stepped by its own rule (a channel that would
// leave 0..255 keeps its value), the bar's rectangle for a range and position, and the drawing of the
// bar, still (a bevelled strip) or animated (moving stripes).
#pragma once
#include "skin_strokes.h"

namespace skin {

struct ProgressShades {
    Colour base, up51, up102, up153, down51, down102;
    Colour dark_shadow, middle, shadow;  // COLOR_3DDKSHADOW, their midpoint, COLOR_BTNSHADOW
};
ProgressShades progress_shades(Colour base, SystemShades sys);

// The bar's share of the client: from the left (horizontal) or the bottom (vertical) in proportion to
// pos - low over high - low; an empty bar when high equals low; the whole client when animated.
Rect progress_bar_rect(Rect client, int low, int high, int pos, bool vertical, bool animated);

// The whole drawing of the client: `face` (COLOR_BTNFACE) over the client, the bar in up 153, then its
// bevel or, animated, the stripes at `phase` (0..19).
Strokes progress_strokes(Rect client, Rect bar, const ProgressShades& shades, Colour face, SystemShades sys,
                         bool vertical, bool animated, int phase);

// The animation's next phase.
inline int progress_next_phase(int phase) { return (phase + 1) % 20; }

}  // namespace skin
