// The settings record: get fills it, set applies it (fields held to what the sliders produce), and a
// record read, written back and read again is the same.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <limits>
#include "reference.h"
#include "soundfx/core/engine.h"
#include "soundfx/core/slider_map.h"

using namespace soundfx;

namespace {

MixSettings get(Engine& e) {
    MixSettings s;
    std::memset(&s, 0xAB, sizeof s);
    e.get(&s);
    return s;
}

bool same(const MixSettings& a, const MixSettings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A record with every effect on and parameters away from their defaults (all within the sliders).
MixSettings varied(Engine& e) {
    MixSettings s = get(e);
    s.eq_on = 1;
    s.eq_curve.band_count = 15;
    for (int b = 0; b < 31; ++b) s.eq_curve.gains[b] = (b * 7) % 41 - 20;
    s.eq_second_level = 1;
    s.eq_pregain_position = 3;
    s.echo_on = 1;
    s.echo_delay = 1.3f;
    s.echo_gain = 0.7f;
    s.pitch_on = 1;
    s.pitch_offset = 0.3f;
    s.pitch_frame = 4096;
    s.pitch_depth = 6;
    s.sweep_on = s.chorus_on = s.phaser_on = s.am_on = s.comp_on = s.reverb_on = 1;
    s.sweep_regeneration = 51;
    s.sweep_depth = 12;
    s.sweep_wet = 128;
    s.sweep_dry = 25;
    s.sweep_period = 7;
    s.chorus_depth = 40;
    s.chorus_period = 3;
    s.chorus_wet = 200;
    s.chorus_dry = 100;
    s.chorus_regeneration = 153;
    s.phaser_min_freq = 123;
    s.phaser_max_freq = 2345;
    s.phaser_rate = 29;
    s.phaser_feedback = 53;
    s.phaser_gain = 7;
    s.am_gain = -37;
    s.am_depth = 64;
    s.am_freq = 777;
    s.am_shape = 1;
    s.comp_threshold = -33;
    s.comp_ratio = 3;
    s.comp_attack = 50;
    s.comp_release = 300;
    s.reverb_tap_count = 55;
    s.reverb_time0 = 9;
    s.reverb_decay = 44;
    s.reverb_predelay = 300;
    s.reverb_feedback_time = 200;
    s.reverb_feedback_db = -2;
    s.reverb_tap_db = -17;
    s.odrv_on = s.dist_on = s.gate_on = s.wah_on = s.bass_on = s.vibrato_on = s.invert_on = 1;
    s.odrv_sense = 4321;
    s.odrv_lp_freq = 1234;
    s.odrv_lp_on = 1;
    s.dist_sense = 9900;
    s.dist_strength = 99;
    s.dist_drive = 876;
    s.dist_lp_freq = 2222;
    s.dist_noise_freq = 5555;
    s.gate_threshold = 730;
    s.gate_hold = 100;
    s.gate_release = 2000;
    s.gate_attack = 300;
    s.gate_hysteresis = 250;
    s.wah[0] = 7;
    s.wah[1] = 33;
    s.wah[2] = 44;
    s.wah[3] = 55;
    s.bass[0] = 120;
    s.bass[1] = 20;
    s.vibrato[0] = 60;
    s.vibrato[1] = 70;
    std::memset(s.chain, 0, sizeof s.chain);
    const uint8_t order[] = {15, 7, 1, 12, 3, 3};
    std::memcpy(s.chain, order, sizeof order);
    return s;
}

}  // namespace

TEST(Settings, GetSetGetIsIdenticalForDefaultsAndAVariedState) {
    for (int rate : {11025, 22050, 44100, 48000}) {
        for (int channels : {1, 2}) {
            SCOPED_TRACE(std::to_string(rate) + " x " + std::to_string(channels));
            Engine e;
            e.begin();
            e.init(rate, channels);
            const MixSettings first = get(e);
            ASSERT_EQ(0, e.set(first));
            EXPECT_TRUE(same(first, get(e)));
            ASSERT_EQ(0, e.set(varied(e)));
            const MixSettings again = get(e);
            ASSERT_EQ(0, e.set(again));
            EXPECT_TRUE(same(again, get(e)));
            EXPECT_EQ(15, again.eq_curve.band_count);
            EXPECT_EQ(1.3f, again.echo_delay);
            EXPECT_EQ(60, again.vibrato[0]);
        }
    }
}

TEST(Settings, GetWritesEveryChainByteAndTheFlagWord) {
    Engine e;
    e.init(44100, 2);
    const MixSettings s = get(e);  // filled with 0xAB first
    for (int i = 0; i < 16; ++i) EXPECT_EQ(i + 1, s.chain[i]);
    for (int i = 16; i < 255; ++i) ASSERT_EQ(0, s.chain[i]) << i;
    EXPECT_EQ(0, s.eq_curve.builtin);
    EXPECT_EQ(0, s.eq_curve.padding[0]);
    EXPECT_EQ(0, s.eq_curve.padding[2]);
    EXPECT_STREQ("10频段缺省模式", s.eq_curve.name);
    EXPECT_EQ(12, s.eq_pregain_position);
    EXPECT_EQ(0, s.am_level) << "the whole part of 10^-0.5";
}

TEST(Settings, SetAppliesTheFieldsAndTheChain) {
    Engine e;
    e.init(48000, 2);
    MixSettings s = varied(e);
    ASSERT_EQ(0, e.set(s));
    e.edit([](EngineState& st) {
        EffectSet& x = st.effects;
        EXPECT_EQ(1, x.invert.on);
        EXPECT_FLOAT_EQ(1.3f, x.echo.params().delay);
        EXPECT_EQ(int(std::floor(48000 * double(1.3f))), x.echo.delay_frames());
        EXPECT_EQ(15, x.eq.band_count());
        EXPECT_TRUE(x.eq.second_level);
        EXPECT_NEAR(std::pow(2.0, (3 - 12) * 1.5 / 10), x.eq.pregain_factor(0), 1e-3);
        EXPECT_EQ('a', x.am.wave());
        EXPECT_NEAR(0.53, x.phaser.feedback_factor(), 1e-9);
        EXPECT_NEAR(0.7, x.phaser.depth_factor(), 1e-9);
        EXPECT_EQ(std::lround(60 * 2 * 48000 * 0.01), x.vibrato.period_samples());
        EXPECT_EQ(70, x.vibrato.depth_samples());
        EXPECT_EQ(2 * int(200 * 48000 * 0.003030303), x.reverb.record(0).comb_delay);
        EXPECT_EQ(55, x.reverb.record(1).taps);
        EXPECT_NEAR(4.4, x.wah.record(0).q, 1e-12);
        EXPECT_NEAR(0.55, x.wah.record(1).base, 1e-12);
        EXPECT_EQ(4096, x.pitch.params().frame);
        EXPECT_EQ("15频段缺省模式", std::string(st.eq_page.preset_name));
        return 0;
    });
    int rows[255];
    ASSERT_EQ(6, e.chain_order().read(rows, 255));
    EXPECT_EQ(15, rows[0]);
    EXPECT_EQ(3, rows[5]);
}

TEST(Settings, ChainOfZerosRunsNothingAndUnknownIdsAreSkipped) {
    Engine e;
    e.init(44100, 1);
    MixSettings s = get(e);
    s.invert_on = 1;
    std::memset(s.chain, 0, sizeof s.chain);
    ASSERT_EQ(0, e.set(s));
    std::vector<int16_t> pcm = {1, 2, 3};
    e.process(pcm.data(), 6);
    EXPECT_EQ((std::vector<int16_t>{1, 2, 3}), pcm);
    s.chain[0] = 17;
    s.chain[1] = 0;
    s.chain[2] = 255;
    s.chain[254] = 15;
    ASSERT_EQ(0, e.set(s));
    e.process(pcm.data(), 6);
    EXPECT_EQ((std::vector<int16_t>{-1, -2, -3}), pcm);
    EXPECT_EQ(15, get(e).chain[0]);
    EXPECT_EQ(0, get(e).chain[1]);
}

TEST(Settings, SetIsRefusedAtOtherRatesAndBeforeInit) {
    Engine e;
    MixSettings s{};
    s.invert_on = 1;
    s.eq_curve.band_count = 10;
    EXPECT_EQ(-1, e.set(s)) << "before init";
    for (int rate : {8000, 16000, 32000}) {
        e.init(rate, 2);
        EXPECT_EQ(-1, e.set(s)) << rate;
        EXPECT_EQ(0, get(e).invert_on);
    }
    e.init(44100, 3);
    EXPECT_EQ(-1, e.set(s));
}

TEST(Settings, HostileFieldsAreHeldToTheSliders) {
    Engine e;
    e.init(44100, 2);
    MixSettings s = get(e);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    s.echo_delay = inf;
    s.echo_gain = nan;
    s.pitch_offset = nan;
    s.pitch_frame = 8192;
    s.pitch_depth = 0;
    s.sweep_period = -5;
    s.sweep_depth = 1 << 30;
    s.chorus_regeneration = 99999;
    s.phaser_min_freq = -inf;
    s.phaser_max_freq = 1e30f;
    s.phaser_rate = nan;
    s.phaser_feedback = 1000;
    s.am_freq = 0x10000;  // low 16 bits: 0
    s.am_depth = -1;
    s.am_shape = 7;
    s.comp_attack = 0;
    s.comp_threshold = -100000;
    s.reverb_tap_count = 0x7FFF;
    s.reverb_decay = 0;
    s.reverb_feedback_time = 1 << 30;
    s.reverb_feedback_db = 50;
    s.gate_hold = -1;
    s.gate_release = 1 << 30;
    s.wah[2] = 0;
    s.bass[0] = 1;
    s.vibrato[0] = 0;
    s.dist_sense = 0;
    s.eq_curve.band_count = 12;  // not a band count: the equaliser stays as it was
    s.eq_curve.gains[0] = 99;
    s.eq_pregain_position = -9;
    ASSERT_EQ(0, e.set(s));
    const MixSettings t = get(e);
    EXPECT_EQ(1.6f, t.echo_delay) << "infinity is held at the slider's end";
    EXPECT_EQ(0.0f, t.echo_gain);
    EXPECT_EQ(-0.7f, t.pitch_offset);
    EXPECT_EQ(4096, t.pitch_frame);
    EXPECT_EQ(1, t.pitch_depth);
    EXPECT_EQ(0, t.sweep_period);
    EXPECT_EQ(50, t.sweep_depth);
    EXPECT_EQ(204, t.chorus_regeneration);
    EXPECT_EQ(10.0f, t.phaser_min_freq);
    EXPECT_EQ(4000.0f, t.phaser_max_freq);
    EXPECT_EQ(1.0f, t.phaser_rate);
    EXPECT_EQ(100.0f, t.phaser_feedback);
    EXPECT_EQ(1, t.am_freq);
    EXPECT_EQ(1, t.am_depth);
    EXPECT_EQ(1, t.am_shape) << "any shape but 0 is the triangle";
    EXPECT_EQ(1, t.comp_attack);
    EXPECT_EQ(-60, t.comp_threshold);
    EXPECT_EQ(100, t.reverb_tap_count);
    EXPECT_EQ(1, t.reverb_decay);
    EXPECT_EQ(1000, t.reverb_feedback_time);
    EXPECT_EQ(0, t.reverb_feedback_db);
    EXPECT_EQ(0, t.gate_hold);
    EXPECT_EQ(44100 * 2 * 15001 / 1000, t.gate_release);
    EXPECT_EQ(1, t.wah[2]);
    EXPECT_EQ(10, t.bass[0]);
    EXPECT_EQ(1, t.vibrato[0]);
    EXPECT_EQ(300, t.dist_sense);
    EXPECT_EQ(10, t.eq_curve.band_count);
    EXPECT_EQ(0, t.eq_curve.gains[0]);
    EXPECT_EQ(12, t.eq_pregain_position);
    e.edit([](EngineState& st) {
        EXPECT_LE(st.effects.phaser.feedback_factor(), 0.99);
        EXPECT_LE(st.effects.reverb.record(0).feedback, 0.99f);
        EXPECT_LT(st.effects.reverb.record(0).comb_delay, 65536);
        return 0;
    });
    // And the chain still runs clean over them.
    for (int id = 1; id <= 16; ++id) s.chain[id - 1] = uint8_t(id);
    s.eq_on = s.echo_on = s.pitch_on = s.sweep_on = s.chorus_on = s.phaser_on = s.am_on = s.comp_on = 1;
    s.reverb_on = s.odrv_on = s.dist_on = s.gate_on = s.wah_on = s.bass_on = s.vibrato_on = s.invert_on = 1;
    ASSERT_EQ(0, e.set(s));
    auto pcm = ref::interleave({ref::noise(32767, 20000, 1), ref::noise(32767, 20000, 2)});
    e.process(pcm.data(), int(pcm.size() * 2));
    StateCheck check;
    e.edit([&](EngineState& st) {
        for (int id = 1; id <= 16; ++id) st.effects.by_id(id)->check_state(check);
        return 0;
    });
    EXPECT_EQ(0, check.non_finite);
}

TEST(Settings, PhaserValuesPassThroughTheirFloatsUnchanged) {
    Engine e;
    e.init(44100, 2);
    for (int v = 1; v <= 100; ++v) {
        MixSettings s = get(e);
        s.phaser_rate = float(v);
        s.phaser_feedback = float(v);
        s.phaser_gain = float(1 + v % 10);
        ASSERT_EQ(0, e.set(s));
        const MixSettings t = get(e);
        ASSERT_EQ(float(v), t.phaser_rate);
        ASSERT_EQ(float(v), t.phaser_feedback);
        ASSERT_EQ(float(1 + v % 10), t.phaser_gain);
    }
}

TEST(Settings, EqualiserGainsComeBackAsTheyWent) {
    // Whole-dB gains through the slider positions and back, every value of the range.
    for (int db = -20; db <= 20; ++db) {
        EXPECT_EQ(db, slider::record_gain(slider::record_position(db))) << db;
    }
    Engine e;
    e.init(22050, 2);
    MixSettings s = get(e);
    s.eq_curve.band_count = 31;
    for (int b = 0; b < 31; ++b) s.eq_curve.gains[b] = b - 15;
    ASSERT_EQ(0, e.set(s));
    const MixSettings t = get(e);
    for (int b = 0; b < 31; ++b) EXPECT_EQ(b - 15, t.eq_curve.gains[b]);
    e.edit([](EngineState& st) {
        EXPECT_EQ(10, st.effects.eq.processing_bands()) << "22050 Hz processes 10 bands";
        return 0;
    });
}
