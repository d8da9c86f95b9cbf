// The pitch shifter against the same phase vocoder worked here in double precision with a plain
// radix-2 transform: the single-precision effect may differ from it by rounding only.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include "reference.h"
#include "soundfx/core/effects/pitch_shifter.h"

using namespace soundfx;

namespace {

// In-place radix-2 transform in double precision, sign -1 forward, +1 inverse, no scaling.
void fft(std::vector<ref::cd>& a, int sign) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j |= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = sign * 2 * ref::kPi / double(len);
        for (size_t start = 0; start < n; start += len) {
            for (size_t k = 0; k < len / 2; ++k) {
                const ref::cd w = std::polar(1.0, angle * double(k));
                const ref::cd u = a[start + k], v = a[start + k + len / 2] * w;
                a[start + k] = u + v;
                a[start + k + len / 2] = u - v;
            }
        }
    }
}

// The phase vocoder: frames of n samples every n / o samples, Hann window; each bin's frequency from
// its phase advance; output bin k takes input bin k / ratio; resynthesis from the running phases and
// overlap-add scaled by 2 / (n / 2 * o). The output lags by n - n / o samples. From sample `change`
// on the ratio is `later`.
std::vector<double> vocoder(const std::vector<double>& x, double first, int n, int o, double rate, size_t change = 0,
                            double later = 0) {
    const int half = n / 2, step = n / o, latency = n - step;
    const double bin = rate / n, expected = 2 * ref::kPi * step / n;
    std::vector<double> in(n, 0.0), out(n, 0.0), accum(2 * n, 0.0), last(half + 1, 0.0), sum(half + 1, 0.0);
    std::vector<double> window(n), y(x.size());
    for (int k = 0; k < n; ++k) window[k] = 0.5 - 0.5 * std::cos(2 * ref::kPi * k / n);
    int rover = latency;
    for (size_t j = 0; j < x.size(); ++j) {
        in[rover] = x[j];
        y[j] = out[rover - latency];
        if (++rover < n) continue;
        rover = latency;
        const double ratio = change > 0 && j >= change ? later : first;
        std::vector<ref::cd> f(n);
        for (int k = 0; k < n; ++k) f[k] = in[k] * window[k];
        fft(f, -1);
        std::vector<double> freq(half + 1), magn(half + 1);
        for (int k = 0; k <= half; ++k) {
            const double phase = std::arg(f[k]);
            double d = phase - last[k] - k * expected;
            last[k] = phase;
            d -= 2 * ref::kPi * std::round(d / (2 * ref::kPi));
            freq[k] = (k + o * d / (2 * ref::kPi)) * bin;
            magn[k] = 2 * std::abs(f[k]);
        }
        std::vector<ref::cd> g(n, 0.0);
        const double inverse = 1.0 / ratio;
        for (int k = 0; k <= half; ++k) {
            const int i = int(k * inverse);
            if (i > half) continue;
            const double d = 2 * ref::kPi * (freq[i] * ratio - k * bin) / bin / o + k * expected;
            sum[k] += d;
            g[k] = std::polar(magn[i], sum[k]);
        }
        fft(g, 1);
        for (int k = 0; k < n; ++k) accum[k] += 2.0 / (half * o) * window[k] * g[k].real();
        std::copy(accum.begin(), accum.begin() + step, out.begin());
        std::copy(accum.begin() + step, accum.end(), accum.begin());
        std::fill(accum.end() - step, accum.end(), 0.0);
        std::copy(in.begin() + step, in.end(), in.begin());
    }
    return y;
}

}  // namespace

TEST(PitchShifter, FollowsThePhaseVocoderInDoublePrecision) {
    // Tones and a little noise, 0.6 s at 44100 Hz; the bound allows for the truncation to 16 bits and
    // single-precision rounding. No case resamples from the bin at N / 2: whenever that bin changes
    // sign its phase moves by exactly half a turn, which either way round is right, and the ratio
    // then makes the two ways differ.
    struct Case {
        float offset;
        int frame, depth;
    } cases[] = {{0.0f, 2048, 4}, {0.5f, 2048, 4}, {-0.7f, 1024, 8}, {0.3f, 4096, 4}, {1.0f, 1024, 2}, {0.0f, 4096, 1},
                 {0.4f, 2048, 3}, {0.25f, 1024, 6}, {0.0f, 2048, 7}};
    const int n = 26460;
    std::vector<double> x = ref::sine(6000, 441, 44100, n);
    const auto tone2 = ref::sine(3000, 1234.5, 44100, n, 1.0), noise = ref::noise(500, n, 9);
    for (int i = 0; i < n; ++i) x[i] += tone2[i] + noise[i];
    const auto pcm = ref::to_pcm(x);
    const std::vector<double> input(pcm.begin(), pcm.end());
    for (const Case& c : cases) {
        PitchShifter pitch;
        Random random;
        pitch.reset(Context{{44100, 1}, &random});
        pitch.set_params({c.offset, c.frame, c.depth});
        std::vector<int16_t> out = pcm;
        Work work;
        for (int start = 0; start < n; start += 1000) {
            SoundBlock b = sound::block(out.data() + start, size_t(std::min(1000, n - start)) * 2, 1, 44100);
            pitch.process(b, work);
        }
        const auto expected = vocoder(input, pitch.ratio(), c.frame, c.depth, 44100);
        double worst = 0;
        for (int i = 0; i < n; ++i) {
            const double e = std::clamp(expected[i], -32768.0, 32767.0);
            worst = std::max(worst, std::fabs(out[i] - e));
        }
        EXPECT_LT(worst, 1.5) << "offset " << c.offset << ", frame " << c.frame << ", depth " << c.depth;
    }
}

TEST(PitchShifter, ChangesOfRatioFollowThePhaseVocoderInDoublePrecision) {
    // Away from ratio 1 and back, and to it after another ratio, at a block boundary mid-stream.
    const float changes[][2] = {{0.0f, 0.4f}, {0.4f, 0.0f}, {-0.3f, 0.2f}, {0.0f, 0.0f}};
    const int n = 26000, at = 13000;
    std::vector<double> x = ref::sine(6000, 441, 44100, n);
    const auto noise = ref::noise(800, n, 4);
    for (int i = 0; i < n; ++i) x[i] += noise[i];
    const auto pcm = ref::to_pcm(x);
    for (const auto& c : changes) {
        PitchShifter pitch;
        Random random;
        pitch.reset(Context{{44100, 1}, &random});
        pitch.set_params({c[0], 2048, 4});
        const double first = pitch.ratio();
        std::vector<int16_t> out = pcm;
        Work work;
        for (int start = 0; start < n; start += 1000) {
            if (start == at) pitch.set_params({c[1], 2048, 4});
            SoundBlock b = sound::block(out.data() + start, size_t(std::min(1000, n - start)) * 2, 1, 44100);
            pitch.process(b, work);
        }
        const std::vector<double> input(pcm.begin(), pcm.end());
        const auto expected = vocoder(input, first, 2048, 4, 44100, at, pitch.ratio());
        double worst = 0;
        for (int i = 0; i < n; ++i) worst = std::max(worst, std::fabs(out[i] - std::clamp(expected[i], -32768.0, 32767.0)));
        EXPECT_LT(worst, 1.5) << "offset " << c[0] << " then " << c[1];
    }
}
