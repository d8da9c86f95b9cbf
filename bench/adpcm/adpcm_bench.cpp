// Speed of our ADPCM decoders beside libavcodec's on the same packets: 60 s of AMV sound (IMA,
// 22,050 Hz mono) and 60 s of SWF sound (4-bit, 44,100 Hz stereo), both made by libavcodec's
// encoders. The last line gives each ratio of our time to libavcodec's, measured in the same run.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <vector>
#include "media/adpcm/adpcm.h"
#include "media/adpcm/tests/av_adpcm.h"

namespace {

constexpr int kSeconds = 60;

struct Stream {
    bool ima;
    const char* codec;
    int rate, channels;
    std::vector<av_adpcm::Packet> packets;
    size_t samples = 0;  // per channel, as libavcodec decodes them
};

Stream make(bool ima, const char* codec, int rate, int channels) {
    Stream s{ima, codec, rate, channels, {}, 0};
    s.packets = av_adpcm::encode(codec, av_adpcm::signal(rate * kSeconds, channels, rate, 0.3), rate, channels);
    av_adpcm::Decoder d(codec, rate, channels);
    for (const auto& p : s.packets) s.samples += size_t(d.decode_count(p));
    return s;
}

const Stream& ima() {
    static const Stream s = make(true, "adpcm_ima_amv", 22050, 1);
    return s;
}
const Stream& swf() {
    static const Stream s = make(false, "adpcm_swf", 44100, 2);
    return s;
}

std::vector<int16_t>& out() {
    static std::vector<int16_t> buffer(1 << 20);
    return buffer;
}

size_t decode_ours(const Stream& s) {
    size_t samples = 0;
    std::vector<int16_t>& o = out();
    if (s.ima) {
        ima_adpcm_reset();
        for (const auto& p : s.packets) samples += size_t(ima_adpcm_decode(p.data(), p.size(), 1, o.data(), o.size()));
    } else {
        swf_adpcm_reset();
        for (const auto& p : s.packets)
            samples += size_t(swf_adpcm_samples(swf_adpcm_decode(p.data(), p.size(), s.channels, o.data(), o.size())));
    }
    return samples;
}

size_t decode_libavcodec(const Stream& s) {
    av_adpcm::Decoder d(s.codec, s.rate, s.channels);
    size_t samples = 0;
    for (const auto& p : s.packets) samples += size_t(d.decode_count(p));
    return samples;
}

void run(benchmark::State& state, const Stream& s, size_t (*decode)(const Stream&)) {
    size_t samples = 0;
    for (auto _ : state) benchmark::DoNotOptimize(samples = decode(s));
    if (samples != s.samples) state.SkipWithError("sample counts differ");
    state.counters["x_realtime"] =
        benchmark::Counter(double(kSeconds) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ImaOurs(benchmark::State& state) { run(state, ima(), decode_ours); }
void BM_ImaLibavcodec(benchmark::State& state) { run(state, ima(), decode_libavcodec); }
void BM_SwfOurs(benchmark::State& state) { run(state, swf(), decode_ours); }
void BM_SwfLibavcodec(benchmark::State& state) { run(state, swf(), decode_libavcodec); }

// Best of several timed decodes, in seconds.
double best_time(const Stream& s, size_t (*decode)(const Stream&)) {
    double best = 1e30;
    for (int i = 0; i < 15; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(decode(s));
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (t < best) best = t;
    }
    return best;
}

}  // namespace

BENCHMARK(BM_ImaOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImaLibavcodec)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwfOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwfLibavcodec)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("time ours / libavcodec: IMA %.2f, SWF %.2f\n", best_time(ima(), decode_ours) / best_time(ima(), decode_libavcodec),
                best_time(swf(), decode_ours) / best_time(swf(), decode_libavcodec));
    return 0;
}
