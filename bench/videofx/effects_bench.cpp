// 720 x 576 frames through the effect chain: all fourteen effects on the whole frame with working
// parameters, each effect alone, and ffmpeg's comparable filters (libavfilter, one thread) on the
// same frames in the same run. The frames are ffmpeg's moving test pattern with noise, so nearly
// every pixel differs from its neighbours.
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "videofx/core/effect_table.h"
extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

using namespace videofx;

namespace {

constexpr int kWidth = 720, kHeight = 576, kFrames = 8;
constexpr int kStride = (3 * kWidth + 3) & ~3;
constexpr size_t kFrameBytes = size_t(kStride) * kHeight;

const std::vector<uint8_t>& frames() {
    static const std::vector<uint8_t> bytes = [] {
        const std::string path = std::string(BENCH_BINARY_DIR) + "/effects_frames.bgr";
        const std::string command =
            "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=720x576:rate=25 -vf noise=alls=12:allf=t -frames:v " +
            std::to_string(kFrames) + " -pix_fmt bgr24 -f rawvideo '" + path + "'";
        std::vector<uint8_t> out;
        if (std::system(command.c_str()) != 0) return out;
        FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return out;
        out.resize(kFrameBytes * kFrames);  // 720 x 3 is a multiple of 4: rows need no padding
        out.resize(std::fread(out.data(), 1, out.size(), f));
        std::fclose(f);
        return out;
    }();
    return bytes;
}

const uint8_t* frame(int n) { return frames().data() + kFrameBytes * size_t(n % kFrames); }

// The table with every effect on over the whole frame, with working parameters.
void set_up(EffectTable& table) {
    table.begin();
    table.set_frame_size(kWidth, kHeight, 1);
    table.with_slots([](SlotTable& s) {
        for (int id = 1; id <= kEffectCount; ++id) {
            s[slot_of(id)].enabled = 1;
            s[slot_of(id)].whole_frame = 1;
        }
        const uint8_t rgb[3] = {140, 120, 110};
        std::memcpy(s[slot_of(kAdjustRgb)].byte_params, rgb, 3);
        s[slot_of(kHueSaturation)].byte_params[0] = 80;
        s[slot_of(kHueSaturation)].byte_params[1] = 120;
        s[slot_of(kBrightnessContrast)].byte_params[0] = 110;
        s[slot_of(kBrightnessContrast)].byte_params[1] = 120;
        s[slot_of(kMosaic)].byte_params[0] = 8;
        s[slot_of(kWeathering)].byte_params[0] = 8;
        s[slot_of(kSharpen)].byte_params[0] = 2;
        s[slot_of(kBlur)].byte_params[0] = 5;
        s[slot_of(kBlinds)].byte_params[1] = 0;
        s[slot_of(kExpand)].byte_params[1] = 0;
    });
    // A 200 x 100 picture keyed on white, and a 200 x 100 text bitmap on its transparent green.
    CRgbImage picture(200, 100, 0x3050A0);
    for (int y = 0; y < 100; y += 4) std::memset(picture.row(y), 0xFF, 600);
    table.set_overlay_picture(picture);
    const uint8_t low[3] = {240, 240, 240}, high[3] = {255, 255, 255};
    table.set_overlay_key(true, low, high);
    const int size = int(bgr_bytes(200, 100));
    uint8_t* text = static_cast<uint8_t*>(std::malloc(size_t(size)));
    for (int i = 0; i < size; i += 3) {
        const bool glyph = (i / 3) % 7 < 2;
        text[i] = 0, text[i + 1] = glyph ? 250 : 255, text[i + 2] = glyph ? 250 : 0;
    }
    table.set_slot_data(kTextSlot, text, size, 200, 100);
}

void run_chain(benchmark::State& state, const std::vector<int>& order) {
    if (frames().size() != kFrameBytes * kFrames) {
        state.SkipWithError("ffmpeg could not make the frames");
        return;
    }
    EffectTable table;
    set_up(table);
    std::vector<uint8_t> work(kFrameBytes);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), frame(n++), kFrameBytes);
        state.ResumeTiming();
        table.change(work.data(), int(work.size()), order);
        benchmark::DoNotOptimize(work.data());
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_AllFourteenEffects(benchmark::State& state) {
    std::vector<int> order;
    for (int id = 1; id <= kEffectCount; ++id) order.push_back(id);
    run_chain(state, order);
}

const char* const kEffectNames[kEffectCount] = {"RGB adjust", "hue/saturation", "brightness/contrast", "flip",
                                                "mirror",     "invert",         "mosaic",              "weathering",
                                                "sharpen",    "blur",           "picture overlay",     "text overlay",
                                                "blinds",     "expand"};

void BM_OneEffect(benchmark::State& state) {
    state.SetLabel(kEffectNames[state.range(0) - 1]);
    run_chain(state, {int(state.range(0))});
}

// One libavfilter graph, one thread: frames of `format` in, the filter, frames out.
class FilterGraph {
public:
    FilterGraph(const char* filter, AVPixelFormat format) {
        graph_ = avfilter_graph_alloc();
        graph_->nb_threads = 1;
        char args[256];
        std::snprintf(args, sizeof args, "video_size=%dx%d:pix_fmt=%d:time_base=1/25:pixel_aspect=1/1", kWidth, kHeight,
                      int(format));
        avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in", args, nullptr, graph_);
        avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr, graph_);
        const AVPixelFormat formats[] = {format, AV_PIX_FMT_NONE};
        av_opt_set_int_list(sink_, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
        AVFilterInOut* outputs = avfilter_inout_alloc();
        AVFilterInOut* inputs = avfilter_inout_alloc();
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source_;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink_;
        ok_ = avfilter_graph_parse_ptr(graph_, filter, &inputs, &outputs, nullptr) >= 0 &&
              avfilter_graph_config(graph_, nullptr) >= 0;
        avfilter_inout_free(&inputs);
        avfilter_inout_free(&outputs);
    }
    ~FilterGraph() { avfilter_graph_free(&graph_); }
    bool ok() const { return ok_; }
    bool run(AVFrame* in, AVFrame* out) {
        if (av_buffersrc_add_frame_flags(source_, in, AV_BUFFERSRC_FLAG_KEEP_REF) < 0) return false;
        const bool got = av_buffersink_get_frame(sink_, out) >= 0;
        av_frame_unref(out);
        return got;
    }

private:
    AVFilterGraph* graph_ = nullptr;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    bool ok_ = false;
};

struct FfmpegCase {
    const char* filter;
    AVPixelFormat format;  // the filter's own format, so the graph converts nothing
    int ours;              // our effect doing the comparable work
};
const FfmpegCase kFfmpegCases[] = {
    {"hue=h=60:s=1.2", AV_PIX_FMT_YUV420P, kHueSaturation},
    {"eq=brightness=0.06:contrast=1.2", AV_PIX_FMT_YUV420P, kBrightnessContrast},
    {"boxblur=luma_radius=2:chroma_radius=2", AV_PIX_FMT_GBRP, kBlur},
    {"negate", AV_PIX_FMT_BGR24, kInvert},
    {"vflip", AV_PIX_FMT_BGR24, kFlip},
    {"hflip", AV_PIX_FMT_BGR24, kMirror},
};

void BM_Ffmpeg(benchmark::State& state) {
    av_log_set_level(AV_LOG_ERROR);
    const FfmpegCase& c = kFfmpegCases[state.range(0)];
    state.SetLabel(std::string(c.filter) + " (ours: effect " + std::to_string(c.ours) + ")");
    if (frames().size() != kFrameBytes * kFrames) {
        state.SkipWithError("ffmpeg could not make the frames");
        return;
    }
    FilterGraph graph(c.filter, c.format);
    if (!graph.ok()) {
        state.SkipWithError("filter graph");
        return;
    }
    // The same frames, converted beforehand into the filter's format.
    std::vector<AVFrame*> inputs;
    SwsContext* sws = sws_getContext(kWidth, kHeight, AV_PIX_FMT_BGR24, kWidth, kHeight, c.format, SWS_POINT, nullptr,
                                     nullptr, nullptr);
    for (int n = 0; n < kFrames; ++n) {
        AVFrame* f = av_frame_alloc();
        f->width = kWidth;
        f->height = kHeight;
        f->format = c.format;
        av_frame_get_buffer(f, 32);
        const uint8_t* src[1] = {frame(n)};
        const int src_stride[1] = {kStride};
        sws_scale(sws, src, src_stride, 0, kHeight, f->data, f->linesize);
        f->pts = n;
        inputs.push_back(f);
    }
    sws_freeContext(sws);
    AVFrame* out = av_frame_alloc();
    int64_t n = 0;
    for (auto _ : state) {
        inputs[size_t(n % kFrames)]->pts = n;
        if (!graph.run(inputs[size_t(n % kFrames)], out)) {
            state.SkipWithError("filtering failed");
            break;
        }
        ++n;
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    av_frame_free(&out);
    for (AVFrame* f : inputs) av_frame_free(&f);
}

// The machine may be shared: with --benchmark_repetitions the fastest repetition is the figure that
// says most about the code.
double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

BENCHMARK(BM_AllFourteenEffects)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);
BENCHMARK(BM_OneEffect)->DenseRange(1, kEffectCount)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", fastest);
BENCHMARK(BM_Ffmpeg)
    ->DenseRange(0, int(std::size(kFfmpegCases)) - 1)
    ->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", fastest);
BENCHMARK_MAIN();
