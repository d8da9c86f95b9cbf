// The output session's rules, each over recording fakes: rates and durations, failing set-ups, the
// H.264 track, the intra cadence, AVI pictures at another job's rate, MP3 header rates and frames.
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>
#include "base/message_seam.h"
#include "engine/output/output_session.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/testing/conversion_driver.h"
#include "engine/testing/recording_calls.h"
#include "engine/testing/recording_ui.h"
#include "tests/support/signal_check.h"

namespace {

constexpr int kW = 176, kH = 144;
const std::vector<std::string> kOutputs = {"out0", "out1", "out2"};

std::vector<std::string> g_boxes;
int record_box(const char* text, const char*, unsigned, void*) {
    g_boxes.push_back(text);
    return seam::kAnswerOk;
}

DriverJob picture_job(double fps, int pictures, int rate = 0, int channels = 0) {
    DriverJob j;
    j.job = test_job("C:\\media\\clip.avi", kW, kH, fps, rate, channels);
    j.pictures = pictures;
    j.picture = [](int p) { return signal_check::moving_picture(kW, kH, p); };
    if (rate > 0)
        j.sound = [rate, channels, fps](int p) {
            const int64_t first = int64_t(p * rate / fps), last = int64_t((p + 1) * rate / fps);
            return signal_check::tone(500, 8000, rate, channels, last - first, first);
        };
    return j;
}

class OutputSessionRules : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::install(g_outside);
        seam::set_reporter(record_box, nullptr);
        g_boxes.clear();
        g_out_width = kW;
        g_out_height = kH;
        cfg_merge_mode = 0;
        cfg_keyframe_interval = 20;
        cfg_mp3_coding_type = 0;
        cfg_mp3_sample_rate = 44100;
        cfg_mp3_channels = 2;
        cfg_aac_sample_rate = 44100;
        cfg_aac_channels = 2;
        cfg_amr_rate = 7;
    }
    void TearDown() override {
        seam::set_reporter(nullptr, nullptr);
        g_outside = OutsideCalls{};
    }
    DriverResult run(int format, int codec, const std::vector<DriverJob>& jobs) {
        g_out_format = format;
        cfg_mp4_video_codec = cfg_avi_video_codec = codec;
        return drive_conversion(jobs, kOutputs, ui, g_outside.clock);
    }
    RecordingUi ui;
};

TEST_F(OutputSessionRules, AviHeaderRateIsExactAndAZeroRateTakesItsDefault) {
    struct Case {
        double fps;
        int merged;
        int64_t rate, scale, set_video_millis;
    } cases[] = {
        {0.0, 0, 25, 1, 25000},       // one file per job: 25
        {0.0, 1, 15, 1, 15000},       // merged: 15
        {29.97, 0, 30000, 1001, 29970},
        {23.976, 1, 24000, 1001, 23976},
        {25.0, 0, 25, 1, 25000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fps);
        fakes::install(g_outside);
        cfg_merge_mode = c.merged;
        ASSERT_TRUE(run(kOutAvi, 1, {picture_job(c.fps, 3)}).set_up);
        const auto rates = fakes::named("AVI_set_video_rate");
        ASSERT_EQ(1u, rates.size());
        EXPECT_EQ(c.rate, rates[0].args[0]);
        EXPECT_EQ(c.scale, rates[0].args[1]);
        const auto video = fakes::named("AVI_set_video:xvid");
        ASSERT_EQ(1u, video.size());
        EXPECT_EQ(c.set_video_millis, video[0].args[2]);
        // Xvid's time base follows the same rate.
        const auto create = fakes::named("xvid_create");
        ASSERT_EQ(1u, create.size());
        EXPECT_EQ(c.scale, create[0].args[2]) << "fincr";
        EXPECT_EQ(c.rate, create[0].args[3]) << "fbase";
    }
}

TEST_F(OutputSessionRules, Mp4DurationsFollowTheExactRate) {
    ASSERT_TRUE(run(kOutMp4, 1, {picture_job(29.97, 6)}).set_up);
    std::vector<int64_t> durations;
    for (const auto& c : fakes::named("mp4en_video")) durations.push_back(c.args[2]);
    EXPECT_EQ((std::vector<int64_t>{33, 34, 33, 33, 34, 33}), durations);
    fakes::install(g_outside);
    ASSERT_TRUE(run(kOutMp4, 2, {picture_job(0.0, 3)}).set_up);
    durations.clear();
    for (const auto& c : fakes::named("mp4en_video")) durations.push_back(c.args[2]);
    EXPECT_EQ((std::vector<int64_t>{6000, 6000, 6000}), durations) << "a rate of 0 is 15 at 90 kHz";
    const auto init = fakes::named("tolm264encode_init");
    ASSERT_EQ(1u, init.size());
    EXPECT_EQ(15, init[0].args[3]);
    EXPECT_EQ(20, init[0].args[2]);
}

TEST_F(OutputSessionRules, FailingSetUpEndsTheRunWithTheFormatsBoxAndNoFile) {
    struct Case {
        const char* what;
        int format, codec;
        void (*fail)();
        const char* box;
    } cases[] = {
        {"aac", kOutMp4, 0, [] { fakes::behaviour.aac_init_override = -1; }, "创建MP4文件错误"},
        {"mp3", kOutAvi, 0, [] { fakes::behaviour.mp3_init = -1; }, "创建AVI文件错误"},
        {"amr", kOut3gp, 0, [] { fakes::behaviour.amr_init = -1; }, "创建3GP文件错误"},
        {"xvid", kOutMp4, 1, [] { fakes::behaviour.xvid_create = -1; }, "创建MP4文件错误"},
        {"x264", kOutAvi, 2, [] { fakes::behaviour.x264_init = -1; }, "创建AVI文件错误"},
        {"h263", kOut3gp, 0, [] { fakes::behaviour.h263_init = -1; }, "创建3GP文件错误"},
        {"mp4 file", kOutMp4, 0, [] { fakes::behaviour.mp4_init = -1; }, "创建MP4文件错误"},
        {"avi file", kOutAvi, 0, [] { fakes::behaviour.avi_open_fails = true; }, "创建AVI文件错误"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fakes::install(g_outside);
        g_boxes.clear();
        c.fail();
        const DriverResult r = run(c.format, c.codec, {picture_job(25, 3, 8000, 1)});
        EXPECT_FALSE(r.set_up && fakes::count("mp4en_video") + fakes::count("AVI_write_frame") > 0);
        ASSERT_EQ(1u, g_boxes.size());
        EXPECT_EQ(c.box, g_boxes[0]);
        EXPECT_EQ(0, fakes::count("mp4en_video") + fakes::count("AVI_write_frame"));
    }
}

TEST_F(OutputSessionRules, H264TrackIsAddedOnceWhenTheSequenceSetFirstComes) {
    fakes::install(g_outside);
    fakes::behaviour.x264_sps_after = 3;
    ASSERT_TRUE(run(kOutMp4, 2, {picture_job(25, 8)}).set_up);
    const std::vector<std::string> order = fakes::names(
        {"tolm264encode_encode", "mp4_add264", "mp4_add264pps", "mp4_add264sps", "mp4en_video", "tolm264encode_getx264"});
    // Pictures 1 and 2 are coded before the sequence set exists; the track goes in after picture 3.
    const std::vector<std::string> expected_start = {
        "tolm264encode_encode", "mp4en_video", "tolm264encode_encode", "mp4en_video", "tolm264encode_encode",
        "tolm264encode_getx264", "mp4_add264", "mp4_add264pps", "mp4_add264sps", "mp4en_video"};
    ASSERT_GE(order.size(), expected_start.size());
    EXPECT_EQ(expected_start, std::vector<std::string>(order.begin(), order.begin() + expected_start.size()));
    EXPECT_EQ(1, fakes::count("mp4_add264"));
    EXPECT_EQ(8, fakes::count("mp4en_video")) << "every coded picture is handed on";
    const auto add = fakes::named("mp4_add264");
    EXPECT_EQ((std::vector<int64_t>{kW, kH, 30, 0xC0, 66}), add[0].args) << "level, compatibility, profile";
    EXPECT_EQ(0, fakes::count("mp4en_addvideo"));
    // AVI: the parameter sets stay in the pictures.
    fakes::install(g_outside);
    ASSERT_TRUE(run(kOutAvi, 2, {picture_job(25, 4)}).set_up);
    EXPECT_EQ(4, fakes::count("tolm264encode_encodeavi"));
    EXPECT_EQ(0, fakes::count("mp4_add264"));
    EXPECT_EQ(0, fakes::count("tolm264encode_getsps"));
}

// Intra every interval-th picture, counted from each job's first, also in a merged output.
TEST_F(OutputSessionRules, H263IntraCadenceRestartsWithEveryJob) {
    for (int interval : {1, 20}) {
        for (int merged = 0; merged <= 1; ++merged) {
            SCOPED_TRACE(std::to_string(interval) + (merged ? " merged" : ""));
            fakes::install(g_outside);
            cfg_keyframe_interval = interval;
            cfg_merge_mode = merged;
            cfg_3gp_size_choice = 5;
            ASSERT_TRUE(run(kOut3gp, 0, {picture_job(25, 45), picture_job(25, 45)}).set_up);
            const auto encodes = fakes::named("h263encode_encode");
            ASSERT_EQ(90u, encodes.size());
            for (int i = 0; i < 90; ++i) {
                EXPECT_EQ((i % 45) % interval == 0 ? 1 : 0, encodes[i].args[1]) << "picture " << i;
                EXPECT_EQ(5, encodes[i].args[0]) << "the 3GP size choice goes along";
            }
            // Key flags reach the AVI index the same way.
        }
    }
    fakes::install(g_outside);
    cfg_keyframe_interval = 20;
    ASSERT_TRUE(run(kOutAvi, 0, {picture_job(25, 41)}).set_up);
    const auto frames = fakes::named("AVI_write_frame");
    ASSERT_EQ(41u, frames.size());
    for (int i = 0; i < 41; ++i) EXPECT_EQ(i % 20 == 0 ? 1 : 0, frames[i].args[1]) << i;
}

TEST_F(OutputSessionRules, MergedAviRepeatsOrDropsPicturesOfAJobAtAnotherRate) {
    cfg_merge_mode = 1;
    // 25 fps header; 10 pictures at 50 fps last 0.2 s (5 pictures), 10 at 12.5 fps 0.8 s (20 pictures).
    const DriverResult r = run(kOutAvi, 1, {picture_job(25, 10), picture_job(50, 10), picture_job(12.5, 10)});
    ASSERT_TRUE(r.set_up);
    EXPECT_EQ(10 + 5 + 20, fakes::count("AVI_write_frame"));
    EXPECT_EQ(10 + 5 + 20, fakes::count("xvid_encode"));
    ASSERT_EQ(1u, r.outputs.size());
    EXPECT_DOUBLE_EQ(1.4, r.outputs[0].picture_seconds);
    // MP4 keeps every picture with its own duration.
    fakes::install(g_outside);
    const DriverResult mp4 = run(kOutMp4, 1, {picture_job(25, 10), picture_job(50, 10), picture_job(12.5, 10)});
    EXPECT_EQ(30, fakes::count("mp4en_video"));
    EXPECT_DOUBLE_EQ(1.4, mp4.outputs[0].picture_seconds);
}

TEST_F(OutputSessionRules, Mp3HeaderRateAndFramesByCodingType) {
    struct Case {
        int type;
        const char* init;
        int64_t kbps;
        bool vbr;
    } cases[] = {{0, "tolmmp3encinit_new", 160, false}, {1, "tolmmp3encinit_vbr", (64 + 192) / 2, true},
                 {2, "tolmmp3encinit_abr", 112, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.init);
        fakes::install(g_outside);
        cfg_mp3_coding_type = c.type;
        cfg_mp3_cbr_rate = 160;
        cfg_mp3_vbr_min = 64;
        cfg_mp3_vbr_max = 192;
        cfg_mp3_abr_rate = 112;
        ASSERT_TRUE(run(kOutAvi, 0, {picture_job(25, 25, 44100, 2)}).set_up);
        EXPECT_EQ(1, fakes::count(c.init));
        const auto audio = fakes::named("AVI_set_audio");
        ASSERT_EQ(1u, audio.size());
        EXPECT_EQ((std::vector<int64_t>{2, 44100, 16, 0x55, c.kbps}), audio[0].args);
        const auto vbr = fakes::named("AVI_set_audio_vbr");
        ASSERT_EQ(c.vbr ? 1u : 0u, vbr.size());
        if (c.vbr) {
            EXPECT_EQ(1152, vbr[0].args[0]);
        }
        // Every coded block is one 417-byte frame of the fake; the encoder's last frames come before
        // the file is closed.
        const auto writes = fakes::named("AVI_write_audio");
        ASSERT_FALSE(writes.empty());
        for (const auto& w : writes) EXPECT_EQ(417, w.args[0]);
        EXPECT_LT(fakes::find("tolmmp3encend"), fakes::find("AVI_close"));
        EXPECT_LT(fakes::find("AVI_write_audio", fakes::find("tolmmp3encend")), fakes::find("AVI_close"));
    }
    // A block that does not start with the sync byte is not written.
    fakes::install(g_outside);
    fakes::behaviour.mp3_first_byte = 0x00;
    ASSERT_TRUE(run(kOutAvi, 0, {picture_job(25, 25, 44100, 2)}).set_up);
    EXPECT_GT(fakes::count("tolmmp3enccode"), 0);
    EXPECT_EQ(0, fakes::count("AVI_write_audio"));
}

TEST_F(OutputSessionRules, AmrAndAacSetUpTakeTheirSettings) {
    for (int setting = 0; setting < 9; ++setting) {
        fakes::install(g_outside);
        cfg_amr_rate = setting;
        ASSERT_TRUE(run(kOut3gp, 0, {picture_job(25, 2, 8000, 1)}).set_up);
        static const int64_t kModes[] = {475, 515, 59, 67, 74, 795, 102, 122, 122};
        ASSERT_EQ(1, fakes::count("amrbuf_init"));
        EXPECT_EQ(kModes[setting], fakes::named("amrbuf_init")[0].args[0]);
        EXPECT_EQ((std::vector<int64_t>{1, 8000, 1, 2}), fakes::named("mp4en_addaudio")[0].args);
    }
    fakes::install(g_outside);
    cfg_aac_sample_rate = 32000;
    cfg_aac_channels = 1;
    cfg_aac_bitrate = 96000;
    cfg_aac_type = 1;
    ASSERT_TRUE(run(kOutMp4, 0, {picture_job(25, 2, 32000, 1)}).set_up);
    EXPECT_EQ((std::vector<int64_t>{32000, 1, 96000, 6, 1, 1}), fakes::named("aacbuf_init")[0].args);
    EXPECT_EQ((std::vector<int64_t>{2, 32000, 1, 1024}), fakes::named("mp4en_addaudio")[0].args);
    EXPECT_EQ(2, fakes::named("mp4en_setaudioinfo")[0].args[0]);
    EXPECT_EQ(1024, fakes::named("mp4en_setaudiodelay")[0].args[0]) << "the encoder's one-frame start-up delay";
    EXPECT_EQ(32000, g_out_rate);
    EXPECT_EQ(1, g_out_channels);
}

TEST_F(OutputSessionRules, LaterJobsKeepTheRunsSoundFormat) {
    cfg_merge_mode = 0;
    const std::vector<DriverJob> jobs = {picture_job(25, 2, 44100, 2), picture_job(25, 2, 44100, 2)};
    g_out_format = kOutMp4;
    cfg_mp4_video_codec = 1;
    cfg_aac_sample_rate = 44100;
    cfg_aac_channels = 2;
    // The settings change during the run: the second set-up keeps rate and channels.
    g_output.begin_run(kOutMp4, VideoCodec::kMpeg4, false);
    ASSERT_TRUE(g_output.set_up_sound(false));
    cfg_aac_sample_rate = 22050;
    cfg_aac_channels = 1;
    cfg_aac_bitrate = 64000;
    ASSERT_TRUE(g_output.set_up_sound(true));
    const auto inits = fakes::named("aacbuf_init");
    ASSERT_EQ(2u, inits.size());
    EXPECT_EQ(44100, inits[1].args[0]);
    EXPECT_EQ(2, inits[1].args[1]);
    EXPECT_EQ(64000, inits[1].args[2]) << "other settings are read again";
    EXPECT_EQ(44100, g_out_rate);
    g_output.close_at_end();
    g_output.end_run();
}

TEST_F(OutputSessionRules, OutputSizeIsRoundedForTheCodec) {
    struct Case {
        int codec, w, h, out_w, out_h;
    } cases[] = {{0, 350, 262, 348, 260}, {1, 350, 262, 350, 262}, {2, 351, 263, 350, 262}, {0, 10, 8, 16, 16},
                 {0, 174, 98, 172, 96}};
    for (const Case& c : cases) {
        fakes::install(g_outside);
        g_out_width = c.w;
        g_out_height = c.h;
        ASSERT_TRUE(run(kOutAvi, c.codec, {picture_job(25, 1)}).set_up);
        EXPECT_EQ(c.out_w, g_out_width);
        EXPECT_EQ(c.out_h, g_out_height);
        const auto video = fakes::calls[size_t(fakes::find(c.codec == 0 ? "h263encode_init"
                                                            : c.codec == 1 ? "xvid_create"
                                                                           : "tolm264encode_init"))];
        EXPECT_EQ(c.out_w, video.args[0]);
        EXPECT_EQ(c.out_h, video.args[1]);
    }
}

TEST_F(OutputSessionRules, XvidTakesThePicturesRealStride) {
    g_out_width = 350;
    g_out_height = 262;
    ASSERT_TRUE(run(kOutAvi, 1, {picture_job(25, 2)}).set_up);
    const auto encodes = fakes::named("xvid_encode");
    ASSERT_EQ(2u, encodes.size());
    EXPECT_EQ(1052, encodes[0].args[0]) << "(3 x 350 + 3) & ~3";
    EXPECT_EQ(0x200, encodes[0].args[1]) << "B,G,R";
    EXPECT_EQ(1052 * 262 / 2, encodes[0].args[2]);
}

// Sound written from a second thread (as the DirectShow branch does) while pictures are written: every
// call reaches the output whole and in one piece, one at a time.
TEST_F(OutputSessionRules, PicturesAndSoundFromTwoThreadsGoThroughOneLock) {
    g_out_format = kOutMp4;
    cfg_mp4_video_codec = 1;
    g_output.begin_run(kOutMp4, VideoCodec::kMpeg4, false);
    ASSERT_TRUE(g_output.set_up_sound(false));
    const MediaJob job = test_job("x.avi", kW, kH, 25, 44100, 2);
    ASSERT_TRUE(g_output.set_up_video(job));
    ASSERT_TRUE(g_output.create("out.mp4", job, true));
    g_output.begin_job(job);
    set_flag(g_busy, true);
    set_flag(g_write_output, true);
    std::thread sound([] {
        std::vector<uint8_t> pcm(4096, 1);
        for (int i = 0; i < 400; ++i) g_output.write_sound(pcm.data(), int(pcm.size()));
    });
    const CRgbImage picture(kW, kH);
    for (int i = 0; i < 200; ++i) g_output.write_picture(picture.view());
    sound.join();
    EXPECT_EQ(200, fakes::count("mp4en_video"));
    EXPECT_EQ(400 - 1, fakes::count("mp4en_audio")) << "one frame held by the encoder's delay";
    set_flag(g_busy, false);
    g_output.close_at_end();
    g_output.end_run();
    set_flag(g_write_output, false);
}

}  // namespace
