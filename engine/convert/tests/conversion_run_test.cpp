// Whole conversion runs over recording fakes of the outside libraries and of the platform: the PCM
// converter's set-up per job, the output per job or merged, and how a run ends as the user sees it
// (completed, stopped, failed: the completion box or not, the status text, an empty output removed
// or a written one kept, the dialog restored, g_busy cleared).
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "base/message_seam.h"
#include "engine/audio/audio_path.h"
#include "engine/convert/conversion_run.h"
#include "engine/frame/frame_path.h"
#include "engine/output/output_choice.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/testing/recording_calls.h"
#include "engine/testing/recording_ui.h"
#include "tests/support/signal_check.h"

namespace {

constexpr int kW = 176, kH = 144;

struct Box {
    std::string text, caption;
    unsigned style;
};

// The platform as the run sees it, recorded.
class FakeServices : public ConversionServices {
public:
    bool bind_libraries() override {
        log.push_back("bind");
        return bind_ok;
    }
    void unload_libraries() override { log.push_back("unload"); }
    StampTime local_time() override { return StampTime{2026, 1, 2, 3, 4, 5}; }
    std::string player_path() override { return player; }
    void start_player(const std::string& p, const std::string& output) override {
        log.push_back("player " + p + " " + output);
    }
    BranchEnd run_branch(const MediaJob& job, int index) override {
        log.push_back(std::string("branch ") + job.path);
        // As a branch does: the job begun and ended on the frame path, its sound ended.
        g_frame_path.begin_job(job, index);
        const BranchEnd end = branch ? branch(job, index) : BranchEnd::kDone;
        audio_end_of_job();
        g_frame_path.end_job();
        return end;
    }
    void remove_file(const std::string& path) override { log.push_back("remove " + path); }

    bool bind_ok = true;
    std::string player;
    std::function<BranchEnd(const MediaJob&, int)> branch;
    std::vector<std::string> log;
};

// A branch that decodes `pictures` pictures of the job's size, each with its share of a tone.
BranchEnd feed(const MediaJob& job, int pictures) {
    for (int p = 0; p < pictures; ++p) {
        std::vector<uint8_t> pixels = signal_check::moving_picture(job.width, job.height, p);
        FrameProgress progress;
        progress.report = p % 5 == 0;
        progress.fraction = double(p + 1) / pictures;
        if (!g_frame_path.step(picture::bgr24(pixels.data(), job.width, job.height), progress)) break;
        if (job.sample_rate > 0) {
            const int64_t first = int64_t(p * job.sample_rate / job.frame_rate);
            const int64_t last = int64_t((p + 1) * job.sample_rate / job.frame_rate);
            const std::vector<int16_t> pcm =
                signal_check::tone(1000, 8000, job.sample_rate, job.channels, last - first, first);
            audio_feed(pcm.data(), pcm.size() * 2, g_speed_ratio);
        }
    }
    return BranchEnd::kDone;
}

int answer_with;
std::vector<Box> boxes;
int record_box(const char* text, const char* caption, unsigned style, void*) {
    boxes.push_back(Box{text ? text : "", caption ? caption : "(null)", style});
    return answer_with;
}

class ConversionRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::install(g_outside);
        boxes.clear();
        answer_with = seam::kAnswerNo;
        previous_ = seam::set_reporter(record_box, nullptr);
        cfg_out_dir = "C:\\out\\";
        cfg_merge_mode = 0;
        cfg_keyframe_interval = 20;
        cfg_3gp_size_choice = 0;
        cfg_mp4_size_choice = 0;
        cfg_avi_size_choice = 0;
        cfg_mp4_video_codec = cfg_avi_video_codec = 1;
        cfg_aac_sample_rate = 44100;
        cfg_aac_channels = 2;
        cfg_aac_bitrate = 128000;
        cfg_amr_rate = 7;
        cfg_amr_channel_mode = 0;
        cfg_mp3_sample_rate = 44100;
        cfg_mp3_channels = 2;
        cfg_mp3_coding_type = 0;
        cfg_mp3_cbr_rate = 128;
        g_out_format = kOutMp4;
        set_flag(g_busy, false);
        ui->speed = 1;
    }
    void TearDown() override {
        seam::set_reporter(previous_, nullptr);
        g_outside = OutsideCalls{};
    }
    void add_job(const char* path, int rate, int channels, double fps = 25.0) {
        MediaJob& job = ui->table.jobs[ui->table.count++];
        job = MediaJob{};
        std::snprintf(job.path, sizeof job.path, "%s", path);
        job.width = kW;
        job.height = kH;
        job.frame_rate = fps;
        job.sample_rate = rate;
        job.channels = channels;
        job.file_index = -1;
    }
    int count_calls(const std::string& prefix) const {
        int n = 0;
        for (const std::string& name : fakes::names()) n += name.rfind(prefix, 0) == 0;
        return n;
    }
    std::vector<std::string> outputs_created() const {
        std::vector<std::string> out;
        for (const fakes::Call& call : fakes::calls)
            if (const std::string& name = call.name; name.rfind("mp4en_init:", 0) == 0) out.push_back(name.substr(11));
            else if (name.rfind("AVI_open_output_file:", 0) == 0) out.push_back(name.substr(21));
        return out;
    }
    // The dialog as the run leaves it: Play, Convert, Video and Audio enabled, both bars at 0.
    void expect_dialog_restored() {
        for (int control : {kCtlPlay, kCtlConvert, kCtlTrim, kCtlVideo, kCtlAudio}) {
            bool last = false, seen = false;
            for (const auto& e : ui->enables)
                if (e.first == control) last = e.second, seen = true;
            EXPECT_TRUE(seen && last) << "control " << control;
        }
        ASSERT_FALSE(ui->bars.empty());
        EXPECT_EQ(std::make_pair(0, 0), ui->bars.back());
        EXPECT_FALSE(flag_on(g_busy));
        EXPECT_FALSE(flag_on(g_write_output));
        EXPECT_EQ(nullptr, g_pcm_buf);
    }

    std::unique_ptr<RecordingUi> ui = std::make_unique<RecordingUi>();
    FakeServices services;
    seam::Reporter previous_ = nullptr;
};

// Which Ctolmpcmchange set-up each job gets, against a recording fake of the converter.
std::vector<std::string> pcm_calls;
TEST_F(ConversionRunTest, PcmConverterSetUpPerJob) {
    struct Case {
        const char* why;
        int format;
        int amr_channel_mode;
        int rate, channels;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"at the output's rate and channels: none", kOutMp4, 0, 44100, 2, {}},
        {"silent: none", kOutMp4, 0, 0, 0, {}},
        {"rate differs, stereo out", kOutMp4, 0, 22050, 1, {"init 2.000000 0 1 16", "setch 2", "setbit 16"}},
        {"channels differ only", kOutMp4, 0, 44100, 1, {"init 1.000000 0 1 16", "setch 2", "setbit 16"}},
        {"mono out, mixed", kOut3gp, 0, 16000, 2, {"init 0.500000 0 2 16", "setch 1", "setbit 16"}},
        {"mono out, one channel kept", kOut3gp, 1, 16000, 2, {"init 0.500000 0 2 16", "setch 2", "setbit 16"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        fakes::install(g_outside);
        pcm_calls.clear();
        g_outside.pcm_init = [](double ratio, int reserved, int channels, int bits) {
            char text[80];
            std::snprintf(text, sizeof text, "init %f %d %d %d", ratio, reserved, channels, bits);
            pcm_calls.push_back(text);
            return 4096;
        };
        g_outside.pcm_setch = [](int channels) { pcm_calls.push_back("setch " + std::to_string(channels)); };
        g_outside.pcm_setbit = [](int bits) { pcm_calls.push_back("setbit " + std::to_string(bits)); };
        g_outside.pcm_change = [](const unsigned char*, int, unsigned char*, int, bool) { return 0; };
        g_out_format = c.format;
        cfg_amr_channel_mode = c.amr_channel_mode;
        ui->table.count = 0;
        add_job("D:\\in\\a.mpg", c.rate, c.channels);
        const RunResult result = run_conversion(*ui, services);
        EXPECT_EQ(RunEnd::kCompleted, result.end);
        EXPECT_EQ(c.expected, pcm_calls);
    }
}

TEST_F(ConversionRunTest, OneFilePerJobAndMerged) {
    for (int merged = 0; merged <= 1; ++merged) {
        SCOPED_TRACE(merged ? "merged" : "one file per job");
        fakes::install(g_outside);
        boxes.clear();
        ui = std::make_unique<RecordingUi>();
        services.log.clear();
        cfg_merge_mode = merged;
        // Three jobs of one name within one second, the middle one silent.
        add_job("D:\\a\\clip.mpg", 44100, 2);
        add_job("D:\\b\\clip.mpg", 0, 0);
        add_job("D:\\c\\clip.mpg", 44100, 2);
        services.branch = [](const MediaJob& job, int) { return feed(job, 10); };
        const RunResult result = run_conversion(*ui, services);
        EXPECT_EQ(RunEnd::kCompleted, result.end);
        const std::vector<std::string> made = outputs_created();
        if (merged) {
            EXPECT_EQ(std::vector<std::string>{"C:\\out\\20260102030405clip.mp4"}, made);
            EXPECT_EQ(30, count_calls("mp4en_video"));
        } else {
            EXPECT_EQ((std::vector<std::string>{"C:\\out\\20260102030405clip.mp4", "C:\\out\\20260102030405clip_2.mp4",
                                                "C:\\out\\20260102030405clip_3.mp4"}),
                      made);
            EXPECT_EQ(3, count_calls("mp4en_close"));
        }
        // The completion box names the one file, or the last job's.
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("转换完成,输出文件保存在" + made.back(), boxes[0].text);
        EXPECT_EQ(kConverterCaption, boxes[0].caption);
        EXPECT_EQ(unsigned(seam::kOk), boxes[0].style);
        EXPECT_EQ((std::vector<std::string>{"D:\\a\\clip.mpg", "D:\\b\\clip.mpg", "D:\\c\\clip.mpg"}), ui->current_paths);
        // Fast mode: Video and Audio pressed and disabled until the end, the label says so.
        ASSERT_FALSE(ui->labels.empty());
        EXPECT_EQ(kFastModeText, ui->labels[0]);
        EXPECT_EQ(std::make_pair(int(kCtlVideo), true), ui->pressed_states[0]);
        EXPECT_EQ(0, count_calls("sleep"));
        expect_dialog_restored();
        EXPECT_EQ("unload", services.log.back());
    }
}

// How a run ends: a table of runs with what the user is told and what happens to the output.
TEST_F(ConversionRunTest, EndOfRunTable) {
    enum Ending { kAllDone, kStopMidJob, kBranchFailsAtOnce, kBranchFailsAfterPictures, kOutputNotMade,
                  kLibraryMissing, kSecondJobFails, kExitMidJob };
    struct Case {
        const char* why;
        Ending ending;
        bool player;
        int answer;
        RunEnd end;
        const char* box;          // "" none
        const char* last_status;  // "" none
        bool removed;
        bool player_started;
    };
    const char* const out = "C:\\out\\20260102030405clip.mp4";
    const Case cases[] = {
        {"done, no player: the OK box", kAllDone, false, seam::kAnswerOk, RunEnd::kCompleted,
         "转换完成,输出文件保存在C:\\out\\20260102030405clip.mp4", "转换完成,输出文件保存在C:\\out\\20260102030405clip.mp4",
         false, false},
        {"done, player, Yes", kAllDone, true, seam::kAnswerYes, RunEnd::kCompleted,
         "转换完成,输出文件保存在C:\\out\\20260102030405clip.mp4 是否检查播放转换效果(Y/N)",
         "转换完成,输出文件保存在C:\\out\\20260102030405clip.mp4", false, true},
        {"done, player, No", kAllDone, true, seam::kAnswerNo, RunEnd::kCompleted,
         "转换完成,输出文件保存在C:\\out\\20260102030405clip.mp4 是否检查播放转换效果(Y/N)",
         "转换完成,输出文件保存在C:\\out\\20260102030405clip.mp4", false, false},
        {"Stop still completes", kStopMidJob, false, seam::kAnswerOk, RunEnd::kStopped,
         "转换完成,输出文件保存在C:\\out\\20260102030405clip.mp4", "转换完成,输出文件保存在C:\\out\\20260102030405clip.mp4",
         false, false},
        {"source not opened: text kept, empty output removed", kBranchFailsAtOnce, true, seam::kAnswerYes,
         RunEnd::kFailed, "", "打开文件失败", true, false},
        {"failure after pictures: what was written is kept", kBranchFailsAfterPictures, true, seam::kAnswerYes,
         RunEnd::kFailed, "", "AVI初始化解码失败", false, false},
        {"second job fails: the first file kept, the empty second removed", kSecondJobFails, false, seam::kAnswerOk,
         RunEnd::kFailed, "", "视频解码不支持 ", true, false},
        {"output not made: its box only", kOutputNotMade, true, seam::kAnswerOk, RunEnd::kFailed, "创建MP4文件错误", "",
         false, false},
        {"Exit mid-run: neither the question nor the text", kExitMidJob, true, seam::kAnswerYes, RunEnd::kStopped, "",
         "", false, false},
        {"library missing", kLibraryMissing, true, seam::kAnswerOk, RunEnd::kNoLibraries, "", "装载解码动态库失败",
         false, false},
    };
    (void)out;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        fakes::install(g_outside);
        boxes.clear();
        ui = std::make_unique<RecordingUi>();
        services = FakeServices{};
        answer_with = c.answer;
        services.player = c.player ? "C:\\prog\\tolmmpegplay.exe" : "";
        add_job("D:\\a\\clip.mpg", 44100, 2);
        // A second job where the first one's end is what counts (the completion names the last job's file).
        if (c.ending != kAllDone) add_job("D:\\b\\clip.mpg", 44100, 2);
        switch (c.ending) {
        case kAllDone: services.branch = [](const MediaJob& job, int) { return feed(job, 10); }; break;
        case kStopMidJob:
            services.branch = [](const MediaJob& job, int) {
                feed(job, 4);
                set_flag(g_busy, false);  // Stop
                return feed(job, 4);
            };
            break;
        case kBranchFailsAtOnce:
            services.branch = [this](const MediaJob&, int) {
                ui->set_status("打开文件失败");
                set_flag(g_busy, false);
                return BranchEnd::kFailed;
            };
            break;
        case kBranchFailsAfterPictures:
            services.branch = [this](const MediaJob& job, int) {
                feed(job, 3);
                ui->set_status("AVI初始化解码失败");
                return BranchEnd::kFailed;
            };
            break;
        case kSecondJobFails:
            services.branch = [this](const MediaJob& job, int index) {
                if (index == 0) return feed(job, 5);
                ui->set_status("视频解码不支持 ");
                return BranchEnd::kFailed;
            };
            break;
        case kExitMidJob:
            services.branch = [](const MediaJob& job, int) {
                feed(job, 4);
                set_flag(g_exiting, true);  // Exit clears the flags the run polls
                set_flag(g_busy, false);
                return feed(job, 4);
            };
            break;
        case kOutputNotMade: fakes::behaviour.mp4_init = -1; break;
        case kLibraryMissing: services.bind_ok = false; break;
        }
        const RunResult result = run_conversion(*ui, services);
        set_flag(g_exiting, false);
        EXPECT_EQ(c.end, result.end);
        if (*c.box) {
            ASSERT_EQ(1u, boxes.size());
            EXPECT_EQ(c.box, boxes[0].text);
            EXPECT_EQ(kConverterCaption, boxes[0].caption);
        } else {
            EXPECT_TRUE(boxes.empty()) << boxes[0].text;
        }
        if (*c.last_status) {
            ASSERT_FALSE(ui->statuses.empty());
            EXPECT_EQ(c.last_status, ui->statuses.back());
        }
        if (c.end == RunEnd::kFailed || c.end == RunEnd::kNoLibraries || c.ending == kExitMidJob) {
            for (const std::string& s : ui->statuses) EXPECT_EQ(std::string::npos, s.find("转换完成")) << s;
        }
        const bool removed = std::count_if(services.log.begin(), services.log.end(),
                                           [](const std::string& s) { return s.rfind("remove ", 0) == 0; }) > 0;
        EXPECT_EQ(c.removed, removed);
        if (c.ending == kSecondJobFails) {
            EXPECT_EQ(std::count(services.log.begin(), services.log.end(),
                                 std::string("remove C:\\out\\20260102030405clip_2.mp4")), 1);
        }
        const bool started = std::count(services.log.begin(), services.log.end(),
                                        std::string("player C:\\prog\\tolmmpegplay.exe ") + out) > 0;
        EXPECT_EQ(c.player_started, started);
        EXPECT_FALSE(flag_on(g_busy));
        if (c.ending == kLibraryMissing) {
            // Nothing else happened: the buttons were never touched, nothing is unloaded twice.
            EXPECT_TRUE(ui->enables.empty());
            EXPECT_EQ(std::vector<std::string>{"bind"}, services.log);
        } else {
            expect_dialog_restored();
            EXPECT_EQ(1, std::count(services.log.begin(), services.log.end(), std::string("unload")));
        }
    }
}

// Pause holds the run in 10 ms sleeps before the branch and the run goes on when it is released.
TEST_F(ConversionRunTest, PauseHoldsTheJobUntilReleased) {
    add_job("D:\\a\\clip.mpg", 44100, 2);
    static int sleeps;
    sleeps = 0;
    g_outside.clock.sleep_ms = [](int ms) {
        EXPECT_EQ(10, ms);
        if (++sleeps == 5) set_flag(g_paused, false);
    };
    g_outside.tolmmix_datarefresh = [] {
        set_flag(g_paused, true);  // the user pressed Pause as the job was set up
        return 0;
    };
    services.branch = [](const MediaJob& job, int) {
        EXPECT_FALSE(flag_on(g_paused));
        return feed(job, 3);
    };
    EXPECT_EQ(RunEnd::kCompleted, run_conversion(*ui, services).end);
    EXPECT_EQ(5, sleeps);
    EXPECT_EQ(3, count_calls("mp4en_video"));
}

}  // namespace
