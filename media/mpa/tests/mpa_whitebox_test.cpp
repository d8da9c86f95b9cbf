// White-box checks of the layer III steps that lame never exercises (intensity stereo, mixed blocks) and
// of the rules that decide extents, band counts and gains, each against the formulas of the format.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <random>
#include "media/mpa/mpa_layer3.h"

namespace {

using namespace mpa;

StreamParams params(int version, int sampling_index, int mode, int mode_extension) {
    StreamParams p;
    p.version = version;
    p.sampling_index = sampling_index;
    p.channels = 2;
    p.mode = mode;
    p.mode_extension = mode_extension;
    p.edges = &kBandEdges[version][sampling_index];
    p.eight_khz = version == 2 && sampling_index == 2;
    return p;
}

GranuleInfo long_granule() { return GranuleInfo(); }
GranuleInfo short_granule(bool mixed) {
    GranuleInfo g;
    g.window_switching = 1;
    g.block_type = 2;
    g.mixed = mixed;
    return g;
}

// A channel whose lines are `is` (decoded count `decoded`), counted as the decoder counts them.
ChannelSpectrum counted(const StreamParams& p, const GranuleInfo& g, const std::vector<int>& is, int decoded) {
    ChannelSpectrum c = ChannelSpectrum();
    const int illegal = p.version == 0 ? 7 : 1;
    for (int& v : c.illegal_l) v = illegal;
    for (int& v : c.illegal_s) v = illegal;
    count_bands(p, g, is.data(), decoded, &c);
    for (int i = 0; i < kLines; ++i) c.xr[i] = float(is[i]);
    return c;
}

TEST(Layer3Bands, ExtentIsOneWhenLinesWereDecodedButAllAreZeroAndZeroWhenNoneWere) {
    const StreamParams p = params(0, 0, 1, 0);
    std::vector<int> zero(kLines, 0);
    ChannelSpectrum none = counted(p, long_granule(), zero, 0);
    EXPECT_EQ(0, none.extent);
    EXPECT_EQ(0, none.long_count);
    EXPECT_EQ(0, none.subband_count);
    ChannelSpectrum zeros = counted(p, long_granule(), zero, 40);
    EXPECT_EQ(1, zeros.extent);
    EXPECT_EQ(1, zeros.long_count);
    EXPECT_EQ(1, zeros.subband_count);

    std::vector<int> one(kLines, 0);
    one[100] = 3;
    ChannelSpectrum c = counted(p, long_granule(), one, 120);
    EXPECT_EQ(101, c.extent);
    EXPECT_EQ(14, c.long_count);  // 44.1 kHz: long edge 13 = 90, edge 14 = 110
    EXPECT_EQ(6, c.subband_count);
    EXPECT_TRUE(c.long_only);
}

TEST(Layer3Bands, ShortBlocksCountBandsPerWindow) {
    const StreamParams p = params(0, 0, 1, 0);  // short edges 0 4 8 12 16 22 30 40 ...
    std::vector<int> is(kLines, 0);
    is[3 * 16 + 2 * 6 + 1] = 1;  // band 4 (width 6), window 2
    is[3 * 4 + 0 * 4 + 0] = -2;  // band 1 (width 4), window 0
    ChannelSpectrum c = counted(p, short_granule(false), is, 80);
    EXPECT_FALSE(c.long_only);
    EXPECT_EQ(62, c.extent);
    EXPECT_EQ(5, c.short_count);          // 3 x 22 = 66 >= 62
    EXPECT_EQ(2, c.window_count[0]);      // highest band with a line: 1
    EXPECT_EQ(5, c.window_count[1]);      // none: keeps the short-band count
    EXPECT_EQ(5, c.window_count[2]);      // band 4
    EXPECT_EQ(4, c.subband_count);        // 3 x 22 / 18 rounded up

    // a mixed block whose lines end inside its long part counts as long only
    std::vector<int> low(kLines, 0);
    low[30] = 1;
    ChannelSpectrum m = counted(p, short_granule(true), low, 40);
    EXPECT_TRUE(m.long_only);
    EXPECT_EQ(8, m.long_count);  // edge 8 = 36 >= 31
    EXPECT_EQ(0, m.short_count);
}

struct StereoCase {
    const char* name;
    int version;
    int mode_extension;
    int right_long_count;  // the intensity bound
    int band;
    int position;          // the right channel's scale factor in that band
    int illegal;           // MPEG-2/2.5: 2^slen - 1 of its partition
    int intensity_scale;
    double left_factor;    // expected left = left_factor * L + left_side * R
    double left_side;
    double right_factor;
    double right_side;
};

const double kH = 1 / std::sqrt(2.0);
double tan12(int p) { return std::tan(p * M_PI / 12); }

void PrintTo(const StereoCase& c, std::ostream* os) { *os << c.name; }

class StereoTable : public testing::TestWithParam<StereoCase> {};

TEST_P(StereoTable, LongBandFollowsTheFormula) {
    const StereoCase& s = GetParam();
    const StreamParams p = params(s.version, 0, 1, s.mode_extension);
    const BandEdges& e = *p.edges;
    std::vector<int> left_lines(kLines, 0), right_lines(kLines, 0);
    for (int i = 0; i < e.long_edge[22]; ++i) left_lines[i] = 1 + i % 7;
    for (int i = 0; i < e.long_edge[s.right_long_count]; ++i) right_lines[i] = 2 + i % 3;
    ChannelSpectrum left = counted(p, long_granule(), left_lines, kLines);
    ChannelSpectrum right = counted(p, long_granule(), right_lines, e.long_edge[s.right_long_count]);
    ASSERT_EQ(s.right_long_count, right.long_count);
    right.scalefac_l[s.band] = s.position;
    if (s.version != 0) right.illegal_l[s.band] = s.illegal;
    GranuleInfo right_info;
    right_info.scalefac_compress = s.intensity_scale;

    const ChannelSpectrum l0 = left, r0 = right;
    stereo_process(p, long_granule(), right_info, false, &left, &right);
    for (int i = e.long_edge[s.band]; i < e.long_edge[s.band + 1]; ++i) {
        const double L = l0.xr[i], R = r0.xr[i];
        ASSERT_NEAR(s.left_factor * L + s.left_side * R, left.xr[i], 1e-4) << s.name << " line " << i;
        ASSERT_NEAR(s.right_factor * L + s.right_side * R, right.xr[i], 1e-4) << s.name << " line " << i;
    }
    // both channels take the larger extent afterwards
    EXPECT_EQ(left.extent, right.extent);
    EXPECT_EQ(kLines, right.extent);

    // mono: the left channel is the mean of what left and right would be
    ChannelSpectrum ml = l0, mr = r0;
    stereo_process(p, long_granule(), right_info, true, &ml, &mr);
    for (int i = e.long_edge[s.band]; i < e.long_edge[s.band + 1]; ++i) {
        const double L = l0.xr[i], R = r0.xr[i];
        const double mean = ((s.left_factor + s.right_factor) * L + (s.left_side + s.right_side) * R) / 2;
        ASSERT_NEAR(mean, ml.xr[i], 1e-4) << s.name << " mono line " << i;
    }
}

double lsf(int scale, int n) { return std::pow(2.0, -(scale ? 0.5 : 0.25) * n); }

INSTANTIATE_TEST_SUITE_P(
    Layer3Stereo, StereoTable,
    testing::Values(
        // MPEG-1, intensity only: below the bound left/right stay; above, t = tan(p pi / 12)
        StereoCase{"m1_below_bound", 0, 1, 6, 5, 3, 7, 0, 1, 0, 0, 1},
        StereoCase{"m1_position0", 0, 1, 6, 6, 0, 7, 0, 0, 0, 1, 0},
        StereoCase{"m1_position2", 0, 1, 6, 7, 2, 7, 0, tan12(2) / (1 + tan12(2)), 0, 1 / (1 + tan12(2)), 0},
        StereoCase{"m1_position3", 0, 1, 6, 8, 3, 7, 0, 0.5, 0, 0.5, 0},
        StereoCase{"m1_position6", 0, 1, 6, 9, 6, 7, 0, 1, 0, 0, 0},
        StereoCase{"m1_illegal7", 0, 1, 6, 10, 7, 7, 0, 1, 0, 0, 1},
        StereoCase{"m1_illegal12", 0, 1, 6, 10, 12, 7, 0, 1, 0, 0, 1},
        // band 21 has no scale factor: position 0, so the left channel's lines move wholly right
        StereoCase{"m1_top_band", 0, 1, 6, 21, 0, 7, 0, 0, 0, 1, 0},
        // with mid/side too: below the bound and at the illegal position M/S, above it intensity
        StereoCase{"m1_ms_below_bound", 0, 3, 6, 2, 0, 7, 0, kH, kH, kH, -kH},
        StereoCase{"m1_ms_illegal", 0, 3, 6, 12, 7, 7, 0, kH, kH, kH, -kH},
        StereoCase{"m1_ms_intensity", 0, 3, 6, 13, 1, 7, 0, tan12(1) / (1 + tan12(1)), 0, 1 / (1 + tan12(1)), 0},
        StereoCase{"m1_ms_only", 0, 2, 6, 15, 2, 7, 0, kH, kH, kH, -kH},
        // MPEG-2: odd positions scale the left channel, even ones the right; illegal 2^slen - 1
        StereoCase{"m2_odd", 1, 1, 6, 8, 3, 7, 0, lsf(0, 2), 0, 1, 0},
        StereoCase{"m2_even", 1, 1, 6, 9, 4, 7, 0, 1, 0, lsf(0, 2), 0},
        StereoCase{"m2_even_scale1", 1, 1, 6, 9, 4, 7, 1, 1, 0, lsf(1, 2), 0},
        StereoCase{"m2_odd_scale1", 1, 1, 6, 9, 5, 15, 1, lsf(1, 3), 0, 1, 0},
        StereoCase{"m2_zero", 1, 1, 6, 10, 0, 7, 0, 1, 0, 1, 0},
        StereoCase{"m2_illegal", 1, 1, 6, 11, 7, 7, 0, 1, 0, 0, 1},
        StereoCase{"m2_ms_illegal", 1, 3, 6, 11, 3, 3, 0, kH, kH, kH, -kH},
        StereoCase{"m2_top_band", 1, 1, 6, 21, 0, 1, 0, 1, 0, 1, 0}),
    [](const testing::TestParamInfo<StereoCase>& info) { return std::string(info.param.name); });

TEST(Layer3Stereo, AnEmptyRightChannelStartsIntensityAtBandOneAndAnUndecodedOneAtBandZero) {
    const StreamParams p = params(0, 0, 1, 3);
    std::vector<int> left_lines(kLines, 0), zero(kLines, 0);
    for (int i = 0; i < kLines; ++i) left_lines[i] = 4;
    for (int decoded : {30, 0}) {
        ChannelSpectrum left = counted(p, long_granule(), left_lines, kLines);
        ChannelSpectrum right = counted(p, long_granule(), zero, decoded);  // positions all 0
        stereo_process(p, long_granule(), GranuleInfo(), false, &left, &right);
        // band 0 (lines 0..3): mid/side below the bound, else intensity at position 0
        if (decoded) {
            EXPECT_NEAR(4 * kH, left.xr[0], 1e-5);
            EXPECT_NEAR(4 * kH, right.xr[0], 1e-5);
        } else {
            EXPECT_EQ(0.0f, left.xr[0]);
            EXPECT_EQ(4.0f, right.xr[0]);
        }
        EXPECT_EQ(0.0f, left.xr[4]);  // band 1: intensity in both cases
        EXPECT_EQ(4.0f, right.xr[4]);
    }
}

TEST(Layer3Stereo, StereoAndDualChannelFramesAreLeftAlone) {
    for (int mode : {0, 2}) {
        const StreamParams p = params(0, 0, mode, 3);
        std::vector<int> a(kLines, 3), b(kLines, -5);
        ChannelSpectrum left = counted(p, long_granule(), a, kLines);
        ChannelSpectrum right = counted(p, long_granule(), b, 100);
        stereo_process(p, long_granule(), GranuleInfo(), false, &left, &right);
        EXPECT_EQ(3.0f, left.xr[300]);
        EXPECT_EQ(-5.0f, right.xr[50]);
        EXPECT_EQ(100, right.extent);
    }
}

TEST(Layer3Stereo, ShortAndMixedBlocksBoundIntensityPerWindow) {
    const StreamParams p = params(0, 0, 1, 1);
    const BandEdges& e = *p.edges;
    std::vector<int> left_lines(kLines, 2), right_lines(kLines, 0);
    // right: window 1 has lines up to short band 6, windows 0 and 2 up to band 3
    for (int band = 0; band <= 6; ++band) {
        const int width = e.short_edge[band + 1] - e.short_edge[band];
        for (int w = 0; w < 3; ++w)
            if (w == 1 || band <= 3) right_lines[3 * e.short_edge[band] + w * width] = 1;
    }
    ChannelSpectrum left = counted(p, short_granule(false), left_lines, kLines);
    ChannelSpectrum right = counted(p, short_granule(false), right_lines, 3 * e.short_edge[7]);
    ASSERT_EQ(4, right.window_count[0]);
    ASSERT_EQ(7, right.window_count[1]);
    stereo_process(p, short_granule(false), short_granule(false), false, &left, &right);
    auto line = [&](int band, int w) {
        const int width = e.short_edge[band + 1] - e.short_edge[band];
        return 3 * e.short_edge[band] + w * width;
    };
    // short band 5 is above the bound in windows 0 and 2 (intensity, position 0: all right), below it in
    // window 1 (left/right kept)
    EXPECT_EQ(0.0f, left.xr[line(5, 0)]);
    EXPECT_EQ(2.0f, right.xr[line(5, 0)]);
    EXPECT_EQ(2.0f, left.xr[line(5, 1)]);
    EXPECT_EQ(0.0f, right.xr[line(5, 1) + 1]);

    // mixed block, right channel long only: its long-band count bounds the long part, intensity from
    // short band 3 up
    std::vector<int> low(kLines, 0);
    low[10] = 1;
    ChannelSpectrum ml = counted(p, short_granule(true), left_lines, kLines);
    ChannelSpectrum mr = counted(p, short_granule(true), low, 20);
    ASSERT_TRUE(mr.long_only);
    ASSERT_EQ(3, mr.long_count);
    stereo_process(p, short_granule(true), short_granule(true), false, &ml, &mr);
    EXPECT_EQ(2.0f, ml.xr[5]);    // long band 1: below the bound, left/right
    EXPECT_EQ(0.0f, ml.xr[20]);   // long band 5: intensity at position 0
    EXPECT_EQ(2.0f, mr.xr[20]);
    EXPECT_EQ(0.0f, ml.xr[40]);   // short band 3 (lines 36..): intensity
    EXPECT_EQ(2.0f, mr.xr[40]);

    // mixed block, right channel with short lines: no intensity in the long part at all
    std::vector<int> high(kLines, 0);
    high[10] = 1;
    high[3 * e.short_edge[4] + 1] = 1;  // short band 4, window 0
    ChannelSpectrum hl = counted(p, short_granule(true), left_lines, kLines);
    ChannelSpectrum hr = counted(p, short_granule(true), high, 60);
    ASSERT_FALSE(hr.long_only);
    stereo_process(p, short_granule(true), short_granule(true), false, &hl, &hr);
    EXPECT_EQ(2.0f, hl.xr[20]);   // long part: left/right
    EXPECT_EQ(0.0f, hr.xr[20]);
    EXPECT_EQ(0.0f, hl.xr[3 * e.short_edge[6]]);  // short band 6, window 0: above that window's count 5
    EXPECT_EQ(2.0f, hr.xr[3 * e.short_edge[6]]);
}

TEST(Layer3Requantize, GainsBeyondTheTableSilenceTheBand) {
    const StreamParams p = params(0, 0, 3, 0);
    std::vector<int> is(kLines, 0);
    for (int i = 0; i < 40; ++i) is[i] = (i % 2) ? 5 : -200;
    for (int global_gain : {210, 211, 250}) {
        GranuleInfo g;
        g.global_gain = global_gain;
        ChannelSpectrum c = counted(p, g, is, 40);
        requantize(p, g, is.data(), &c);
        if (global_gain == 210) {
            EXPECT_NEAR(std::pow(5.0, 4.0 / 3) * 32768, c.xr[1], 0.5);  // k = 0: gain 32768
            EXPECT_NEAR(-std::pow(200.0, 4.0 / 3) * 32768, c.xr[0], 20);
        } else {
            EXPECT_EQ(0.0f, c.xr[1]) << global_gain;  // k below 0
            EXPECT_EQ(0.0f, c.xr[0]) << global_gain;
        }
    }
    // k = 210 - global_gain + 2 (1 + scalefac_scale)(scale factor + pretab)
    GranuleInfo g;
    g.global_gain = 150;
    g.scalefac_scale = 1;
    g.preflag = 1;
    ChannelSpectrum c = counted(p, g, is, 40);
    c.scalefac_l[2] = 3;  // band 2: lines 8..11, pretab 0
    requantize(p, g, is.data(), &c);
    EXPECT_NEAR(std::pow(5.0, 4.0 / 3) * 32768 * std::pow(2.0, -(60 + 12) / 4.0), c.xr[9], 1e-3);
}

// The hybrid filterbank of one granule computed straight from the definitions: short bands reordered,
// `boundaries` alias butterflies, the first `long_subbands` sub-bands with the long IMDCT and the normal
// window, the rest with three short IMDCTs, no overlap, odd sub-bands' odd slots negated.
void reference_hybrid(const BandEdges& e, const float* lines, int long_subbands, int boundaries,
                      float out[18][32]) {
    std::vector<double> x(lines, lines + kLines);
    std::vector<double> reordered(x);
    const int first = long_subbands == 2 ? 3 : 3;
    for (int b = first; b < 13; ++b) {
        const int width = e.short_edge[b + 1] - e.short_edge[b], base = 3 * e.short_edge[b];
        for (int w = 0; w < 3; ++w)
            for (int f = 0; f < width; ++f) reordered[base + 3 * f + w] = x[base + w * width + f];
    }
    x = reordered;
    for (int k = 1; k <= boundaries; ++k)
        for (int i = 0; i < 8; ++i) {
            const double c = kAliasCoefficients[i], cs = 1 / std::sqrt(1 + c * c), ca = c / std::sqrt(1 + c * c);
            const double a = x[18 * k - 1 - i], b = x[18 * k + i];
            x[18 * k - 1 - i] = a * cs - b * ca;
            x[18 * k + i] = b * cs + a * ca;
        }
    for (int sb = 0; sb < 32; ++sb) {
        double y[36] = {};
        if (sb < long_subbands) {
            for (int i = 0; i < 36; ++i) {
                double s = 0;
                for (int k = 0; k < 18; ++k) s += x[18 * sb + k] * std::cos(M_PI / 72 * (2 * i + 19) * (2 * k + 1));
                y[i] = s * std::sin(M_PI / 36 * (i + 0.5));
            }
        } else {
            for (int w = 0; w < 3; ++w)
                for (int i = 0; i < 12; ++i) {
                    double s = 0;
                    for (int k = 0; k < 6; ++k)
                        s += x[18 * sb + 3 * k + w] * std::cos(M_PI / 24 * (2 * i + 7) * (2 * k + 1));
                    y[6 + 6 * w + i] += s * std::sin(M_PI / 12 * (i + 0.5));
                }
        }
        for (int t = 0; t < 18; ++t) out[t][sb] = float((sb & 1) && (t & 1) ? -y[t] : y[t]);
    }
}

TEST(Layer3Hybrid, MixedBlocksAtEightKilohertzKeepFourLongSubbands) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-1000, 1000);
    for (int version_rate : {0, 1}) {
        // MPEG-2.5 8 kHz, then MPEG-2.5 11.025 kHz
        StreamParams p = params(2, version_rate == 0 ? 2 : 0, 3, 0);
        p.channels = 1;
        ChannelSpectrum c = ChannelSpectrum();
        for (int i = 0; i < kLines; ++i) c.xr[i] = value(random);
        c.extent = kLines;
        c.short_count = 13;
        c.subband_count = 32;
        float lines[kLines];
        std::memcpy(lines, c.xr, sizeof(lines));
        float overlap[32][18] = {};
        float out[18][32];
        hybrid(p, short_granule(true), 0, &c, overlap, out);

        const int long_subbands = p.eight_khz ? 4 : 2;
        float expected[18][32];
        reference_hybrid(*p.edges, lines, long_subbands, long_subbands - 1, expected);
        double worst = 0;
        for (int t = 0; t < 18; ++t)
            for (int sb = 0; sb < 32; ++sb) worst = std::max(worst, double(std::fabs(out[t][sb] - expected[t][sb])));
        EXPECT_LT(worst, 0.05) << "rate index " << p.sampling_index;

        float other[18][32];
        reference_hybrid(*p.edges, lines, p.eight_khz ? 2 : 4, p.eight_khz ? 1 : 3, other);
        double apart = 0;
        for (int t = 0; t < 18; ++t)
            for (int sb = 0; sb < 4; ++sb) apart = std::max(apart, double(std::fabs(out[t][sb] - other[t][sb])));
        EXPECT_GT(apart, 1.0);
    }
}

TEST(Layer3CubeRoot, MatchesTheLibraryCubeRoot) {
    EXPECT_EQ(0.0, cube_root(0));
    for (double x = 128; x < 9000; x += 0.75) ASSERT_NEAR(std::cbrt(x), cube_root(x), 1e-9 * std::cbrt(x)) << x;
    EXPECT_NEAR(-std::cbrt(1000.0), cube_root(-1000.0), 1e-9);
    EXPECT_NEAR(std::cbrt(1e-7), cube_root(1e-7), 1e-12);
    EXPECT_NEAR(std::pow(8206.0, 4.0 / 3), power43(8206), std::pow(8206.0, 4.0 / 3) * 1e-6);
}

}  // namespace
