// The bevels and hatchings of the skinned controls as plain lists of drawing steps (fills, one-pixel
// pen lines, pixels, rectangles), so that their geometry is tested without a device context; one GDI
// adaptor paints any list.
#pragma once
#include "skin_colour.h"
#include "skin_scheme.h"
#include <vector>

namespace skin {

struct Point {
    int x = 0, y = 0;
};

enum class StrokeKind : uint8_t {
    Fill,       // the rectangle filled (right and bottom edges excluded) in `brush`
    Polyline,   // a pen line through `points`; each segment leaves out its end point, as LineTo does
    Pixel,      // points[0] set to `pen`
    Rectangle,  // a one-pixel border in `pen` on the rectangle's outer pixels, the inside in `brush`
    RoundRect,  // a rounded rectangle (corner ellipse `round` x `round`) in the device's current pen
                // and brush, or in `pen` and `brush` when the stroke brings its own tools
    FloodFill,  // from points[0], the area up to the border colour `pen` filled in `brush`; `rect`
                // bounds the area
};

struct Stroke {
    StrokeKind kind = StrokeKind::Fill;
    Colour pen = 0;
    Colour brush = 0;
    Rect rect;
    std::vector<Point> points;
    int round = 0;
    bool own_tools = false;  // RoundRect: drawn in `pen` and `brush`
    int width = 1;           // Polyline: the pen's width
};

using Strokes = std::vector<Stroke>;

// The two system colours the bevels end in: COLOR_3DDKSHADOW and COLOR_BTNSHADOW.
struct SystemShades {
    Colour dark_shadow = 0x404040;
    Colour shadow = 0x808080;
};

// Builders.
void add_fill(Strokes& s, Rect r, Colour c);
void add_line(Strokes& s, Colour pen, std::vector<Point> points);
// A line in a pen `width` pixels wide.
void add_wide_line(Strokes& s, Colour pen, int width, std::vector<Point> points);
void add_pixel(Strokes& s, Colour pen, int x, int y);
// The framework's Draw3dRect: top and left edges in tl, bottom and right edges in br.
void add_3d_rect(Strokes& s, Rect r, Colour tl, Colour br);
// A rounded rectangle in its own pen and brush.
void add_round_rect(Strokes& s, Rect r, int round, Colour pen, Colour brush);
void add_flood_fill(Strokes& s, Point from, Rect bounds, Colour border, Colour fill);
// The same drawing with x and y exchanged (a lying shape from an upright one).
Strokes transposed(const Strokes& strokes);

// The five colours a bevel is drawn in: c, its lighter steps l1 = lighten(c, step), l2 = lighten(l1,
// step) and darker steps d1, d2.
struct BevelShades {
    Colour c, l1, l2, d1, d2;
};
BevelShades bevel_shades(Colour c, int step);

// The bevelled face on {x, y, x2, y2}: the fill in l2 (when asked), the five shade lines, then the
// midpoint of the two system shadows at column x2 and the button shadow at x2 + 1. Nothing when the
// rectangle has no width.
Strokes bevelled_face(Rect r, const BevelShades& shades, SystemShades sys, bool with_fill = true);

// The button's column bevel: a base, two lighter and two darker pens in vertical lines. A face less
// than 4 pixels high is one rectangle (base brush, darken-51 pen) instead, or nothing without the fill.
struct ButtonShades {
    Colour base, light51, light102, light153, dark51, dark102;
};
ButtonShades button_shades(Colour base);
// The same five steps of 51 from `base` with other lightening and darkening rules.
ButtonShades stepped_shades(Colour base, Colour (*lighten)(Colour, unsigned), Colour (*darken)(Colour, unsigned));
Strokes column_bevel(Rect r, const ButtonShades& shades, bool with_fill);

// Corner hatchings: 45-degree lines from two opposite corners, the half nearer the corner in the
// stronger shade. `other_diagonal` selects the bottom-left and top-right corners.
Strokes corner_hatching(Rect r, const ButtonShades& shades, bool other_diagonal);

// The push button's bevelled face styles 1 to 6 in the state's colour (`hover` for hovered or pressed
// buttons, `focus` for focused ones, neither for the normal face).
enum class FaceState : uint8_t { Normal, Focus, Hover };
Strokes button_face(int style, Rect r, Colour base, FaceState state, SystemShades sys);

// The colour that pixel (x, y) ends with after the strokes, when one of them covers it and the last
// that might is known: lines that are not horizontal, vertical or at 45 degrees are not followed, nor
// the inside of a rounded rectangle (only its four corner pixels are known to lie outside it), nor a
// flood fill's area beyond the pixels already in its border colour.
bool stroke_colour_at(const Strokes& strokes, int x, int y, Colour* out);

}  // namespace skin
