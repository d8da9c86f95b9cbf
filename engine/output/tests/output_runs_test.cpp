// Whole runs of the output side over recording fakes of every outside call, for each output kind,
// merged and one file per job, with sound in every job, a silent first job or a silent middle job:
// what is set up, which tracks are made, what is written and padded, and the closing orders.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "engine/output/output_choice.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/testing/conversion_driver.h"
#include "engine/testing/recording_calls.h"
#include "engine/testing/recording_ui.h"
#include "tests/support/signal_check.h"

namespace {

constexpr int kPictures = 10;
constexpr int kW = 176, kH = 144;

struct Kind {
    const char* name;
    int format;
    int codec_setting;  // cfg_mp4_video_codec / cfg_avi_video_codec
};
const Kind kKinds[] = {
    {"3gp", kOut3gp, 0},      {"mp4_h263", kOutMp4, 0}, {"mp4_mpeg4", kOutMp4, 1}, {"mp4_h264", kOutMp4, 2},
    {"avi_h263", kOutAvi, 0}, {"avi_mpeg4", kOutAvi, 1}, {"avi_h264", kOutAvi, 2},
};
enum class Sound { kAll, kSilentFirst, kSilentMiddle };

// The sound format each output kind fixes with the default settings.
int out_rate(int format) { return format == kOut3gp ? 8000 : format == kOutMp4 ? cfg_aac_sample_rate : cfg_mp3_sample_rate; }
int out_channels(int format) { return format == kOut3gp ? 1 : format == kOutMp4 ? cfg_aac_channels : cfg_mp3_channels; }

void default_settings() {
    cfg_keyframe_interval = 20;
    cfg_aac_sample_rate = 44100;
    cfg_aac_channels = 2;
    cfg_aac_bitrate = 128000;
    cfg_mp3_sample_rate = 44100;
    cfg_mp3_channels = 2;
    cfg_mp3_coding_type = 0;
    cfg_mp3_cbr_rate = 128;
    cfg_amr_rate = 7;
    cfg_amr_channel_mode = 0;
    cfg_aac_channel_mode = 0;
    cfg_mp3_channel_mode = 0;
    cfg_3gp_size_adjust = cfg_mp4_size_adjust = cfg_avi_size_adjust = 1;
    g_out_width = kW;
    g_out_height = kH;
}

// Jobs at the output's own sound format (no conversion), 25 pictures a second, each picture followed
// by its 40 ms of a tone.
std::vector<DriverJob> make_jobs(int format, Sound sound, int count = 3, double fps = 25.0) {
    std::vector<DriverJob> jobs;
    for (int i = 0; i < count; ++i) {
        const bool silent = (sound == Sound::kSilentFirst && i == 0) || (sound == Sound::kSilentMiddle && i == 1);
        const int rate = silent ? 0 : out_rate(format), channels = silent ? 0 : out_channels(format);
        DriverJob j;
        const std::string path = "C:\\media\\job" + std::to_string(i) + ".mpg";
        j.job = test_job(path.c_str(), kW, kH, fps, rate, channels);
        j.pictures = kPictures;
        j.picture = [](int p) { return signal_check::moving_picture(kW, kH, p); };
        if (!silent)
            j.sound = [rate, channels, fps](int p) {
                const int64_t first = int64_t(p * rate / fps), last = int64_t((p + 1) * rate / fps);
                return signal_check::tone(1000, 8000, rate, channels, last - first, first);
            };
        jobs.push_back(j);
    }
    return jobs;
}

const std::vector<std::string> kOutputs = {"out0", "out1", "out2"};

bool is_sound_close(const std::string& n) { return n == "amrbuf_close" || n == "aacbuf_close" || n == "tolmmp3encend"; }
bool is_video_close(const std::string& n) {
    return n == "h263encode_close" || n == "xvid_destroy" || n == "tolm264encode_close";
}
bool is_output_close(const std::string& n) { return n == "mp4en_close" || n == "AVI_close"; }
bool is_output_open(const std::string& n) { return n == "mp4en_init" || n == "AVI_open_output_file"; }
bool is_sound_init(const std::string& n) { return n == "amrbuf_init" || n == "aacbuf_init" || n.rfind("tolmmp3encinit", 0) == 0; }
bool is_video_init(const std::string& n) { return n == "h263encode_init" || n == "xvid_create" || n == "tolm264encode_init"; }

// The calls from one output's creation to the end of its closing.
struct Segment {
    std::vector<std::string> names;
    int pictures = 0, sound_writes = 0;
    bool sound_track = false;
};

std::vector<Segment> segments() {
    std::vector<Segment> out;
    const std::vector<std::string> all = fakes::names();
    for (size_t i = 0; i < all.size(); ++i) {
        if (is_output_open(all[i])) out.push_back(Segment{});
        if (out.empty()) continue;
        Segment& s = out.back();
        s.names.push_back(all[i]);
        if (all[i] == "mp4en_video" || all[i] == "AVI_write_frame") ++s.pictures;
        if (all[i] == "mp4en_audio" || all[i] == "AVI_write_audio") ++s.sound_writes;
        if (all[i] == "mp4en_addaudio" || all[i] == "AVI_set_audio") s.sound_track = true;
    }
    return out;
}

int index_of(const std::vector<std::string>& names, bool (*is)(const std::string&), int from = 0) {
    for (int i = from; i < int(names.size()); ++i)
        if (is(names[i])) return i;
    return -1;
}

class OutputRuns : public ::testing::Test {
protected:
    void SetUp() override {
        default_settings();
        fakes::install(g_outside);
    }
    void TearDown() override { g_outside = OutsideCalls{}; }
    RecordingUi ui;
};

TEST_F(OutputRuns, EveryKindMergedAndPerFileWithSilentJobs) {
    for (const Kind& kind : kKinds)
        for (int merged = 0; merged <= 1; ++merged)
            for (Sound sound : {Sound::kAll, Sound::kSilentFirst, Sound::kSilentMiddle}) {
                SCOPED_TRACE(std::string(kind.name) + (merged ? " merged" : " per file") + " sound pattern " +
                             std::to_string(int(sound)));
                default_settings();
                fakes::install(g_outside);
                g_out_format = kind.format;
                cfg_mp4_video_codec = cfg_avi_video_codec = kind.codec_setting;
                cfg_merge_mode = merged;
                const std::vector<DriverJob> jobs = make_jobs(kind.format, sound);
                const DriverResult run = drive_conversion(jobs, kOutputs, ui, g_outside.clock);
                ASSERT_TRUE(run.set_up);
                const std::vector<std::string> all = fakes::names();

                // Set-up: the sound encoder first, then the video encoder, then the first output.
                const int sound_init = index_of(all, is_sound_init), video_init = index_of(all, is_video_init);
                ASSERT_GE(sound_init, 0);
                ASSERT_GE(video_init, 0);
                EXPECT_LT(sound_init, video_init);
                EXPECT_LT(video_init, index_of(all, is_output_open));

                const std::vector<Segment> outputs = segments();
                ASSERT_EQ(size_t(merged ? 1 : 3), outputs.size());
                ASSERT_EQ(outputs.size(), run.outputs.size());
                const int rate = out_rate(kind.format), channels = out_channels(kind.format);
                for (size_t o = 0; o < outputs.size(); ++o) {
                    SCOPED_TRACE("output " + std::to_string(o));
                    const Segment& s = outputs[o];
                    const bool silent_job = !merged && ((sound == Sound::kSilentFirst && o == 0) ||
                                                        (sound == Sound::kSilentMiddle && o == 1));
                    // A merged output has a sound track whenever any job has sound.
                    EXPECT_EQ(!silent_job, s.sound_track);
                    EXPECT_EQ(!silent_job, run.outputs[o].sound_track);
                    EXPECT_EQ(kPictures * (merged ? 3 : 1), s.pictures);
                    if (silent_job) {
                        EXPECT_EQ(0, s.sound_writes) << "no sound without a track";
                    } else {
                        EXPECT_GT(s.sound_writes, 0);
                        // Merged: every job's sound brought to its pictures' time, silent ones padded.
                        const double seconds = kPictures * (merged ? 3 : 1) / 25.0;
                        EXPECT_DOUBLE_EQ(seconds, run.outputs[o].picture_seconds);
                        EXPECT_EQ(uint64_t(seconds * rate + 0.5) * 2 * channels, run.outputs[o].sound_bytes);
                    }
                    // Closing: between jobs sound, output, video; at the end sound, video, output.
                    const int sc = index_of(s.names, is_sound_close), vc = index_of(s.names, is_video_close),
                              oc = index_of(s.names, is_output_close);
                    ASSERT_GE(sc, 0);
                    ASSERT_GE(vc, 0);
                    ASSERT_GE(oc, 0);
                    EXPECT_LT(sc, std::min(vc, oc));
                    if (o + 1 < outputs.size()) {
                        EXPECT_LT(oc, vc);
                        // Then video and sound set up again, in that order, before the next output.
                        const int vi = index_of(s.names, is_video_init, vc), si = index_of(s.names, is_sound_init, vc);
                        EXPECT_LT(vc, vi);
                        EXPECT_LT(vi, si);
                    } else {
                        EXPECT_LT(vc, oc);
                    }
                }
            }
}

}  // namespace
