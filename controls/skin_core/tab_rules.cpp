#include "tab_rules.h"

namespace skin {

Rect page_placement(Rect client, Rect tab, bool vertical, bool bottom) {
    if (vertical) return Rect{0, 0, 0, 0};
    int x = tab.left, width = client.right - tab.left - 2, y, height;
    if (bottom) {
        y = 1;
        height = client.bottom + tab.top - tab.bottom - 5;
    } else {
        y = tab.bottom + 1;
        height = client.bottom - y - 2;
    }
    return Rect{x, y, x + width, y + height};
}

std::vector<Point> tile_origins(int client_width, int client_height, int bitmap_width, int bitmap_height) {
    std::vector<Point> origins;
    if (bitmap_width <= 0 || bitmap_height <= 0 || client_width < 0 || client_height < 0) return origins;
    for (int c = 0; c <= client_width / bitmap_width; ++c)
        for (int r = 0; r <= client_height / bitmap_height; ++r) origins.push_back({c * bitmap_width, r * bitmap_height});
    return origins;
}

TabBitmapBlit tab_bitmap_blit(Rect tab, int bitmap_width, int bitmap_height, bool selected) {
    TabBitmapBlit b;
    int w = tab.right - tab.left, h = tab.bottom - tab.top;
    b.stretch = !(bitmap_width > w && bitmap_height > h);
    b.dest = tab;
    if (selected) {
        b.dest.top += 2;
        b.dest.bottom -= 2;
    }
    return b;
}

std::vector<TextPass> tab_text_passes(int effect, Colour text, bool selected, bool raised_always_white) {
    if (effect == 0) return {{0, 0, text}};
    if (effect == 1) return {{-1, -1, text}, {0, 0, selected || raised_always_white ? 0xFFFFFFu : 0x00FFFFu}};
    return {{-1, -1, 0x000000}, {0, 0, text}};
}

}  // namespace skin
