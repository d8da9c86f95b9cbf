// The skinned list's scroll bars without a window: where the thumb sits for the list's scroll limit
// and position, what a point hits, how far a thumb drag scrolls the list and what a button release
// does. The horizontal bar runs along x, the vertical one along y; `along` and `across` are a point's
// coordinates in the bar's own direction.
#pragma once
#include <cstdint>

namespace skin {

enum class BarAxis : uint8_t { Horizontal, Vertical };

struct BarMetrics {
    int back_start, back_end;  // the left or up arrow along the bar (the far arrow mirrors it)
    int thumb_start;           // the thumb's first position (25, 36)
    int fixed;                 // the length the scale leaves out (75, 98)
    int last_from_end;         // a thumb past the far arrow moves to length - this (51, 62)
    int across;                // the hit rectangles' extent across the bar (20, 12)
};
constexpr int kThumbLength = 26;
constexpr int kThumbGrab = 13;  // a drag holds the thumb at its middle
const BarMetrics& bar_metrics(BarAxis axis);

// The thumb for a bar `length` pixels long over a list whose scroll limit and position are given. A
// limit of 0 or less, or a bar too short to move the thumb, puts it at its start and scrolls nothing.
struct Thumb {
    int position;   // along the bar
    double scale;   // pixels per scroll unit
    bool scrolls;   // drags may scroll the list
};
Thumb bar_thumb(BarAxis axis, int length, int limit, int position);
int clamp_thumb(BarAxis axis, int length, int thumb);

enum class BarPart : uint8_t { None, BackArrow, ForwardArrow, Thumb, Track };
BarPart bar_hit(BarAxis axis, int length, int thumb, int along, int across);

// How far a drag of the thumb to `cursor` (along the bar) scrolls a list at `position`, in the list's
// scroll units (pixels horizontally, rows vertically); 0 when the thumb does not scroll.
int drag_scroll(BarAxis axis, const Thumb& thumb, int cursor, int position);

enum class BarCommand : uint8_t { None, LineBack, LineForward, PageBack, PageForward };
// What a button release at `part` does: over an arrow one line (the vertical bar only for the arrow that
// was pressed), anywhere else but level with the thumb a page towards the cursor.
BarCommand release_command(BarAxis axis, BarPart part, bool back_pressed, bool forward_pressed, int thumb, int cursor);

}  // namespace skin
