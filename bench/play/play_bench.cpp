// Playback's pace: a 720 x 576, 25 pictures a second MPEG-2 program stream with MP2 sound, 20 s long,
// played through the playback thread in the headless host (the video window, the wave output). Prints
// the pictures decoded and shown, and the share shown later than one picture period after their time.
#include <windows.h>
#include <cstdio>
#include <string>
#include "engine/play/play_run.h"
#include "tests/convert/convert_host.h"
#include "tests/support/media_test_tools.h"

int main(int argc, char** argv) {
    const bool silent = argc > 1 && std::string(argv[1]) == "--silent";
    const std::string source = media_test::fresh_path(silent ? "play_bench_silent.mpg" : "play_bench.mpg");
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=720x576:rate=25 -f lavfi -i "
                    "sine=frequency=1000:sample_rate=48000 -ac 2 -t 20 -c:v mpeg2video -b:v 6000k " +
                        std::string(silent ? "-an" : "-c:a mp2 -b:a 192k") + " -f vob '" + source + "'",
                    &status);
    if (status != 0) {
        std::printf("ffmpeg could not make the source\n");
        return 1;
    }
    std::string jobs = media_test::fresh_path("play_bench.jobs");
    std::string line = "Z:" + source + "\n";
    for (char& c : line)
        if (c == '/') c = '\\';
    media_test::write_file(jobs, std::vector<uint8_t>(line.begin(), line.end()));

    convert_host::Host host;
    if (!host.read_jobs(jobs)) return 1;
    const DWORD start = timeGetTime();
    const convert_host::Outcome o = host.play(convert_host::Options{});
    const double seconds = (timeGetTime() - start) / 1000.0;
    const PlayResult r = last_play_result();
    std::printf("%s: %lld pictures decoded, %lld shown in %.2f s; %lld shown later than one picture period "
                "(%.2f%%)\n",
                silent ? "720x576 25 fps MPEG-2 PS without sound" : "720x576 25 fps MPEG-2 PS with MP2 sound",
                (long long)r.decoded, (long long)r.shown, seconds, (long long)r.late,
                r.shown ? 100.0 * double(r.late) / double(r.shown) : 0.0);
    return o.busy_after ? 1 : 0;
}
