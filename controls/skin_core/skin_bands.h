// The shaded fill of the skinned controls as one band planner driven by tables.
//
// A style walks an index i along one axis of the rectangle (rows or columns) and closes a band every
// `band size` steps and at its last index; each band spans from the previous boundary to i and is
// painted as up to three pieces across the other axis. The colour of a piece is the base colour
// lightened or darkened by an amount computed from a ramp over i. Every class that paints shaded
// surfaces knows its own set of style codes with its own small departures: each such variant is a
// Profile (a table of Style rows), never a copy of this code.
#pragma once
#include "skin_colour.h"
#include <cstddef>
#include <vector>

namespace skin {

enum class Axis : uint8_t { Rows, Columns };
// TwoWay: 255 * |i - middle| / half (255 at both ends, 0 in the middle).
// OneWay: 255 * (N - i) / N (255 at the start, 0 at the end).
enum class Ramp : uint8_t { TwoWay, OneWay };
enum class Op : uint8_t { Darken, Lighten, DarkenKeep };

// Where a piece lies across the band, with k = cos(|i - middle| / half * pi/2) (1 in the middle, 0 at
// the ends), phi = i / N * pi/2, N the extent along the axis, A the extent across it and q the span's
// fraction num / den.
//
// Two orders of truncation exist among the classes: the program's copies truncate each product to an
// integer before it enters a sum (x = trunc(k*N) * num / den, integer arithmetic), the libraries'
// copies truncate the whole expression once. A span marked `each` uses the first order.
enum class SpanKind : uint8_t {
    Full,          // 0 .. A
    Capsule,       // d = half - k*N*q: d + e1 .. A - d - e2
    Slant,         // t = half - k*N*q: half - t .. A - t
    Widen,         // F = k*N*q: trunc(g*F) .. A - half + (e1*F)/e2
    Pinch,         // b = k*(N + e1)*q: b .. A - b
    PinchHalfLeft, // b = k*N*q: before the middle trunc((half - b)*1.5), from it on 0 .. A - b
    Ellipse,       // e = (N - N*cos phi) / 2: e .. A - e
    RoundRect,     // r = min(N / e1, e2), w = r - r*k: w .. A - w
    TaperMiddle,   // o = trunc(|i - middle| * A / N): o .. A - o
    TaperLeft,     // 0 .. o
    TaperRight,    // A - o .. A
    TaperFromLeft, // o .. A
    StripLeft,     // 0 .. 32
    StripMiddle,   // E = (1.2 - cos phi) * N + 52: 32 .. A - E
    StripRight,    // A - E .. A
    TopRounded,    // r = min(half, e2); rows i <= r inset by r/2 - r*cos(i / r * pi/2) * q, later rows 0 .. A
    Skew,          // r = min(half, e2), a = r - r*k: r - a .. A - a
};

struct Span {
    SpanKind kind = SpanKind::Full;
    int num = 1, den = 1;
    double g = 0;
    int e1 = 0;
    int e2 = 0;
    bool each = false;
};

// Amount = (a + b * x) / d, x being the ramp value clamped to lo..hi and, for a wing, scaled by 1.05
// (truncated, at most 255).
struct Shade {
    int a = 0, b = 1, d = 1;
    Op op = Op::Darken;
    int lo = 0, hi = 255;
    bool wing = false;
};

struct Piece {
    Span span;
    Shade shade;
};

struct BandRule {
    int divisor, min, max;  // band size = N / divisor clamped to min..max
};

constexpr int kDefaultStyle = -1;

struct Style {
    int code;       // kDefaultStyle marks a profile's last branch
    Axis axis;
    bool to_end;    // last index N (true) or N - 1 (the last row or column is left alone)
    BandRule band;
    Ramp ramp;
    int middle_shift;  // the two-way ramp's middle is half + middle_shift
    int piece_count;
    Piece pieces[3];
};

struct Profile {
    const char* name;
    int plain_fill_below;  // the whole rectangle is first filled when style < this
    const Style* styles;   // the last row is the default branch
    size_t count;
};

struct Band {
    int left, top, right, bottom;
    Colour colour;
};

struct FillPlan {
    bool plain_fill = false;  // fill the whole rectangle with the base colour first
    std::vector<Band> bands;  // then these, in order
};

// Plans the shaded fill of {left, top, right, bottom} in `colour` with `style`. An empty rectangle
// plans nothing. A rectangle with fewer than two rows (columns) along the style's axis has no
// gradient to show and gets the plain fill alone. Pieces are clipped to the rectangle.
FillPlan plan_shaded_fill(const Profile& profile, Colour colour, int left, int top, int right, int bottom,
                          int style);

// The style row a profile uses for a code.
const Style& find_style(const Profile& profile, int style);

// Builders for the profile tables.
constexpr Shade darken(int a, int b, int d) { return Shade{a, b, d, Op::Darken, 0, 255, false}; }
constexpr Shade lighten(int a, int b, int d) { return Shade{a, b, d, Op::Lighten, 0, 255, false}; }
constexpr Shade clamped(Shade s, int lo, int hi) { s.lo = lo; s.hi = hi; return s; }
constexpr Shade winged(Shade s) { s.wing = true; return s; }
constexpr Shade keeping(Shade s) { if (s.op == Op::Darken) s.op = Op::DarkenKeep; return s; }
constexpr Span full() { return Span{}; }
// A span whose fraction is num / den (the whole expression truncated once).
constexpr Span span(SpanKind kind, int num = 1, int den = 1, double g = 0, int e1 = 0, int e2 = 0) {
    return Span{kind, num, den, g, e1, e2, false};
}
// The same span with every product truncated on its own.
constexpr Span each_product(Span s) { s.each = true; return s; }
constexpr Piece piece(Span s, Shade sh) { return Piece{s, sh}; }

constexpr Style rows(int code, bool to_end, BandRule band, Ramp ramp, Piece p, int middle_shift = 0) {
    return Style{code, Axis::Rows, to_end, band, ramp, middle_shift, 1, {p, {}, {}}};
}
constexpr Style columns(int code, bool to_end, BandRule band, Ramp ramp, Piece p) {
    return Style{code, Axis::Columns, to_end, band, ramp, 0, 1, {p, {}, {}}};
}
constexpr Style rows3(int code, bool to_end, BandRule band, Ramp ramp, Piece a, Piece b, Piece c) {
    return Style{code, Axis::Rows, to_end, band, ramp, 0, 3, {a, b, c}};
}
// The same style row under another code with other shades (the "first / second style" pairs).
constexpr Style with_code(Style s, int code) { s.code = code; return s; }
constexpr Style with_shade(Style s, int code, Shade sh) {
    s.code = code;
    s.pieces[0].shade = sh;
    return s;
}

// Common shade amounts.
constexpr Shade kRamp = darken(0, 1, 1);              // x
constexpr Shade kInverse = darken(255, -1, 1);        // 255 - x
constexpr Shade kInverseTwoThirds = darken(510, -2, 3);  // (255 - x) * 2/3
constexpr Shade kTwoThirds = darken(0, 2, 3);         // x * 2/3
constexpr Shade kInverseThreeFifths = darken(765, -3, 5);  // (765 - 3x) / 5
constexpr Shade kInverseFourFifths = darken(1020, -4, 5);  // 4 * (255 - x) / 5

constexpr BandRule kVertical{20, 1, 3};
constexpr BandRule kHorizontal50{50, 1, 4};
constexpr BandRule kHorizontal40{40, 1, 4};

}  // namespace skin
