#include "progress_rules.h"

namespace skin {

ProgressShades progress_shades(Colour base, SystemShades sys) {
    const ButtonShades steps = stepped_shades(base, color_lighten_keep, color_darken_keep);
    ProgressShades s;
    s.base = base;
    s.up51 = steps.light51;
    s.up102 = steps.light102;
    s.up153 = steps.light153;
    s.down51 = steps.dark51;
    s.down102 = steps.dark102;
    s.dark_shadow = sys.dark_shadow;
    s.middle = midpoint(sys.dark_shadow, sys.shadow);
    s.shadow = sys.shadow;
    return s;
}

Rect progress_bar_rect(Rect client, int low, int high, int pos, bool vertical, bool animated) {
    Rect b = client;
    if (animated) return b;
    if (high == low) {
        // No range: nothing to show, and nothing to divide by.
        if (vertical) b.top = b.bottom;
        else b.right = b.left;
        return b;
    }
    const double share = (double)(pos - low) / (high - low);
    if (vertical) b.top = client.bottom - (int)(share * (client.bottom - client.top));
    else b.right = client.left + (int)(share * (client.right - client.left));
    if (b.top > b.bottom) b.top = b.bottom;
    if (b.right < b.left) b.right = b.left;
    return b;
}

namespace {

// The pen of a stripe's line j (0..9; at 5 the fill shows through).
Colour stripe_pen(const ProgressShades& s, int j) {
    switch (j) {
    case 0: return s.down102;
    case 1: case 9: return s.down51;
    case 2: case 8: return s.base;
    case 3: case 7: return s.up51;
    default: return s.up102;
    }
}

}  // namespace

Strokes progress_strokes(Rect client, Rect bar, const ProgressShades& s, Colour face, SystemShades sys,
                         bool vertical, bool animated, int phase) {
    Strokes out;
    add_fill(out, client, face);
    add_fill(out, bar, s.up153);
    const int width = bar.right - bar.left, height = bar.bottom - bar.top;
    if (!vertical && !animated) {
        if (width <= 0 || height <= 0) return out;
        Strokes bevel = bevelled_face(bar, BevelShades{s.base, s.up51, s.up102, s.down51, s.down102}, sys, false);
        out.insert(out.end(), bevel.begin(), bevel.end());
    } else if (!vertical) {
        const int first = bar.left + phase + height - 19;
        for (int n = 0; n < width / 20 + 2; ++n) {
            const int x = first + 20 * n;
            for (int k = 0; k <= 9; ++k) {
                if (k == 5) continue;
                add_line(out, stripe_pen(s, k), {{x - height + k, bar.top}, {x + k, bar.bottom}});
            }
        }
    } else if (!animated) {
        if (height <= 0 || width <= 0) return out;
        ButtonShades b{s.base, s.up51, s.up102, s.up153, s.down51, s.down102};
        Strokes bevel = column_bevel(bar, b, true);
        out.insert(out.end(), bevel.begin(), bevel.end());
    } else {
        const int first = bar.bottom - phase + 1;
        for (int n = 0; n < height / 20 + 2; ++n) {
            const int y = first - 20 * n;
            for (int k = -1; k <= 8; ++k) {
                if (k == 4) continue;
                add_line(out, stripe_pen(s, k + 1), {{bar.left, y + k}, {bar.right + 1, y + k + width + 1}});
            }
        }
    }
    return out;
}

}  // namespace skin
