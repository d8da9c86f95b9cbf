// The sliders' mappings as pure functions, with the worked examples of the pages.
#include <gtest/gtest.h>
#include <cmath>
#include "soundfx/core/slider_map.h"

using namespace soundfx;

TEST(Sliders, GateTimesInSamplesAndBackAt44100Stereo) {
    EXPECT_EQ(88, slider::gate_samples(1, 44100, 2));
    EXPECT_EQ(0, slider::gate_ms(88, 44100, 2)) << "88 x 1000 / 88200, truncated";
    EXPECT_EQ(1, slider::gate_ms(176, 44100, 2)) << "the default hold of 2 ms shows as 1";
    EXPECT_EQ(500, slider::gate_ms(44100, 44100, 2));
    EXPECT_EQ(0, slider::gate_ms(1000, 0, 0)) << "before any init there is no divisor";
    EXPECT_EQ(50, slider::gate_level_position(500));
    EXPECT_EQ(41, slider::gate_level_position(410));
}

TEST(Sliders, DistortionCompressorAndReverbShowTheirStateAsThePagesDo) {
    EXPECT_EQ(33, slider::dist_sense_position(10000));
    EXPECT_EQ(9900, slider::dist_sense(33));
    EXPECT_EQ(-20, slider::comp_threshold(20));
    EXPECT_NEAR(0.1, slider::comp_threshold_level(20), 1e-12);
    EXPECT_EQ(-10, slider::reverb_db(10));
    EXPECT_NEAR(std::pow(10.0, -0.5), slider::reverb_factor(10), 1e-12);
    EXPECT_NEAR(0.5, slider::comp_slope(5), 1e-12);
}

TEST(Sliders, PageOneMappings) {
    EXPECT_NEAR(0.5, slider::echo_gain(5), 1e-12);
    EXPECT_EQ(6, slider::echo_delay_position(0.6));
    EXPECT_NEAR(-0.7, slider::pitch_offset(3), 1e-12);
    EXPECT_EQ(1024, slider::pitch_frame(1));
    EXPECT_EQ(2048, slider::pitch_frame(4));
    EXPECT_EQ(4096, slider::pitch_frame(5));
    EXPECT_EQ(25, slider::sweep_depth(50));
    EXPECT_EQ(100, slider::sweep_depth_position(50));
    EXPECT_EQ(256, slider::sweep_level(100));
    EXPECT_EQ(39, slider::sweep_level_position(100)) << "the default feedback 100 shows as 39";
    EXPECT_EQ(97, slider::sweep_level_position(250));
    EXPECT_EQ(7938, slider::sweep_rate(1, 44100, 2));
    EXPECT_EQ(0, slider::sweep_rate(3000, 8000, 1)) << "the rate can reach 0 at low rates";
    EXPECT_EQ(3500, slider::sweep_rate_position(0, 8000, 1)) << "and then shows at the slider's end";
    EXPECT_EQ(1, slider::sweep_rate_position(5, 0, 0)) << "before init";
    EXPECT_EQ(1587, slider::sweep_rate_position(5, 44100, 2));
    EXPECT_EQ(90, slider::am_gain_position(-10));
    EXPECT_NEAR(440 * 2.0 / 44100, slider::phaser_d(440, 44100), 1e-15);
    EXPECT_NEAR(0.5 * 6.28318 / 44100, slider::phaser_lfo_step(50, 44100), 1e-15);
}

TEST(Sliders, PageThreeMappings) {
    EXPECT_NEAR(2 * 2.5 * 3.14159265358979 / 44100, slider::wah_lfo_step(25, 44100), 1e-12);
    EXPECT_NEAR(0.3, slider::wah_base(30), 1e-12);
    EXPECT_EQ(17640, slider::vibrato_period(20, 44100, 2));
}

TEST(Sliders, EqualiserBandPositionsAndPregain) {
    EXPECT_FLOAT_EQ(20.0f, slider::band_gain(0));
    EXPECT_FLOAT_EQ(0.0f, slider::band_gain(25));
    EXPECT_FLOAT_EQ(-20.0f, slider::band_gain(50));
    EXPECT_EQ(0, slider::band_gain_stored(26)) << "-0.8 truncates to 0";
    EXPECT_EQ(25, slider::band_position(0));
    EXPECT_NEAR(-18.0, slider::pregain_db(0), 1e-12);
    EXPECT_NEAR(18.0, slider::pregain_db(24), 1e-12);
}

TEST(Sliders, LinkedTuningMovesTheNeighbours) {
    int db[10] = {};
    slider::LinkedTuning t = slider::linked_tuning(db, 10, 0, 13);
    EXPECT_NEAR(9.6f, t.gain[0], 1e-5);
    EXPECT_EQ(9, db[0]);
    EXPECT_NEAR(7.2f, t.gain[1], 1e-5);
    EXPECT_EQ(7, db[1]);
    EXPECT_EQ(16, t.position[1]);
    EXPECT_NEAR(4.8f, t.gain[2], 1e-5);
    EXPECT_EQ(4, db[2]);
    EXPECT_EQ(19, t.position[2]);
    EXPECT_EQ(-1, t.position[3]);

    int flat[10] = {};
    t = slider::linked_tuning(flat, 10, 5, 13);
    EXPECT_NEAR(7.2f, t.gain[4], 1e-5);
    EXPECT_NEAR(7.2f, t.gain[6], 1e-5);
    EXPECT_NEAR(5.76f, t.gain[3], 1e-5);
    EXPECT_EQ(5, flat[7]);
    EXPECT_EQ(17, t.position[3]);
    EXPECT_EQ(17, t.position[7]);

    int last[10] = {};
    t = slider::linked_tuning(last, 10, 9, 40);
    for (int b = 0; b < 7; ++b) EXPECT_EQ(-1, t.position[b]) << b;
    EXPECT_NE(-1, t.position[8]);
    EXPECT_NE(-1, t.position[7]);
}

TEST(Sliders, EveryControlHasAnOrderedRange) {
    int n = 0;
    const slider::Control* all = slider::controls(&n);
    EXPECT_GT(n, 50);
    for (int i = 0; i < n; ++i) EXPECT_LT(all[i].min, all[i].max) << all[i].what;
    ASSERT_NE(nullptr, slider::control(2, 3026));
    EXPECT_EQ(200, slider::control(2, 3026)->max);
    EXPECT_EQ(1, slider::clamp_position(*slider::control(1, 3012), -4));
}
