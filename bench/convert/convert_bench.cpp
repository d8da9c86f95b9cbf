// The conversion path against ffmpeg doing the same conversion, on the same machine in the same run:
// an MPEG-2 program stream of 720 x 576 at 25 pictures a second, 60 s, with MP2 sound (made by ffmpeg
// at start) converted in fast mode through the conversion thread and the headless host, then by
// ffmpeg with the stand-ins' settings: one decoding thread, nearest-neighbour scaling, x264 veryfast /
// zerolatency at CRF 20 with no B-frames, a key picture every 250 and one thread; AAC at the
// settings' 160 kbit/s; our H.263 encoder's fixed quantiser 8 for ffmpeg's h263 (into MP4 and AVI at
// CIF, a size H.263 has); MP3 at 128 kbit/s.
// ffmpeg here has no AMR-NB encoder: its 3GP row codes the sound as 8 kHz mono AAC instead. Its MP4
// muxer refuses H.263 ("Could not find tag for codec h263"): the MP4 H.263 row is written by the same
// muxer with the 3GP brand (-f 3gp), the same boxes and the same work.
// Every kind gets its row: a side that fails prints the reason on its row and the next kind runs; the
// exit code is then 1.
// Wall times are the median of three runs; the ratio is ours / ffmpeg's (target <= 1.0 for MP4 H.264); the
// paired ratios are the medians of the runs' own ratios.
//   convert_bench.exe [seconds] [runs] [kind]   (defaults 60, 3 and every kind; a kind is chosen by a
//                                                part of its name, "H.264" for instance)
// Only the lines starting with "[bench]" are the results; the host prints every status it sees.
#include <windows.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "tests/convert/convert_host.h"
#include "tests/support/media_test_tools.h"

namespace {

std::string windows_path(const std::string& unix_path) {
    std::string path = "Z:" + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

double seconds_since(std::chrono::steady_clock::time_point began) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// Processor seconds (user and system) of this process so far.
double process_cpu_seconds() {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
    auto seconds = [](const FILETIME& t) { return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7; };
    return seconds(kernel) + seconds(user);
}

// Processor seconds of a command, as /usr/bin/time wrote them into `file` ("user system").
double command_cpu_seconds(const std::string& file) {
    const std::vector<uint8_t> text = media_test::read_file(file);
    double user = 0, system = 0;
    if (std::sscanf(std::string(text.begin(), text.end()).c_str(), "%lf %lf", &user, &system) != 2) return 0;
    return user + system;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Kind {
    const char* name;
    int format, codec, size_choice;
    const char* ffmpeg;  // ffmpeg's output options for the same conversion
    const char* extension;
};

const Kind kKinds[] = {
    {"MP4 H.264+AAC 320x240", kOutMp4, 2, 4,
     "-sws_flags neighbor -vf scale=320:240 -c:v libx264 -preset veryfast -tune zerolatency -crf 20 -bf 0 -g 250 "
     "-profile:v high -threads 1 -c:a aac -b:a 160k -ar 44100 -ac 2",
     "mp4"},
    {"MP4 MPEG-4+AAC 320x240", kOutMp4, 1, 4,
     "-sws_flags neighbor -vf scale=320:240 -c:v libxvid -bf 0 -g 250 -threads 1 -c:a aac -b:a 160k -ar 44100 -ac 2",
     "mp4"},
    {"MP4 H.263+AAC 352x288", kOutMp4, 0, 1,
     "-sws_flags neighbor -vf scale=352:288 -c:v h263 -qmin 8 -qmax 8 -g 25 -threads 1 -c:a aac -b:a 160k -ar 44100 "
     "-ac 2 -f 3gp",
     "mp4"},
    {"3GP H.263+AMR 176x144", kOut3gp, 0, 0,
     "-sws_flags neighbor -vf scale=176:144 -c:v h263 -qmin 8 -qmax 8 -g 25 -threads 1 -c:a aac -b:a 12200 -ar 8000 "
     "-ac 1 -f 3gp",
     "3gp"},
    {"AVI MPEG-4+MP3 320x240", kOutAvi, 1, 4,
     "-sws_flags neighbor -vf scale=320:240 -c:v libxvid -bf 0 -g 250 -threads 1 -c:a libmp3lame -b:a 128k -ar 44100 "
     "-ac 2",
     "avi"},
    {"AVI H.263+MP3 352x288", kOutAvi, 0, 1,
     "-sws_flags neighbor -vf scale=352:288 -c:v h263 -qmin 8 -qmax 8 -g 25 -threads 1 -c:a libmp3lame -b:a 128k "
     "-ar 44100 -ac 2",
     "avi"},
    {"AVI H.264+MP3 320x240", kOutAvi, 2, 4,
     "-sws_flags neighbor -vf scale=320:240 -c:v libx264 -preset veryfast -tune zerolatency -crf 20 -bf 0 -g 250 "
     "-threads 1 -c:a libmp3lame -b:a 128k -ar 44100 -ac 2",
     "avi"},
};

void write_settings(convert_host::Host& host, const std::string& folder, const std::string& out_dir, const Kind& kind) {
    const std::string ini = windows_path(folder + "/pravolin.ini");
    const std::map<std::string, std::string> keys = {
        {"MP4文件保存路径", windows_path(out_dir) + "\\"},
        {"MP4视频编码方式", std::to_string(kind.codec)},
        {"MP4视频大小选择方式", std::to_string(kind.size_choice)},
        {"AVI视频大小选择方式", std::to_string(kind.size_choice)},
        {"H263标准视频大小选择方式", std::to_string(kind.size_choice)},
        {"MP4文件保存方式", "0"},
        {"关键帧出现频率", "25"},
        {"转换AMR编码速率", "7"},
        {"音频MP3音频模式", "0"},
        {"音频MP3音频采样速率", "44100"},
        {"音频MP3恒定速率", "128"},
    };
    for (const auto& k : keys) WritePrivateProfileStringA(kSettingsSection, k.first.c_str(), k.second.c_str(), ini.c_str());
    host.load_settings(windows_path(folder));
    cfg_avi_video_codec = kind.codec;
    g_out_format = kind.format;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string only = argc > 3 ? argv[3] : "";
    const std::string folder = media_test::out_path("convert_bench");
    const std::string out_dir = folder + "/out";
    media_test::run("rm -rf '" + folder + "' && mkdir -p '" + out_dir + "'");
    const std::string source = folder + "/src_720x576.mpg";
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=720x576:rate=25 -f lavfi -i "
                    "sine=frequency=1000:sample_rate=48000 -ac 2 -t " + std::to_string(seconds) +
                        " -c:v mpeg2video -b:v 6000k -g 12 -bf 2 -c:a mp2 -b:a 224k -f vob '" + source + "'",
                    &status);
    if (status != 0) {
        std::printf("[bench] ffmpeg could not make the source\n");
        return 1;
    }
    std::printf("[bench] source: MPEG-2 PS 720x576 25 fps, %d s, MP2 48 kHz stereo; median of %d runs\n", seconds, runs);
    std::fflush(stdout);

    // On the heap: its job table alone nearly fills the main thread's stack.
    const auto owned_host = std::make_unique<convert_host::Host>();
    convert_host::Host& host = *owned_host;
    bool all_rows = true;
    for (const Kind& kind : kKinds) {
        if (std::string(kind.name).find(only) == std::string::npos) continue;
        std::vector<double> ours, theirs, ours_cpu, theirs_cpu;
        std::string failure;
        for (int r = 0; r < runs && failure.empty(); ++r) {
            media_test::run("rm -f '" + out_dir + "'/*");
            write_settings(host, folder, out_dir, kind);
            const std::string jobs = folder + "/jobs.txt";
            const std::string line = windows_path(source) + "\n";
            media_test::write_file(jobs, std::vector<uint8_t>(line.begin(), line.end()));
            if (!host.read_jobs(jobs)) {
                failure = "the job file could not be read";
                break;
            }
            auto began = std::chrono::steady_clock::now();
            const double cpu = process_cpu_seconds();
            const convert_host::Outcome o = host.run(convert_host::Options{});
            ours.push_back(seconds_since(began));
            ours_cpu.push_back(process_cpu_seconds() - cpu);
            if (o.boxes.empty()) {
                failure = "our conversion did not complete";
                break;
            }

            const std::string theirs_path = folder + "/ffmpeg." + kind.extension;
            const std::string times = folder + "/ffmpeg_times.txt", errors = folder + "/ffmpeg_errors.txt";
            began = std::chrono::steady_clock::now();
            media_test::run("/usr/bin/time -f '%U %S' -o '" + times + "' ffmpeg -nostdin -v error -y -threads 1 "
                            "-filter_threads 1 -i '" + source + "' " + kind.ffmpeg + " '" + theirs_path + "' 2>'" +
                                errors + "'",
                            &status);
            theirs.push_back(seconds_since(began));
            theirs_cpu.push_back(command_cpu_seconds(times));
            if (status != 0) {
                const std::vector<uint8_t> text = media_test::read_file(errors);
                std::string said(text.begin(), text.end());
                while (!said.empty() && (said.back() == '\n' || said.back() == '\r')) said.pop_back();
                const size_t line_start = said.find_last_of('\n');
                failure = "ffmpeg failed (status " + std::to_string(status) + "): " +
                          (line_start == std::string::npos ? said : said.substr(line_start + 1));
            }
        }
        if (!failure.empty()) {
            all_rows = false;
            std::printf("[bench] %-24s %s\n", kind.name, failure.c_str());
            std::fflush(stdout);
            continue;
        }
        // Processor time as well: on a busy machine it says more than the wall clock. The paired ratios
        // (the median of each run's ours / ffmpeg, the two measured a few seconds apart) follow a load
        // that changes between runs less than the ratio of the medians does.
        const double a = median(ours), b = median(theirs), ac = median(ours_cpu), bc = median(theirs_cpu);
        std::vector<double> paired, paired_cpu;
        for (size_t i = 0; i < ours.size() && i < theirs.size(); ++i) {
            if (theirs[i] > 0) paired.push_back(ours[i] / theirs[i]);
            if (theirs_cpu[i] > 0) paired_cpu.push_back(ours_cpu[i] / theirs_cpu[i]);
        }
        std::printf("[bench] %-24s ours %6.2f s  ffmpeg %6.2f s  ratio %.2fx   cpu: ours %6.2f s  ffmpeg %6.2f s  "
                    "ratio %.2fx   paired: %.2fx  cpu %.2fx\n", kind.name, a, b, b > 0 ? a / b : 0, ac, bc,
                    bc > 0 ? ac / bc : 0, median(paired), median(paired_cpu));
        std::fflush(stdout);
    }
    return all_rows ? 0 : 1;
}
