// Joint-stereo processing (mid/side and intensity) and the mono mix-down.
#include <cmath>
#include "media/mpa/mpa_layer3.h"

namespace mpa {

namespace {

constexpr int kNoBound = 1 << 30;
constexpr float kInvSqrt2 = 0.70710678118654752f;

struct IntensityFactors {
    float mpeg1_left[7], mpeg1_right[7];  // t / (1 + t) and 1 / (1 + t), t = tan(p pi / 12)
    float lsf[2][16];                     // io^n for the two intensity scales
    IntensityFactors() {
        for (int p = 0; p < 7; ++p) {
            const double a = p * M_PI / 12, s = std::sin(a), c = std::cos(a);
            mpeg1_left[p] = float(s / (s + c));
            mpeg1_right[p] = float(c / (s + c));
        }
        for (int n = 0; n < 16; ++n) {
            lsf[0][n] = float(std::pow(2.0, -0.25 * n));
            lsf[1][n] = float(std::pow(2.0, -0.5 * n));
        }
    }
};
const IntensityFactors& factors() {
    static const IntensityFactors f;
    return f;
}

struct Context {
    const StreamParams& p;
    bool ms;
    bool mono;
    int intensity_scale;  // the right channel's, MPEG-2/2.5
    float* l;
    float* r;
};

// One band (lines start..end) below the bound or with the illegal position: mid/side or left/right.
void plain_band(const Context& c, int start, int end) {
    float* l = c.l;
    float* r = c.r;
    if (c.ms) {
        if (c.mono) {
            for (int i = start; i < end; ++i) l[i] *= kInvSqrt2;
        } else {
            for (int i = start; i < end; ++i) {
                const float m = l[i], s = r[i];
                l[i] = (m + s) * kInvSqrt2;
                r[i] = (m - s) * kInvSqrt2;
            }
        }
    } else if (c.mono) {
        for (int i = start; i < end; ++i) l[i] = (l[i] + r[i]) * 0.5f;
    }
}

// One intensity-coded band with position `position`, from the left channel's values.
void intensity_band(const Context& c, int start, int end, int position) {
    float kl, kr;
    if (c.p.version == 0) {
        kl = factors().mpeg1_left[position];
        kr = factors().mpeg1_right[position];
    } else {
        const float* io = factors().lsf[c.intensity_scale];
        if (position & 1) {
            kl = io[(position + 1) / 2];
            kr = 1;
        } else {
            kl = 1;
            kr = io[position / 2];
        }
    }
    float* l = c.l;
    float* r = c.r;
    if (c.mono) {
        const float k = (kl + kr) * 0.5f;
        for (int i = start; i < end; ++i) l[i] *= k;
    } else {
        for (int i = start; i < end; ++i) {
            const float x = l[i];
            l[i] = x * kl;
            r[i] = x * kr;
        }
    }
}

void band(const Context& c, int start, int end, int index, int bound, int position, int illegal) {
    const bool is_illegal = c.p.version == 0 ? position >= 7 : position == illegal;
    if (index < bound || is_illegal)
        plain_band(c, start, end);
    else
        intensity_band(c, start, end, position);
}

inline int larger(int a, int b) { return a > b ? a : b; }

void long_bands(const Context& c, const ChannelSpectrum& right, int first, int end, int bound) {
    const BandEdges& e = *c.p.edges;
    for (int b = first; b < end; ++b)
        band(c, e.long_edge[b], e.long_edge[b + 1], b, bound, right.scalefac_l[b], right.illegal_l[b]);
}

void short_bands(const Context& c, const ChannelSpectrum& right, int first, int end, const int bound[3]) {
    const BandEdges& e = *c.p.edges;
    for (int w = 0; w < 3; ++w) {
        for (int b = first; b < end; ++b) {
            const int width = e.short_edge[b + 1] - e.short_edge[b];
            const int start = 3 * e.short_edge[b] + w * width;
            band(c, start, start + width, b, bound[w], right.scalefac_s[b][w], right.illegal_s[b]);
        }
    }
}

void merge_counts(const StreamParams& p, ChannelSpectrum* a, ChannelSpectrum* b) {
    const int extent = larger(a->extent, b->extent);
    const int long_count = larger(a->long_count, b->long_count);
    const int short_count = larger(a->short_count, b->short_count);
    a->extent = b->extent = extent;
    a->long_count = b->long_count = long_count;
    a->short_count = b->short_count = short_count;
    for (int w = 0; w < 3; ++w) a->window_count[w] = b->window_count[w] = larger(a->window_count[w], b->window_count[w]);
    update_subband_count(p, a);
    update_subband_count(p, b);
}

}  // namespace

void stereo_process(const StreamParams& p, const GranuleInfo& left_info, const GranuleInfo& right_info, bool mono,
                    ChannelSpectrum* left, ChannelSpectrum* right) {
    if (p.channels != 2) return;
    if (p.mode != 1) {
        if (mono) {
            const int extent = larger(left->extent, right->extent);
            for (int i = 0; i < extent; ++i) left->xr[i] = (left->xr[i] + right->xr[i]) * 0.5f;
            merge_counts(p, left, right);
        }
        return;
    }
    const bool intensity = p.mode_extension & 1;
    Context c{p, (p.mode_extension & 2) != 0, mono, right_info.scalefac_compress & 1, left->xr, right->xr};

    if (!left_info.short_block()) {
        const int bound = intensity ? right->long_count : kNoBound;
        long_bands(c, *right, 0, larger(left->long_count, right->long_count), bound);
    } else if (!left_info.mixed) {
        int bound[3];
        for (int w = 0; w < 3; ++w) bound[w] = intensity ? right->window_count[w] : kNoBound;
        short_bands(c, *right, 0, larger(left->short_count, right->short_count), bound);
    } else {
        const int long_end = p.version == 0 ? 8 : 6;
        const int long_bound = intensity && right->long_only ? right->long_count : kNoBound;
        long_bands(c, *right, 0, long_end, long_bound);
        int bound[3];
        for (int w = 0; w < 3; ++w)
            bound[w] = !intensity ? kNoBound : (right->long_only ? 0 : right->window_count[w]);
        short_bands(c, *right, 3, larger(left->short_count, right->short_count), bound);
    }
    merge_counts(p, left, right);
}

}  // namespace mpa
