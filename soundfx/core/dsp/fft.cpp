#include "soundfx/core/dsp/fft.h"
#include <cmath>
#include <utility>
#include "soundfx/core/dsp/simd.h"

namespace soundfx {
namespace {

constexpr int kMaxLog2 = 13;  // kFftMaxPoints = 2^13
static_assert(kFftMaxPoints == 1 << kMaxLog2, "table size");

bool power_of_two(int n) { return n >= 2 && n <= kFftMaxPoints && (n & (n - 1)) == 0; }

int log2_of(int n) {
    int b = 0;
    while ((1 << b) < n) ++b;
    return b;
}

// Twiddles per transform size n = 2^b, each worked out in double and rounded once:
// stage[b][l]: W^(l p) for l = 1, 2, 3 and p < n / 4, W = e^(-2 pi i / n), for a radix-4 stage of n
// points; half[b]: W^k for k <= n / 2, for taking apart and putting together real transforms of n.
struct Twiddles {
    std::vector<float> stage_re[kMaxLog2 + 1][4], stage_im[kMaxLog2 + 1][4];
    std::vector<float> half_re[kMaxLog2 + 1], half_im[kMaxLog2 + 1];
    Twiddles() {
        const double pi = 3.14159265358979323846;
        for (int b = 1; b <= kMaxLog2; ++b) {
            const int n = 1 << b;
            for (int l = 1; l <= 3; ++l) {
                for (int p = 0; p < n / 4; ++p) {
                    const double angle = -2.0 * pi * double(l * p) / n;
                    stage_re[b][l].push_back(float(std::cos(angle)));
                    stage_im[b][l].push_back(float(std::sin(angle)));
                }
            }
            for (int k = 0; k <= n / 2; ++k) {
                const double angle = -2.0 * pi * double(k) / n;
                half_re[b].push_back(float(std::cos(angle)));
                half_im[b].push_back(float(std::sin(angle)));
            }
        }
    }
};

const Twiddles& twiddles() {
    static const Twiddles table;
    return table;
}

template <class T>
inline void multiply(T ar, T ai, T br, T bi, T* r, T* i) {
    *r = ar * br - ai * bi;
    *i = ar * bi + ai * br;
}

// The four-point transform of a, b, c, d (points p, p + m, p + 2m, p + 3m of an n-point sequence),
// each output l times W^(l p): outputs l = 0..3 go to sequence positions 4p + l.
template <class T>
inline void butterfly4(const T (&xr)[4], const T (&xi)[4], const T (&wr)[4], const T (&wi)[4], T (&yr)[4],
                       T (&yi)[4]) {
    const T t0r = xr[0] + xr[2], t0i = xi[0] + xi[2];
    const T t1r = xr[0] - xr[2], t1i = xi[0] - xi[2];
    const T t2r = xr[1] + xr[3], t2i = xi[1] + xi[3];
    const T t3r = xi[1] - xi[3], t3i = xr[3] - xr[1];  // -i (b - d)
    yr[0] = t0r + t2r;
    yi[0] = t0i + t2i;
    multiply(t1r + t3r, t1i + t3i, wr[1], wi[1], &yr[1], &yi[1]);
    multiply(t0r - t2r, t0i - t2i, wr[2], wi[2], &yr[2], &yi[2]);
    multiply(t1r - t3r, t1i - t3i, wr[3], wi[3], &yr[3], &yi[3]);
}

// Rows of the 4 x 4 matrix whose columns are v[0..3].
inline void transpose(f32x4 (&v)[4]) {
    const f32x4 a = __builtin_shufflevector(v[0], v[1], 0, 4, 1, 5);
    const f32x4 b = __builtin_shufflevector(v[2], v[3], 0, 4, 1, 5);
    const f32x4 c = __builtin_shufflevector(v[0], v[1], 2, 6, 3, 7);
    const f32x4 d = __builtin_shufflevector(v[2], v[3], 2, 6, 3, 7);
    v[0] = __builtin_shufflevector(a, b, 0, 1, 4, 5);
    v[1] = __builtin_shufflevector(a, b, 2, 3, 6, 7);
    v[2] = __builtin_shufflevector(c, d, 0, 1, 4, 5);
    v[3] = __builtin_shufflevector(c, d, 2, 3, 6, 7);
}

// One radix-4 stage: s interleaved sequences of n points (element p of sequence q at q + s p) from x to
// y, where they become 4 s sequences of n / 4 points.
void radix4_stage(const float* xr, const float* xi, float* yr, float* yi, int n, int s) {
    const Twiddles& t = twiddles();
    const int b = log2_of(n), m = n / 4;
    const float* w_re[4] = {nullptr, t.stage_re[b][1].data(), t.stage_re[b][2].data(), t.stage_re[b][3].data()};
    const float* w_im[4] = {nullptr, t.stage_im[b][1].data(), t.stage_im[b][2].data(), t.stage_im[b][3].data()};
    if (s == 1 && m >= 4) {
        // One sequence: four neighbouring p at once, their outputs turned into rows of 4 p + l.
        for (int p = 0; p < m; p += 4) {
            f32x4 ar[4], ai[4], wr[4], wi[4], br[4], bi[4];
            for (int k = 0; k < 4; ++k) {
                ar[k] = load4(xr + p + k * m);
                ai[k] = load4(xi + p + k * m);
            }
            for (int l = 1; l < 4; ++l) {
                wr[l] = load4(w_re[l] + p);
                wi[l] = load4(w_im[l] + p);
            }
            butterfly4(ar, ai, wr, wi, br, bi);
            transpose(br);
            transpose(bi);
            for (int k = 0; k < 4; ++k) {
                store4(yr + 4 * (p + k), br[k]);
                store4(yi + 4 * (p + k), bi[k]);
            }
        }
        return;
    }
    for (int p = 0; p < m; ++p) {
        const float* ar = xr + s * p;
        const float* ai = xi + s * p;
        float* br = yr + s * 4 * p;
        float* bi = yi + s * 4 * p;
        if (s % 4 == 0) {
            f32x4 wr[4], wi[4];
            for (int l = 1; l < 4; ++l) {
                wr[l] = splat4(w_re[l][p]);
                wi[l] = splat4(w_im[l][p]);
            }
            for (int q = 0; q < s; q += 4) {
                f32x4 inr[4], ini[4], outr[4], outi[4];
                for (int k = 0; k < 4; ++k) {
                    inr[k] = load4(ar + q + k * s * m);
                    ini[k] = load4(ai + q + k * s * m);
                }
                butterfly4(inr, ini, wr, wi, outr, outi);
                for (int l = 0; l < 4; ++l) {
                    store4(br + q + l * s, outr[l]);
                    store4(bi + q + l * s, outi[l]);
                }
            }
        } else {
            float wr[4], wi[4];
            for (int l = 1; l < 4; ++l) {
                wr[l] = w_re[l][p];
                wi[l] = w_im[l][p];
            }
            for (int q = 0; q < s; ++q) {
                float inr[4], ini[4], outr[4], outi[4];
                for (int k = 0; k < 4; ++k) {
                    inr[k] = ar[q + k * s * m];
                    ini[k] = ai[q + k * s * m];
                }
                butterfly4(inr, ini, wr, wi, outr, outi);
                for (int l = 0; l < 4; ++l) {
                    br[q + l * s] = outr[l];
                    bi[q + l * s] = outi[l];
                }
            }
        }
    }
}

// The last stage of an odd power of two: s sequences of two points.
void radix2_stage(const float* xr, const float* xi, float* yr, float* yi, int s) {
    int q = 0;
    for (; s % 4 == 0 && q < s; q += 4) {
        const f32x4 ar = load4(xr + q), ai = load4(xi + q), br = load4(xr + q + s), bi = load4(xi + q + s);
        store4(yr + q, ar + br);
        store4(yi + q, ai + bi);
        store4(yr + q + s, ar - br);
        store4(yi + q + s, ai - bi);
    }
    for (; q < s; ++q) {
        const float ar = xr[q], ai = xi[q], br = xr[q + s], bi = xi[q + s];
        yr[q] = ar + br;
        yi[q] = ai + bi;
        yr[q + s] = ar - br;
        yi[q + s] = ai - bi;
    }
}

inline f32x4 reverse4(f32x4 v) { return __builtin_shufflevector(v, v, 3, 2, 1, 0); }

// X[k] = E + W^k O, E = (Z[k] + conj Z[m - k]) / 2, O = -i (Z[k] - conj Z[m - k]) / 2, from a = Z[k],
// b = Z[m - k] and w = W^k.
template <class T>
inline void untangle(T ar, T ai, T br, T bi, T wr, T wi, T* xr, T* xi) {
    bi = -bi;
    const T half = T{} + 0.5f;
    const T er = (ar + br) * half, ei = (ai + bi) * half;
    const T o_r = (ai - bi) * half, oi = (br - ar) * half;
    *xr = er + (wr * o_r - wi * oi);
    *xi = ei + (wr * oi + wi * o_r);
}

// Z[k] = (X[k] + conj X[m - k]) + i (X[k] - conj X[m - k]) conj W^k, from a = X[k], b = X[m - k] and
// w = W^k.
template <class T>
inline void tangle(T ar, T ai, T br, T bi, T wr, T wi, T* zr, T* zi) {
    bi = -bi;
    const T er = ar + br, ei = ai + bi;
    const T dr = ar - br, di = ai - bi;
    const T o_r = dr * wr + di * wi, oi = di * wr - dr * wi;
    *zr = er - oi;
    *zi = ei + o_r;
}

// Runs f over k = 1 .. m - 1 with the values at k and at m - k, four k at a time where it can.
template <class F4, class F1>
inline void mirrored(const float* ar, const float* ai, const float* wr, const float* wi, float* xr, float* xi,
                     int m, F4 f4, F1 f1) {
    int k = 1;
    for (; k + 3 < m; k += 4) {
        f32x4 r, i;
        f4(load4(ar + k), load4(ai + k), reverse4(load4(ar + m - k - 3)), reverse4(load4(ai + m - k - 3)),
           load4(wr + k), load4(wi + k), &r, &i);
        store4(xr + k, r);
        store4(xi + k, i);
    }
    for (; k < m; ++k) f1(ar[k], ai[k], ar[m - k], ai[m - k], wr[k], wi[k], &xr[k], &xi[k]);
}

}  // namespace

void fft_split(float* re, float* im, int n, float* scratch_re, float* scratch_im) {
    if (!re || !im || !power_of_two(n)) return;
    float *xr = re, *xi = im, *yr = scratch_re, *yi = scratch_im;
    int s = 1;
    for (int size = n; size >= 2; size /= 4, s *= 4) {
        if (size == 2) {
            radix2_stage(xr, xi, yr, yi, s);
        } else {
            radix4_stage(xr, xi, yr, yi, size, s);
        }
        std::swap(xr, yr);
        std::swap(xi, yi);
    }
    if (xr != re) {
        for (int k = 0; k < n; ++k) {
            re[k] = xr[k];
            im[k] = xi[k];
        }
    }
}

RealFft::RealFft()
    : zr_(kFftMaxPoints / 2), zi_(kFftMaxPoints / 2), sr_(kFftMaxPoints / 2), si_(kFftMaxPoints / 2) {}

// The even and odd values as one complex sequence z of m = n / 2 points, transformed and taken apart.
void RealFft::forward(const float* x, int n, float* re, float* im) {
    if (!x || !re || !im || n < 4 || !power_of_two(n)) return;
    const int m = n / 2;
    float* __restrict zr = zr_.data();
    float* __restrict zi = zi_.data();
    for (int j = 0; j < m; ++j) {
        zr[j] = x[2 * j];
        zi[j] = x[2 * j + 1];
    }
    fft_split(zr, zi, m, sr_.data(), si_.data());
    const Twiddles& t = twiddles();
    const float* __restrict wr = t.half_re[log2_of(n)].data();
    const float* __restrict wi = t.half_im[log2_of(n)].data();
    re[0] = zr[0] + zi[0];
    im[0] = 0.0f;
    re[m] = zr[0] - zi[0];
    im[m] = 0.0f;
    mirrored(zr, zi, wr, wi, re, im, m, untangle<f32x4>, untangle<float>);
}

// Z put together from X; its inverse transform gives the even values as its real parts and the odd
// ones as its imaginary parts.
void RealFft::inverse(const float* re, const float* im, int n, float* x) {
    if (!x || !re || !im || n < 4 || !power_of_two(n)) return;
    const int m = n / 2;
    float* __restrict zr = zr_.data();
    float* __restrict zi = zi_.data();
    const Twiddles& t = twiddles();
    const float* __restrict wr = t.half_re[log2_of(n)].data();
    const float* __restrict wi = t.half_im[log2_of(n)].data();
    zr[0] = re[0] + re[m];
    zi[0] = re[0] - re[m];
    mirrored(re, im, wr, wi, zr, zi, m, tangle<f32x4>, tangle<float>);
    // The inverse transform is the forward one with real and imaginary parts exchanged.
    fft_split(zi, zr, m, si_.data(), sr_.data());
    for (int j = 0; j < m; ++j) {
        x[2 * j] = zr[j];
        x[2 * j + 1] = zi[j];
    }
}

void fx_fft(float* data, int n, int sign) {
    if (!data || !power_of_two(n)) return;
    std::vector<float> re(n), im(n), scratch_re(n), scratch_im(n);
    for (int k = 0; k < n; ++k) {
        re[k] = data[2 * k];
        im[k] = data[2 * k + 1];
    }
    if (sign < 0) {
        fft_split(re.data(), im.data(), n, scratch_re.data(), scratch_im.data());
    } else {
        fft_split(im.data(), re.data(), n, scratch_im.data(), scratch_re.data());
    }
    for (int k = 0; k < n; ++k) {
        data[2 * k] = re[k];
        data[2 * k + 1] = im[k];
    }
}

}  // namespace soundfx
