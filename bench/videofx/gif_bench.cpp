// Decoding a 50-frame 720 x 576 GIF written by ffmpeg: our decoder (every frame, load-all mode),
// giflib's DGifSlurp and ImageMagick's reader (one thread), all from the same bytes in memory.
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <gif_lib.h>
#include <magick/MagickCore.h>
#include "videofx/core/gif_decoder.h"

namespace {

// ffmpeg's moving test pattern, and its Mandelbrot zoom whose every frame differs everywhere.
const char* const kSources[] = {"testsrc2", "mandelbrot"};

const std::vector<uint8_t>& gif_file(int source) {
    static std::vector<uint8_t> files[2];
    std::vector<uint8_t>& bytes = files[source];
    if (!bytes.empty()) return bytes;
    const std::string path = std::string(BENCH_BINARY_DIR) + "/" + kSources[source] + ".gif";
    const std::string command = std::string("ffmpeg -nostdin -v error -y -f lavfi -i ") + kSources[source] +
                                "=size=720x576:rate=25 -frames:v 50 '" + path + "'";
    if (std::system(command.c_str()) != 0) return bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    std::fseek(f, 0, SEEK_END);
    bytes.resize(size_t(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    return bytes;
}

bool have_file(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = gif_file(int(state.range(0)));
    state.SetLabel(std::string(kSources[state.range(0)]) + ", " + std::to_string(bytes.size() / 1024) + " KiB");
    if (bytes.empty()) state.SkipWithError("ffmpeg could not write the GIF");
    return !bytes.empty();
}

void BM_Ours(benchmark::State& state) {
    if (!have_file(state)) return;
    const std::vector<uint8_t>& bytes = gif_file(int(state.range(0)));
    for (auto _ : state) {
        CGifDecoder decoder;
        if (!decoder.OpenBytes(bytes, true) || decoder.GetInfo()->frameCount != 50) {
            state.SkipWithError("our decoder failed");
            break;
        }
        benchmark::DoNotOptimize(decoder.GetNextFrame());
    }
}

struct Reader {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

int read_memory(GifFileType* gif, GifByteType* out, int count) {
    Reader* reader = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(size_t(count), reader->bytes->size() - reader->at);
    std::memcpy(out, reader->bytes->data() + reader->at, n);
    reader->at += n;
    return int(n);
}

void BM_Giflib(benchmark::State& state) {
    if (!have_file(state)) return;
    const std::vector<uint8_t>& bytes = gif_file(int(state.range(0)));
    for (auto _ : state) {
        Reader reader{&bytes, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&reader, read_memory, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK || gif->ImageCount != 50) {
            state.SkipWithError("giflib failed");
            if (gif) DGifCloseFile(gif, &error);
            break;
        }
        benchmark::DoNotOptimize(gif->SavedImages[49].RasterBits);
        DGifCloseFile(gif, &error);
    }
}

void BM_ImageMagick(benchmark::State& state) {
    if (!have_file(state)) return;
    const std::vector<uint8_t>& bytes = gif_file(int(state.range(0)));
    MagickCoreGenesis("gif_bench", MagickFalse);
    SetMagickResourceLimit(ThreadResource, 1);
    for (auto _ : state) {
        ExceptionInfo* exception = AcquireExceptionInfo();
        ImageInfo* info = AcquireImageInfo();
        std::strcpy(info->magick, "GIF");
        Image* images = BlobToImage(info, bytes.data(), bytes.size(), exception);
        if (!images || GetImageListLength(images) != 50) {
            state.SkipWithError("ImageMagick failed");
        }
        if (images) DestroyImageList(images);
        DestroyImageInfo(info);
        DestroyExceptionInfo(exception);
    }
    MagickCoreTerminus();
}

double fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

BENCHMARK(BM_Ours)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);
BENCHMARK(BM_Giflib)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);
BENCHMARK(BM_ImageMagick)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);
BENCHMARK_MAIN();
