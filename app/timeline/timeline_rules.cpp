#include "timeline_rules.h"
#include <algorithm>

int clamp_entry(int index, int count) { return count < 1 ? 0 : std::clamp(index, 0, count - 1); }

EntrySpan visible_entries(int scroll_x, int width, int count) {
    // An entry reaches 64 pixels to the right of its x (a thumbnail, a label) and is drawn up to the
    // right edge; the widest reach decides the first entry.
    const int first = std::max(0, (scroll_x - kThumbSpan) / kEntryWidth);
    const int end = std::min(count, (scroll_x + std::max(width, 0)) / kEntryWidth + 1);
    return {std::min(first, end), end};
}

bool near_edge(int client_x, int edge, int scroll_x) {
    const int d = client_x - (entry_x(edge) - scroll_x);
    return d > -kEdgeReach && d < kEdgeReach;
}

std::optional<int> moved_start(int c, int sel_end, int count) {
    if (!(c + 2 < entry_x(sel_end))) return std::nullopt;
    return clamp_entry(c / kEntryWidth, count);
}

std::optional<int> moved_end(int c, int sel_start, int count) {
    if (!(entry_x(sel_start) + 2 < c)) return std::nullopt;
    return clamp_entry(c / kEntryWidth, count);
}

std::optional<int> progress_scroll(int n, int scroll_x, int width) {
    const int x = entry_x(n);
    if (x > scroll_x + width) return x;
    if (x < scroll_x - width) return std::max(x, 0);
    return std::nullopt;
}

std::optional<int> range_scroll(bool is_end, int index, int scroll_x, int view_width, int content) {
    if (view_width >= content) return std::nullopt;
    const int position = entry_x(index);
    if (position - scroll_x <= view_width) return std::nullopt;
    if (is_end) {
        const int past = position - view_width;
        return past < 11 ? 0 : past + 10;
    }
    return position < 11 ? 0 : position - 10;
}

skin::Colour invert_color(skin::Colour c) {
    return skin::rgb(255 - skin::red_of(c), 255 - skin::green_of(c), skin::blue_of(c));
}

skin::Colour invert_green_blue(skin::Colour c) {
    return skin::rgb(skin::red_of(c), 255 - skin::green_of(c), 255 - skin::blue_of(c));
}
