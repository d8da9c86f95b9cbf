// Hybrid filterbank: short-block reordering, alias reduction, IMDCT with windowing and overlap-add,
// frequency inversion.
#include <cmath>
#include <cstring>
#include "media/mpa/mpa_layer3.h"

namespace mpa {

namespace {

struct HybridTables {
    // Long IMDCT: the 18 distinct outputs (0..8 and 18..26) as rows of 18 input weights, input-major
    // so that the inner loop runs over outputs.
    float long_matrix[18][18];
    float short_matrix[6][12];
    float long_window[4][36];  // by block type (2 unused)
    float short_window[12];
    float cs[8], ca[8];

    HybridTables() {
        for (int k = 0; k < 18; ++k)
            for (int j = 0; j < 18; ++j) {
                const int i = j < 9 ? j : 18 + (j - 9);
                long_matrix[k][j] = float(std::cos(M_PI / 72 * (2 * i + 19) * (2 * k + 1)));
            }
        for (int k = 0; k < 6; ++k)
            for (int i = 0; i < 12; ++i) short_matrix[k][i] = float(std::cos(M_PI / 24 * (2 * i + 7) * (2 * k + 1)));
        for (int i = 0; i < 36; ++i) long_window[0][i] = float(std::sin(M_PI / 36 * (i + 0.5)));
        for (int i = 0; i < 36; ++i) {
            double start, stop;
            if (i < 18) start = std::sin(M_PI / 36 * (i + 0.5));
            else if (i < 24) start = 1;
            else if (i < 30) start = std::sin(M_PI / 12 * (i - 18 + 0.5));
            else start = 0;
            if (i < 6) stop = 0;
            else if (i < 12) stop = std::sin(M_PI / 12 * (i - 6 + 0.5));
            else if (i < 18) stop = 1;
            else stop = std::sin(M_PI / 36 * (i + 0.5));
            long_window[1][i] = float(start);
            long_window[3][i] = float(stop);
            long_window[2][i] = 0;
        }
        for (int i = 0; i < 12; ++i) short_window[i] = float(std::sin(M_PI / 12 * (i + 0.5)));
        for (int i = 0; i < 8; ++i) {
            const double c = kAliasCoefficients[i], d = std::sqrt(1 + c * c);
            cs[i] = float(1 / d);
            ca[i] = float(c / d);
        }
    }
};
const HybridTables& tables() {
    static const HybridTables t;
    return t;
}

// Short-block lines are sent band by band, window by window; the IMDCT wants the three windows of a
// line side by side.
void reorder(const BandEdges& e, int first_band, float* xr) {
    float tmp[kLines];
    const int start = 3 * e.short_edge[first_band];
    for (int b = first_band; b < 13; ++b) {
        const int width = e.short_edge[b + 1] - e.short_edge[b];
        const int base = 3 * e.short_edge[b];
        for (int w = 0; w < 3; ++w)
            for (int f = 0; f < width; ++f) tmp[base + 3 * f + w] = xr[base + w * width + f];
    }
    std::memcpy(xr + start, tmp + start, sizeof(float) * (kLines - start));
}

void alias_reduce(float* xr, int boundaries) {
    const HybridTables& t = tables();
    for (int k = 1; k <= boundaries; ++k) {
        float* lo = xr + 18 * k - 1;
        float* hi = xr + 18 * k;
        for (int i = 0; i < 8; ++i) {
            const float a = lo[-i], b = hi[i];
            lo[-i] = a * t.cs[i] - b * t.ca[i];
            hi[i] = b * t.cs[i] + a * t.ca[i];
        }
    }
}

// 18 lines of one sub-band -> 36 windowed samples: first half added to the overlap into `out`, second
// half kept as the next overlap.
void imdct_long(const float* in, const float* window, float* overlap, float* out) {
    const HybridTables& t = tables();
    float u[18] = {};
    for (int k = 0; k < 18; ++k) {
        const float x = in[k];
        const float* row = t.long_matrix[k];
        for (int j = 0; j < 18; ++j) u[j] += x * row[j];
    }
    for (int i = 0; i < 9; ++i) {
        out[i] = overlap[i] + u[i] * window[i];
        out[17 - i] = overlap[17 - i] - u[i] * window[17 - i];
        overlap[i] = u[9 + i] * window[18 + i];
        overlap[17 - i] = u[9 + i] * window[35 - i];
    }
}

void imdct_short(const float* in, float* overlap, float* out) {
    const HybridTables& t = tables();
    float z[36] = {};
    for (int w = 0; w < 3; ++w) {
        float y[12] = {};
        for (int k = 0; k < 6; ++k) {
            const float x = in[3 * k + w];
            for (int i = 0; i < 12; ++i) y[i] += x * t.short_matrix[k][i];
        }
        for (int i = 0; i < 12; ++i) z[6 + 6 * w + i] += y[i] * t.short_window[i];
    }
    for (int i = 0; i < 18; ++i) {
        out[i] = overlap[i] + z[i];
        overlap[i] = z[18 + i];
    }
}

}  // namespace

void hybrid(const StreamParams& p, const GranuleInfo& g, int downsample, ChannelSpectrum* c, float overlap[32][18],
            float out[18][32]) {
    const int sblimit = 32 >> downsample;
    const int mixed_long = p.eight_khz ? 4 : 2;  // sub-bands of a mixed block that take the long transform
    float* xr = c->xr;

    if (g.short_block()) reorder(*p.edges, g.mixed ? 3 : 0, xr);

    int boundaries;
    if (!g.short_block())
        boundaries = c->subband_count < sblimit - 1 ? c->subband_count : sblimit - 1;
    else if (!g.mixed)
        boundaries = 0;
    else
        boundaries = mixed_long - 1;
    alias_reduce(xr, boundaries);

    int transformed = c->subband_count + 1;
    if (transformed > sblimit) transformed = sblimit;
    const float* normal = tables().long_window[0];
    const float* window = g.short_block() ? normal : tables().long_window[g.block_type];
    for (int sb = 0; sb < sblimit; ++sb) {
        float samples[18];
        if (sb >= transformed) {
            std::memcpy(samples, overlap[sb], sizeof(samples));
            std::memset(overlap[sb], 0, sizeof(overlap[sb]));
        } else if (!g.short_block()) {
            imdct_long(xr + 18 * sb, window, overlap[sb], samples);
        } else if (g.mixed && sb < mixed_long) {
            imdct_long(xr + 18 * sb, normal, overlap[sb], samples);
        } else {
            imdct_short(xr + 18 * sb, overlap[sb], samples);
        }
        if (sb & 1)
            for (int t = 1; t < 18; t += 2) samples[t] = -samples[t];
        for (int t = 0; t < 18; ++t) out[t][sb] = samples[t];
    }
}

}  // namespace mpa
