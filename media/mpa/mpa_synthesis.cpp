// Polyphase synthesis filterbank. For M sub-bands (32, or 16 and 8 at half and quarter rate) each slot
// is one DCT-II of size M, whose 2M-value vector V enters a ring of 16; an output sample is the window
// applied to the ring (the standard's matrixing and windowing, rearranged).
#include <cmath>
#include <cstring>
#include "media/mpa/mpa_layer3.h"

namespace mpa {

namespace {

struct SynthesisTables {
    float dct_factor[64];        // 1 / (2 cos(pi (2n + 1) / 2N)) for N = 32, 16, 8, 4, 2 at offsets N
    float window[3][16][32];     // by downsampling: weight of ring slot t-k for output j
    SynthesisTables() {
        for (int n = 2; n <= 32; n *= 2)
            for (int i = 0; i < n / 2; ++i) dct_factor[n + i] = float(0.5 / std::cos(M_PI * (2 * i + 1) / (2 * n)));
        for (int ds = 0; ds < 3; ++ds) {
            const int m = 32 >> ds, step = 1 << ds;
            for (int k = 0; k < 16; ++k)
                for (int j = 0; j < m; ++j) {
                    const int n = 2 * m * (k / 2) + (k & 1) * m + j;
                    window[ds][k][j] = float(kSynthesisWindow[n * step] / 65536.0);
                }
        }
    }
};
const SynthesisTables& tables() {
    static const SynthesisTables t;
    return t;
}

// DCT-II, X[k] = sum x[n] cos(pi (2n + 1) k / 2N), by halving (B. G. Lee's recursion).
template <int N>
struct Dct {
    static inline void run(const float* x, float* out) {
        constexpr int H = N / 2;
        const float* factor = tables().dct_factor + N;
        float a[H], b[H], ea[H], eb[H];
        for (int n = 0; n < H; ++n) {
            a[n] = x[n] + x[N - 1 - n];
            b[n] = (x[n] - x[N - 1 - n]) * factor[n];
        }
        Dct<H>::run(a, ea);
        Dct<H>::run(b, eb);
        for (int k = 0; k < H - 1; ++k) {
            out[2 * k] = ea[k];
            out[2 * k + 1] = eb[k] + eb[k + 1];
        }
        out[N - 2] = ea[H - 1];
        out[N - 1] = eb[H - 1];
    }
};
template <>
struct Dct<1> {
    static inline void run(const float* x, float* out) { out[0] = x[0]; }
};

// The 2M-value vector of one slot from the DCT of its sub-band samples.
template <int M>
inline void matrix(const float* in, float* v) {
    float x[M];
    Dct<M>::run(in, x);
    for (int i = 0; i < M / 2; ++i) v[i] = x[i + M / 2];
    v[M / 2] = 0;
    for (int i = M / 2 + 1; i <= 3 * M / 2; ++i) v[i] = -x[3 * M / 2 - i];
    for (int i = 3 * M / 2 + 1; i < 2 * M; ++i) v[i] = -x[i - 3 * M / 2];
}

inline int16_t to_pcm(float f) {
    if (f > 32767.0f) f = 32767.0f;
    if (f < -32767.0f) f = -32767.0f;
    return int16_t(f);  // toward zero
}

template <int M>
void run(SynthesisState* s, const float (*window)[32], const float in[18][32], int16_t* pcm, int step) {
    for (int t = 0; t < 18; ++t) {
        s->slot = (s->slot + 1) & 15;
        matrix<M>(in[t], s->v[s->slot]);
        float acc[M] = {};
        for (int k = 0; k < 16; ++k) {
            const float* v = s->v[(s->slot - k) & 15] + (k & 1) * M;
            const float* w = window[k];
            for (int j = 0; j < M; ++j) acc[j] += w[j] * v[j];
        }
        for (int j = 0; j < M; ++j) pcm[(t * M + j) * step] = to_pcm(acc[j]);
    }
}

}  // namespace

void synthesize(SynthesisState* s, int downsample, const float in[18][32], int16_t* pcm, int step) {
    const float (*window)[32] = tables().window[downsample];
    switch (downsample) {
        case 0: run<32>(s, window, in, pcm, step); break;
        case 1: run<16>(s, window, in, pcm, step); break;
        default: run<8>(s, window, in, pcm, step); break;
    }
}

}  // namespace mpa
