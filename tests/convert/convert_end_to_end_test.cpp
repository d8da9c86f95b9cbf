// The conversion thread end to end under Wine, through the headless host: sources made by ffmpeg at
// test time (4 s of a moving picture and a 1 kHz tone) converted in fast mode into every output kind
// and checked with ffprobe and ffmpeg (codecs, size, streams, picture count, the tone's pitch); three
// jobs merged into one file; Stop after a few progress notices; Pause; and a table of failures that
// must end with their own text, no completion box, no empty file and g_busy cleared.
#include "tests/support/gtest_winelib.h"
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <map>
#include <string>
#include <vector>
#include "engine/convert/conversion_run.h"
#include "engine/convert/win32/convert_thread.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "media/probe/probe_media_file.h"
#include "tests/convert/convert_host.h"
#include "tests/support/media_check.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"

namespace {

using convert_host::Host;
using convert_host::Options;
using convert_host::Outcome;
using convert_host::Press;

constexpr int kSeconds = 4;
constexpr int kFps = 25;

// The Windows path of a file of the scratch folder (Wine's Z: drive is the Unix root).
std::string windows_path(const std::string& unix_path) {
    std::string path = "Z:" + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string scratch(const std::string& name) { return media_test::out_path(name); }

// A source made by ffmpeg: 4 s of testsrc2 and a 1 kHz tone; empty when ffmpeg fails.
std::string make_source(const std::string& name, const std::string& size, const std::string& codecs) {
    const std::string path = media_test::fresh_path(name);
    int status = -1;
    const std::string out = media_test::run(
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=" + size + ":rate=" + std::to_string(kFps) +
            " -f lavfi -i sine=frequency=1000:sample_rate=44100 -ac 2 -t " + std::to_string(kSeconds) + " " + codecs +
            " '" + path + "' 2>&1",
        &status);
    EXPECT_EQ(0, status) << out;
    return status == 0 ? path : std::string();
}

// Every file of a folder.
std::vector<std::string> files_in(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir))
            // Not the decoder's error notes the checks leave beside a file.
            if (e->d_name[0] != '.' && !std::strstr(e->d_name, ".decode_errors")) names.push_back(e->d_name);
        closedir(dir);
    }
    return names;
}

int video_frames(const std::string& path) {
    std::string errors;
    const std::map<int, media_test::Decoded> decoded = media_test::decoded_frames(path, &errors);
    const std::vector<media_test::Fields> streams = media_test::probe_streams(path);
    for (size_t i = 0; i < streams.size(); ++i) {
        auto type = streams[i].find("codec_type");
        if (type == streams[i].end() || type->second != "video") continue;
        auto d = decoded.find(int(i));
        return d != decoded.end() ? d->second.frames : 0;
    }
    return -1;
}

double tone_frequency(const std::string& path, int* rate_out = nullptr) {
    const std::vector<int16_t> pcm = media_check::decode_sound(path);
    int rate = 0, channels = 0;
    for (const media_check::Stream& s : media_check::probe(path))
        if (s.type == "audio") rate = s.sample_rate, channels = s.channels;
    if (rate_out) *rate_out = rate;
    if (pcm.empty() || rate <= 0 || channels <= 0) return 0;
    return signal_check::dominant_frequency(signal_check::channel(pcm, channels, 0), rate);
}

struct OutputKind {
    const char* name;
    int format, codec, size_choice;
    const char* video, *sound;
    int width, height;
};
const OutputKind k3gp = {"3gp", kOut3gp, 0, 0, "h263", "amr_nb", 176, 144};
const OutputKind kMp4 = {"mp4 h264", kOutMp4, 2, 4, "h264", "aac", 320, 240};
const OutputKind kAvi = {"avi mpeg4", kOutAvi, 1, 4, "mpeg4", "mp3", 320, 240};

class ConvertEndToEnd : public ::testing::Test {
protected:
    // A folder of its own for the settings and one for the outputs.
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = scratch("run_" + name);
        out_dir_ = folder_ + "/out";
        media_test::run("rm -rf '" + folder_ + "' && mkdir -p '" + out_dir_ + "'");
    }
    void write_settings(const OutputKind& kind, int merged, const std::string& out_dir) {
        const std::string ini = windows_path(folder_ + "/pravolin.ini");
        const std::map<std::string, std::string> keys = {
            {"MP4文件保存路径", windows_path(out_dir) + "\\"},
            {"MP4视频编码方式", std::to_string(kind.codec)},
            {"MP4视频大小选择方式", std::to_string(kind.size_choice)},
            {"AVI视频大小选择方式", std::to_string(kind.size_choice)},
            {"H263标准视频大小选择方式", std::to_string(kind.size_choice)},
            {"MP4文件保存方式", std::to_string(merged)},
            {"关键帧出现频率", "25"},
            {"转换AMR编码速率", "7"},
            {"音频MP3音频模式", "0"},
            {"音频MP3音频采样速率", "44100"},
            {"音频MP3恒定速率", "128"},
        };
        for (const auto& k : keys) WritePrivateProfileStringA(kSettingsSection, k.first.c_str(), k.second.c_str(), ini.c_str());
        host_.load_settings(windows_path(folder_));
        cfg_avi_video_codec = kind.codec;  // no key of its own: it follows the MP4 codec at load
        g_out_format = kind.format;
    }
    bool jobs(const std::vector<std::string>& lines) {
        const std::string file = folder_ + "/jobs.txt";
        std::string text;
        for (const std::string& l : lines) text += l + "\n";
        media_test::write_file(file, std::vector<uint8_t>(text.begin(), text.end()));
        return host_.read_jobs(file);
    }
    std::vector<std::string> outputs() const {
        std::vector<std::string> paths;
        for (const std::string& n : files_in(out_dir_)) paths.push_back(out_dir_ + "/" + n);
        return paths;
    }
    static void expect_ended_cleanly(const Outcome& o) {
        EXPECT_FALSE(o.busy_after);
        EXPECT_TRUE(o.play_enabled);
        EXPECT_TRUE(o.convert_enabled);
    }
    static bool completion_box(const Outcome& o) {
        for (const convert_host::Box& b : o.boxes)
            if (b.text.find("转换完成") != std::string::npos) return true;
        return false;
    }

    std::string folder_, out_dir_;
    Host host_;
};

// Sources of this table, made once.
struct Source {
    const char* name;
    const char* file;
    const char* size;
    const char* codecs;
};
const Source kSources[] = {
    {"MPEG-1 PS", "src_mpeg1.mpg", "352x288", "-c:v mpeg1video -b:v 2000k -c:a mp2 -b:a 192k -f mpeg"},
    {"MPEG-2 PS", "src_mpeg2.mpg", "352x288", "-c:v mpeg2video -b:v 2000k -c:a mp2 -b:a 192k -f vob"},
    {"AVI MJPEG + PCM", "src_mjpeg.avi", "320x240", "-c:v mjpeg -q:v 3 -c:a pcm_s16le -f avi"},
    {"AVI XVID + MP3", "src_xvid.avi", "320x240", "-c:v mpeg4 -vtag XVID -q:v 3 -c:a libmp3lame -b:a 128k -f avi"},
};

TEST_F(ConvertEndToEnd, EverySourceIntoEveryOutputKind) {
    for (const Source& source : kSources) {
        const std::string src = make_source(source.file, source.size, source.codecs);
        ASSERT_FALSE(src.empty());
        const int source_frames = video_frames(src);
        ASSERT_EQ(kSeconds * kFps, source_frames) << source.name;
        for (const OutputKind& kind : {k3gp, kMp4, kAvi}) {
            SCOPED_TRACE(std::string(source.name) + " -> " + kind.name);
            media_test::run("rm -f '" + out_dir_ + "'/*");
            write_settings(kind, 0, out_dir_);
            ASSERT_TRUE(jobs({windows_path(src)}));
            const Outcome o = host_.run(Options{});
            expect_ended_cleanly(o);
            ASSERT_TRUE(completion_box(o));
            const std::vector<std::string> made = outputs();
            ASSERT_EQ(1u, made.size());
            bool video = false, sound = false;
            for (const media_check::Stream& s : media_check::probe(made[0])) {
                if (s.type == "video") {
                    video = true;
                    EXPECT_EQ(kind.video, s.codec);
                    EXPECT_EQ(kind.width, s.width);
                    EXPECT_EQ(kind.height, s.height);
                }
                if (s.type == "audio") {
                    sound = true;
                    EXPECT_EQ(kind.sound, s.codec);
                }
            }
            EXPECT_TRUE(video && sound);
            EXPECT_EQ(source_frames, video_frames(made[0]));
            EXPECT_NEAR(1000.0, tone_frequency(made[0]), 10.0);
            EXPECT_EQ("", media_check::decode_errors(made[0]));
        }
    }
}

TEST_F(ConvertEndToEnd, ThreeJobsMergedIntoOneFile) {
    const std::string src = make_source("merge_src.mpg", "352x288", kSources[0].codecs);
    const std::string silent = make_source("merge_silent.mpg", "352x288", std::string(kSources[0].codecs) + " -an");
    ASSERT_FALSE(src.empty() || silent.empty());
    write_settings(kMp4, 1, out_dir_);
    ASSERT_TRUE(jobs({windows_path(src), windows_path(silent), windows_path(src)}));
    const Outcome o = host_.run(Options{});
    expect_ended_cleanly(o);
    const std::vector<std::string> made = outputs();
    ASSERT_EQ(1u, made.size());
    EXPECT_EQ(3 * kSeconds * kFps, video_frames(made[0]));
    EXPECT_NEAR(1000.0, tone_frequency(made[0]), 10.0);
    EXPECT_EQ("", media_check::decode_errors(made[0]));
    // The box names the one file, named after job 0.
    ASSERT_TRUE(completion_box(o));
    EXPECT_NE(std::string::npos, o.boxes.back().text.find(files_in(out_dir_)[0]));
}

TEST_F(ConvertEndToEnd, StopLeavesADecodableFileAndPauseHoldsProgress) {
    const std::string src = make_source("stop_src.mpg", "352x288", kSources[0].codecs);
    ASSERT_FALSE(src.empty());
    for (Press press : {Press::kStop, Press::kPause}) {
        SCOPED_TRACE(press == Press::kStop ? "Stop" : "Pause");
        media_test::run("rm -f '" + out_dir_ + "'/*");
        write_settings(kAvi, 0, out_dir_);
        ASSERT_TRUE(jobs({windows_path(src)}));
        Options options;
        options.press = press;
        options.press_after = 4;
        options.pause_ms = 1000;
        const Outcome o = host_.run(options);
        expect_ended_cleanly(o);
        ASSERT_TRUE(o.pressed);
        ASSERT_TRUE(completion_box(o));
        const std::vector<std::string> made = outputs();
        ASSERT_EQ(1u, made.size());
        EXPECT_NE(std::string::npos, o.boxes.back().text.find(files_in(out_dir_)[0]));
        EXPECT_EQ("", media_check::decode_errors(made[0]));
        const int frames = video_frames(made[0]);
        if (press == Press::kStop) {
            EXPECT_GT(frames, 0);
            EXPECT_LT(frames, kSeconds * kFps);
        } else {
            EXPECT_EQ(0, o.progress_notices_while_paused);
            EXPECT_EQ(kSeconds * kFps, frames);
        }
    }
}

// The probe binds its own load of the libraries: probing the source while a job converts it leaves
// the job's decoders alone, and the job's unloading at its end leaves the probe's.
TEST_F(ConvertEndToEnd, ProbeWhileAJobConverts) {
    const std::string src = make_source("probe_src.avi", "320x240", kSources[3].codecs);
    ASSERT_FALSE(src.empty());
    write_settings(kMp4, 0, out_dir_);
    ASSERT_TRUE(jobs({windows_path(src)}));
    Options options;
    options.press = Press::kProbe;
    options.press_after = 3;
    options.probe_path = windows_path(src);
    const Outcome o = host_.run(options);
    expect_ended_cleanly(o);
    EXPECT_EQ(0, o.probe_result);
    EXPECT_EQ(99, o.probed_kind);
    const std::vector<std::string> made = outputs();
    ASSERT_EQ(1u, made.size());
    EXPECT_EQ(kSeconds * kFps, video_frames(made[0]));
    // And the probe still works after the run has unloaded its libraries.
    MediaFileRecord record{};
    EXPECT_EQ(0, probe_media_file(windows_path(src).c_str(), &record));
}

TEST_F(ConvertEndToEnd, FailuresKeepTheirTextAndLeaveNoEmptyFile) {
    const std::string garbage = scratch("garbage.avi");
    std::vector<uint8_t> junk(20000);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = uint8_t(i * 7 + 3);
    std::memcpy(junk.data(), "RIFF\x10\x4e\0\0AVI LIST", 16);
    media_test::write_file(garbage, junk);
    const std::string good = make_source("fail_src.mpg", "352x288", kSources[0].codecs);
    ASSERT_FALSE(good.empty());
    struct Case {
        const char* why;
        std::string job;
        std::string out_dir;
        const char* text;  // the status text or box the run ends with
    };
    const std::vector<Case> cases = {
        {"missing source (AVI)", "=" + windows_path(scratch("missing.avi")) + "|99|320|240|25|44100|2", "-",
         "AVI初始化解码失败"},
        {"garbage AVI", "=" + windows_path(garbage) + "|99|320|240|25|44100|2", "-", "AVI初始化解码失败"},
        // The settings loader puts a missing folder right; this one goes after start-up.
        {"unwritable output folder", windows_path(good), "", "创建MP4文件错误"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        media_test::run("rm -f '" + out_dir_ + "'/*");
        write_settings(kMp4, 0, out_dir_);
        if (c.out_dir.empty()) cfg_out_dir = windows_path(folder_ + "/no/such/folder") + "\\";
        ASSERT_TRUE(jobs({c.job}));
        const Outcome o = host_.run(Options{});
        expect_ended_cleanly(o);
        EXPECT_FALSE(completion_box(o));
        bool told = false;
        for (const std::string& s : o.statuses) told |= s == c.text;
        for (const convert_host::Box& b : o.boxes) told |= b.text == c.text;
        EXPECT_TRUE(told);
        for (const std::string& s : o.statuses) EXPECT_EQ(std::string::npos, s.find("转换完成")) << s;
        EXPECT_TRUE(outputs().empty()) << outputs()[0];
    }
}

}  // namespace

namespace {

// The sibling player's command line keeps paths with blanks whole.
TEST(SiblingPlayer, CommandLineQuotesBothPaths) {
    EXPECT_EQ("\"C:\\Program Files\\tarmelo\\tolmmpegplay.exe\" \"Z:\\my clips\\out 1.mp4\"",
              player_command_line("C:\\Program Files\\tarmelo\\tolmmpegplay.exe", "Z:\\my clips\\out 1.mp4"));
}

}  // namespace
