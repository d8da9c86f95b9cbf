#include "slider_rules.h"

namespace skin {

Colour slider_mean(Colour a, Colour b) {
    auto mean = [](int x, int y) { return x + ((y - x) >> 1); };
    return rgb(mean(red_of(a), red_of(b)), mean(green_of(a), green_of(b)), mean(blue_of(a), blue_of(b)));
}

SliderShades slider_shades(Colour thumb, Colour channel, Colour selection, const SliderSystem& sys) {
    const ButtonShades steps = stepped_shades(thumb, color_lighten_keep, color_darken_keep);
    SliderShades s;
    s.thumb = thumb;
    s.light1 = steps.light51;
    s.light2 = steps.light102;
    s.dark1 = steps.dark51;
    s.dark2 = steps.dark102;
    s.channel = channel;
    s.channel_shadow = slider_mean(sys.shadow, sys.dark_shadow);
    s.channel_edge = slider_mean(sys.face, sys.shadow);
    s.selection = selection;
    return s;
}

ThumbShape thumb_shape(uint32_t style) {
    if (style & 0x0008) return ThumbShape::Both;
    return (style & 0x0004) ? ThumbShape::PointUp : ThumbShape::PointDown;
}

namespace {

Strokes upright_thumb(Rect r, ThumbShape shape, const SliderShades& s, const SliderSystem& sys, bool grip) {
    Strokes out;
    int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const int a = R - L, e = a / 2;
    if (shape == ThumbShape::Both) {
        add_round_rect(out, r, 2, sys.frame, s.thumb);
        ++L, ++T, --R, --B;
        add_3d_rect(out, Rect{L, T, R, B}, s.light1, s.dark1);
        add_pixel(out, s.light2, L, T);
        add_pixel(out, s.thumb, R - 1, T);
        add_pixel(out, s.dark2, R - 1, B - 1);
        add_pixel(out, s.thumb, L, B - 1);
    } else if (shape == ThumbShape::PointUp) {
        add_line(out, sys.frame, {{L, T + e - 1}, {L, B - 2}, {L + 1, B - 1}, {R - 2, B - 1}, {R - 1, B - 2},
                                  {R - 1, T + e - 1}, {R - e, T}, {L + e - 1, T}, {L, T + e - 1}});
        add_flood_fill(out, {L + e, T + e}, r, sys.frame, s.thumb);
        if (a > 5) {
            add_line(out, s.light1, {{L + 1, T + e}, {L + 1, B - 2}});
            add_line(out, s.light1, {{R - e, T + 1}, {R - e - 2, T + 1}});
            add_line(out, s.light2, {{L + 1, T + e - 1}, {L + e, T}});
            add_line(out, s.dark1, {{L + 2, B - 2}, {R - 2, B - 2}, {R - 2, T + e - 1}, {R - e, T + 1}});
        }
        ++L, --R, T += 2;
    } else {
        add_line(out, sys.frame, {{L, T + 1}, {L, B - e}, {L + e - 1, B - 1}, {R - e, B - 1}, {R - 1, B - e},
                                  {R - 1, T + 1}, {R - 2, T}, {L, T}});
        add_flood_fill(out, {L + e, T + e}, r, sys.frame, s.thumb);
        if (a > 5) {
            add_pixel(out, s.light2, L + 1, T + 1);
            add_line(out, s.light1, {{L + 1, T + 2}, {L + 1, B - e + 1}});
            add_line(out, s.light1, {{L + 2, T + 1}, {R - 2, T + 1}});
            add_line(out, s.dark1, {{L + 2, B - e + 1}, {L + e - 1, B - 2}, {R - e, B - 2}});
            add_line(out, s.dark1, {{R - 2, B - e - 1}, {R - 2, T + 1}});
            add_line(out, s.dark2, {{R - e, B - 2}, {R - 1, B - e - 1}});
        }
        ++L, --R, B -= 2;
    }
    if (grip && a > 5) {
        for (int dx : {1, 3, 5, 7}) {
            if (dx > 3 && a <= 9) break;
            add_line(out, s.light1, {{L + dx, T + 5}, {L + dx, B - 5}});
        }
        for (int dx : {2, 4, 6}) {
            if (dx > 4 && a <= 9) break;
            add_line(out, s.dark2, {{L + dx, T + 5}, {L + dx, B - 4}});
        }
        for (int dx : {1, 3, 5, 7}) {
            if (dx > 3 && a <= 9) break;
            add_pixel(out, s.light2, L + dx, T + 4);
        }
    }
    return out;
}

}  // namespace

Strokes slider_thumb(Rect r, ThumbShape shape, const SliderShades& s, const SliderSystem& sys, bool grip, bool lying) {
    if (!lying) return upright_thumb(r, shape, s, sys, grip);
    return transposed(upright_thumb(Rect{r.top, r.left, r.bottom, r.right}, shape, s, sys, grip));
}

Rect selection_band(const ChannelInput& in) {
    if (in.sel_start >= in.sel_end || in.max == in.min) return Rect{};
    const Rect& r = in.item;
    const double f0 = (double)(in.sel_start - in.min) / (in.max - in.min);
    const double f1 = (double)(in.sel_end - in.min) / (in.max - in.min);
    // Along the channel's length: across the width of a lying channel, down the height of a standing one.
    if (!in.vertical) {
        const int w = r.right - r.left;
        return Rect{r.left + (int)(f0 * w) + 2, r.top + 2, r.left + (int)(f1 * w) - 2, r.bottom - 1};
    }
    const int h = r.bottom - r.top;
    return Rect{r.left + 1, r.top + (int)(f0 * h) + 2, r.right - 1, r.top + (int)(f1 * h) - 2};
}

Strokes slider_channel(const ChannelInput& in, const SliderShades& s, const SliderSystem& sys) {
    Strokes out;
    int L = in.item.left, T = in.item.top, R = in.item.right, B = in.item.bottom;
    if (in.range_set) ++T, --B;
    if (!in.vertical) {
        ++T, --B;
    } else {
        ++L, --R, ++B;
    }
    add_3d_rect(out, Rect{L, T, R, B}, s.channel, s.channel_shadow);
    const int length = in.vertical ? B - T : R - L;
    if (length > 3) add_round_rect(out, Rect{L, T, R, B}, 2, s.channel_shadow, s.channel);
    --L, --T, ++R;
    add_line(out, s.channel_edge, {{L, B - 2}, {L, T + 2}, {L + 2, T}, {R - 2, T}});
    add_line(out, sys.highlight, {{L + 1, B - 1}, {L + 2, B}, {R - 2, B}, {R - 2, B - 1}, {R - 1, B - 1}, {R - 1, T + 2}, {R - 3, T}});
    Rect band = selection_band(in);
    if (band.right > band.left && band.bottom > band.top) add_fill(out, band, s.selection);
    const int step = (B - T) / 7;
    for (int k = 1; k <= 6; ++k) add_line(out, sys.highlight, {{L, T + k * step}, {R, T + k * step}});
    return out;
}

}  // namespace skin
