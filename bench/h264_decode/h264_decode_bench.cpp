// tolmx264decode's core against libavcodec's h264 decoder and libswscale to bgr24 called directly: the
// same 720 x 576 clip (made by ffmpeg with libx264 at start), every picture decoded and converted into
// a B,G,R buffer with the program's row stride. The two times should differ by at most 10%.
#include "codecs/tolmx264decode/h264_decode_core.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/stream_packets.h"
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace {

const int W = 720, H = 576;
const int kStride = (3 * W + 3) & ~3;

const std::vector<media_test::StoredPacket>& clip() {
    static std::vector<media_test::StoredPacket> units = [] {
        std::string path = std::string(BENCH_BINARY_DIR) + "/clip_720x576.h264";
        std::remove(path.c_str());
        media_test::run("ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=720x576:rate=25 -t 2 -c:v libx264 "
                        "-preset fast -bf 0 -g 25 -pix_fmt yuv420p -f h264 '" + path + "'");
        return media_test::video_packets(path);
    }();
    return units;
}

void StandInCore(benchmark::State& state) {
    const auto& units = clip();
    std::vector<uint8_t> frame(size_t(kStride) * H);
    int64_t pictures = 0;
    for (auto _ : state) {
        h264dec::Decoder decoder;
        decoder.init(W, H);
        for (const media_test::StoredPacket& u : units)
            pictures += decoder.decode(u.data.data(), int(u.data.size()), frame.data(), libav::Layout::kBgr24) > 0;
    }
    state.counters["pictures/s"] = benchmark::Counter(double(pictures), benchmark::Counter::kIsRate);
}

void LibavDirect(benchmark::State& state) {
    const auto& units = clip();
    std::vector<uint8_t> frame(size_t(kStride) * H);
    int64_t pictures = 0;
    for (auto _ : state) {
        const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
        AVCodecContext* ctx = avcodec_alloc_context3(codec);
        ctx->thread_count = 1;
        avcodec_open2(ctx, codec, nullptr);
        AVPacket* packet = av_packet_alloc();
        AVFrame* picture = av_frame_alloc();
        SwsContext* sws = nullptr;
        for (const media_test::StoredPacket& u : units) {
            av_new_packet(packet, int(u.data.size()));
            memcpy(packet->data, u.data.data(), u.data.size());
            avcodec_send_packet(ctx, packet);
            av_packet_unref(packet);
            while (avcodec_receive_frame(ctx, picture) == 0) {
                sws = sws_getCachedContext(sws, picture->width, picture->height, AVPixelFormat(picture->format),
                                           picture->width, picture->height, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr,
                                           nullptr, nullptr);
                uint8_t* planes[4] = {frame.data(), nullptr, nullptr, nullptr};
                int strides[4] = {kStride, 0, 0, 0};
                sws_scale(sws, picture->data, picture->linesize, 0, picture->height, planes, strides);
                ++pictures;
            }
        }
        sws_freeContext(sws);
        av_frame_free(&picture);
        av_packet_free(&packet);
        avcodec_free_context(&ctx);
    }
    state.counters["pictures/s"] = benchmark::Counter(double(pictures), benchmark::Counter::kIsRate);
}

BENCHMARK(StandInCore)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(LibavDirect)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
