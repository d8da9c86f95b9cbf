// The timeline's arithmetic, free of windows: where entries sit, which part of the list a paint
// walks, the range-edge rules of the mouse, the progress bar's scrolling and the two colour turns.
// Entry i sits at content x = 3 i; the content is 128 pixels wider than the list so its end shows.
#pragma once
#include <optional>
#include "controls/skin_core/skin_colour.h"

constexpr int kEntryWidth = 3;
constexpr int kContentTail = 128;
// A thumbnail is drawn 64 pixels wide; the next one needs more room than that.
constexpr int kThumbSpan = 64;
// The mouse picks a range edge when strictly closer than this.
constexpr int kEdgeReach = 5;

constexpr int entry_x(int index) { return kEntryWidth * index; }
constexpr int content_width(int count) { return kEntryWidth * count + kContentTail; }
// The strip's height in a client area this tall: always odd, 12 pixels left below for the labels.
constexpr int band_height(int client_height) { return 2 * ((client_height - 12) / 2) + 1; }

// Keeps a range index inside a list of `count` entries (0 for an empty list).
int clamp_entry(int index, int count);

// The entries a paint at scroll position s over a client `width` wide can reach: everything drawn
// for entry i lies within [3 i - 64, 3 i + 64).
struct EntrySpan {
    int first, end;  // [first, end)
};
EntrySpan visible_entries(int scroll_x, int width, int count);
// The thumbnail visibility test of the paint: s - 64 < x < s + width.
constexpr bool thumb_visible(int x, int scroll_x, int width) { return scroll_x - kThumbSpan < x && x < scroll_x + width; }

// True when client x lies strictly within 5 pixels of the edge at entry `edge`.
bool near_edge(int client_x, int edge, int scroll_x);

// The new start for a start edge let go (or double-clicked) at content x c: c / 3 clamped to the list
// when c + 2 < 3 sel_end, else nothing changes.
std::optional<int> moved_start(int c, int sel_end, int count);
// The new end: c / 3 clamped to the list when 3 sel_start + 2 < c, else nothing changes.
std::optional<int> moved_end(int c, int sel_start, int count);

// Progress at entry n: the scroll position that keeps the bar's end in sight, or nothing when it is.
std::optional<int> progress_scroll(int n, int scroll_x, int width);

// 9991 and 9992: the scroll position that brings a chosen start or end into view (scale mode 0), or
// nothing when the view need not move.
std::optional<int> range_scroll(bool is_end, int index, int scroll_x, int view_width, int content);

// Keeps blue, turns red and green over.
skin::Colour invert_color(skin::Colour c);
// Keeps red, turns green and blue over.
skin::Colour invert_green_blue(skin::Colour c);
