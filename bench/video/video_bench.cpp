// 720 x 576 pictures: our B,G,R to YUY2 against libswscale's BGR24 to YUYV422 of the same picture in
// the same run (SWS_POINT: no scaling, only the conversion).
#include <benchmark/benchmark.h>
#include <vector>
#include "engine/video/yuy2.h"
extern "C" {
#include <libswscale/swscale.h>
}

namespace {

constexpr int kWidth = 720, kHeight = 576, kStride = (3 * kWidth + 3) & ~3;

std::vector<uint8_t> test_picture() {
    std::vector<uint8_t> p(size_t(kStride) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < 3 * kWidth; ++x) p[size_t(kStride) * y + x] = uint8_t(x * 7 + y * 3);
    return p;
}

void BM_Yuy2Ours(benchmark::State& state) {
    const std::vector<uint8_t> source = test_picture();
    std::vector<uint8_t> out(yuy2_picture_bytes(kWidth, kHeight));
    yuy2_tables_init();
    for (auto _ : state) {
        rgb24_to_yuy2(kWidth, kHeight, source.data(), out.data(), 1);
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_Yuy2Swscale(benchmark::State& state) {
    const std::vector<uint8_t> source = test_picture();
    std::vector<uint8_t> out(yuy2_picture_bytes(kWidth, kHeight));
    SwsContext* sws = sws_getContext(kWidth, kHeight, AV_PIX_FMT_BGR24, kWidth, kHeight, AV_PIX_FMT_YUYV422,
                                     SWS_POINT, nullptr, nullptr, nullptr);
    const uint8_t* in[1] = {source.data()};
    const int in_stride[1] = {kStride};
    uint8_t* dst[1] = {out.data()};
    const int out_stride[1] = {2 * kWidth};
    for (auto _ : state) {
        sws_scale(sws, in, in_stride, 0, kHeight, dst, out_stride);
        benchmark::DoNotOptimize(out.data());
    }
    sws_freeContext(sws);
}

}  // namespace

BENCHMARK(BM_Yuy2Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Yuy2Swscale)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
