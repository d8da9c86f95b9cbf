// The output side with the real libraries, driven as the conversion thread drives it: a minute of
// moving pictures and a 1 kHz tone at 29.97 and at 25 pictures a second into each output kind; MP3 at
// variable and average rate; a merged run of a tone, a silent job and a 500 Hz tone. The files are
// checked with ffprobe and ffmpeg. Each part is its own program (ENGINE_TEST_PART), so ctest runs the
// parts side by side.
#include "tests/support/gtest_winelib.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>
#include "base/message_seam.h"
#include "engine/output/output_choice.h"
#include "engine/outside/outside_calls.h"
#include "engine/outside/win32/program_calls.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/testing/conversion_driver.h"
#include "engine/testing/recording_ui.h"
#include "engine/timing/frame_timing.h"
#include "media/binders/binders.h"
#include "tests/support/media_check.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"

namespace {

using namespace signal_check;

constexpr int kW = 160, kH = 120;
constexpr int kSourceRate = 44100, kSourceChannels = 2;
constexpr double kToneLevel = 10000;

int refuse_boxes(const char* text, const char*, unsigned, void*) {
    ADD_FAILURE() << "message box: " << text;
    return seam::kAnswerOk;
}

struct Kind {
    const char* name;
    int format;
    int codec;  // cfg_mp4_video_codec / cfg_avi_video_codec
    const char* video_codec;
    const char* sound_codec;
};
const Kind k3gp = {"3gp", kOut3gp, 0, "h263", "amr_nb"};
const Kind kMp4H263 = {"mp4_h263", kOutMp4, 0, "h263", "aac"};
const Kind kMp4Mpeg4 = {"mp4_mpeg4", kOutMp4, 1, "mpeg4", "aac"};
const Kind kMp4H264 = {"mp4_h264", kOutMp4, 2, "h264", "aac"};
const Kind kAviH263 = {"avi_h263", kOutAvi, 0, "h263", "mp3"};
const Kind kAviMpeg4 = {"avi_mpeg4", kOutAvi, 1, "mpeg4", "mp3"};
const Kind kAviH264 = {"avi_h264", kOutAvi, 2, "h264", "mp3"};

void settings_for(const Kind& kind, int merged, int mp3_coding_type) {
    g_out_format = kind.format;
    cfg_mp4_video_codec = cfg_avi_video_codec = kind.codec;
    cfg_merge_mode = merged;
    cfg_keyframe_interval = 25;
    cfg_3gp_size_choice = 5;
    cfg_3gp_size_adjust = cfg_mp4_size_adjust = cfg_avi_size_adjust = 1;
    cfg_amr_rate = 7;
    cfg_amr_channel_mode = 0;
    cfg_aac_sample_rate = 44100;
    cfg_aac_channels = 2;
    cfg_aac_bitrate = 128000;
    cfg_aac_type = 1;
    cfg_aac_channel_mode = 0;
    cfg_mp3_sample_rate = 44100;
    cfg_mp3_channels = 2;
    cfg_mp3_channel_mode = 0;
    cfg_mp3_coding_type = mp3_coding_type;
    cfg_mp3_cbr_rate = 128;
    cfg_mp3_mode = 0;
    cfg_mp3_vbr_quality = 4;
    cfg_mp3_vbr_min = 32;
    cfg_mp3_vbr_max = 192;
    cfg_mp3_abr_rate = 128;
    g_out_width = kW;
    g_out_height = kH;
}

// A source job: `pictures` moving pictures at fps (numbered on from first_picture) and, unless the
// frequency is 0, a tone decoded along with them: 44.1 kHz stereo, each picture's share of samples.
DriverJob source(double fps, int pictures, double frequency, int first_picture = 0) {
    DriverJob j;
    const bool silent = frequency <= 0;
    j.job = test_job("Z:\\source\\clip.mpg", kW, kH, fps, silent ? 0 : kSourceRate, silent ? 0 : kSourceChannels);
    j.pictures = pictures;
    j.picture = [first_picture](int p) { return moving_picture(kW, kH, first_picture + p); };
    if (!silent) {
        const FrameRate rate = exact_frame_rate(fps);
        j.sound = [rate, frequency](int p) {
            const int64_t first = picture_time(rate, p, kSourceRate), last = picture_time(rate, p + 1, kSourceRate);
            return tone(frequency, kToneLevel, kSourceRate, kSourceChannels, last - first, first);
        };
    }
    return j;
}

std::string windows_path(const std::string& unix_path) {
    std::string w = "Z:" + unix_path;
    for (char& c : w)
        if (c == '/') c = '\\';
    return w;
}

// The first time (seconds) from `after` on at which the first channel rises above a quarter of the
// tone's level; -1 when it never does.
double onset(const std::vector<int16_t>& pcm, int rate, int channels, double after) {
    for (size_t i = size_t(after * rate) * channels; i < pcm.size(); i += channels)
        if (std::abs(pcm[i]) > kToneLevel / 4) return double(i / channels) / rate;
    return -1;
}

// The last time the first channel is above that level.
double last_sound(const std::vector<int16_t>& pcm, int channels, int rate, double before) {
    double last = -1;
    for (size_t i = 0; i < pcm.size() && double(i / channels) / rate < before; i += channels)
        if (std::abs(pcm[i]) > kToneLevel / 4) last = double(i / channels) / rate;
    return last;
}

double frequency_between(const std::vector<int16_t>& pcm, int rate, int channels, double from, double to) {
    std::vector<double> x = channel(pcm, channels, 0);
    const size_t a = std::min(x.size(), size_t(from * rate)), b = std::min(x.size(), size_t(to * rate));
    return dominant_frequency(std::vector<double>(x.begin() + a, x.begin() + b), rate);
}

int minute_of_pictures(const FrameRate& rate) { return int((60 * rate.num + rate.den / 2) / rate.den); }

class EngineOutputs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        seam::set_reporter(refuse_boxes, nullptr);
        // The libraries the conversion thread binds for its output, then the engine's table over them.
        ASSERT_EQ(0, codec::load_tolmx264encode());
        ASSERT_EQ(0, codec::load_tolmmp3enc());
        ASSERT_EQ(0, codec::load_tolmaac_encode());
        ASSERT_EQ(0, codec::load_tolmmp4encode());
        ASSERT_EQ(0, codec::load_tolmamr_encode());
        ASSERT_EQ(0, codec::load_xvidcore());
        use_program_calls();
    }
    static void TearDownTestSuite() {
        codec::unload_tolmx264encode();
        codec::unload_tolmmp3enc();
        codec::unload_tolmaac_encode();
        codec::unload_tolmmp4encode();
        codec::unload_tolmamr_encode();
        codec::unload_xvidcore();
        seam::set_reporter(nullptr, nullptr);
    }

    // Runs the jobs into a new file; returns its Unix path.
    std::string convert(const std::string& name, const Kind& kind, const std::vector<DriverJob>& jobs, int merged,
                        int mp3_coding_type = 0) {
        settings_for(kind, merged, mp3_coding_type);
        const char* ext = kind.format == kOut3gp ? ".3gp" : kind.format == kOutMp4 ? ".mp4" : ".avi";
        const std::string path = media_test::fresh_path(name + ext);
        const DWORD start = GetTickCount();
        const DriverResult r = drive_conversion(jobs, {windows_path(path)}, ui, g_outside.clock);
        printf("%s: written in %.2f s\n", name.c_str(), (GetTickCount() - start) / 1000.0);
        EXPECT_TRUE(r.set_up);
        return path;
    }

    // One stream of each kind with the kind's codecs, and a decode without errors.
    void check_streams(const std::string& path, const Kind& kind, media_check::Stream* video,
                       media_check::Stream* audio) {
        std::vector<media_check::Stream> streams = media_check::probe(path);
        ASSERT_EQ(2u, streams.size()) << path;
        for (const auto& s : streams) (s.type == "video" ? *video : *audio) = s;
        EXPECT_EQ(kind.video_codec, video->codec);
        EXPECT_EQ(kind.sound_codec, audio->codec);
        EXPECT_EQ(kW, video->width);
        EXPECT_EQ(kH, video->height);
        EXPECT_EQ("", media_check::decode_errors(path));
    }

    // A minute of pictures and tone at fps: every picture back as written, the tone from the first
    // picture on at its frequency, and the sound ending within one picture of the pictures.
    void check_minute(const Kind& kind, double fps, int mp3_coding_type = 0) {
        const FrameRate rate = exact_frame_rate(fps);
        const int pictures = minute_of_pictures(rate);
        const double seconds = double(pictures) * rate.den / rate.num, frame = 1.0 / fps;
        const std::string name = std::string(kind.name) + "_" + std::to_string(int(fps * 100)) +
                                 (mp3_coding_type ? "_mp3type" + std::to_string(mp3_coding_type) : "");
        SCOPED_TRACE(name);
        const std::string path = convert(name, kind, {source(fps, pictures, 1000)}, 0, mp3_coding_type);
        media_check::Stream video, audio;
        check_streams(path, kind, &video, &audio);
        if (::testing::Test::HasFatalFailure()) return;
        EXPECT_NEAR(seconds, video.duration, frame);

        const std::vector<std::vector<uint8_t>> decoded = media_check::decode_pictures(path, kW, kH);
        ASSERT_EQ(size_t(pictures), decoded.size());
        double worst = 99;
        for (int i = 0; i < pictures; ++i) worst = std::min(worst, psnr(moving_picture(kW, kH, i), decoded[i], kW, kH));
        EXPECT_GE(worst, 30.0);

        const int channels = audio.channels, sound_rate = audio.sample_rate;
        const std::vector<int16_t> pcm = media_check::decode_sound(path);
        const double sound_seconds = double(pcm.size() / size_t(channels)) / sound_rate;
        const double start = onset(pcm, sound_rate, channels, 0), end = last_sound(pcm, channels, sound_rate, 1e9);
        const double tone_frequency = frequency_between(pcm, sound_rate, channels, 1, seconds - 1);
        printf("%s: %d pictures %.3f s (stream %.3f s), worst %.1f dB; sound %.3f s, tone %.4f .. %.4f s, %.2f Hz\n",
               name.c_str(), pictures, seconds, video.duration, worst, sound_seconds, start, end, tone_frequency);
        // The tone starts with the first picture and ends with the last, within a picture either way; the
        // sound runs on past the pictures by no more than that and the codec's last frame (an MP3 decoder
        // plays the encoder's start-up delay first, which AVI has no way to mark).
        EXPECT_GE(start, 0.0);
        EXPECT_LT(start, frame) << "the tone starts with the first picture";
        EXPECT_NEAR(seconds, end, frame) << "the tone ends with the last picture";
        EXPECT_GE(end, seconds - 0.005) << "no sound is lost at the end";
        const double codec_frame = audio.codec == "amr_nb" ? 0.02 : audio.codec == "aac" ? 1024.0 / sound_rate
                                                                                          : 1152.0 / sound_rate;
        EXPECT_GE(sound_seconds, seconds - frame);
        EXPECT_LE(sound_seconds, seconds + frame + codec_frame);
        EXPECT_NEAR(1000.0, tone_frequency, 10.0);
    }

    // Tone, silence, 500 Hz in one merged file: the 500 Hz starts with the third job's first picture.
    void check_merged(const Kind& kind) {
        SCOPED_TRACE(kind.name);
        const int n = 50;  // two seconds a job at 25 pictures a second
        const std::string path = convert(std::string("merged_") + kind.name, kind,
                                         {source(25, n, 1000), source(25, n, 0, n), source(25, n, 500, 2 * n)}, 1);
        media_check::Stream video, audio;
        check_streams(path, kind, &video, &audio);
        if (::testing::Test::HasFatalFailure()) return;
        EXPECT_EQ(size_t(3 * n), media_check::decode_pictures(path, kW, kH).size());
        const int channels = audio.channels, rate = audio.sample_rate;
        const std::vector<int16_t> pcm = media_check::decode_sound(path);
        const double tone_end = last_sound(pcm, channels, rate, 3.0), second = onset(pcm, rate, channels, 3.0);
        printf("merged %s: 1 kHz until %.4f s, 500 Hz from %.4f s, sound %.3f s\n", kind.name, tone_end, second,
               double(pcm.size() / channels) / rate);
        EXPECT_NEAR(2.0, tone_end, 1.0 / 25);
        EXPECT_NEAR(4.0, second, 1.0 / 25) << "the third job's sound starts with its first picture";
        EXPECT_NEAR(500.0, frequency_between(pcm, rate, channels, 4.5, 5.5), 5.0);
        EXPECT_NEAR(6.0, double(pcm.size() / channels) / rate, 1.0 / 25);
    }

    RecordingUi ui;
};

#if ENGINE_TEST_PART == 0
TEST_F(EngineOutputs, ThreeGpMinuteAt2997And25) {
    for (double fps : {29.97, 25.0}) check_minute(k3gp, fps);
}
TEST_F(EngineOutputs, MergedToneSilenceToneLinesUp) {
    for (const Kind& kind : {k3gp, kMp4H263, kAviH263}) check_merged(kind);
}
#elif ENGINE_TEST_PART == 1
TEST_F(EngineOutputs, Mp4MinuteAt2997And25) {
    for (const Kind& kind : {kMp4H263, kMp4Mpeg4, kMp4H264})
        for (double fps : {29.97, 25.0}) check_minute(kind, fps);
}
#elif ENGINE_TEST_PART == 2
TEST_F(EngineOutputs, AviMinuteAt2997And25) {
    for (const Kind& kind : {kAviH263, kAviMpeg4, kAviH264})
        for (double fps : {29.97, 25.0}) check_minute(kind, fps);
}
#elif ENGINE_TEST_PART == 3
// MP3 at variable and average rate is stored one frame a chunk, as players time it: ffmpeg reports no
// timestamp trouble and the sound lasts as long as the pictures.
TEST_F(EngineOutputs, VariableAndAverageRateMp3InAvi) {
    for (int type : {1, 2}) {
        check_minute(kAviH263, 25.0, type);
        const std::string path = media_test::out_path(std::string("avi_h263_2500_mp3type") + std::to_string(type) + ".avi");
        int status = 0;
        const std::string warnings =
            media_test::run("ffmpeg -nostdin -v warning -i '" + path + "' -f null - 2>&1", &status);
        EXPECT_EQ(0, status);
        EXPECT_EQ(std::string::npos, warnings.find("monoton")) << warnings;
        EXPECT_EQ(std::string::npos, warnings.find("timestamp")) << warnings;
    }
}
#endif

}  // namespace
