#include "frame_plan.h"
#include <algorithm>

namespace skinlib {

FrameMetrics frame_metrics(const FrameSizes& s) {
    FrameMetrics m;
    m.caption_height = s.caption.height / 2;
    m.left_width = s.left.width / 2;
    m.right_width = s.right.width / 2;
    m.bottom_height = s.bottom.height / 2;
    m.caption = {76, std::max(s.caption.width - 84, 77)};
    m.left = {33, std::max(s.left.height - 13, 34)};
    m.right = {33, std::max(s.right.height - 13, 34)};
    m.bottom = {0, std::max(s.bottom.width, 1)};
    return m;
}

std::vector<StripCopy> plan_strip(Strip strip, skin::Size bitmap, const FrameMetrics& m, int x, int y, int length,
                                  int row) {
    std::vector<StripCopy> copies;
    if (bitmap.width <= 0 || bitmap.height <= 0) return copies;
    const bool along_x = strip == Strip::Caption || strip == Strip::Bottom;
    const StripLayout& layout = strip == Strip::Caption ? m.caption
                                : strip == Strip::Left  ? m.left
                                : strip == Strip::Right ? m.right
                                                        : m.bottom;
    const int bitmap_length = along_x ? bitmap.width : bitmap.height;
    const int thickness = (along_x ? bitmap.height : bitmap.width) / 2;
    const int across = (row ? 1 : 0) * thickness;
    const int origin = along_x ? x : y;
    // A copy of the source span [from, to) along the strip to position `at` along it.
    auto copy = [&](int from, int to, int at) {
        if (to <= from) return;
        StripCopy c;
        if (along_x) {
            c.source = {from, across, to, across + thickness};
            c.x = at;
            c.y = y;
        } else {
            c.source = {across, from, across + thickness, to};
            c.x = x;
            c.y = at;
        }
        copies.push_back(c);
    };
    copy(0, layout.start, origin);
    const int tile = layout.tile_end - layout.start;
    if (tile > 0) {
        const int n = std::max(0, (length - bitmap_length) / tile + 1);
        for (int k = 0; k <= n; ++k) {
            int at = origin + layout.start + k * tile;
            int room = origin + length - at;
            copy(layout.start, layout.start + std::min(tile, room), at);
        }
    }
    const int end_at = origin + length - bitmap_length + layout.tile_end + (strip == Strip::Caption ? 1 : 0);
    copy(layout.tile_end, bitmap_length - 1, end_at);
    return copies;
}

skin::Rect caption_button_rect(int window_width, int which, skin::Size strip) {
    if ((which != 0 && which != 1) || strip.width <= 0 || strip.height <= 0) return skin::Rect{};
    int left = window_width - (which == 0 ? 23 : 45);
    return skin::Rect{left, 4, left + strip.width / 3, strip.height + 4};
}

}  // namespace skinlib
