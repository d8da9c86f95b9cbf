// 720 x 576 frames: our nearest-neighbour scaling and B,G,R to YUV 4:2:0 against libswscale doing the
// same work (SWS_POINT scaling of BGR24; BGR24 to YUV420P) in the same run.
#include <benchmark/benchmark.h>
#include <vector>
#include "engine/image/rgb_image.h"
#include "engine/image/yuv420.h"
extern "C" {
#include <libswscale/swscale.h>
}

namespace {

constexpr int kWidth = 720, kHeight = 576;

CRgbImage test_frame(int width, int height) {
    CRgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3 * width; ++x) image.row(y)[x] = uint8_t(x * 7 + y * 3);
    return image;
}

// Sizes: 720 x 576 down to CIF and 3GP's QCIF, and CIF up to 720 x 576.
struct ScaleCase {
    int from_w, from_h, to_w, to_h;
};
const ScaleCase kScaleCases[] = {{720, 576, 352, 288}, {720, 576, 176, 144}, {352, 288, 720, 576}};

void BM_ScaleOurs(benchmark::State& state) {
    const ScaleCase c = kScaleCases[state.range(0)];
    const CRgbImage source = test_frame(c.from_w, c.from_h);
    CRgbImage image(1, 1);
    for (auto _ : state) {
        state.PauseTiming();
        image = source;
        state.ResumeTiming();
        CRgbImage::Scale(image, c.to_w, c.to_h);
        benchmark::DoNotOptimize(image.pixels());
    }
}

void BM_ScaleSwscale(benchmark::State& state) {
    const ScaleCase c = kScaleCases[state.range(0)];
    const CRgbImage source = test_frame(c.from_w, c.from_h);
    CRgbImage dest(c.to_w, c.to_h);
    SwsContext* sws = sws_getContext(c.from_w, c.from_h, AV_PIX_FMT_BGR24, c.to_w, c.to_h, AV_PIX_FMT_BGR24,
                                     SWS_POINT, nullptr, nullptr, nullptr);
    const uint8_t* in[1] = {source.pixels()};
    const int in_stride[1] = {source.stride()};
    uint8_t* out[1] = {dest.pixels()};
    const int out_stride[1] = {dest.stride()};
    for (auto _ : state) {
        sws_scale(sws, in, in_stride, 0, c.from_h, out, out_stride);
        benchmark::DoNotOptimize(dest.pixels());
    }
    sws_freeContext(sws);
}

void BM_Yuv420Ours(benchmark::State& state) {
    const CRgbImage source = test_frame(kWidth, kHeight);
    std::vector<int32_t> planes(yuv420_sample_count(kWidth, kHeight));
    for (auto _ : state) {
        rgb24_to_yuv420(source, planes.data());
        benchmark::DoNotOptimize(planes.data());
    }
}

void BM_Yuv420Swscale(benchmark::State& state) {
    const CRgbImage source = test_frame(kWidth, kHeight);
    std::vector<uint8_t> planes(yuv420_sample_count(kWidth, kHeight));
    SwsContext* sws = sws_getContext(kWidth, kHeight, AV_PIX_FMT_BGR24, kWidth, kHeight, AV_PIX_FMT_YUV420P,
                                     SWS_POINT, nullptr, nullptr, nullptr);
    const uint8_t* in[1] = {source.pixels()};
    const int in_stride[1] = {source.stride()};
    uint8_t* out[3] = {planes.data(), planes.data() + kWidth * kHeight,
                       planes.data() + kWidth * kHeight + kWidth * kHeight / 4};
    const int out_stride[3] = {kWidth, kWidth / 2, kWidth / 2};
    for (auto _ : state) {
        sws_scale(sws, in, in_stride, 0, kHeight, out, out_stride);
        benchmark::DoNotOptimize(planes.data());
    }
    sws_freeContext(sws);
}

}  // namespace

BENCHMARK(BM_ScaleOurs)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaleSwscale)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Yuv420Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Yuv420Swscale)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
