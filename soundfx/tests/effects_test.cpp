// Each effect on impulses, steady sines and edge cases, against references worked in double precision
// here (or by hand).
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include "reference.h"
#include "soundfx/core/dsp/chebyshev.h"
#include "soundfx/core/effect_set.h"

using namespace soundfx;

namespace {

// Runs pcm through the effect in blocks of block_frames frames.
std::vector<int16_t> run(Effect& e, std::vector<int16_t> pcm, int channels, int rate, int block_frames = 1024) {
    Work work;
    const size_t step = size_t(block_frames) * channels;
    for (size_t start = 0; start < pcm.size(); start += step) {
        SoundBlock b = sound::block(pcm.data() + start, std::min(step, pcm.size() - start) * 2, channels, rate);
        e.process(b, work);
    }
    return pcm;
}

struct Fixture {
    Random random;
    EffectSet set{random};
    Context context;
    Fixture(int rate, int channels) : context{{rate, channels}, &random} {
        for (int id = 1; id <= kEffectCount; ++id) set.by_id(id)->reset(context);
    }
};

}  // namespace

TEST(Echo, ImpulseRepeatsEveryDelayWithDecayOnItsOwnChannel) {
    // 11025 Hz stereo, gain k: out = g (x (1 + 0.2 k) + k out[n - D]), g = (0.25 k + 1) / (1.3 k + 1),
    // truncated at each step; an impulse on the left stays on the left.
    struct Case {
        float delay, gain;
        int block;
    } cases[] = {{0.01f, 0.5f, 64}, {0.1f, 1.0f, 500}, {0.37f, 0.3f, 4096}, {0.0f, 0.7f, 100}};
    for (const Case& c : cases) {
        Fixture f(11025, 2);
        f.set.echo.set_params({c.delay, c.gain});
        const int n = 11025 * 2, d = int(std::floor(11025 * double(c.delay)));
        std::vector<double> left(n, 0.0), right(n, 0.0);
        left[0] = 20000;
        left[n / 2] = -12345;
        const auto out = run(f.set.echo, ref::interleave({left, right}), 2, 11025, c.block);
        const double k = c.gain, g = (0.25 * k + 1) / (1.3 * k + 1);
        std::vector<double> expected(n);
        for (int i = 0; i < n; ++i) {
            // Within one block the echo reaches back only to earlier blocks.
            const bool reaches = d > 0 && i - d >= 0 && (i % c.block) < d;
            const double b = reaches ? expected[i - d] : 0.0;
            expected[i] = std::trunc(g * (left[i] * (1 + 0.2 * k) + k * b));
        }
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(expected[i], out[2 * i]) << "delay " << c.delay << " frame " << i;
            ASSERT_EQ(0, out[2 * i + 1]) << "delay " << c.delay << " frame " << i;
        }
    }
}

TEST(Echo, GainZeroPassesTheBlockAndLoudInputSaturates) {
    Fixture f(44100, 1);
    f.set.echo.set_params({0.1f, 0.0f});
    const auto x = ref::to_pcm(ref::noise(30000, 20000, 4));
    EXPECT_EQ(x, run(f.set.echo, x, 1, 44100));
    f.set.echo.set_params({0.1f, 1.0f});
    const auto loud = run(f.set.echo, std::vector<int16_t>(20000, 32000), 1, 44100, 4096);
    EXPECT_EQ(32767, loud.back());
}

TEST(SweepVoice, DepthZeroMixesTheInputWithTheLastPush) {
    // d = 0: t is the value pushed one sample before, the push is x + fb t, out = 0.85 (wet t + dry x) / 256.
    for (auto mode : {SweepVoice::kSweep, SweepVoice::kChorus}) {
        Fixture f(22050, 1);
        SweepVoice& v = mode == SweepVoice::kSweep ? f.set.sweep : f.set.chorus;
        v.set_params({250, 200, 0, 5, 100});
        const auto x = ref::noise(20000, 3000, 11);
        const auto out = ref::channel(run(v, ref::to_pcm(x), 1, 22050), 1, 0);
        double t = 0;
        for (size_t i = 0; i < x.size(); ++i) {
            const double xi = std::lround(x[i]);
            const double y = (250 * t + 200 * xi) / 256;
            t = xi + 100 * t / 256;
            ASSERT_NEAR(std::trunc(std::clamp(y * 0.85, -32768.0, 32767.0)), out[i], 1.0) << i;
        }
    }
}

TEST(SweepVoice, PhaseWrapsAt359AndTheRateMovesTheChorusDelay) {
    Fixture f(44100, 1);
    f.set.sweep.set_params({250, 200, 50, 10000, 100});  // 10 degrees a sample
    run(f.set.sweep, std::vector<int16_t>(36, 0), 1, 44100);
    EXPECT_FLOAT_EQ(0.0f, f.set.sweep.phase()) << "36 steps of 10 degrees end on 359 or more, which becomes 0";
    EXPECT_EQ(64 * 50, f.set.chorus.delay_for(0)) << "the chorus delay at the table's zero";
    EXPECT_EQ(0, f.set.chorus.delay_for(-16384));
    EXPECT_EQ(128 * 50, f.set.chorus.delay_for(16384));
    EXPECT_EQ(8 * 50, f.set.sweep.delay_for(1024));
    EXPECT_EQ(4 * 50, f.set.sweep.delay_for(0));
}

TEST(Vibrato, DepthZeroDelaysByTheRingAndPeriodOneKeepsIndexZero) {
    Fixture f(8000, 1);
    f.set.vibrato.set_swing(0, 1);
    const int len = f.set.vibrato.ring_length();
    const auto x = ref::noise(10000, 3 * len, 5);
    const auto out = ref::channel(run(f.set.vibrato, ref::to_pcm(x), 1, 8000), 1, 0);
    for (int i = len; i < 3 * len; ++i) ASSERT_EQ(std::lround(x[i - (len - 1)]), out[i]) << i;
    // Depth 3: the delay swings between 2 and 8 samples (D - 1 .. 3 D - 1).
    f.set.vibrato.set_swing(3, 400);
    const auto y = ref::channel(run(f.set.vibrato, ref::to_pcm(x), 1, 8000), 1, 0);
    for (int i = 2 * len; i < 3 * len; ++i) {
        bool found = false;
        for (int lag = 2; lag <= 8 && !found; ++lag) found = std::lround(x[i - lag]) == y[i];
        ASSERT_TRUE(found) << i;
    }
}

TEST(Vibrato, LongPeriodsAtHighRatesIndexTheirTable) {
    // period 100 at 48000 Hz stereo: rate x phase passes 2^31.
    Fixture f(48000, 2);
    f.set.vibrato.set_params({100, 100});
    EXPECT_EQ(96000, f.set.vibrato.period_samples());
    const auto out = run(f.set.vibrato, ref::interleave({ref::noise(9000, 100000, 1), ref::noise(9000, 100000, 2)}), 2,
                         48000, 4096);
    EXPECT_EQ(200000u, out.size());
}

TEST(Phaser, DepthZeroGivesNineTenthsOfTheInput) {
    Fixture f(44100, 2);
    f.set.phaser.set_depth_factor(0);
    const auto x = ref::noise(30000, 4000, 8);
    const auto out = ref::channel(run(f.set.phaser, ref::interleave({x, x}), 2, 44100), 2, 1);
    for (size_t i = 0; i < x.size(); ++i) ASSERT_EQ(std::trunc(0.9 * std::lround(x[i])), out[i]) << i;
}

TEST(Phaser, FeedbackAtItsSlidersEndStillDiesAway) {
    // Feedback 1 would make the loop an integrator that holds the output at full scale for good.
    Fixture f(44100, 1);
    f.set.phaser.set_params({10, 4000, 100, 100, 10});
    EXPECT_LT(f.set.phaser.feedback_factor(), 1.0);
    run(f.set.phaser, ref::to_pcm(ref::sine(20000, 300, 44100, 44100)), 1, 44100);
    const auto tail = ref::channel(run(f.set.phaser, std::vector<int16_t>(4 * 44100, 0), 1, 44100), 1, 0);
    EXPECT_GT(ref::rms(tail, 0, 11025), 100.0);
    EXPECT_LT(ref::rms(tail, 3 * 44100), 1.0);
}

TEST(Reverb, NoTapsNoFeedbackNoLevelPassesTheInputScaled) {
    Fixture f(44100, 2);
    for (int c = 0; c < 2; ++c) {
        Reverb::Record& r = f.set.reverb.record(c);
        r.taps = 0;
        r.feedback = 0;
        r.level = 0;
    }
    const auto x = ref::noise(32767, 5000, 12);
    auto in = ref::interleave({x, x});
    in[0] = -32768;
    const auto out = run(f.set.reverb, in, 2, 44100);
    for (size_t i = 0; i < in.size(); ++i) {
        const double v = std::clamp(in[i] * 3.0517578125e-05, -1.0, 1.0);
        ASSERT_EQ(std::trunc(float(v) * 32767.0), out[i]) << i;
    }
    EXPECT_EQ(-32767, out[0]);
}

TEST(Reverb, ImpulseResponseIsTheCombReadThroughTheTaps) {
    // ring[n] = v[n] - f ring[n - D]; out = (v + sum g_k ring[n - d_k]) g + v, limited to +-1.
    Fixture f(22050, 1);
    f.set.reverb.set_params({7, 20, 30, 15, 4, -3, -6});
    const Reverb::Record r = f.set.reverb.record(0);
    const int n = 20000;
    std::vector<double> x(n, 0.0);
    x[0] = 16384;
    const auto out = ref::channel(run(f.set.reverb, ref::to_pcm(x), 1, 22050), 1, 0);
    std::vector<double> ring(n, 0.0);
    for (int i = 0; i < n; ++i) {
        const double v = x[i] / 32768;
        ring[i] = v - r.feedback * (i >= r.comb_delay && r.comb_delay > 0 ? ring[i - r.comb_delay] : 0.0);
        if (r.comb_delay == 0) ring[i] = v;
        double s = v;
        for (int k = 0; k < r.taps; ++k) s += r.gain[k] * (i >= r.delay[k] ? ring[i - r.delay[k]] : 0.0);
        const double expected = std::clamp(s * r.level + v, -1.0, 1.0) * 32767;
        ASSERT_NEAR(std::trunc(expected), out[i], 1.0) << i;
    }
    EXPECT_EQ(2 * int(4 * 22050 * 0.003030303), r.comb_delay);
}

TEST(SuperBass, GainZeroPassesAndTheShelfMatchesItsResponse) {
    Fixture f(44100, 1);
    f.set.bass.set_params({200, 0});
    const auto x = ref::noise(30000, 4000, 21);
    const auto out = ref::channel(run(f.set.bass, ref::to_pcm(x), 1, 44100), 1, 0);
    for (size_t i = 0; i < x.size(); ++i) ASSERT_NEAR(std::lround(x[i]), out[i], 1.0) << i;

    f.set.bass.set_params({300, 12});
    for (double probe : {50.0, 300.0, 3000.0}) {
        const auto s = ref::sine(3000, probe, 44100, 44100);
        const auto y = ref::channel(run(f.set.bass, ref::to_pcm(s), 1, 44100), 1, 0);
        const ShelfFilter& h = f.set.bass.shelf(0);
        const double expected =
            std::abs(ref::biquad(h.biquad.b0, h.biquad.b1, h.biquad.b2, h.biquad.a0, h.biquad.a1, h.biquad.a2, 2 * ref::kPi * probe / 44100));
        EXPECT_NEAR(expected, std::abs(ref::tone(y, probe, 44100, 22050)) / 3000, 0.002 * expected) << probe;
    }
    EXPECT_GE(run(f.set.bass, {-32768}, 1, 44100)[0], -32767);
}

TEST(Wah, FullScaleNegativeComesOutAtMostMinus32767) {
    Fixture f(44100, 2);
    f.set.wah.set_params({40, 100, 1, 0});
    const auto out = run(f.set.wah, std::vector<int16_t>(2 * 44100, -32768), 2, 44100);
    for (int16_t s : out) ASSERT_GE(s, -32767);
    EXPECT_EQ(0.0, f.set.wah.record(0).lfo_offset);
    EXPECT_NEAR(ref::kPi, f.set.wah.record(1).lfo_offset, 1e-6) << "the channels sweep in opposite phase";
    EXPECT_NEAR(0.1, f.set.wah.record(0).q, 1e-12) << "resonance 1 is the lowest q";
}

TEST(Compressor, BelowTheThresholdPassesAndAboveFollowsItsCurve) {
    // A steady level v: the envelope settles at v^2 and the gain at (v^2 / T)^(0.5 slope - 0.5).
    struct Case {
        int threshold, ratio;
        double level;
    } cases[] = {{-20, 5, 0.5}, {-20, 5, 0.05}, {-40, 0, 0.25}, {-10, 10, 0.9}, {-30, 2, 0.1}};
    for (const Case& c : cases) {
        Fixture f(44100, 1);
        f.set.compressor.set_params({c.threshold, c.ratio, 1, 10});
        const int16_t in = int16_t(c.level * 32768);
        const auto out = run(f.set.compressor, std::vector<int16_t>(44100, in), 1, 44100);
        const double t = std::pow(10.0, 2 * 0.05 * (c.threshold - 3)), env = (in / 32768.0) * (in / 32768.0);
        const double g = env < t ? 1.0 : std::pow(env / t, 0.5 * c.ratio * 0.1 - 0.5);
        EXPECT_NEAR(std::trunc(in / 32768.0 * g * 32768), out.back(), 1.0) << c.threshold << " " << c.level;
    }
}

TEST(NoiseGate, ReleaseZeroSilencesOnceTheHoldHasPassed) {
    Fixture f(8000, 1);
    f.set.gate.set_params({500, 40, 0, 0, 410});
    std::vector<int16_t> in(400, 3000);
    for (size_t i = 200; i < in.size(); ++i) in[i] = 100;
    const auto out = run(f.set.gate, in, 1, 8000);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(3000, out[i]);
    for (int i = 200; i < 239; ++i) ASSERT_EQ(100, out[i]) << "held " << i;
    for (int i = 239; i < 400; ++i) ASSERT_EQ(0, out[i]) << i;
}

TEST(NoiseGate, ReleaseRampsOneStepASample) {
    Fixture f(8000, 1);
    f.set.gate.set_params({500, 0, 100, 0, 410});
    std::vector<int16_t> in(300, 1000);
    for (size_t i = 100; i < in.size(); ++i) in[i] = 300;
    const auto out = run(f.set.gate, in, 1, 8000);
    for (int i = 100; i < 200; ++i) ASSERT_EQ(std::trunc(float(100 - (i - 99)) / 100.0f * 300.0f), out[i]) << i;
    EXPECT_EQ(0, out[250]);
}

TEST(Distortion, SenseZeroHoldsTheOutputAtRest) {
    Fixture f(44100, 2);
    f.set.distortion.set_params({0, 256, 1000, 2000, 8000});
    const auto out = run(f.set.distortion, ref::interleave({ref::noise(30000, 3000, 6), ref::noise(30000, 3000, 7)}),
                         2, 44100);
    for (int16_t s : out) ASSERT_EQ(0, s);
}

TEST(Distortion, DefaultPostFilterStaysStableAt8000Hz) {
    // Designed at 3000 Hz the post-filter's pole would lie at -1.36: its state would grow without end.
    Fixture f(8000, 1);
    run(f.set.distortion, ref::to_pcm(ref::noise(20000, 80000, 13)), 1, 8000);
    StateCheck check;
    f.set.distortion.check_state(check);
    EXPECT_EQ(0, check.non_finite);
    const auto tail = run(f.set.distortion, std::vector<int16_t>(8000, 0), 1, 8000);
    for (size_t i = 4000; i < tail.size(); ++i) ASSERT_EQ(0, tail[i]) << i;
}

TEST(Overdrive, SilenceResetsTheClipperAndStaysSilent) {
    Fixture f(44100, 2);
    run(f.set.overdrive, ref::interleave({ref::noise(20000, 2000, 1), ref::noise(20000, 2000, 2)}), 2, 44100);
    const auto out = run(f.set.overdrive, std::vector<int16_t>(2 * 1000, 0), 2, 44100);
    for (int16_t s : out) ASSERT_EQ(0, s);
}

TEST(Overdrive, ClipperSolvesWithinTheCapForLoudBrightInput) {
    // Sense 10000 with a full-scale 5 kHz sine sent the unguarded solver into overflow.
    for (int rate : {8000, 44100}) {
        Fixture f(rate, 1);
        f.set.overdrive.set_params({10000, 3500, 1});
        const auto square = ref::to_pcm(ref::sine(32767, 5000.0 * rate / 44100, rate, rate));
        const auto out = run(f.set.overdrive, square, 1, rate);
        EXPECT_LE(f.set.overdrive.most_newton_steps(), Overdrive::kMaxNewtonSteps);
        EXPECT_EQ(0, f.set.overdrive.capped_solves());
        StateCheck check;
        f.set.overdrive.check_state(check);
        EXPECT_EQ(0, check.non_finite);
    }
}

TEST(Overdrive, ClipperVoltageSolvesItsEquation) {
    Fixture f(44100, 1);
    f.set.overdrive.set_params({520, 3500, 0});
    for (double u : {0.0, 1.0, -50.0, 104.0}) {
        for (double h : {0.0, 1e-4, -0.02, 0.02}) {
            const double v = f.set.overdrive.solve_clipper(u, h, 0.0);
            const double e = std::exp((u - v) / 0.3);
            const double residual = (u - v) / 520 + 1e-11 * (e - 1 / e) + h;
            const double slope = 1.0 / 520 + (e + 1 / e) * 1e-11 / 0.3;
            EXPECT_LE(std::fabs(residual / slope), 0.01) << u << " " << h;
        }
    }
}

TEST(Overdrive, FollowsTheClipperModelInDoublePrecision) {
    // The model worked here: the smoother, the clipper solved by bisection to 1e-12 V, both low-passes
    // (designed by the tested building block) at four times the rate. Loud tones drive the diodes.
    for (int sense : {100, 520, 10000}) {
        for (int rate : {8000, 44100}) {
            Fixture f(rate, 1);
            f.set.overdrive.set_params({sense, 3500, 0});
            const int n = rate / 4;
            std::vector<double> x = ref::sine(30000, 300, rate, n);
            const auto high = ref::sine(2000, 0.3 * rate, rate, n);
            for (int i = 0; i < n; ++i) x[i] = std::clamp(x[i] + high[i], -32768.0, 32767.0);
            const auto out = ref::channel(run(f.set.overdrive, ref::to_pcm(x), 1, rate), 1, 0);

            ChebyshevSection lp1, lp2;
            fx_chebyshev_design(4.0 * rate, 12000, 1, true, &lp1);
            fx_chebyshev_design(4.0 * rate, 5500, 1, true, &lp2);
            const double t = 0.25 / rate, tau = 0.0002209, k1 = tau / (t + tau), k2 = t / (t + tau);
            // The clipper voltage of every sub-sample, then both low-passes over the whole run.
            std::vector<double> volts(4 * size_t(n));
            double s = 0, p = 0;
            for (int j = 0; j < n; ++j) {
                const double v = std::round(x[j]) * 0.0032;
                for (int sub = 0; sub < 4; ++sub) {
                    const double u = p + 0.25 * sub * (v - p);
                    s = s * k1 + k2 * u;
                    const double h = (u - s) / 4700;
                    double lo = u - 20, hi = u + 20;  // F falls as V rises
                    while (hi - lo > 1e-12) {
                        const double mid = 0.5 * (lo + hi), e = std::exp((u - mid) / 0.3);
                        ((u - mid) / sense + 1e-11 * (e - 1 / e) + h > 0 ? lo : hi) = mid;
                    }
                    volts[4 * j + sub] = 0.5 * (lo + hi);
                }
                p = v;
            }
            auto lowpass = [](const ChebyshevSection& c, const std::vector<double>& in) {
                std::vector<double> y(in.size());
                auto at = [](const std::vector<double>& v, size_t i, size_t back) { return i >= back ? v[i - back] : 0.0; };
                for (size_t i = 0; i < in.size(); ++i)
                    y[i] = c.a0 * in[i] + c.a1 * at(in, i, 1) + c.a2 * at(in, i, 2) + c.b1 * at(y, i, 1) + c.b2 * at(y, i, 2);
                return y;
            };
            const auto filtered = lowpass(lp2, lowpass(lp1, volts));
            double worst = 0;
            for (int j = 0; j < n; ++j)
                worst = std::max(worst, std::fabs(out[j] - std::clamp(filtered[4 * j + 3] * 1000, -32768.0, 32767.0)));
            // Truncation gives up to 1; Newton steps stopped at 0.01 V may leave 2e-4 V more.
            EXPECT_LT(worst, 1.2) << "sense " << sense << " at " << rate << " Hz";
        }
    }
}

TEST(Overdrive, ClipperCurveMatchesTheSolvedVoltageWithinAFewNanovolts) {
    // Between and on its knots, over the whole range of h the 16-bit input reaches, both signs.
    for (int sense : {100, 520, 10000}) {
        ClipperCurve curve;
        curve.build(sense);
        double worst = 0;
        for (int i = 0; i <= 60000; ++i) {
            const double h = (i % 2 ? -1 : 1) * 0.0447 * std::pow(2.0, -32.0 * (i / 2) / 30000.0);
            double w = 0;
            ASSERT_TRUE(curve.lookup(h, &w)) << h;
            double lo = -20, hi = 20;  // w / R + 1e-11 (e^(w/0.3) - e^(-w/0.3)) rises with w
            while (hi - lo > 1e-13) {
                const double mid = 0.5 * (lo + hi);
                (mid / sense + 1e-11 * (std::exp(mid / 0.3) - std::exp(-mid / 0.3)) < h ? lo : hi) = mid;
            }
            worst = std::max(worst, std::fabs(w - 0.5 * (lo + hi)));
        }
        EXPECT_LT(worst, 5e-9) << "sense " << sense;
        double w = 0;
        EXPECT_FALSE(curve.lookup(0.0625, &w)) << "beyond the curve the solver takes over";
    }
}

TEST(AmplitudeModulation, DepthZeroPassesAndTheTriangleSwingsTheGainFromZeroToOne) {
    Fixture f(44100, 2);
    f.set.am.set_params({-10, 0, 1000, 0});
    const auto x = ref::noise(30000, 4000, 17);
    const auto xs = ref::interleave({x, x});
    EXPECT_EQ(xs, run(f.set.am, xs, 2, 44100));

    Fixture t(44100, 2);
    t.set.am.set_params({-10, 100, 100, 1});  // triangle, 10 Hz
    const auto out = ref::channel(run(t.set.am, std::vector<int16_t>(2 * 44100, 10000), 2, 44100), 2, 0);
    EXPECT_LE(*std::min_element(out.begin(), out.end()), 3.0);
    EXPECT_GE(*std::max_element(out.begin(), out.end()), 9997.0);
    // The triangle between -1 and 0: L(j) = 2 f - 1 below half a cycle, 1 - 2 f above.
    for (int j = 0; j < 4410; ++j) {
        const double fr = std::fmod(j * 1000.0 / (100.0 * 44100), 1.0);
        const double l = fr >= 0.5 ? 1 - 2 * fr : 2 * fr - 1;
        ASSERT_NEAR(std::trunc((l + 1) * 10000), out[j], 1.0) << j;
    }
}

TEST(AmplitudeModulation, BothChannelsFollowOneModulatorAdvancedOncePerBlock) {
    Fixture f(44100, 2);
    f.set.am.set_params({-10, 50, 250, 0});  // 4 Hz sine
    const auto out = run(f.set.am, std::vector<int16_t>(2 * 44100, 8000), 2, 44100, 1000);
    for (int j = 0; j < 44100; ++j) {
        const double expected = (std::sin(j * 6283.1855 / (250.0 * 44100)) * 0.5 + 1) * 8000;
        ASSERT_NEAR(expected, out[2 * j], 2.0) << j;
        ASSERT_EQ(out[2 * j], out[2 * j + 1]) << j;
    }
}

TEST(AmplitudeModulation, FrequencyAndPhaseModesStayBounded) {
    for (char mode : {'f', 'p'}) {
        Fixture f(8000, 1);
        f.set.am.mode = mode;
        f.set.am.set_params({-10, 100, 1, 0});
        const auto out = run(f.set.am, ref::to_pcm(ref::noise(32767, 20000, 3)), 1, 8000, 8192);
        StateCheck check;
        f.set.am.check_state(check);
        EXPECT_EQ(0, check.non_finite) << mode;
        EXPECT_EQ(20000u, out.size());
    }
}

TEST(Invert, NegatesAndMinus32768BecomesPlus32767) {
    Fixture f(44100, 2);
    const auto out = run(f.set.invert, {-32768, 32767, 0, 1, -1, 1234}, 2, 44100);
    EXPECT_EQ((std::vector<int16_t>{32767, -32767, 0, -1, 1, -1234}), out);
}

TEST(PitchShifter, HalfAnOctaveUpMoves441HzToNear624Hz) {
    Fixture f(44100, 1);
    f.set.pitch.set_params({0.5f, 2048, 4});
    const int n = 44100;
    const auto out = ref::channel(run(f.set.pitch, ref::to_pcm(ref::sine(8000, 441, 44100, n)), 1, 44100), 1, 0);
    const double peak = ref::dominant(out, 44100, 300, 1200, n - 16384);
    EXPECT_NEAR(441 * std::sqrt(2.0), peak, 10.0);
}

TEST(PitchShifter, RatioOneHasAnRmsGainOfOneAndAHalfAtOversamplingFour) {
    for (int frame : {1024, 2048, 4096}) {
        Fixture f(44100, 1);
        f.set.pitch.set_params({0.0f, frame, 4});
        const auto x = ref::sine(6000, 441, 44100, 44100);
        const auto out = ref::channel(run(f.set.pitch, ref::to_pcm(x), 1, 44100), 1, 0);
        EXPECT_NEAR(1.5, ref::rms(out, 22050) / ref::rms(x, 22050), 0.03) << frame;
    }
}

TEST(PitchShifter, ChannelsDoNotLeakIntoEachOther) {
    Fixture f(44100, 2);
    f.set.pitch.set_params({0.3f, 2048, 4});
    const auto x = ref::sine(10000, 441, 44100, 20000);
    const auto out = run(f.set.pitch, ref::interleave({x, std::vector<double>(x.size(), 0.0)}), 2, 44100, 777);
    for (size_t i = 0; i < x.size(); ++i) ASSERT_EQ(0, out[2 * i + 1]) << i;
    EXPECT_GT(ref::rms(ref::channel(out, 2, 0), 10000), 3000);
}

TEST(PitchShifter, NewFrameSizeStartsFromEmptyFifos) {
    Fixture f(44100, 1);
    run(f.set.pitch, ref::to_pcm(ref::sine(8000, 441, 44100, 5000)), 1, 44100);
    f.set.pitch.set_params({0.0f, 1024, 8});
    const auto out = run(f.set.pitch, ref::to_pcm(ref::sine(8000, 441, 44100, 800)), 1, 44100);
    // The first step's output comes from the emptied FIFO (the old one held the tone).
    for (int i = 0; i < 128; ++i) ASSERT_EQ(0, out[i]) << i;
}
