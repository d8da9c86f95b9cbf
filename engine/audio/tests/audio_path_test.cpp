// The audio path over recording fakes (the PCM converter real): chunking, effects pieces, the three
// encoding loops with their leftovers, the channel pick, wave output and the level scope, the feeder
// and the end of an output.
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>
#include "engine/audio/audio_path.h"
#include "engine/audio/scope_bell.h"
#include "engine/output/output_session.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/testing/conversion_driver.h"
#include "engine/testing/recording_calls.h"
#include "engine/wave/wave_out.h"
#include "tests/support/signal_check.h"

namespace {

std::vector<int> g_effect_pieces;
std::vector<int16_t> g_played;

int record_effect(short*, int bytes) {
    g_effect_pieces.push_back(bytes);
    return bytes;
}

// A wave device that takes every buffer at once and keeps what it was given.
WaveDevice keeping_device() {
    WaveDevice d;
    d.open = [](const WaveFormat&) { return true; };
    d.write = [](int, uint8_t* data, int length) {
        const size_t before = g_played.size();
        g_played.resize(before + size_t(length / 2));
        std::memcpy(g_played.data() + before, data, size_t(length / 2) * 2);
        wave_out_buffer_done();
        return true;
    };
    d.unprepare = [](int) {};
    d.reset = [] {};
    d.close = [] {};
    d.allocate = [](size_t n) { return std::calloc(n, 1); };
    d.release = [](void* p) { std::free(p); };
    d.clock = g_outside.clock;
    return d;
}

std::vector<int16_t> ramp(size_t samples, int channels = 1) {
    std::vector<int16_t> v(samples);
    for (size_t i = 0; i < samples; ++i) v[i] = int16_t((i / size_t(channels)) % 30000 + (i % channels) * 7);
    return v;
}

class AudioPath : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::install(g_outside);
        g_effect_pieces.clear();
        g_played.clear();
        cfg_merge_mode = 0;
        cfg_aac_sample_rate = 44100;
        cfg_aac_channels = 2;
        cfg_aac_channel_mode = 0;
        cfg_amr_channel_mode = 0;
        cfg_mp3_sample_rate = 44100;
        cfg_mp3_channels = 2;
        cfg_mp3_coding_type = 0;
        g_out_width = 176;
        g_out_height = 144;
        set_flag(g_busy, true);
        set_flag(g_write_output, true);
        set_flag(g_play_sound, false);
        set_flag(g_scope_feed, false);
        ASSERT_TRUE(pcm_buffer_allocate());
    }
    void TearDown() override {
        set_flag(g_busy, false);
        g_output.close_at_end();
        g_output.end_run();
        audio_release();
        pcm_buffer_free();
        wave_out_close();
        set_flag(g_write_output, false);
        set_flag(g_play_sound, false);
        set_flag(g_scope_feed, false);
        g_outside = OutsideCalls{};
    }
    // An output of the format with a sound track; the source at rate x channels.
    void open_output(int format, int source_rate, int source_channels) {
        g_out_format = format;
        g_output.begin_run(format, VideoCodec::kH263, false);
        ASSERT_TRUE(g_output.set_up_sound(false));
        const MediaJob job = test_job("in.mpg", 176, 144, 25, source_rate, source_channels);
        ASSERT_TRUE(g_output.set_up_video(job));
        ASSERT_TRUE(g_output.create("out", job, true));
        audio_set_up_job(source_rate, source_channels);
    }
    void play(const std::vector<int16_t>& pcm) { play_bytes(pcm.data(), int(pcm.size() * 2)); }
    void play_bytes(const void* data, int bytes) {
        g_pcm_len = 0;
        ASSERT_EQ(bytes, pcm_append(data, bytes));
        audio_play_speed(true, 0, 0, g_speed_ratio, 0);
    }
};

TEST(AudioChunks, TableBySpeed) {
    struct Case {
        double speed;
        int chunk, work;
    } cases[] = {{1.0, 4096, 40960}, {2.5, 2000, 40000}, {0.25, 3072, 49152}, {0.5, 5120, 92160},
                 {0.9, 5120, 92160}, {1.5, 8192, 184320}, {2.0, 8192, 184320}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.chunk, audio_chunking(c.speed).chunk) << c.speed;
        EXPECT_EQ(c.work, audio_chunking(c.speed).work) << c.speed;
    }
}

TEST_F(AudioPath, BlockGoesInChunksThroughTheEffects) {
    open_output(kOutMp4, 44100, 2);
    g_outside.tolmmix_change = record_effect;
    std::vector<int16_t> pcm = ramp(5000, 2);
    play(pcm);
    EXPECT_EQ((std::vector<int>{4096, 4096, 1808}), g_effect_pieces);
    // Not bound: the step is skipped, the sound still encoded.
    g_outside.tolmmix_change = nullptr;
    play(pcm);
    EXPECT_EQ(3u, g_effect_pieces.size());
    EXPECT_EQ(4u, fakes::named("aacbuf_encode").size()) << "20000 bytes: four 4096-byte frames";
}

TEST_F(AudioPath, AmrBlocksCarryTheirLeftoverToTheNextCall) {
    open_output(kOut3gp, 8000, 1);
    std::vector<int16_t> pcm = ramp(500);  // 1000 bytes
    play(pcm);
    ASSERT_EQ(1, fakes::count("amrbuf_encode"));
    EXPECT_EQ((std::vector<int64_t>{640, 4096}), fakes::named("amrbuf_encode")[0].args);
    ASSERT_EQ(1, fakes::count("mp4en_audio"));
    EXPECT_EQ(320, fakes::named("mp4en_audio")[0].args[2]);
    std::vector<int16_t> more = ramp(140);  // 280 bytes: with the 360 held, one more block
    for (int16_t& s : more) s = int16_t(-s);
    play(more);
    ASSERT_EQ(2, fakes::count("amrbuf_encode"));
    ASSERT_EQ(640u, fakes::pcm_seen.size());
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), fakes::pcm_seen.begin()));
    EXPECT_TRUE(std::equal(more.begin(), more.end(), fakes::pcm_seen.begin() + 500));
}

TEST_F(AudioPath, AacAndMp3FramesJoinAcrossCalls) {
    for (int format : {kOutMp4, kOutAvi}) {
        SCOPED_TRACE(format);
        fakes::install(g_outside);
        open_output(format, 44100, 2);
        std::vector<int16_t> all = ramp(3 * 1500 * 2, 2);
        for (int i = 0; i < 3; ++i)
            play_bytes(all.data() + i * 3000, 6000);
        // 18000 bytes: frames of 4096 (AAC, 1024 x 2) or 4608 (MP3, 1152 x 2) bytes.
        const size_t frame = format == kOutMp4 ? 2048 : 2304;
        ASSERT_EQ(18000 / (2 * frame) * frame, fakes::pcm_seen.size());
        EXPECT_TRUE(std::equal(fakes::pcm_seen.begin(), fakes::pcm_seen.end(), all.begin()));
        if (format == kOutMp4) {
            // The time each AAC frame is given: (bytes so far, this chunk included, + bytes used before
            // the frame in this call) x 500 / (rate x channels). Each 6000-byte block is a 4096-byte and
            // a 1904-byte chunk; frames complete with the chunks that bring the totals to 4096, 10096,
            // 16096 and 18000 bytes.
            const auto calls = fakes::named("aacbuf_encode");
            ASSERT_EQ(4u, calls.size());
            EXPECT_EQ(4096 * 500 / 88200, calls[0].args[2]);
            EXPECT_EQ(10096 * 500 / 88200, calls[1].args[2]);
            EXPECT_EQ(16096 * 500 / 88200, calls[2].args[2]);
            EXPECT_EQ(18000 * 500 / 88200, calls[3].args[2]);
        }
        g_output.close_at_end();
        g_output.end_run();
    }
}

TEST_F(AudioPath, MonoOutputKeepsTheChosenChannelForEncodingAndPlaying) {
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        fakes::install(g_outside);
        g_played.clear();
        cfg_amr_channel_mode = mode;
        open_output(kOut3gp, 8000, 2);
        wave_out_set_device(keeping_device());
        ASSERT_EQ(0, wave_out_open(pcm_wave_format(8000, 1)));
        set_flag(g_play_sound, true);
        std::vector<int16_t> stereo(8000 * 2);
        for (size_t i = 0; i < stereo.size(); i += 2) {
            stereo[i] = 1000;
            stereo[i + 1] = -3000;
        }
        play(stereo);
        audio_end_of_job();
        const int16_t expected = mode == 0 ? -1000 : mode == 1 ? 1000 : -3000;
        ASSERT_GT(fakes::pcm_seen.size(), 7000u);
        EXPECT_EQ(expected, fakes::pcm_seen[fakes::pcm_seen.size() / 2]);
        ASSERT_GT(g_played.size(), 7000u);
        EXPECT_EQ(expected, g_played[g_played.size() / 2]);
        wave_out_close();
        set_flag(g_play_sound, false);
        g_output.close_at_end();
        g_output.end_run();
    }
}

// 8 kHz mono to 96 kHz stereo: a 2000-byte chunk becomes 48000 bytes, which stay in the conversion's
// buffer (under AddressSanitizer nothing is written past a buffer), reach the effects in pieces of
// at most 16384 bytes and the scope with at most 8190 frames.
TEST_F(AudioPath, LargeRatioConvertsCleanlyInPieces) {
    cfg_aac_sample_rate = 96000;
    cfg_aac_channels = 2;
    open_output(kOutMp4, 8000, 1);
    EXPECT_DOUBLE_EQ(12.0, g_speed_ratio);
    g_outside.tolmmix_change = record_effect;
    set_flag(g_scope_feed, true);
    std::vector<int16_t> tone = signal_check::tone(440, 12000, 8000, 1, 8000);
    play(tone);
    audio_end_of_output();
    ASSERT_FALSE(g_effect_pieces.empty());
    EXPECT_EQ(16384, g_effect_pieces[0]);
    for (int piece : g_effect_pieces) EXPECT_LE(piece, 16384);
    EXPECT_EQ(kScopeMaxFrames, g_scope_count.load());
    // The whole second comes out at 96 kHz stereo (the converter's tail included), at its frequency.
    const size_t samples = fakes::pcm_seen.size();
    EXPECT_GE(samples, size_t(96000 * 2));
    EXPECT_LE(samples, size_t(96000 * 2 + 2048 * 3));
    std::vector<double> left = signal_check::channel(fakes::pcm_seen, 2, 0);
    std::vector<double> middle(left.begin() + 10000, left.begin() + 86000);
    EXPECT_NEAR(440.0, signal_check::dominant_frequency(middle, 96000), 2.0);
}

TEST_F(AudioPath, WithoutWritingTheSoundIsStillPlayedAndScoped) {
    open_output(kOutMp4, 44100, 2);
    wave_out_set_device(keeping_device());
    ASSERT_EQ(0, wave_out_open(pcm_wave_format(44100, 2)));
    set_flag(g_play_sound, true);
    set_flag(g_scope_feed, true);
    set_flag(g_write_output, false);
    std::vector<int16_t> pcm(44100 * 2);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = int16_t(i % 2 ? -20000 : 300);
    play(pcm);
    EXPECT_EQ(0, fakes::count("aacbuf_encode"));
    EXPECT_GE(g_played.size(), pcm.size() - 2048);
    EXPECT_EQ(1024, g_scope_count.load()) << "a 4096-byte chunk of stereo";
    EXPECT_EQ(300 >> 8, g_scope_left[10]);
    EXPECT_EQ(20000 >> 8, g_scope_right[10]);
}

TEST_F(AudioPath, ShortChunksAreGatheredForTheScope) {
    open_output(kOutMp4, 44100, 2);
    set_flag(g_scope_feed, true);
    set_flag(g_write_output, false);
    g_scope_count = 0;
    std::vector<int16_t> pcm(500, 4000);  // 1000 bytes, under 2048
    for (int i = 0; i < 9; ++i) play(pcm);
    EXPECT_EQ(0, g_scope_count.load()) << "9000 bytes gathered: the ninth chunk came with 8000 before it";
    play(pcm);
    EXPECT_EQ(10000 / 4, g_scope_count.load());
    EXPECT_EQ(4000 >> 8, g_scope_left[0]);
}

TEST_F(AudioPath, AScopedBlockWakesTheWaitingScopeThread) {
    open_output(kOutMp4, 44100, 2);
    set_flag(g_scope_feed, true);
    set_flag(g_write_output, false);
    g_scope_count = 0;
    bool woken = false;
    // A waiter that sees no new count by itself: only the feed's ring ends its wait before 20 s.
    std::thread waiter([&woken] { woken = scope_bell_wait(g_scope_count, 0, std::chrono::seconds(20)); });
    while (scope_bell_waiters() == 0) std::this_thread::yield();
    play(std::vector<int16_t>(2048 * 2, 4000));  // 8192 bytes, one block for the scope
    waiter.join();
    EXPECT_TRUE(woken);
    EXPECT_EQ(1024, g_scope_count.load()) << "the last 4096-byte chunk";
}

TEST_F(AudioPath, FeederHandsLongSoundOnInPieces) {
    open_output(kOutMp4, 44100, 2);
    std::vector<int16_t> pcm = ramp(200000, 2);  // 400000 bytes, over two PCM blocks
    audio_feed(pcm.data(), pcm.size() * 2, 1.0);
    EXPECT_EQ(400000 / 4096 * 2048, fakes::pcm_seen.size());
    EXPECT_TRUE(std::equal(fakes::pcm_seen.begin(), fakes::pcm_seen.end(), pcm.begin()));
    EXPECT_EQ(0, g_pcm_len);
}

// A reader filling the shared PCM block through its output description, sink included.
TEST_F(AudioPath, ReaderOutputOverTheSharedBlockReachesTheEncoder) {
    open_output(kOutMp4, 44100, 2);
    MediaOutput out = shared_media_output();
    out.pcm_rate = 44100;
    out.pcm_channels = 2;
    out.on_sound = audio_take_block;
    EXPECT_EQ(g_pcm_buf, out.pcm);
    EXPECT_EQ(size_t(kPcmBlockBytes), out.pcm_capacity);
    std::vector<int16_t> pcm = ramp(4096 * 3, 2);
    std::memcpy(out.pcm, pcm.data(), pcm.size() * 2);
    out.pcm_length = pcm.size() * 2;
    ASSERT_TRUE(out.flush_sound());
    EXPECT_EQ(0u, out.pcm_length);
    ASSERT_EQ(pcm.size(), fakes::pcm_seen.size());
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), fakes::pcm_seen.begin()));
    // A block elsewhere goes through the feeder.
    audio_take_block(sound::block(pcm.data(), pcm.size() * 2, 2, 44100));
    EXPECT_EQ(2 * pcm.size(), fakes::pcm_seen.size());
}

TEST_F(AudioPath, EndOfOutputLeavesNoSampleUnencoded) {
    for (int format : {kOut3gp, kOutMp4, kOutAvi}) {
        SCOPED_TRACE(format);
        fakes::install(g_outside);
        const int rate = format == kOut3gp ? 8000 : 44100, channels = format == kOut3gp ? 1 : 2;
        open_output(format, rate, channels);
        std::vector<int16_t> pcm = ramp(size_t(rate) * channels / 3, channels);  // a third of a second
        play(pcm);
        audio_end_of_output();
        ASSERT_GE(fakes::pcm_seen.size(), pcm.size());
        EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), fakes::pcm_seen.begin()));
        const size_t frame = format == kOut3gp ? 160 : format == kOutMp4 ? 2048 : 2304;
        const size_t flush = format == kOutMp4 ? 2 * frame : 0;  // AAC: silent frames push the held ones out
        EXPECT_LT(fakes::pcm_seen.size(), pcm.size() + frame + flush);
        if (format == kOutAvi) {
            EXPECT_LT(fakes::find("tolmmp3enccode"), fakes::find("tolmmp3encend"));
        }
        // Closing afterwards codes nothing more.
        const size_t seen = fakes::pcm_seen.size();
        g_output.close_at_end();
        EXPECT_EQ(seen, fakes::pcm_seen.size());
        g_output.end_run();
    }
}

}  // namespace
