// Speed and quality of our H.263 encoder beside libavcodec's "h263" encoder on the same CIF
// sequence (ffmpeg's moving test pattern). Both streams are decoded by libavcodec to measure PSNR.
// libavcodec runs at the same quantiser as ours, and at the fixed quantiser whose bit rate comes
// closest to ours (its rate control overshoots badly on so easy a sequence).
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "media/h263/h263encode.h"
extern "C" {
#include <libavutil/log.h>
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
}

namespace {

constexpr int kWidth = 352, kHeight = 288, kPictures = 250, kFps = 25, kKeyInterval = 20;
constexpr size_t kPictureSize = size_t(kWidth) * kHeight * 3 / 2;

using Stream = std::vector<std::vector<uint8_t>>;  // one coded picture each

const std::vector<uint8_t>& sequence() {
    static const std::vector<uint8_t> yuv = [] {
        std::string path = std::string(BENCH_BINARY_DIR) + "/cif_testsrc.yuv";
        std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=352x288:rate=25 -frames:v " +
                              std::to_string(kPictures) + " -pix_fmt yuv420p -f rawvideo '" + path + "'";
        std::vector<uint8_t> bytes;
        if (std::system(command.c_str()) != 0) return bytes;
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return bytes;
        bytes.resize(kPictureSize * kPictures);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
        return bytes;
    }();
    return yuv;
}

Stream encode_ours() {
    Stream stream;
    if (h263encode_init(kWidth, kHeight) != 0) return stream;
    std::vector<int32_t> planes(kPictureSize);
    std::vector<uint8_t> out(size_t(kWidth) * kHeight * 3);
    for (int n = 0; n < kPictures; ++n) {
        const uint8_t* src = &sequence()[n * kPictureSize];
        for (size_t i = 0; i < kPictureSize; ++i) planes[i] = src[i];
        const int bytes = h263encode_encode(planes.data(), 0, n % kKeyInterval == 0, out.data());
        if (bytes > 0) stream.emplace_back(out.begin(), out.begin() + bytes);
    }
    h263encode_close();
    return stream;
}

// libavcodec's encoder at a fixed quantiser.
Stream encode_libavcodec(int quantiser) {
    Stream stream;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_H263);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->width = kWidth;
    c->height = kHeight;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = {1, kFps};
    c->framerate = {kFps, 1};
    c->gop_size = kKeyInterval;
    c->max_b_frames = 0;
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->global_quality = quantiser * FF_QP2LAMBDA;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    if (avcodec_open2(c, codec, nullptr) == 0) {
        frame->format = c->pix_fmt;
        frame->width = kWidth;
        frame->height = kHeight;
        av_frame_get_buffer(frame, 0);
        auto drain = [&] {
            while (avcodec_receive_packet(c, packet) == 0) {
                stream.emplace_back(packet->data, packet->data + packet->size);
                av_packet_unref(packet);
            }
        };
        for (int n = 0; n < kPictures; ++n) {
            av_frame_make_writable(frame);
            const uint8_t* src = &sequence()[n * kPictureSize];
            const uint8_t* planes[3] = {src, src + kWidth * kHeight, src + kWidth * kHeight * 5 / 4};
            const int linesizes[3] = {kWidth, kWidth / 2, kWidth / 2};
            av_image_copy(frame->data, frame->linesize, planes, linesizes, c->pix_fmt, kWidth, kHeight);
            frame->pts = n;
            frame->quality = c->global_quality;
            avcodec_send_frame(c, frame);
            drain();
        }
        avcodec_send_frame(c, nullptr);
        drain();
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    return stream;
}

struct Quality {
    double psnr = 0, kbps = 0;
    int pictures = 0;
};

// Decodes a stream with libavcodec and compares every plane with the source.
Quality measure(const Stream& stream) {
    Quality q;
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H263);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    double psnr_sum = 0, bytes = 0;
    auto compare = [&] {
        while (avcodec_receive_frame(c, frame) == 0) {
            if (q.pictures >= kPictures) break;
            const uint8_t* src = &sequence()[q.pictures * kPictureSize];
            double sum = 0;
            for (int plane = 0; plane < 3; ++plane) {
                const int w = plane ? kWidth / 2 : kWidth, h = plane ? kHeight / 2 : kHeight;
                const uint8_t* s = src + (plane == 0 ? 0 : plane == 1 ? kWidth * kHeight : kWidth * kHeight * 5 / 4);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const double d = double(s[y * w + x]) - frame->data[plane][y * frame->linesize[plane] + x];
                        sum += d * d;
                    }
            }
            psnr_sum += sum ? 10 * std::log10(255.0 * 255.0 * double(kPictureSize) / sum) : 99;
            ++q.pictures;
        }
    };
    if (avcodec_open2(c, codec, nullptr) == 0) {
        for (const auto& picture : stream) {
            av_new_packet(packet, int(picture.size()));
            std::copy(picture.begin(), picture.end(), packet->data);
            bytes += double(picture.size());
            avcodec_send_packet(c, packet);
            av_packet_unref(packet);
            compare();
        }
        avcodec_send_packet(c, nullptr);
        compare();
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    if (q.pictures) q.psnr = psnr_sum / q.pictures;
    q.kbps = bytes * 8 * kFps / kPictures / 1000;
    return q;
}

const Quality& our_quality() {
    static const Quality q = measure(encode_ours());
    return q;
}

void report(benchmark::State& state, const Quality& q) {
    state.counters["fps"] = benchmark::Counter(double(kPictures) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["psnr_dB"] = q.psnr;
    state.counters["kbit_s"] = q.kbps;
    state.counters["decoded"] = q.pictures;
}

void BM_Ours(benchmark::State& state) {
    if (sequence().size() != kPictureSize * kPictures) return state.SkipWithError("no test sequence (ffmpeg)");
    for (auto _ : state) benchmark::DoNotOptimize(encode_ours());
    report(state, our_quality());
}

// The quantiser at which libavcodec's bit rate comes closest to ours.
int closest_quantiser() {
    static const int best = [] {
        int q_best = 2;
        double gap_best = 1e30;
        for (int q = 2; q <= 31; ++q) {
            const double gap = std::fabs(measure(encode_libavcodec(q)).kbps - our_quality().kbps);
            if (gap < gap_best) {
                gap_best = gap;
                q_best = q;
            }
        }
        return q_best;
    }();
    return best;
}

void BM_Libavcodec(benchmark::State& state) {
    if (sequence().size() != kPictureSize * kPictures) return state.SkipWithError("no test sequence (ffmpeg)");
    const int quantiser = state.range(0) ? closest_quantiser() : 8;
    for (auto _ : state) benchmark::DoNotOptimize(encode_libavcodec(quantiser));
    report(state, measure(encode_libavcodec(quantiser)));
    state.counters["qp"] = quantiser;
}

}  // namespace

BENCHMARK(BM_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();
// Argument 0: quantiser 8 like ours; 1: the quantiser giving the closest bit rate.
BENCHMARK(BM_Libavcodec)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);  // libavcodec warns for every clipped coefficient
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
