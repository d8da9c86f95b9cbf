// Wall time of the analysis of a 10-minute 320 x 240 MPEG-4 MP4 with a key picture a second (the
// file's reader and the MPEG-4 decoder as their native cores, the thumbnails packed by the picture
// packer's core) against ffmpeg decoding the key pictures alone (-skip_frame nokey) and scaling them
// to 128 x 88. Prints both times and their ratio; exits 1 when the ratio is above 1.5.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include "codecs/tolmmp4decode/mp4_reader_core.h"
#include "codecs/tolmmpeg4decode/mpeg4_core.h"
#include "codecs/tolmpicpack/picpack_core.h"
#include "engine/analysis/segment_analysis.h"
#include "tests/support/media_test_tools.h"

namespace {

std::unique_ptr<mp4reader::Reader> g_reader;
std::unique_ptr<mpeg4dec::Decoder> g_decoder;

InputCalls native_calls() {
    InputCalls c;
    c.mp4de_init = [](const char* path) {
        g_reader = std::make_unique<mp4reader::Reader>();
        return g_reader->open(path) ? 0 : -1;
    };
    c.mp4de_close = [] { return g_reader.reset(), 0; };
    c.mp4_getvideonum = [](int* count, int* largest) { return int(g_reader->video_codec(count, largest)); };
    c.mp4_getvideo = [](int* w, int* h, double* fps, int* kbps, double* duration, int* scale, unsigned char* config) {
        return g_reader->video_info(w, h, fps, kbps, duration, scale, config);
    };
    c.mp4_readvideo = [](unsigned char* buffer, int sample, int* time, int* size, unsigned char* key) {
        return g_reader->read_video(buffer, sample, time, size, key);
    };
    c.mpeg4_init = [](int w, int h) {
        g_decoder = std::make_unique<mpeg4dec::Decoder>();
        return g_decoder->init(w, h) ? 0 : -1;
    };
    c.mpeg4_decode = [](const unsigned char* data, int n, unsigned char* picture, int bytes, int* flag) {
        return g_decoder->decode(data, n, picture, bytes, flag);
    };
    c.mpeg4_getwh = [](int* w, int* h) {
        *w = g_decoder->width();
        *h = g_decoder->height();
        return 0;
    };
    c.mpeg4_close = [] { return g_decoder.reset(), 0; };
    return c;
}

int pack(unsigned char* d, uint32_t* dl, const unsigned char* s, uint32_t sl) { return picpack::compress(d, dl, s, sl); }

class Quiet : public AnalysisHost {
    void show(bool) override {}
    void set_caption(const std::string&) override {}
    void set_status(const std::string&) override {}
    void set_range(int) override {}
    void set_position(int) override {}
    bool stop_requested() override { return false; }
};

// The index the probe writes for an MP4 file: one entry per video sample.
bool write_index(const std::string& media, const std::string& path) {
    mp4reader::Reader reader;
    if (!reader.open(media)) return false;
    int count = 0, largest = 0;
    reader.video_codec(&count, &largest);
    IndexFile index;
    index.codec = 2;
    double fps = 0, duration = 0;
    int kbps = 0, scale = 0;
    std::vector<uint8_t> config(1024), sample(size_t(largest) + 16);
    reader.video_info(&index.width, &index.height, &fps, &kbps, &duration, &scale, config.data());
    index.frame_rate = fps;
    for (int i = 0; i < count; ++i) {
        Segment s;
        int time = 0, size = 0;
        uint8_t key = 0;
        s.entry.position = i;
        s.entry.length = reader.read_video(sample.data(), i, &time, &size, &key);
        s.entry.time_ms = time;
        s.entry.is_key = key;
        index.segments.push_back(s);
    }
    std::vector<uint8_t> bytes;
    if (encode_index_file(index, bytes) != IndexError::None) return false;
    media_test::write_file(path, bytes);
    return true;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    const std::string media = std::string(BENCH_BINARY_DIR) + "/analysis_320x240.mp4";
    const std::string index = std::string(BENCH_BINARY_DIR) + "/analysis_320x240.dat";
    std::remove(media.c_str());
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=320x240:rate=25 -t 600 -c:v mpeg4 -q:v 4 "
                    "-g 25 -an '" + media + "'", &status);
    if (status != 0 || !write_index(media, index)) {
        std::fprintf(stderr, "fixture failed\n");
        return 2;
    }
    const InputCalls calls = native_calls();
    AnalysisLibraries libraries;
    libraries.calls = &calls;
    libraries.compress = pack;
    AnalysisRequest request{media, index, "MP4"};
    Quiet host;
    auto start = std::chrono::steady_clock::now();
    const AnalysisOutcome outcome = run_analysis(request, libraries, host);
    const double ours = seconds_since(start);
    start = std::chrono::steady_clock::now();
    media_test::run("ffmpeg -nostdin -v error -threads 1 -skip_frame nokey -i '" + media +
                        "' -vf scale=128:88 -pix_fmt bgr24 -f rawvideo -y /dev/null",
                    &status);
    const double reference = seconds_since(start);
    const double ratio = ours / reference;
    std::printf("analysis: %d thumbnails of %zu entries in %.3f s; ffmpeg key pictures: %.3f s; ratio %.2f\n",
                outcome.thumbnails, outcome.index.segments.size(), ours, reference, ratio);
    return outcome.end == AnalysisEnd::kWritten && ratio <= 1.5 ? 0 : 1;
}
