// The engine's lifecycle: defaults after init per format, init and close twice, data refresh.
#include <gtest/gtest.h>
#include <cmath>
#include "reference.h"
#include "soundfx/core/engine.h"
#include "soundfx/core/preset_path.h"

using namespace soundfx;

namespace {
template <class F>
auto peek(Engine& e, F&& f) {
    return e.edit([&](EngineState& s) { return f(s); });
}
}  // namespace

TEST(Engine, DefaultsAfterInitFollowTheFormat) {
    for (int rate : {8000, 11025, 22050, 32000, 44100, 48000}) {
        for (int channels : {1, 2}) {
            SCOPED_TRACE(std::to_string(rate) + " x " + std::to_string(channels));
            Engine e;
            e.begin();
            e.edit([](EngineState& s) {
                for (int id = 1; id <= 16; ++id) s.effects.by_id(id)->on = 1;
                return 0;
            });
            ASSERT_EQ(0, e.init(rate, channels));
            peek(e, [&](EngineState& s) {
                EffectSet& x = s.effects;
                for (int id = 1; id <= 16; ++id) EXPECT_EQ(0, x.by_id(id)->on) << id;
                EXPECT_EQ(500, x.gate.params().threshold);
                EXPECT_EQ(2 * rate * channels / 1000, x.gate.params().hold);
                EXPECT_EQ(rate * channels * 500 / 1000, x.gate.params().release);
                EXPECT_EQ(410, x.gate.params().hysteresis);
                EXPECT_FLOAT_EQ(0.6f, x.echo.params().delay);
                EXPECT_FLOAT_EQ(0.5f, x.echo.params().gain);
                EXPECT_EQ(2 * channels * int(std::floor(rate * double(0.6f))), x.echo.delay_bytes());
                EXPECT_EQ(2 * x.echo.delay_bytes() + 30000, x.echo.keep_bytes());
                EXPECT_NEAR(std::pow(10.0, -1.15), x.compressor.threshold_level(), 1e-12);
                EXPECT_NEAR(0.5, x.compressor.slope(), 1e-12);
                EXPECT_EQ(int(0.1 * rate), x.vibrato.period_samples());
                EXPECT_EQ(25, x.vibrato.depth_samples());
                EXPECT_EQ(rate, x.vibrato.ring_length());
                EXPECT_EQ(2048, x.pitch.params().frame);
                EXPECT_EQ(4, x.pitch.params().depth);
                EXPECT_EQ(10, x.pitch.rate_position());
                EXPECT_EQ(20, x.reverb.params().tap_count);
                EXPECT_EQ(2 * int(20 * rate * 0.003030303), x.reverb.record(1).comb_delay);
                EXPECT_NEAR(std::pow(10.0, -0.5), x.reverb.record(0).feedback, 1e-6);
                EXPECT_EQ(520, x.overdrive.params().sense);
                EXPECT_EQ(10000, x.distortion.params().sense);
                EXPECT_EQ(-10, x.am.params().gain);
                EXPECT_EQ('s', x.am.wave());
                EXPECT_EQ('a', x.am.mode);
                EXPECT_EQ(250, x.sweep.params().wet);
                EXPECT_EQ(SweepVoice::kChorus, x.chorus.mode());
                EXPECT_NEAR(12.5663708 / rate, x.wah.record(0).lfo_step, 1e-12);
                EXPECT_EQ(200.0, x.bass.shelf(1).freq);
                EXPECT_EQ(440, x.phaser.params().min_freq);
                EXPECT_EQ(is_eq_rate(rate) ? rate : 44100, x.eq.table_rate());
                EXPECT_EQ(rate, s.format.rate) << "the equaliser's table never rewrites the stream rate";
                return 0;
            });
        }
    }
}

TEST(Engine, InitKeepsThePhaserGainAndFeedbackAndThePageValues) {
    Engine e;
    e.init(44100, 2);
    e.edit([](EngineState& s) {
        s.effects.phaser.set_params({100, 2000, 10, 30, 9});
        s.effects.wah.set_params({10, 20, 30, 40});
        s.effects.vibrato.set_params({50, 60});
        return 0;
    });
    e.init(48000, 1);
    peek(e, [](EngineState& s) {
        EXPECT_EQ(440, s.effects.phaser.params().min_freq);
        EXPECT_EQ(50, s.effects.phaser.params().rate);
        EXPECT_EQ(30, s.effects.phaser.params().feedback);
        EXPECT_EQ(9, s.effects.phaser.params().gain);
        EXPECT_EQ(10, s.effects.wah.params().rate);
        EXPECT_EQ(60, s.effects.vibrato.params().depth);
        EXPECT_EQ(25, s.effects.vibrato.depth_samples()) << "the processing state is init's";
        return 0;
    });
}

TEST(Engine, InitAndCloseTwice) {
    Engine e;
    e.begin();
    e.init(44100, 2);
    e.edit([](EngineState& s) {
        s.effects.echo.on = 1;
        s.effects.eq.on = 1;
        s.effects.reverb.on = 1;
        return 0;
    });
    e.init(44100, 2);
    peek(e, [](EngineState& s) {
        EXPECT_EQ(0, s.effects.echo.on);
        EXPECT_TRUE(s.effects.echo.has_buffers());
        return 0;
    });
    e.edit([](EngineState& s) {
        s.effects.echo.on = 1;
        s.effects.eq.on = 1;
        s.effects.reverb.on = 1;
        return 0;
    });
    e.close();
    e.close();
    peek(e, [](EngineState& s) {
        EXPECT_EQ(1, s.effects.echo.on) << "close keeps the echo's and the equaliser's on bytes";
        EXPECT_EQ(1, s.effects.eq.on);
        EXPECT_EQ(0, s.effects.reverb.on);
        EXPECT_FALSE(s.effects.echo.has_buffers());
        EXPECT_FALSE(s.ready);
        return 0;
    });
    std::vector<int16_t> block(1000, 1000);
    EXPECT_EQ(2000, e.process(block.data(), 2000));
    EXPECT_EQ(std::vector<int16_t>(1000, 1000), block);
    e.begin();
    e.init(22050, 1);
    e.set_echo_on(true);
    EXPECT_EQ(2000, e.process(block.data(), 2000));
    EXPECT_NE(std::vector<int16_t>(1000, 1000), block) << "begin and init after close bring the chain back";
}

TEST(Engine, InitAt32000KeepsTheEqualiserCurveAndRefreshDoesNothing) {
    Engine e;
    e.begin();
    e.init(44100, 2);
    MixSettings s{};
    e.get(&s);
    s.eq_curve.band_count = 31;
    s.eq_curve.gains[4] = 12;
    s.eq_pregain_position = 20;
    ASSERT_EQ(0, e.set(s));
    e.init(32000, 2);
    MixSettings after{};
    e.get(&after);
    EXPECT_EQ(31, after.eq_curve.band_count);
    EXPECT_EQ(12, after.eq_curve.gains[4]);
    EXPECT_EQ(20, after.eq_pregain_position);
    // An echo tail survives a refresh at 32000 Hz.
    e.set_echo_on(true);
    e.edit([](EngineState& st) {
        st.effects.echo.set_params({0.05f, 0.9f});
        return 0;
    });
    std::vector<int16_t> burst(3200, 20000), quiet(3200, 0);  // 1600 frames: the delay
    e.process(burst.data(), 6400);
    EXPECT_EQ(32000, e.refresh());
    e.process(quiet.data(), 6400);
    EXPECT_NE(0, quiet[0]);
}

TEST(Engine, RefreshAtAnEqualiserRateClearsTheTails) {
    Engine e;
    EXPECT_EQ(0, e.refresh()) << "before the first init";
    e.init(44100, 1);
    e.set_echo_on(true);
    e.edit([](EngineState& st) {
        st.effects.echo.set_params({0.1f, 0.9f});
        return 0;
    });
    std::vector<int16_t> burst(4410, 20000), quiet(4410, 0);
    e.process(burst.data(), 8820);
    const int last = e.refresh();
    EXPECT_GE(last, -2);
    EXPECT_LE(last, 1);
    e.process(quiet.data(), 8820);
    EXPECT_EQ(std::vector<int16_t>(4410, 0), quiet);
}

TEST(Engine, SetEqAndEchoSwitchTheirOnBytes) {
    Engine e;
    e.init(44100, 2);
    e.set_eq_on(true);
    e.set_echo_on(true);
    MixSettings s{};
    e.get(&s);
    EXPECT_EQ(1, s.eq_on);
    EXPECT_EQ(1, s.echo_on);
    e.set_eq_on(false);
    e.get(&s);
    EXPECT_EQ(0, s.eq_on);
}

TEST(PresetPath, BesideTheLibrarysOwnFile) {
    EXPECT_EQ("C:\\Program\\tarmelo\\tolmeqset.eq", preset_path_beside("C:\\Program\\tarmelo\\olumbra.dll"));
    // A GBK character whose second byte is a backslash is not a separator.
    EXPECT_EQ(std::string("Z:\\a\x81\\b\\tolmeqset.eq"), preset_path_beside(std::string("Z:\\a\x81\\b\\olumbra.dll")));
    EXPECT_EQ("", preset_path_beside("olumbra.dll"));
    EXPECT_EQ("", preset_path_beside("C:\\" + std::string(250, 'x') + "\\olumbra.dll")) << "would not fit in 256 bytes";
}
