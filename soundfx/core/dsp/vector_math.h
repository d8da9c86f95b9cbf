// Elementary functions on four floats at once, for the transforms' per-bin work: each to within a few
// units in the last place of the library's single-precision functions, and without branches.
// Polynomials after Cephes (S. L. Moshier).
#pragma once
#include "soundfx/core/dsp/simd.h"

namespace soundfx {

inline f32x4 abs4(f32x4 x) { return (f32x4)((i32x4)x & 0x7FFFFFFF); }
inline i32x4 sign_bits4(f32x4 x) { return (i32x4)x & int(0x80000000u); }
inline f32x4 select4(i32x4 mask, f32x4 yes, f32x4 no) { return mask ? yes : no; }

// Whole numbers nearest to x, |x| < 2^22, rounded as the rounding mode rounds (to nearest, ties to even,
// by default and while the chain runs).
inline f32x4 round4(f32x4 x) { return (x + splat4(12582912.0f)) - splat4(12582912.0f); }

// atan2(y, x) in -pi..pi, with the signs of zeros as atan2f gives them: atan2(+-0, +0) = +-0,
// atan2(+-0, -0) = +-pi. Finite arguments.
inline f32x4 atan2_4(f32x4 y, f32x4 x) {
    const f32x4 ax = abs4(x), ay = abs4(y);
    const f32x4 big = ay > ax ? ay : ax, small = ay > ax ? ax : ay;
    // small / big in 0..1; above tan(pi / 8) the argument moves to (small - big) / (small + big),
    // around pi / 4.
    const i32x4 upper = small > splat4(0.41421356f) * big;
    const f32x4 num = select4(upper, small - big, small);
    f32x4 den = select4(upper, small + big, big);
    den = select4(den == splat4(0.0f), splat4(1.0f), den);
    const f32x4 u = num / den, z = u * u;
    const f32x4 p = (((splat4(8.05374449538e-2f) * z - splat4(1.38776856032e-1f)) * z + splat4(1.99777106478e-1f)) * z -
                     splat4(3.33329491539e-1f)) * z * u + u;
    f32x4 r = select4(upper, splat4(0.78539816339744831f) + p, p);
    r = select4(ay > ax, splat4(1.5707963267948966f) - r, r);
    r = select4(sign_bits4(x) != 0, splat4(3.1415926535897932f) - r, r);
    return (f32x4)(((i32x4)r & 0x7FFFFFFF) | sign_bits4(y));
}

// sin x and cos x for |x| up to a few thousand: x less the nearest multiple of pi / 2 (taken off in
// three parts), then the quadrant.
inline void sincos4(f32x4 x, f32x4* s, f32x4* c) {
    const f32x4 n = round4(x * splat4(0.63661977236758134f));
    const f32x4 r = ((x - n * splat4(1.5703125f)) - n * splat4(4.837512969970703125e-4f)) - n * splat4(7.54978995489188216e-8f);
    const f32x4 z = r * r;
    const f32x4 sin_r = ((splat4(-1.9515295891e-4f) * z + splat4(8.3321608736e-3f)) * z - splat4(1.6666654611e-1f)) * z * r + r;
    const f32x4 cos_r = ((splat4(2.443315711809948e-5f) * z - splat4(1.388731625493765e-3f)) * z + splat4(4.166664568298827e-2f)) * z * z -
                        splat4(0.5f) * z + splat4(1.0f);
    const i32x4 q = __builtin_convertvector(n, i32x4);
    const i32x4 swap = (q & 1) != 0;
    f32x4 sv = select4(swap, cos_r, sin_r), cv = select4(swap, sin_r, cos_r);
    sv = select4((q & 2) != 0, -sv, sv);
    cv = select4(((q + 1) & 2) != 0, -cv, cv);
    *s = sv;
    *c = cv;
}

// log x for x > 0 (+inf gives +inf, 0 gives -inf, below 0 and NaN give NaN): x = 2^e m with m in
// sqrt(1/2)..sqrt(2), then log m from a polynomial in m - 1.
inline f32x4 log4(f32x4 x) {
    const i32x4 bits = (i32x4)x;
    i32x4 e = ((bits >> 23) & 0xFF) - 127;
    f32x4 m = (f32x4)((bits & 0x007FFFFF) | 0x3F800000);  // 1..2
    const i32x4 high = m > splat4(1.41421356f);
    m = select4(high, m * splat4(0.5f), m);
    e -= high;  // a true mask is -1
    const f32x4 fe = __builtin_convertvector(e, f32x4), f = m - splat4(1.0f), z = f * f;
    f32x4 y = splat4(7.0376836292e-2f);
    for (float c : {-1.1514610310e-1f, 1.1676998740e-1f, -1.2420140846e-1f, 1.4249322787e-1f, -1.6668057665e-1f,
                    2.0000714765e-1f, -2.4999993993e-1f, 3.3333331174e-1f})
        y = y * f + splat4(c);
    y = y * f * z + fe * splat4(-2.12194440e-4f) - splat4(0.5f) * z;
    f32x4 r = f + y + fe * splat4(0.693359375f);
    r = select4(x == splat4(__builtin_inff()), x, r);
    r = select4(x == splat4(0.0f), splat4(-__builtin_inff()), r);
    return select4(x >= splat4(0.0f), r, splat4(__builtin_nanf("")));  // below 0 or NaN
}

// e^x, overflowing to +inf and underflowing to 0 (or below the normal range as the mode has it) as
// expf does; NaN gives NaN. x less a whole number n of ln 2 (taken off in two parts), a polynomial,
// then times 2^n in two halves so that each factor is a normal float.
inline f32x4 exp4(f32x4 x) {
    const f32x4 t = x > splat4(88.8f) ? splat4(88.8f) : (x < splat4(-104.0f) ? splat4(-104.0f) : x);
    const f32x4 n = round4(t * splat4(1.44269504088896341f));
    const f32x4 r = (t - n * splat4(0.693359375f)) - n * splat4(-2.12194440e-4f);
    f32x4 p = splat4(1.9875691500e-4f);
    for (float c : {1.3981999507e-3f, 8.3334519073e-3f, 4.1665795894e-2f, 1.6666665459e-1f, 5.0000001201e-1f})
        p = p * r + splat4(c);
    p = p * r * r + r + splat4(1.0f);
    const i32x4 k = __builtin_convertvector(n, i32x4), k1 = k >> 1, k2 = k - k1;
    const f32x4 y = p * (f32x4)((k1 + 127) << 23) * (f32x4)((k2 + 127) << 23);
    return select4(x == x, y, x);
}

}  // namespace soundfx
