#include "video_rects.h"
#include <cstdint>

namespace {

// a x b / c in 64 bits.
int scale(int a, int b, int c) { return c ? int(int64_t(a) * b / c) : 0; }

}  // namespace

static bool video_display_rules_apply(VideoRect* dest, const VideoDisplayRules& rules, int client_width, int client_height) {
    const int factor = rules.min_stretch < 1000 ? 1000 : rules.min_stretch;
    dest->right = dest->left + int((int64_t(factor) * client_width + 999) / 1000);
    dest->bottom = dest->top + int(int64_t(factor) * client_height / 1000);
    if (rules.align_dest > 1) {
        const int w = dest->width();
        dest->right = dest->left + (w + rules.align_dest - 1) / rules.align_dest * rules.align_dest;
    }
    return dest->width() > 0 && dest->height() > 0;
}

bool video_display_rects(const VideoRect& client, int screen_width, int screen_height, int picture_width,
                         int picture_height, const VideoDisplayRules& rules, VideoRect* source, VideoRect* dest) {
    if (picture_width < 1 || picture_height < 1 || screen_width < 1 || screen_height < 1) return false;
    VideoRect d = client;
    if (!video_display_rules_apply(&d, rules, client.width(), client.height())) return false;
    VideoRect s;
    s.right = picture_width;
    s.bottom = picture_height;
    const int dw = d.width(), dh = d.height();
    // Cut each edge that leaves the screen, and the source by the same share of its size.
    if (d.right > screen_width) {
        s.right -= scale(d.right - screen_width, picture_width, dw);
        d.right = screen_width;
    }
    if (d.bottom > screen_height) {
        s.bottom -= scale(d.bottom - screen_height, picture_height, dh);
        d.bottom = screen_height;
    }
    if (d.left < 0) {
        s.left += scale(-d.left, picture_width, dw);
        d.left = 0;
    }
    if (d.top < 0) {
        s.top += scale(-d.top, picture_height, dh);
        d.top = 0;
    }
    if (rules.align_src > 1) s.right = s.left + s.width() / rules.align_src * rules.align_src;
    if (d.width() < 1 || d.height() < 1 || s.width() < 1 || s.height() < 1) return false;
    *source = s;
    *dest = d;
    return true;
}
