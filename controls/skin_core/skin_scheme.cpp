#include "skin_scheme.h"
#include <algorithm>

namespace skin {

Scheme scheme(int n) {
    static const Scheme kSchemes[] = {
        {0xC66020, 0x602410, 0x20E1E1},
        {0x108020, 0x005C08, 0x00C0C0},
        {0xA89410, 0x746008, 0x20C0FF},
        {0xC928B1, 0x981B5F, 0x10DA80},
    };
    if (n >= 1 && n <= 4) return kSchemes[n - 1];
    return {0x606060, 0x404040, 0xFFFFFF};
}

UiColours startup_colours(int scheme_number, bool have_saved_ui, Colour saved_ui) {
    Scheme s = scheme(scheme_number);
    return {s.main, s.dark, s.accent, have_saved_ui ? saved_ui : s.dark};
}

FrameMetrics frame_metrics(const FrameBitmaps& b) {
    FrameMetrics m{};
    m.caption_height = b.caption.height / 2;
    m.side_width = b.left.width / 2;
    m.right_half_width = b.right.width / 2;
    m.bottom_half_height = b.bottom.height / 2;
    m.caption_text_x = 70;
    m.caption_text_y = 0;
    m.caption_piece_width = std::max(b.caption.width - 84, 77);
    m.left_piece_height = std::max(b.left.height - 13, 34);
    m.right_piece_height = std::max(b.right.height - 13, 34);
    m.bottom_piece_width = std::max(b.bottom.width, 1);
    return m;
}

bool is_caption_button(int which) { return which == 0 || which == 1 || which == 4; }

Rect caption_button_rect(int window_width, int which, Size strip) {
    int from_right, top;
    switch (which) {
    case 0: from_right = 27; top = 5; break;
    case 1: from_right = 49; top = 5; break;
    case 4: from_right = 116; top = 6; break;
    default: return Rect{};
    }
    Rect r;
    r.left = window_width - from_right;
    r.right = r.left + strip.width / 3;
    r.top = top;
    r.bottom = strip.height + top;
    return r;
}

}  // namespace skin
