// Decoding speed of our layer III decoder beside libavcodec's float decoder "mp3float" (the reference
// the ratio is taken against) and its fixed-point "mp3", on two 60-second lame files: 44.1 kHz joint
// stereo at 128 kbit/s and 22.05 kHz at 64 kbit/s. Every decoder decodes the whole file from memory;
// the best of several rounds, taken in turns, counts.
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>
#include "media/mpa/tests/mp3_reference.h"
#include "media/mpa/tests/mpa_fixtures.h"

namespace {

constexpr int kRounds = 7;

template <typename Fn>
double seconds(Fn&& fn) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct File {
    const char* name;
    int rate;
    const char* options;
};

}  // namespace

int main() {
    if (chdir(BENCH_BINARY_DIR) != 0) return 1;  // the files are made beside the program
    const File files[] = {{"44.1 kHz joint stereo 128 kbit/s", 44100, "-m j -b 128"},
                          {"22.05 kHz joint stereo 64 kbit/s", 22050, "-m j -b 64"}};
    int failures = 0;
    for (const File& f : files) {
        const auto pcm = mpa_fixtures::test_signal(f.rate, 2, 60.0);
        const std::string name = "bench_" + std::to_string(f.rate);
        const auto stream = mpa_fixtures::lame_encode(pcm, f.rate, 2, f.options, name);
        if (stream.empty()) {
            std::printf("lame failed for %s\n", f.name);
            return 1;
        }
        double ours = 1e9, floating = 1e9, fixed = 1e9;
        size_t samples = 0;
        for (int round = 0; round < kRounds; ++round) {
            floating = std::min(floating, seconds([&] { samples = mpa_reference::decode_with_libav(stream, "mp3float").samples.size(); }));
            ours = std::min(ours, seconds([&] { mpa_reference::decode_with_mpadec(stream, 1 << 20); }));
            fixed = std::min(fixed, seconds([&] { mpa_reference::decode_with_libav(stream, "mp3"); }));
        }
        const double ratio = ours / floating;
        std::printf("%s (%zu samples):\n", f.name, samples);
        std::printf("  ours      %7.1f ms\n  mp3float  %7.1f ms\n  mp3       %7.1f ms (fixed point)\n", ours * 1e3,
                    floating * 1e3, fixed * 1e3);
        std::printf("  ours / mp3float = %.2f (limit 1.5); ours / mp3 = %.2f\n", ratio, ours / fixed);
        if (ratio > 1.5) ++failures;
    }
    return failures ? 2 : 0;
}
