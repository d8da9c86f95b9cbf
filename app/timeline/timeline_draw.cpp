#include "timeline_draw.h"
#include <algorithm>
#include "controls/skin_core/skin_bands.h"
#include "controls/skin_core/skin_fill_profile.h"

namespace {

using skin::Colour;

// Styles 22 (rows lightened towards the top) and 177 (columns darkened towards the middle) are rows
// of the shared band planner; every other code falls back to the skin's fill.
const skin::Style kTimelineStyles[] = {
    skin::rows(22, true, skin::BandRule{10, 1, 5}, skin::Ramp::OneWay,
               skin::piece(skin::full(), skin::clamped(skin::lighten(0, 1, 2), 25, 225))),
    skin::columns(177, true, skin::BandRule{11, 1, 80}, skin::Ramp::TwoWay,
                  skin::piece(skin::full(), skin::darken(255, -1, 3))),
    skin::rows(skin::kDefaultStyle, true, skin::BandRule{1, 1, 1}, skin::Ramp::OneWay,
               skin::piece(skin::full(), skin::kRamp)),
};
const skin::Profile kTimelineProfile = {"timeline", 0, kTimelineStyles,
                                        sizeof kTimelineStyles / sizeof kTimelineStyles[0]};

void fill_plan(TimelineCanvas& canvas, const skin::FillPlan& plan, Colour base, const TlRect& r) {
    if (plan.plain_fill) canvas.fill(r, base);
    for (const skin::Band& b : plan.bands) canvas.fill(TlRect{b.left, b.top, b.right, b.bottom}, b.colour);
}

// Styles 221 and 222: one row per band, light at the top and bottom quarters' outer rows and at the
// middle, darker between.
int strip_shade(int i, int h) {
    const int q = h / 4, c = h / 2;
    if (c < 1) return 0;
    int v;
    if (i < q) v = (255 - 255 * i / c) / 2;
    else if (i > 3 * h / 4) v = (255 - 255 * (h - i) / c) / 2;
    else v = (255 - 255 * (i > c ? i - q : q + c - i) / h) / 2;
    return std::clamp(v, 0, 255);
}

}  // namespace

void draw_gradient(TimelineCanvas& canvas, Colour base, TlRect r, int style, int clip_left, int clip_right) {
    if (r.right < clip_left || clip_right < r.left) return;
    r.left = std::clamp(r.left, clip_left, clip_right);
    r.right = std::clamp(r.right, clip_left, clip_right);
    if (r.left >= r.right || r.top >= r.bottom) return;
    if (style == 221 || style == 222) {
        const int h = r.bottom - r.top;
        for (int i = 0; i < h; ++i)
            canvas.fill(TlRect{r.left, r.top + i, r.right, r.top + i + 1}, color_darken(base, unsigned(strip_shade(i, h))));
        return;
    }
    const skin::Profile& profile = (style == 22 || style == 177) ? kTimelineProfile : skin::kSkinFillProfile;
    fill_plan(canvas, skin::plan_shaded_fill(profile, base, r.left, r.top, r.right, r.bottom, style), base, r);
}

void draw_range_band(TimelineCanvas& canvas, Colour k, TlRect r, int clip_left, int clip_right,
                     const EdgeColours& edges) {
    if (r.right < clip_left || clip_right < r.left) return;
    const int left = std::clamp(r.left, clip_left, clip_right);
    const int right = std::clamp(r.right, clip_left, clip_right);
    if (left == right) return;
    const int top = r.top, bottom = r.bottom;
    canvas.set_rop(TlRop::Copy);
    const Colour light = color_lighten(k, 27);
    const Colour fill = color_lighten(light, 27);
    const Colour dark = color_darken(k, 51);
    const Colour darker = color_darken(dark, 51);
    canvas.fill(TlRect{left, top, right, bottom}, fill);
    auto hline = [&](int y, Colour c) { canvas.line(left + 2, y, right - 2, y, c, 1); };
    hline(bottom - 4, light);
    hline(top + 2, light);
    canvas.line(left + 1, bottom - 4, left + 2, bottom - 4, light, 1);
    canvas.line(left + 1, top + 2, left + 2, top + 2, light, 1);
    hline(bottom - 5, fill);
    hline(top + 3, fill);
    canvas.line(left, bottom - 1, left, top - 1, k, 1);
    hline(bottom - 3, k);
    hline(top + 1, k);
    hline(bottom - 2, dark);
    canvas.line(right - 2, top, right - 2, bottom - 1, dark, 1);
    hline(bottom - 1, darker);
    canvas.line(right - 1, top, right - 1, bottom, darker, 1);
    const Colour blend = skin::rgb((skin::red_of(edges.dark_shadow) + skin::red_of(edges.shadow)) / 2,
                                   (skin::green_of(edges.dark_shadow) + skin::green_of(edges.shadow)) / 2,
                                   (skin::blue_of(edges.dark_shadow) + skin::blue_of(edges.shadow)) / 2);
    canvas.line(right, top, right, bottom, blend, 1);
    canvas.line(right + 1, top, right + 1, bottom, edges.shadow, 1);
}

void draw_film_frame(TimelineCanvas& canvas, Colour u, TlRect rect) {
    const Colour d = color_darken(u, 17);
    const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    const int w = right - left, h = bottom - top;
    int l, t, g, p;
    if (h <= 400) {
        l = w / 5 - 6;
        t = h / 8;
        g = 8;
        p = 20;
    } else {
        l = 132;
        t = 130;
        g = 12;
        p = 26;
    }
    const int m = left + l, o = m + p, q = right - p - l, y0 = top + t, y1 = bottom - t + 4, v = y0 + g,
              z = bottom - g - t, e = bottom + 4 - g / 2 - t;
    auto shade = [&](Colour c, TlRect r, int style) { draw_gradient(canvas, c, r, style, 0, 1000); };
    shade(0x20CDCD, {m, y0, o, y1}, 10);
    shade(0x20CDCD, {q, y0, right - l, y1}, 10);
    shade(color_lighten(u, 47), {o, v, q, z}, 7);
    shade(color_darken(d, 47), {o, v, m + g + p, z}, 10);
    shade(color_darken(d, 47), {q - g, v, q, z}, 10);
    shade(color_lighten(d, 57), {o, v, q, y0 + 2 * g}, 8);
    shade(color_lighten(d, 1), {o, bottom - 2 * g - t + 4, q, z + 4}, 8);
    shade(0x2020FF, {m, y0, o, y0 + g / 2}, 10);
    shade(0x2020FF, {m, e, o, y1}, 10);
    shade(0x2020FF, {q, y0, right - l, y0 + g / 2}, 10);
    shade(0x2020FF, {q, e, right - l, y1}, 10);
}

void draw_cursor_line(TimelineCanvas& canvas, int x, int top, int x2, int bottom) {
    const int m = x + (x2 - x) / 2;
    canvas.set_rop(TlRop::NotXor);
    const struct {
        int shaft;
        Colour colour;
    } passes[] = {{m - 1, 0x000000}, {m, 0x00FFFF}};
    for (const auto& pass : passes) {
        canvas.line(x, top, pass.shaft, top + 6, pass.colour, 1);
        canvas.line(x2, top, pass.shaft, top + 6, pass.colour, 1);
        canvas.line(x, bottom, pass.shaft, bottom - 10, pass.colour, 1);
        canvas.line(x2, bottom, pass.shaft, bottom - 10, pass.colour, 1);
        canvas.line(pass.shaft, top + 6, pass.shaft, bottom - 10, pass.colour, 1);
    }
}
