#include "skin_strokes.h"
#include <cstdlib>

namespace skin {

void add_fill(Strokes& s, Rect r, Colour c) {
    Stroke k;
    k.kind = StrokeKind::Fill;
    k.brush = c;
    k.rect = r;
    s.push_back(k);
}

void add_line(Strokes& s, Colour pen, std::vector<Point> points) {
    Stroke k;
    k.kind = StrokeKind::Polyline;
    k.pen = pen;
    k.points = std::move(points);
    s.push_back(std::move(k));
}

void add_wide_line(Strokes& s, Colour pen, int width, std::vector<Point> points) {
    add_line(s, pen, std::move(points));
    s.back().width = width;
}

void add_pixel(Strokes& s, Colour pen, int x, int y) {
    Stroke k;
    k.kind = StrokeKind::Pixel;
    k.pen = pen;
    k.points = {{x, y}};
    s.push_back(std::move(k));
}

void add_3d_rect(Strokes& s, Rect r, Colour tl, Colour br) {
    // As the framework draws it: four solid fills, the far edges last.
    int x = r.left, y = r.top, cx = r.right - r.left, cy = r.bottom - r.top;
    auto fill = [&s](int fx, int fy, int w, int h, Colour c) {
        Rect f{fx, fy, fx + w, fy + h};
        if (f.left > f.right) std::swap(f.left, f.right);
        if (f.top > f.bottom) std::swap(f.top, f.bottom);
        add_fill(s, f, c);
    };
    fill(x, y, cx - 1, 1, tl);
    fill(x, y, 1, cy - 1, tl);
    fill(x + cx, y, -1, cy, br);
    fill(x, y + cy, cx, -1, br);
}

void add_round_rect(Strokes& s, Rect r, int round, Colour pen, Colour brush) {
    Stroke k;
    k.kind = StrokeKind::RoundRect;
    k.rect = r;
    k.round = round;
    k.pen = pen;
    k.brush = brush;
    k.own_tools = true;
    s.push_back(k);
}

void add_flood_fill(Strokes& s, Point from, Rect bounds, Colour border, Colour fill) {
    Stroke k;
    k.kind = StrokeKind::FloodFill;
    k.points = {from};
    k.rect = bounds;
    k.pen = border;
    k.brush = fill;
    s.push_back(std::move(k));
}

Strokes transposed(const Strokes& strokes) {
    Strokes out = strokes;
    for (Stroke& k : out) {
        k.rect = Rect{k.rect.top, k.rect.left, k.rect.bottom, k.rect.right};
        for (Point& p : k.points) std::swap(p.x, p.y);
    }
    return out;
}

BevelShades bevel_shades(Colour c, int step) {
    BevelShades s;
    s.c = c;
    s.l1 = color_lighten(c, (unsigned)step);
    s.l2 = color_lighten(s.l1, (unsigned)step);
    s.d1 = color_darken(c, (unsigned)step);
    s.d2 = color_darken(s.d1, (unsigned)step);
    return s;
}

Strokes bevelled_face(Rect r, const BevelShades& b, SystemShades sys, bool with_fill) {
    Strokes s;
    const int x = r.left, y = r.top, x2 = r.right, y2 = r.bottom;
    if (x == x2) return s;
    if (with_fill) add_fill(s, r, b.l2);
    add_line(s, b.l1, {{x + 2, y2 - 4}, {x2 - 2, y2 - 4}});
    add_line(s, b.l1, {{x + 2, y + 2}, {x2 - 2, y + 2}});
    add_pixel(s, b.l1, x + 1, y2 - 3);
    add_pixel(s, b.l1, x + 1, y + 1);
    add_line(s, b.l2, {{x + 2, y2 - 5}, {x2 - 3, y2 - 5}, {x2 - 3, y + 3}, {x + 1, y + 3}});
    add_pixel(s, b.l2, x + 1, y2 - 4);
    add_pixel(s, b.l2, x + 1, y + 2);
    add_line(s, b.c, {{x, y2 - 1}, {x, y}, {x + 2, y}});
    add_pixel(s, b.c, x + 1, y2 - 2);
    add_line(s, b.c, {{x + 2, y2 - 3}, {x2 - 2, y2 - 3}});
    add_line(s, b.c, {{x + 2, y + 1}, {x2 - 1, y + 1}});
    add_line(s, b.d1, {{x + 2, y2 - 2}, {x2 - 2, y2 - 2}, {x2 - 2, y + 1}});
    add_pixel(s, b.d1, x + 1, y2 - 1);
    add_line(s, b.d1, {{x + 2, y}, {x2, y}});
    add_line(s, b.d2, {{x + 2, y2 - 1}, {x2 - 1, y2 - 1}, {x2 - 1, y}});
    add_line(s, midpoint(sys.shadow, sys.dark_shadow), {{x2, y}, {x2, y2}});
    add_line(s, sys.shadow, {{x2 + 1, y}, {x2 + 1, y2}});
    return s;
}

ButtonShades stepped_shades(Colour base, Colour (*lighten)(Colour, unsigned), Colour (*darken)(Colour, unsigned)) {
    ButtonShades s;
    s.base = base;
    s.light51 = lighten(base, 51);
    s.light102 = lighten(s.light51, 51);
    s.light153 = lighten(s.light102, 51);
    s.dark51 = darken(base, 51);
    s.dark102 = darken(s.dark51, 51);
    return s;
}

ButtonShades button_shades(Colour base) { return stepped_shades(base, color_lighten, color_darken); }

Strokes column_bevel(Rect r, const ButtonShades& c, bool with_fill) {
    Strokes s;
    const int l = r.left, t = r.top, rt = r.right, b = r.bottom;
    if (b - t < 4) {
        if (with_fill) {
            Stroke k;
            k.kind = StrokeKind::Rectangle;
            k.pen = c.dark51;
            k.brush = c.base;
            k.rect = r;
            s.push_back(k);
        }
        return s;
    }
    add_line(s, c.base, {{l, t + 1}, {l, t}, {rt, t}});
    add_line(s, c.base, {{l + 1, b - 2}, {l + 1, t + 1}});
    add_line(s, c.base, {{rt - 3, b - 3}, {rt - 3, t + 1}});
    add_pixel(s, c.base, rt - 2, t + 1);
    add_line(s, c.light51, {{l + 2, b - 3}, {l + 2, t + 1}});
    add_line(s, c.light51, {{rt - 4, b - 3}, {rt - 4, t + 1}});
    add_pixel(s, c.light51, l + 1, t + 1);
    add_pixel(s, c.light51, rt - 3, t + 1);
    add_line(s, c.light102, {{l + 3, b - 3}, {l + 3, t + 1}});
    add_line(s, c.light102, {{rt - 5, b - 3}, {rt - 5, t + 1}});
    add_pixel(s, c.light102, l + 2, t + 1);
    add_pixel(s, c.light102, rt - 4, t + 1);
    add_line(s, c.dark51, {{l, b - 1}, {l, t + 1}});
    add_line(s, c.dark51, {{l + 2, b - 2}, {rt - 2, b - 2}, {rt - 2, t + 1}});
    add_pixel(s, c.dark51, rt - 1, t + 1);
    add_line(s, c.dark102, {{l + 1, b - 1}, {rt - 1, b - 1}, {rt - 1, t + 1}});
    return s;
}

Strokes corner_hatching(Rect r, const ButtonShades& c, bool other_diagonal) {
    Strokes s;
    const int h = r.bottom - r.top;
    for (int a = 0; a <= h; ++a) {
        bool near = a < (h + 1) / 2;
        if (!other_diagonal)
            add_line(s, near ? c.light102 : c.light51, {{r.left, r.top + a}, {r.left + a, r.top}});
        else
            add_line(s, near ? c.dark102 : c.dark51, {{r.left, r.bottom - a}, {r.left + a, r.bottom}});
    }
    for (int a = 0; a <= h; ++a) {
        bool near = a < (h + 1) / 2;
        if (!other_diagonal)
            add_line(s, near ? c.dark102 : c.dark51, {{r.right, r.bottom - a}, {r.right - a, r.bottom}});
        else
            add_line(s, near ? c.light102 : c.light51, {{r.right, r.top + a}, {r.right - a, r.top}});
    }
    return s;
}

namespace {

void append(Strokes& to, const Strokes& from) { to.insert(to.end(), from.begin(), from.end()); }

void add_round_rect(Strokes& s, Rect r) {
    Stroke k;
    k.kind = StrokeKind::RoundRect;
    k.rect = r;
    k.round = 8;
    s.push_back(k);
}

}  // namespace

Strokes button_face(int style, Rect r, Colour base, FaceState state, SystemShades sys) {
    Strokes s;
    const ButtonShades c = button_shades(base);
    auto fill_and_frame = [&] {
        add_fill(s, r, c.light102);
        add_3d_rect(s, r, c.light51, c.dark51);
    };
    auto bevel_lines = [&] {
        BevelShades b{c.base, c.light51, c.light102, c.dark51, c.dark102};
        append(s, bevelled_face(r, b, sys, false));
    };
    switch (style) {
    case 1:
        fill_and_frame();
        bevel_lines();
        break;
    case 2:
        fill_and_frame();
        append(s, column_bevel(r, c, true));
        break;
    case 3:
        fill_and_frame();
        bevel_lines();
        append(s, column_bevel(r, c, false));
        break;
    case 4:
    case 5:
        fill_and_frame();
        append(s, corner_hatching(r, c, style == 5));
        break;
    case 6:
        if (state == FaceState::Hover) {
            add_fill(s, r, c.dark51);
            add_3d_rect(s, r, c.light51, c.dark51);
        } else if (state == FaceState::Focus) {
            add_round_rect(s, r);
            add_3d_rect(s, r, c.light51, c.dark51);
        } else {
            add_fill(s, r, c.dark51);
            add_round_rect(s, r);
        }
        break;
    default:
        break;
    }
    return s;
}

namespace {

bool inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Whether the segment from a to b (end left out) covers (x, y); only axis-parallel and 45-degree
// segments are followed.
bool on_segment(Point a, Point b, int x, int y, bool* followed) {
    int dx = b.x - a.x, dy = b.y - a.y;
    int n = std::max(std::abs(dx), std::abs(dy));
    if (n == 0) return false;
    if (dx != 0 && dy != 0 && std::abs(dx) != std::abs(dy)) {
        *followed = false;
        return false;
    }
    int sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    for (int j = 0; j < n; ++j)
        if (a.x + sx * j == x && a.y + sy * j == y) return true;
    return false;
}

}  // namespace

bool stroke_colour_at(const Strokes& strokes, int x, int y, Colour* out) {
    enum { Uncovered, Known, Unknown } state = Uncovered;
    Colour colour = 0;
    auto set = [&](Colour c) { colour = c; state = Known; };
    for (const Stroke& k : strokes) {
        switch (k.kind) {
        case StrokeKind::Fill:
            if (inside(k.rect, x, y)) set(k.brush);
            break;
        case StrokeKind::Pixel:
            if (k.points[0].x == x && k.points[0].y == y) set(k.pen);
            break;
        case StrokeKind::Polyline: {
            bool followed = true;
            for (size_t i = 0; i + 1 < k.points.size(); ++i)
                if (on_segment(k.points[i], k.points[i + 1], x, y, &followed)) set(k.pen);
            if (!followed) state = Unknown;
            break;
        }
        case StrokeKind::Rectangle:
            if (inside(k.rect, x, y)) {
                bool border = x == k.rect.left || x == k.rect.right - 1 || y == k.rect.top || y == k.rect.bottom - 1;
                set(border ? k.pen : k.brush);
            }
            break;
        case StrokeKind::RoundRect:
            // Only the four corner pixels lie surely outside the rounded shape; the rest is unknown.
            if (inside(k.rect, x, y)) {
                bool corner = (x == k.rect.left || x == k.rect.right - 1) && (y == k.rect.top || y == k.rect.bottom - 1);
                if (!corner) state = Unknown;
            }
            break;
        case StrokeKind::FloodFill:
            if (inside(k.rect, x, y) && !(state == Known && colour == k.pen)) state = Unknown;
            break;
        }
    }
    if (state == Known && out) *out = colour;
    return state == Known;
}

}  // namespace skin
