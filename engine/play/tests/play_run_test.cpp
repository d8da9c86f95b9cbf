// The playback run over the native cores (stream parser, libavcodec pictures, MPEG audio), a recording
// dialog, a video window that records what it is given and a clock that moves only when slept on (the
// wave output without a device keeps its pace on the same clock): every picture shown at its time, the
// texts and notices of the play, the window opened and released per job and hidden at the end, Stop,
// the Video button, and the failures that end a run.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>
#include "base/message_seam.h"
#include "engine/input/input_calls.h"
#include "engine/input/tests/native_input_calls.h"
#include "engine/outside/outside_calls.h"
#include "engine/play/play_run.h"
#include "engine/state/run_state.h"
#include "engine/testing/conversion_driver.h"
#include "engine/testing/recording_calls.h"
#include "engine/testing/recording_ui.h"
#include "engine/wave/wave_out.h"
#include "engine/input/flv_input.h"
#include "media/records/file_kind.h"
#include "media/swf/swf_reader.h"
#include "media/swf/swf_zlib.h"
#include "media/mpeg/tests/test_tag.h"
#include "tests/support/media_test_tools.h"

namespace {

class FakeWindow : public PlayServices {
public:
    bool bind_libraries() override {
        events.push_back("bind");
        return binds;
    }
    void unload_libraries() override { events.push_back("unload"); }
    void prepare_pictures() override { events.push_back("tables"); }
    int open_window(const MediaJob& job) override {
        events.push_back(std::string("open ") + std::to_string(job.width) + "x" + std::to_string(job.height));
        return opens ? 0 : -2;
    }
    void show_picture(const PictureView& picture) override {
        shown_times.push_back(fakes::now());
        sizes_ok = sizes_ok && picture.width == width && picture.height == height;
        if (on_show) on_show(int(shown_times.size()));
    }
    void release_window() override {
        events.push_back("release");
        release_times.push_back(fakes::now());
    }
    void hide_window() override { events.push_back("hide"); }

    bool binds = true, opens = true;
    int width = 0, height = 0;
    bool sizes_ok = true;
    std::vector<std::string> events;
    std::vector<uint32_t> shown_times, release_times;
    std::function<void(int shown)> on_show;
};

// A clock that clears g_busy once it has reached g_stop_at.
Clock g_base_clock;
uint32_t g_stop_at = 0;
void stopping_sleep(int ms) {
    g_base_clock.sleep(ms);
    if (clock_diff(g_base_clock.now(), g_stop_at) >= 0) set_flag(g_busy, false);
}

struct Box {
    std::string text, caption;
};
int record_box(const char* text, const char* caption, unsigned, void* boxes) {
    static_cast<std::vector<Box>*>(boxes)->push_back(Box{text, caption ? caption : ""});
    return seam::kAnswerOk;
}

struct Source {
    std::string path;
    int width = 0, height = 0, pictures = 0, rate = 0, channels = 0;
    double fps = 0;
    int kind = 6;
};

// A 2-second MPEG-1 program stream of 160 x 120 at 25 pictures a second, with a tone or without sound.
Source make_source(const std::string& name, bool sound) {
    Source s;
    const std::string args = std::string("-f lavfi -i testsrc=size=160x120:rate=25 ") +
                             (sound ? "-f lavfi -i sine=frequency=1000:sample_rate=44100 -ac 2 -c:a mp2 " : "-an ") +
                             "-t 2 -c:v mpeg1video -f mpeg";
    mpeg_fixtures::file(args, name, &s.path);
    s.width = 160;
    s.height = 120;
    s.pictures = 50;
    s.fps = 25;
    s.rate = sound ? 44100 : 0;
    s.channels = sound ? 2 : 0;
    return s;
}

MediaJob job_of(const Source& s) {
    MediaJob job = test_job(s.path.c_str(), s.width, s.height, s.fps, s.rate, s.channels);
    job.file_kind = s.kind;
    job.file_size = int(media_test::read_file(s.path).size());
    return job;
}

class PlayRun : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::install(g_outside);
        native_input::install(g_input_calls);
        // No sound device: the wave output keeps the sound's pace on the test's clock.
        WaveDevice device;
        device.clock = g_outside.clock;
        wave_out_set_device(device);
        seam::set_reporter(record_box, &boxes_);
        set_flag(g_busy, false);
        set_flag(g_paused, false);
    }
    void TearDown() override {
        seam::set_reporter(nullptr, nullptr);
        set_flag(g_busy, false);
        g_input_calls = InputCalls{};
        g_outside = OutsideCalls{};
    }
    void add(const Source& s) {
        ui_.table.jobs[ui_.table.count++] = job_of(s);
        window_.width = s.width;
        window_.height = s.height;
    }
    bool enabled_at_end(int control) const {
        for (auto it = ui_.enables.rbegin(); it != ui_.enables.rend(); ++it)
            if (it->first == control) return it->second;
        return false;
    }
    RecordingUi ui_;
    FakeWindow window_;
    std::vector<Box> boxes_;
};

TEST_F(PlayRun, EveryPictureAtItsTimeWithItsTextsAndTheWindowPerJob) {
    const Source sound = make_source("sound.mpg", true);
    const Source silent = make_source("silent.mpg", false);
    add(sound);
    add(silent);
    const PlayResult r = run_playback(ui_, window_);
    EXPECT_EQ(r.end, PlayEnd::kCompleted);
    EXPECT_EQ(r.decoded, 100);
    EXPECT_EQ(r.shown, 100);
    EXPECT_TRUE(window_.sizes_ok);
    EXPECT_EQ(window_.events, (std::vector<std::string>{"bind", "tables", "open 160x120", "release", "open 160x120",
                                                        "release", "unload", "hide"}));
    ASSERT_EQ(window_.shown_times.size(), 100u);
    ASSERT_EQ(window_.release_times.size(), 2u);
    // The silent job: picture i at its first picture's time + i x 40 ms, and the job lasts 50 x 40 ms.
    const uint32_t first = window_.shown_times[50];
    for (int i = 0; i < 50; ++i) EXPECT_EQ(window_.shown_times[size_t(50 + i)] - first, uint32_t(40 * i)) << i;
    EXPECT_EQ(window_.release_times[1] - first, 2000u);
    // The job with sound is paced by the sound's clock: no picture before its time.
    const uint32_t sound_first = window_.shown_times[0];
    for (int i = 0; i < 50; ++i) EXPECT_GE(int32_t(window_.shown_times[size_t(i)] - sound_first) - 40 * i, -1) << i;

    // Texts: per job the start, the progress every 15th picture (with the clock notice), the end; the
    // silent job says so.
    std::vector<std::string> want;
    for (const Source* s : {&sound, &silent}) {
        want.push_back("正在播放" + s->path);
        for (int i = 0; i < 50; i += 15) {
            char text[600];
            std::snprintf(text, sizeof text, "正在播放%s [%.2f]秒", s->path.c_str(), i / 25.0);
            want.push_back(text);
        }
        want.push_back("播放" + s->path + "结束");
    }
    EXPECT_EQ(ui_.statuses, want);
    EXPECT_EQ(ui_.labels, std::vector<std::string>{"该多媒体文件无音频"});
    std::vector<intptr_t> seconds;
    for (const auto& n : ui_.notices) {
        EXPECT_EQ(n.code, kNoticeClock);
        seconds.push_back(n.argument);
    }
    EXPECT_EQ(seconds, (std::vector<intptr_t>{0, 0, 1, 1, 0, 0, 1, 1}));
    // The bars reach the whole of each job and are reset at the end.
    ASSERT_FALSE(ui_.bars.empty());
    EXPECT_EQ(ui_.bars.back(), std::make_pair(0, 0));
    EXPECT_EQ(ui_.bars[ui_.bars.size() - 2], std::make_pair(1000, 1000));
    for (int control : {kCtlPlay, kCtlConvert, kCtlTrim, kCtlVideo, kCtlAudio})
        EXPECT_TRUE(enabled_at_end(control)) << control;
    EXPECT_FALSE(flag_on(g_busy));
    EXPECT_TRUE(boxes_.empty());
}

// ffmpeg's program streams carry the pictures 0.6-0.7 s before the sound they go with: the pictures
// wait in their queue while the reading goes on to their sound, so each is shown within a picture
// period of its time and the job lasts as long as its sound.
TEST_F(PlayRun, SoundJobPicturesKeepTheirTimeWhenTheSoundIsMuxedAhead) {
    add(make_source("ahead.mpg", true));
    run_playback(ui_, window_);
    ASSERT_EQ(window_.shown_times.size(), 50u);
    const uint32_t first = window_.shown_times[0];
    for (int i = 0; i < 50; ++i) EXPECT_LE(int32_t(window_.shown_times[size_t(i)] - first) - 40 * i, 40) << i;
    ASSERT_EQ(window_.release_times.size(), 1u);
    EXPECT_NEAR(double(window_.release_times[0] - first), 2000.0, 60.0);
}

// A silent source whose pictures carry their own times keeps them, whatever rate its job records: an
// FLV whose tag times were stretched to 80 ms a picture with a 0.5 s hold after picture 10, and an SWF
// movie of 10 pictures a second, both in jobs that say 25.
TEST_F(PlayRun, SilentFlashPicturesKeepTheirOwnTimes) {
    struct Case {
        const char* name;
        const char* args;
        FileKind kind;
        std::vector<uint32_t> (*retime)(std::vector<uint8_t>& file);  // the pictures' times, in order
    };
    const Case cases[] = {
        {"FLV", "-f lavfi -i testsrc=size=160x120:rate=25 -t 2 -an -c:v flv1 -f flv", file_kind::flv(2, 0),
         [](std::vector<uint8_t>& file) {
             std::vector<uint32_t> times;
             for (size_t at = flv::kHeaderBytes; at + flv::kRecordBytes <= file.size();) {
                 const flv::TagRecord tag = flv::read_record(&file[at]);
                 if (tag.type == 9) {
                     const uint32_t t = uint32_t(times.size()) * 80 + (times.size() > 10 ? 500 : 0);
                     file[at + 8] = uint8_t(t >> 16), file[at + 9] = uint8_t(t >> 8), file[at + 10] = uint8_t(t);
                     file[at + 11] = uint8_t(t >> 24);
                     times.push_back(t);
                 }
                 at += flv::kRecordBytes + tag.body;
             }
             return times;
         }},
        {"SWF", "-f lavfi -i testsrc=size=160x120:rate=10 -t 2 -an -c:v flv1 -f swf", file_kind::swf(2, -1),
         [](std::vector<uint8_t>&) {
             std::vector<uint32_t> times;
             for (uint32_t i = 0; i < 20; ++i) times.push_back(i * 100);
             return times;
         }},
    };
    // The SWF reader loads movies through the picture library's zlib; here the native one.
    const SwfPictureLibrary* previous = swf_set_picture_library(swf_zlib_library());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingUi ui;
        FakeWindow window;
        Source s;
        std::vector<uint8_t> file = mpeg_fixtures::file(c.args, std::string("stamps_") + c.name, &s.path);
        const std::vector<uint32_t> times = c.retime(file);
        media_test::write_file(s.path, file);
        s.width = 160;
        s.height = 120;
        s.fps = 25;
        s.kind = c.kind;
        ui.table.jobs[ui.table.count++] = job_of(s);
        window.width = s.width;
        window.height = s.height;
        const PlayResult r = run_playback(ui, window);
        EXPECT_EQ(r.end, PlayEnd::kCompleted) << (ui.statuses.empty() ? "" : ui.statuses.back());
        ASSERT_EQ(window.shown_times.size(), times.size());
        const uint32_t first = window.shown_times[0];
        for (size_t i = 0; i < times.size(); ++i)
            EXPECT_EQ(window.shown_times[i] - first, times[i] - times[0]) << "picture " << i;
        EXPECT_EQ(ui.statuses.back(), "播放" + s.path + "结束");
        EXPECT_EQ(ui.labels, std::vector<std::string>{"该多媒体文件无音频"});
    }
    swf_set_picture_library(previous);
}

TEST_F(PlayRun, StopAndTheVideoButtonDuringThePlay) {
    const Source s = make_source("stop.mpg", true);
    add(s);
    window_.on_show = [](int shown) {
        if (shown == 5) set_flag(g_show_video, false);
    };
    // Stop by the clock: 1 s into the play.
    g_base_clock = g_outside.clock;
    g_stop_at = g_base_clock.now() + 1000;
    g_outside.clock.sleep_ms = stopping_sleep;
    WaveDevice device;
    device.clock = g_outside.clock;
    wave_out_set_device(device);

    const PlayResult r = run_playback(ui_, window_);
    EXPECT_EQ(r.end, PlayEnd::kStopped);
    EXPECT_EQ(r.shown, 5);
    EXPECT_GE(r.decoded, 20);
    EXPECT_LE(r.decoded, 30);
    EXPECT_EQ(window_.events.back(), "hide");
    ASSERT_FALSE(ui_.statuses.empty());
    // The branch ends as after the file's end.
    EXPECT_EQ(ui_.statuses.back(), "播放" + s.path + "结束");
    EXPECT_TRUE(enabled_at_end(kCtlPlay));
}

TEST_F(PlayRun, FailuresEndTheRunWithTheirTexts) {
    const Source s = make_source("fail.mpg", false);
    struct Case {
        const char* name;
        bool binds, opens;
        int kind;
        PlayEnd end;
        const char* status;  // the last status
        bool box;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"a library cannot be bound", false, true, 6, PlayEnd::kNoLibraries, "装载解码动态库失败", false, {"bind"}},
        {"the window cannot be opened", true, false, 6, PlayEnd::kFailed, "Directx 窗口失败 无法播放", true,
         {"bind", "tables", "open 160x120", "unload", "hide"}},
        // Every kind has a reader now: an MP4 kind on this MPEG file is one that cannot open it.
        {"a reader that cannot open the file", true, true, 10000 + 256 * 3 + 1, PlayEnd::kFailed, "打开文件失败", false,
         {"bind", "tables", "open 160x120", "release", "unload", "hide"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingUi ui;
        FakeWindow window;
        boxes_.clear();
        ui.table.jobs[ui.table.count++] = job_of(s);
        ui.table.jobs[0].file_kind = c.kind;
        window.binds = c.binds;
        window.opens = c.opens;
        const PlayResult r = run_playback(ui, window);
        EXPECT_EQ(r.end, c.end);
        EXPECT_EQ(r.decoded, 0);
        ASSERT_FALSE(ui.statuses.empty());
        EXPECT_EQ(ui.statuses.back(), c.status);
        EXPECT_EQ(window.events, c.events);
        EXPECT_FALSE(flag_on(g_busy));
        ASSERT_EQ(boxes_.size(), c.box ? 1u : 0u);
        if (c.box) {
            EXPECT_EQ(boxes_[0].text, "初始化文件" + s.path + " Directx 窗口失败 无法播放");
            EXPECT_EQ(boxes_[0].caption, "多媒体文件播放");
        }
    }
}

}  // namespace

namespace {

// A wave device that plays on the test's clock as a sound card does: 4096-byte buffers go out at the
// sound's rate while it is not paused, and what a buffer holds is taken when it is played (a buffer
// changed after it was queued is heard changed). Pictures that take long to show (a loaded machine)
// starve it; a Pause in the middle holds it.
struct ClockedDevice {
    struct Queued {
        int index;
        const uint8_t* data;
        int length;
    };
    std::deque<Queued> queued;
    std::vector<int16_t> played;
    bool paused = false;
    int64_t budget_bytes = 0;  // play time owed to the head of the queue, in bytes
    uint32_t bytes_per_second = 44100 * 4;
    void (*base_sleep)(int) = nullptr;

    void advance(int ms) {
        if (paused) return;
        if (queued.empty()) {
            budget_bytes = 0;  // an empty device plays silence, it does not run ahead
            return;
        }
        budget_bytes += int64_t(ms) * bytes_per_second / 1000;
        while (!queued.empty() && budget_bytes >= queued.front().length) {
            const Queued q = queued.front();
            queued.pop_front();
            budget_bytes -= q.length;
            const auto* samples = reinterpret_cast<const int16_t*>(q.data);
            played.insert(played.end(), samples, samples + q.length / 2);
            wave_out_buffer_done();
        }
    }
};
ClockedDevice* g_clocked = nullptr;
std::function<void(int ms)> g_after_sleep;

void clocked_sleep(int ms) {
    g_clocked->base_sleep(ms);
    g_clocked->advance(ms);
    if (g_after_sleep) g_after_sleep(ms);
}

WaveDevice clocked_device(ClockedDevice& device) {
    g_clocked = &device;
    WaveDevice d;
    d.open = [](const WaveFormat& f) {
        g_clocked->bytes_per_second = f.avg_bytes_per_sec;
        return true;
    };
    d.write = [](int index, uint8_t* data, int length) {
        g_clocked->queued.push_back({index, data, length});
        return true;
    };
    d.unprepare = [](int) {};
    d.reset = [] {
        while (!g_clocked->queued.empty()) {
            g_clocked->queued.pop_front();
            wave_out_buffer_done();
        }
    };
    d.close = [] {};
    d.pause = [](bool hold) { g_clocked->paused = hold; };
    d.allocate = [](size_t bytes) -> void* { return std::calloc(bytes, 1); };
    d.release = [](void* p) { std::free(p); };
    d.clock = g_outside.clock;
    return d;
}

}  // namespace

// A job with sound paused and resumed several times, with pictures that now and then take long to show
// (as on a loaded machine, which starves the sound; some are shown from inside a write waiting for a
// free buffer): the device plays the job's sound as ffmpeg decodes it, sample for sample, with nothing
// else in between. The clip is the main-dialog play test's (cut to 11 s): at 10.13 s an MP2 frame holds
// the stream's sync pattern in its body where a program-stream packet ends; cut there, its tail was
// decoded as a frame of its own (1152 samples of full-scale noise more).
TEST_F(PlayRun, PausedSoundJobPlaysOnlyItsOwnSound) {
    Source s;
    mpeg_fixtures::file("-f lavfi -i testsrc=size=320x240:rate=25:duration=11,gblur=sigma=2 -f lavfi -i sine=frequency=1000:duration=11 "
                        "-c:v mpeg1video -b:v 800k -c:a mp2 -ar 44100 -ac 2 -f mpeg",
                        "paused.mpg", &s.path);
    s.width = 320, s.height = 240, s.pictures = 275, s.fps = 25, s.rate = 44100, s.channels = 2;
    const std::string reference_path = media_test::out_path("paused-reference.raw");
    int status = 0;
    media_test::run("ffmpeg -v error -y -i '" + s.path + "' -vn -f s16le -ac 2 -ar 44100 '" + reference_path + "'",
                    &status);
    ASSERT_EQ(0, status);
    const std::vector<uint8_t> reference_bytes = media_test::read_file(reference_path);
    ASSERT_GT(reference_bytes.size(), size_t(44100 * 4 * 5));
    const auto* reference = reinterpret_cast<const int16_t*>(reference_bytes.data());
    const size_t reference_samples = reference_bytes.size() / 2;
    add(s);

    // Per run: the pictures at which Pause is pressed (each held 300-900 ms of the clock) and a seed for
    // which pictures take 60-250 ms to show.
    struct Run {
        std::vector<int> pauses;
        unsigned seed;
    };
    const Run runs[] = {{{40}, 1}, {{3, 41, 150, 240}, 2}};
    for (const Run& run : runs) {
        SCOPED_TRACE("seed " + std::to_string(run.seed));
        ClockedDevice device;
        const Clock base = g_outside.clock;
        device.base_sleep = base.sleep_ms;
        g_outside.clock.sleep_ms = clocked_sleep;
        wave_out_set_device(clocked_device(device));
        unsigned random = run.seed;
        auto next = [&random](int below) {
            random = random * 1103515245u + 12345u;
            return int((random >> 16) % unsigned(below));
        };
        int paused_ms = 0, hold_ms = 0, pauses = 0;
        g_after_sleep = [&](int ms) {
            if (!flag_on(g_paused)) return;
            paused_ms += ms;
            hold_ms -= ms;
            if (hold_ms <= 0) set_flag(g_paused, false);
        };
        window_.on_show = [&](int shown) {
            for (int at : run.pauses)
                if (shown == at && !flag_on(g_paused)) {
                    set_flag(g_paused, true);
                    hold_ms = 300 + next(600);
                    ++pauses;
                }
            if (next(6) == 0) g_outside.clock.sleep(60 + next(190));
        };
        window_.shown_times.clear();
        const PlayResult r = run_playback(ui_, window_);
        g_after_sleep = nullptr;
        window_.on_show = nullptr;
        g_outside.clock = base;
        g_clocked = nullptr;
        EXPECT_EQ(r.end, PlayEnd::kCompleted);
        EXPECT_EQ(pauses, int(run.pauses.size()));
        EXPECT_GE(paused_ms, 300 * pauses);
        // Whole buffers of the sound: all of it but the last part buffer.
        EXPECT_GE(device.played.size() + 4096 / 2, reference_samples);
        EXPECT_LE(device.played.size(), reference_samples);
        size_t differing = 0, first = 0;
        for (size_t i = 0; i < std::min(device.played.size(), reference_samples); ++i)
            if (std::abs(int(device.played[i]) - int(reference[i])) > 2 && differing++ == 0) first = i;
        EXPECT_EQ(0u, differing) << "first at sample " << first << " (" << double(first / 2) / 44100.0 << " s)";
    }
}
