// The DSP building blocks against hand-worked values and analytic responses.
#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include "reference.h"
#include "soundfx/core/dsp/chebyshev.h"
#include "soundfx/core/dsp/delay_line.h"
#include "soundfx/core/dsp/fft.h"
#include "soundfx/core/dsp/filter_cascade.h"
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/dsp/random.h"
#include "soundfx/core/dsp/shelf.h"
#include "soundfx/core/dsp/vector_math.h"

using namespace soundfx;

TEST(Clip16, RoundsHalfToEvenAndSaturates) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float x;
        int expected;
    } cases[] = {{32767.4f, 32767}, {32768.0f, 32767}, {-40000.0f, -32768}, {2.5f, 2},   {3.5f, 4},
                 {-2.5f, -2},       {nan, 0},          {-2e7f, -32768},     {1.5f, 2},   {-32768.4f, -32768},
                 {std::numeric_limits<float>::infinity(), 32767},           {-0.4f, 0}};
    for (const Case& c : cases) EXPECT_EQ(c.expected, fx_clip16(c.x)) << c.x;
}

TEST(WriteBack, TruncatesTowardZeroSaturatesAndMapsNanToZero) {
    struct Case {
        double x;
        int expected;
    } cases[] = {{1.9, 1},           {-1.9, -1},        {32767.9, 32767}, {40000, 32767},
                 {-32768.5, -32768}, {-1e30, -32768},   {std::nan(""), 0}, {-std::numeric_limits<double>::infinity(), -32768}};
    for (const Case& c : cases) EXPECT_EQ(c.expected, to_pcm16_trunc(c.x)) << c.x;
}

TEST(Levels, DecibelsAndSmoothing) {
    EXPECT_NEAR(0.1, fx_db_to_gain(-20), 1e-12);
    EXPECT_NEAR(std::sqrt(10.0), fx_db_to_gain(10), 1e-12);
    EXPECT_NEAR(1 - 1 / 44.1, fx_smooth_coef(1, 44100), 1e-12);
}

TEST(Random, FollowsTheRuntimesSequenceFromSeedOne) {
    // The first values rand() gives without srand in the Windows C runtime.
    Random r;
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724}) EXPECT_EQ(expected, r.next());
}

TEST(DelayLine, TapZeroIsTheLastPushAndTapNTheOldest) {
    DelayLine line;
    fx_delay_alloc(&line, 5);
    EXPECT_EQ(6, line.length);
    for (int i = 1; i <= 20; ++i) fx_delay_push(&line, float(i));
    EXPECT_EQ(20.0f, fx_delay_tap(&line, 0));
    EXPECT_EQ(19.0f, fx_delay_tap(&line, 1));
    EXPECT_EQ(15.0f, fx_delay_tap(&line, 5));
    EXPECT_EQ(15.0f, fx_delay_tap(&line, 99)) << "a tap beyond the line stays on its oldest sample";
    fx_delay_free(&line);
    EXPECT_TRUE(line.samples.empty());
}

TEST(Fft, MatchesAPlainDftFrom8To8192PointsBothWays) {
    for (int n = 8; n <= 8192; n *= 2) {
        for (int sign : {-1, 1}) {
            std::vector<ref::cd> x(n);
            std::vector<float> data(2 * n);
            const auto re = ref::noise(1.0, n, uint32_t(n)), im = ref::noise(1.0, n, uint32_t(n + 1));
            for (int i = 0; i < n; ++i) {
                x[i] = {re[i], im[i]};
                data[2 * i] = float(re[i]);
                data[2 * i + 1] = float(im[i]);
            }
            fx_fft(data.data(), n, sign);
            const auto expected = ref::dft(x, sign);
            double worst = 0;
            for (int k = 0; k < n; ++k)
                worst = std::max(worst, std::abs(expected[k] - ref::cd(data[2 * k], data[2 * k + 1])));
            // Single precision: the error grows with log2(n) and the size of the sums (about sqrt(n)).
            EXPECT_LT(worst, 2e-6 * std::sqrt(double(n)) * std::log2(double(n))) << n << " points, sign " << sign;
        }
    }
}

TEST(RealFft, BothWaysMatchAPlainDftFrom4To8192Points) {
    RealFft fft;
    for (int n = 4; n <= 8192; n *= 2) {
        const auto x = ref::noise(1.0, n, uint32_t(3 * n));
        std::vector<ref::cd> xc(x.begin(), x.end());
        const auto spectrum = ref::dft(xc, -1);
        std::vector<float> xf(x.begin(), x.end()), re(n / 2 + 1), im(n / 2 + 1);
        fft.forward(xf.data(), n, re.data(), im.data());
        const double bound = 2e-6 * std::sqrt(double(n)) * std::log2(double(n));
        double worst = 0;
        for (int k = 0; k <= n / 2; ++k) worst = std::max(worst, std::abs(spectrum[k] - ref::cd(re[k], im[k])));
        EXPECT_LT(worst, bound) << n << " points forward";

        // Back from a half spectrum of its own: the inverse reads bins 0..n/2 as a Hermitian spectrum.
        const auto yr = ref::noise(1.0, n / 2 + 1, uint32_t(n + 5)), yi = ref::noise(1.0, n / 2 + 1, uint32_t(n + 6));
        std::vector<ref::cd> full(n);
        for (int k = 0; k <= n / 2; ++k) {
            const bool real_bin = k == 0 || k == n / 2;
            full[k] = {yr[k], real_bin ? 0.0 : yi[k]};
            if (k > 0 && k < n / 2) full[n - k] = std::conj(full[k]);
            re[k] = float(yr[k]);
            im[k] = float(yi[k]);
        }
        const auto expected = ref::dft(full, 1);
        std::vector<float> out(n);
        fft.inverse(re.data(), im.data(), n, out.data());
        worst = 0;
        for (int j = 0; j < n; ++j) worst = std::max(worst, std::abs(expected[j].real() - out[j]));
        EXPECT_LT(worst, bound) << n << " points inverse";
    }
}

TEST(VectorMath, Atan2AndSinCosFollowTheLibraryToAFewUnitsInTheLastPlace) {
    // atan2 over every direction and size, with the signs of zero as atan2 gives them.
    const float zeros[][2] = {{0.0f, 0.0f}, {-0.0f, 0.0f}, {0.0f, -0.0f}, {-0.0f, -0.0f}, {1.0f, -0.0f}, {-2.0f, 0.0f}};
    for (const auto& z : zeros) {
        const f32x4 r = atan2_4(splat4(z[0]), splat4(z[1]));
        EXPECT_EQ(std::atan2(z[0], z[1]), r[0]) << z[0] << ", " << z[1];
        EXPECT_EQ(std::signbit(std::atan2(z[0], z[1])), std::signbit(r[0])) << z[0] << ", " << z[1];
    }
    double worst = 0;
    for (int i = 0; i < 20000; ++i) {
        const double a = 2 * ref::kPi * i / 20000 - ref::kPi, size = std::pow(10.0, (i % 13) - 6);
        const float y = float(size * std::sin(a)), x = float(size * std::cos(a));
        worst = std::max(worst, std::fabs(atan2_4(splat4(y), splat4(x))[0] - std::atan2(double(y), double(x))));
    }
    EXPECT_LT(worst, 1e-6);
    worst = 0;
    for (int i = -40000; i <= 40000; ++i) {
        const float x = float(i * 1e-3);  // -40..40 radians
        f32x4 s, c;
        sincos4(splat4(x), &s, &c);
        worst = std::max({worst, std::fabs(s[0] - std::sin(double(x))), std::fabs(c[0] - std::cos(double(x)))});
    }
    EXPECT_LT(worst, 3e-7);
}

TEST(VectorMath, LogAndExpFollowTheLibraryToAFewUnitsInTheLastPlace) {
    double worst = 0;
    for (int i = 0; i < 100000; ++i) {
        const float x = float(std::pow(10.0, -30 + 60.0 * i / 100000));
        worst = std::max(worst, std::fabs(log4(splat4(x))[0] - std::log(double(x))) / std::max(1.0, std::fabs(std::log(double(x)))));
    }
    EXPECT_LT(worst, 2.5e-7);
    worst = 0;
    for (int i = 0; i <= 100000; ++i) {
        const float x = float(-87.0 + 175.0 * i / 100000);  // the normal range
        const double e = std::exp(double(x));
        worst = std::max(worst, std::fabs(exp4(splat4(x))[0] - e) / e);
    }
    EXPECT_LT(worst, 2.5e-7);
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const f32x4 logs = log4(f32x4{inf, 0.0f, -1.0f, nan}), exps = exp4(f32x4{89.0f, -110.0f, inf, nan});
    EXPECT_EQ(inf, logs[0]);
    EXPECT_EQ(-inf, logs[1]);
    EXPECT_TRUE(std::isnan(logs[2]) && std::isnan(logs[3]));
    EXPECT_EQ(inf, exps[0]);
    EXPECT_EQ(0.0f, exps[1]);
    EXPECT_EQ(inf, exps[2]);
    EXPECT_TRUE(std::isnan(exps[3]));
    EXPECT_EQ(0.0f, exp4(splat4(-inf))[0]);
}

namespace {
// Steady-state gain of the cascade at f Hz, measured on a sine.
ref::cd cascade_gain(int sections, double gain, double design, double f, int rate, bool lowpass) {
    FilterCascade c;
    fx_filter_setup(sections, gain, &c);
    fx_filter_design(design, rate, 2, &c);
    const int n = rate;  // one second
    const auto in = ref::sine(1000, f, rate, n);
    std::vector<float> v(in.begin(), in.end());
    if (lowpass) {
        fx_filter_lowpass(v.data(), n, &c, 1);
    } else {
        fx_filter_highpass(v.data(), n, &c, 1);
    }
    return ref::tone(std::vector<double>(v.begin(), v.end()), f, rate, n / 2) /
           ref::tone(in, f, rate, n / 2);
}
}  // namespace

TEST(OnePoleCascade, MatchesItsTransferFunctionsAcrossRates) {
    // One section: z = p z + x - xp with p = 1 - 2 pi f / r; high-pass (1 - z^-1) / (1 - p z^-1), low-pass
    // its complement (1 - p) z^-1 / (1 - p z^-1); each section applies the output gain.
    struct Case {
        int rate;
        double design, probe;
        int sections;
        double gain;
    } cases[] = {{44100, 350, 200, 1, 1.0}, {44100, 350, 1000, 4, 1.5}, {8000, 300, 700, 2, 1.0},
                 {48000, 3500, 5000, 10, 1.0}, {22050, 3000, 100, 4, 1.0}};
    for (const Case& c : cases) {
        const double p = 1 - 2 * ref::kPi * c.design / c.rate, theta = 2 * ref::kPi * c.probe / c.rate;
        const ref::cd z1 = std::polar(1.0, -theta);
        const ref::cd hp = c.gain * (1.0 - z1) / (1.0 - p * z1);
        const ref::cd lp = c.gain * (1.0 - p) * z1 / (1.0 - p * z1);
        const ref::cd hp_n = std::pow(hp, c.sections), lp_n = std::pow(lp, c.sections);
        const ref::cd got_hp = cascade_gain(c.sections, c.gain, c.design, c.probe, c.rate, false);
        const ref::cd got_lp = cascade_gain(c.sections, c.gain, c.design, c.probe, c.rate, true);
        EXPECT_NEAR(std::abs(hp_n), std::abs(got_hp), 2e-3 * std::abs(hp_n) + 2e-4) << c.rate << " " << c.design;
        EXPECT_NEAR(std::abs(lp_n), std::abs(got_lp), 2e-3 * std::abs(lp_n) + 2e-4) << c.rate << " " << c.design;
    }
}

TEST(OnePoleCascade, DesignAboveAThirdOfTheRateStaysStable) {
    // 3000 Hz at 8000 Hz would put the pole at 1 - 2 pi 3/8 = -1.36; the design holds it at 0.3 x rate.
    FilterCascade c;
    fx_filter_setup(4, 1.0, &c);
    fx_filter_design(3000, 8000, 1, &c);
    const double p = 1 - c.step * c.feedback;
    EXPECT_NEAR(1 - 2 * ref::kPi * 0.3, p, 1e-6);
    std::vector<float> v(80000, 0.0f);
    v[0] = 30000;
    fx_filter_lowpass(v.data(), int(v.size()), &c, 0);
    for (float x : v) ASSERT_TRUE(std::isfinite(x));
    EXPECT_LT(std::fabs(v.back()), 1e-3);
}

TEST(OnePoleCascade, ResonantFilterRingsAndDecays) {
    FilterCascade c;
    fx_filter_setup(1, 1.0, &c);
    std::vector<float> v(44100, 0.0f);
    v[0] = 1000;
    fx_filter_block(v.data(), int(v.size()), 0, 1000, &c, 0, 44100, 1);
    for (float x : v) ASSERT_TRUE(std::isfinite(x));
    EXPECT_EQ(0.0f, v.back());
}

namespace {
double section_power(const ChebyshevSection& s, double theta) {
    return std::norm(ref::biquad(s.a0, s.a1, s.a2, 1, -s.b1, -s.b2, theta));
}
}  // namespace

TEST(Chebyshev, RippleZeroIsButterworth) {
    for (double fc : {1000.0, 5500.0, 12000.0}) {
        ChebyshevSection s;
        fx_chebyshev_design(176400, fc, 0, true, &s);
        EXPECT_NEAR(1.0, (s.a0 + s.a1 + s.a2) / (1 - s.b1 - s.b2), 1e-9) << fc;
        EXPECT_NEAR(0.5, section_power(s, 2 * ref::kPi * fc / 176400), 1e-9) << fc;
        // Second order: -12 dB an octave well above the corner (bilinear: a little more).
        EXPECT_LT(section_power(s, 2 * ref::kPi * 4 * fc / 176400), 1.0 / 200);
        ChebyshevSection h;
        fx_chebyshev_design(176400, fc, 0, false, &h);
        EXPECT_NEAR(0.5, section_power(h, 2 * ref::kPi * fc / 176400), 1e-9) << fc;
        EXPECT_NEAR(1.0, section_power(h, ref::kPi), 1e-9);
    }
}

TEST(Chebyshev, OnePercentRippleHasItsEquiripplePassband) {
    // Two poles with ripple r percent: the passband swings between |H(0)| and |H(0)| x 100 / (100 - r),
    // and at the corner the response is 3 dB below the passband's peak.
    ChebyshevSection s;
    fx_chebyshev_design(176400, 12000, 1, true, &s);
    const double dc = section_power(s, 0);
    double peak = 0;
    for (int i = 0; i <= 1000; ++i) peak = std::max(peak, section_power(s, 2 * ref::kPi * 12000 * i / 1000 / 176400));
    EXPECT_NEAR(100.0 / 99.0, std::sqrt(peak / dc), 1e-6);
    EXPECT_NEAR(0.5, section_power(s, 2 * ref::kPi * 12000 / 176400) / peak, 1e-4);
}

TEST(Shelf, HasTheCookbookShelfGains) {
    // Low shelf with S = 1: DC gain A^2 (the full gain), Nyquist 1, A (half the gain in dB) at f0.
    for (double gain : {0.0, 12.0, 36.0}) {
        for (double f : {10.0, 200.0, 1000.0}) {
            ShelfFilter s;
            fx_bass_design(f, gain, 44100, &s);
            const double A = std::pow(10.0, gain / 40);
            EXPECT_NEAR(A * A, std::abs(ref::biquad(s.biquad.b0, s.biquad.b1, s.biquad.b2, s.biquad.a0, s.biquad.a1, s.biquad.a2, 0)), 1e-6 * A * A);
            EXPECT_NEAR(1.0, std::abs(ref::biquad(s.biquad.b0, s.biquad.b1, s.biquad.b2, s.biquad.a0, s.biquad.a1, s.biquad.a2, ref::kPi)), 1e-9);
            EXPECT_NEAR(A, std::abs(ref::biquad(s.biquad.b0, s.biquad.b1, s.biquad.b2, s.biquad.a0, s.biquad.a1, s.biquad.a2, 2 * ref::kPi * f / 44100)), 1e-6 * A);
        }
    }
    ShelfFilter low;
    fx_bass_design(1, 12, 48000, &low);
    EXPECT_EQ(10.0, low.freq) << "below 10 Hz the shelf's poles crowd the unit circle";
}
