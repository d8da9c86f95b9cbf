// The libraries' window frame without a window: the metrics their frame bitmaps give, the copies that
// tile a border strip (a start cap, a repeated tile, an end cap), and where the caption buttons sit.
#pragma once
#include "controls/skin_core/skin_scheme.h"
#include <vector>

namespace skinlib {

struct FrameSizes {
    skin::Size caption, left, right, bottom;
    skin::Size buttons[2];
};

// A strip bitmap holds a start cap (0 .. start), a tile (start .. tile end) and an end cap (tile end
// .. its length - 1) along the strip; its two halves across it are two looks ("rows").
struct StripLayout {
    int start = 0, tile_end = 1;
};

struct FrameMetrics {
    int caption_height = 0;   // caption bitmap height / 2
    int left_width = 0;       // left bitmap width / 2
    int right_width = 0;      // right bitmap width / 2
    int bottom_height = 0;    // bottom bitmap height / 2
    StripLayout caption, left, right, bottom;
    int text_x = 70, text_y = 0;
};

FrameMetrics frame_metrics(const FrameSizes& sizes);

enum class Strip { Caption, Left, Right, Bottom };

// One plain copy of a source rectangle of the strip bitmap to (x, y).
struct StripCopy {
    skin::Rect source;
    int x, y;
};

// The copies that draw `strip` from (x, y) over `length` pixels along it, in its half `row`: the start
// cap at the origin, the tile repeated from origin + start (each copy cut at origin + length), then the
// end cap ending at origin + length (one pixel further for the caption bar). The bitmap's last pixel
// along the strip is never copied. Nothing for an empty bitmap.
std::vector<StripCopy> plan_strip(Strip strip, skin::Size bitmap, const FrameMetrics& m, int x, int y, int length,
                                  int row);

// Caption button `which` (0 close, 1) of a window `window_width` wide: right of the window's right edge
// by 23 (45), top 4, one state image wide; empty for another button or a missing bitmap.
skin::Rect caption_button_rect(int window_width, int which, skin::Size strip);

}  // namespace skinlib
