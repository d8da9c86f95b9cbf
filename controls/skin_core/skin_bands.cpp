#include "skin_bands.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace skin {
namespace {

const double kHalfPi = 1.57079632679489661923;

int clamp_int(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

struct Walk {
    int n;       // extent along the axis
    int across;  // extent across it
    int half;
    int middle;
    int i;
    double k;    // cos(|i - middle| / half * pi/2)
    double phi;  // i / n * pi/2
};

// x * num / den: truncated once (the whole product) or with the product x truncated first.
int scaled(double x, const Span& s) {
    if (s.each) return (int)x * s.num / s.den;
    return (int)(x * s.num / s.den);
}

// half - x * num / den, truncated as a whole or after the product.
int half_minus(int half, double x, const Span& s) {
    if (s.each) return half - (int)x * s.num / s.den;
    return (int)(half - x * s.num / s.den);
}

// The piece's extent across the band, before clipping, as [lo, hi).
void piece_extent(const Span& s, const Walk& w, int* lo, int* hi) {
    const int a = w.across;
    switch (s.kind) {
    case SpanKind::Full:
        *lo = 0; *hi = a;
        return;
    case SpanKind::Capsule: {
        int d = half_minus(w.half, w.k * w.n, s);
        *lo = d + s.e1; *hi = a - d - s.e2;
        return;
    }
    case SpanKind::Slant: {
        int t = half_minus(w.half, w.k * w.n, s);
        *lo = w.half - t; *hi = a - t;
        return;
    }
    case SpanKind::Widen: {
        int f = scaled(w.k * w.n, s);
        *lo = (int)(s.g * f); *hi = a - w.half + (s.e2 ? (s.e1 * f) / s.e2 : 0);
        return;
    }
    case SpanKind::Pinch: {
        int b = scaled(w.k * (w.n + s.e1), s);
        *lo = b; *hi = a - b;
        return;
    }
    case SpanKind::PinchHalfLeft: {
        int b = scaled(w.k * w.n, s);
        *lo = w.i < w.middle ? (int)((w.half - b) * 1.5) : 0; *hi = a - b;
        return;
    }
    case SpanKind::Ellipse: {
        double c = w.n * std::cos(w.phi);
        int e = s.each ? (w.n - (int)c) / 2 : (int)((w.n - c) / 2);
        *lo = e; *hi = a - e;
        return;
    }
    case SpanKind::RoundRect: {
        int r = s.e1 ? std::min(w.n / s.e1, s.e2) : 0;
        int inset = s.each ? r - (int)(r * w.k) : (int)(r - r * w.k);
        *lo = inset; *hi = a - inset;
        return;
    }
    case SpanKind::TaperMiddle:
    case SpanKind::TaperLeft:
    case SpanKind::TaperRight:
    case SpanKind::TaperFromLeft: {
        int o = (int)(std::abs(w.i - w.middle) * ((double)a / w.n));
        if (s.kind == SpanKind::TaperMiddle) { *lo = o; *hi = a - o; }
        else if (s.kind == SpanKind::TaperLeft) { *lo = 0; *hi = o; }
        else if (s.kind == SpanKind::TaperRight) { *lo = a - o; *hi = a; }
        else { *lo = o; *hi = a; }
        return;
    }
    case SpanKind::StripLeft:
    case SpanKind::StripMiddle:
    case SpanKind::StripRight: {
        double x = (1.2 - std::cos(w.phi)) * w.n;
        int e = s.each ? (int)x + 52 : (int)(x + 52);
        if (s.kind == SpanKind::StripLeft) { *lo = 0; *hi = 32; }
        else if (s.kind == SpanKind::StripMiddle) { *lo = 32; *hi = a - e; }
        else { *lo = a - e; *hi = a; }
        return;
    }
    case SpanKind::TopRounded: {
        int r = std::min(w.half, s.e2);
        int inset = 0;
        if (r > 0 && w.i <= r) inset = half_minus(r / 2, r * std::cos((double)w.i / r * kHalfPi), s);
        *lo = inset; *hi = a - inset;
        return;
    }
    case SpanKind::Skew: {
        int r = std::min(w.half, s.e2);
        int inset = s.each ? r - (int)(r * w.k) : (int)(r - r * w.k);
        *lo = r - inset; *hi = a - inset;
        return;
    }
    }
    *lo = *hi = 0;
}

Colour shade_colour(const Shade& s, Colour base, int ramp_value) {
    int x = clamp_int(ramp_value, s.lo, s.hi);
    if (s.wing) x = std::min(255, (int)(1.05 * x));
    int amount = clamp_int((s.a + s.b * x) / s.d, 0, 255);
    switch (s.op) {
    case Op::Lighten: return color_lighten(base, (unsigned)amount);
    case Op::DarkenKeep: return color_darken_keep(base, (unsigned)amount);
    case Op::Darken: break;
    }
    return color_darken(base, (unsigned)amount);
}

}  // namespace

const Style& find_style(const Profile& profile, int style) {
    for (size_t i = 0; i + 1 < profile.count; ++i)
        if (profile.styles[i].code == style) return profile.styles[i];
    return profile.styles[profile.count - 1];
}

FillPlan plan_shaded_fill(const Profile& profile, Colour colour, int left, int top, int right, int bottom,
                          int style) {
    FillPlan plan;
    const int width = right - left, height = bottom - top;
    if (width < 1 || height < 1) return plan;
    const Style& s = find_style(profile, style);
    const bool by_rows = s.axis == Axis::Rows;
    Walk w{};
    w.n = by_rows ? height : width;
    w.across = by_rows ? width : height;
    if (w.n < 2) {
        // One row or column has no gradient (and its half would be 0): the plain colour only.
        plan.plain_fill = true;
        return plan;
    }
    plan.plain_fill = style < profile.plain_fill_below;
    w.half = w.n / 2;
    w.middle = w.half + s.middle_shift;
    const int band = clamp_int(w.n / s.band.divisor, s.band.min, s.band.max);
    const int last = s.to_end ? w.n : w.n - 1;
    int previous = 0;
    for (int i = 1; i <= last; ++i) {
        if (i % band != 0 && i != last) continue;
        w.i = i;
        w.k = std::cos((double)std::abs(i - w.middle) / w.half * kHalfPi);
        w.phi = (double)i / w.n * kHalfPi;
        int ramp = s.ramp == Ramp::TwoWay ? 255 * std::abs(i - w.middle) / w.half : 255 * (w.n - i) / w.n;
        ramp = clamp_int(ramp, 0, 255);
        for (int p = 0; p < s.piece_count; ++p) {
            int lo, hi;
            piece_extent(s.pieces[p].span, w, &lo, &hi);
            lo = std::max(lo, 0);
            hi = std::min(hi, w.across);
            if (lo >= hi) continue;
            Colour c = shade_colour(s.pieces[p].shade, colour, ramp);
            if (by_rows) plan.bands.push_back(Band{left + lo, top + previous, left + hi, top + i, c});
            else plan.bands.push_back(Band{left + previous, top + lo, left + i, top + hi, c});
        }
        previous = i;
    }
    return plan;
}

}  // namespace skin
