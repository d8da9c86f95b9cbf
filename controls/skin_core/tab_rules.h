// The tab control's geometry and text passes, without a window: where a page sits beside the tabs,
// where a background bitmap is tiled, how a tab bitmap meets its tab, and the passes of a tab text.
#pragma once
#include "skin_colour.h"
#include "skin_scheme.h"
#include "skin_strokes.h"
#include <vector>

namespace skin {

// Page `index` is placed from the client rectangle and the rectangle of tab 0: below the tabs, above
// them (bottom tabs) or nowhere (vertical tabs).
Rect page_placement(Rect client, Rect first_tab, bool vertical, bool bottom);

// The origins of the copies that tile a bitmap from (0, 0) over a client area: columns 0 .. width /
// bitmap width and rows 0 .. height / bitmap height, both inclusive, so the last ones may be cut.
std::vector<Point> tile_origins(int client_width, int client_height, int bitmap_width, int bitmap_height);

// How a tab's bitmap is drawn: a bitmap wider and taller than the tab is copied from its top-left
// corner unscaled, any other is stretched; a selected tab's drawing is inset 2 pixels at top and bottom.
struct TabBitmapBlit {
    bool stretch;
    Rect dest;
};
TabBitmapBlit tab_bitmap_blit(Rect tab, int bitmap_width, int bitmap_height, bool selected);

// The passes of a tab text: offset and colour of each, in drawing order. Effect 0 plain, 1 raised (the
// upper pass white on the selected tab, or on every tab when `raised_always_white`, else 0x00FFFF),
// any other engraved (black first at (-1, -1)).
struct TextPass {
    int dx, dy;
    Colour colour;
};
std::vector<TextPass> tab_text_passes(int effect, Colour text, bool selected, bool raised_always_white);

}  // namespace skin
