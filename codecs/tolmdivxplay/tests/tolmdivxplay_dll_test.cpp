// Loads tolmdivxplay.dll by file name, as the program does: every entry point the binder looks up is
// there, the ones not offered report failure, and two threads decoding different clips at the same
// time each get their own pictures, close to the source pictures ffmpeg coded, and close on their own.
#include "tests/support/gtest_winelib.h"
#include "codecs/include/proc_address.h"
#include "codecs/tolmdivxplay/tolmdivxplay.h"
#include "media/avi/avilib.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int W = 320, H = 240, kPictures = 25;

struct Library {
    HMODULE module = LoadLibraryA("tolmdivxplay.dll");
    ~Library() {
        if (module) FreeLibrary(module);
    }
    template <class Fn>
    Fn get(const char* name) {
        return module ? proc_address<Fn>(module, name) : nullptr;
    }
};

// Smooth moving colours and a bright blob travelling across: pictures a codec with full colour
// resolution keeps well above 45 dB.
std::vector<uint8_t> source_picture(int index) {
    const int stride = signal_check::stride_of(W);
    std::vector<uint8_t> p(size_t(stride) * H);
    const double cx = 40 + 8 * index, cy = 120;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double blob = 60 * std::exp(-((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (2 * 24 * 24));
            uint8_t* px = &p[size_t(y) * stride + 3 * size_t(x)];
            px[0] = uint8_t(64 + 96 * (0.5 + 0.5 * std::sin((x + 2 * index) * 0.05)) + blob);
            px[1] = uint8_t(64 + 96 * (0.5 + 0.5 * std::cos((y + index) * 0.07)) + blob);
            px[2] = uint8_t(64 + 96 * (0.5 + 0.5 * std::sin((x + y + index) * 0.03)) + blob);
        }
    return p;
}

std::string windows_path(const std::string& unix_path) {
    std::string path = "Z:" + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

struct Clip {
    tolmdivx_video_description description = {};
    std::vector<std::vector<uint8_t>> chunks;
};

// The source pictures coded by ffmpeg into an AVI file, read back with the program's AVI reader.
Clip make_clip(const std::string& name, const std::string& codec) {
    Clip clip;
    const std::string raw = media_test::fresh_path(name + ".bgr");
    std::vector<uint8_t> all;
    for (int i = 0; i < kPictures; ++i) {
        std::vector<uint8_t> p = source_picture(i);  // W x 3 is a multiple of 4: no row padding
        all.insert(all.end(), p.begin(), p.end());
    }
    media_test::write_file(raw, all);
    const std::string path = media_test::fresh_path(name);
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error -f rawvideo -pix_fmt bgr24 -s " + std::to_string(W) + "x" +
                        std::to_string(H) + " -r 25 -i '" + raw + "' " + codec + " '" + path + "'",
                    &status);
    EXPECT_EQ(0, status) << name;
    AviFile* avi = AVI_open_input_file(windows_path(path).c_str(), 1);
    EXPECT_NE(nullptr, avi) << name;
    if (!avi) return clip;
    media_test::put_le32(&clip.description.bytes[40], uint32_t(avi->width));
    media_test::put_le32(&clip.description.bytes[44], uint32_t(avi->height));
    std::memcpy(&clip.description.bytes[56], avi->compressor, 4);
    std::vector<uint8_t> bytes = media_test::read_file(path);
    for (int i = 0; i < avi->frame_count; ++i) {
        const AviVideoEntry& e = avi->video_entries[i];
        if (size_t(e.pos) + e.length <= bytes.size())
            clip.chunks.emplace_back(bytes.begin() + long(e.pos), bytes.begin() + long(e.pos + e.length));
    }
    AVI_close(avi);
    return clip;
}

struct Entries {
    tolmdivx_initrgb_fn initrgb = nullptr;
    tolmdivx_playbuf_fn playbuf = nullptr;
    tolmdivx_close_fn close = nullptr;
};

// One thread's decoding: opens its player, waits until the other thread has opened its own, then
// decodes the clip (flushing at the end) and measures each picture against the source.
struct Worker {
    const Clip* clip = nullptr;
    Entries entries;
    HANDLE opened = nullptr;       // set when this thread's player is open
    HANDLE other_opened = nullptr;
    int init_result = -5, close_result = -5, pictures = 0, refused = 0, keys = 0;
    double worst_psnr = 1000;

    static DWORD WINAPI run(void* self) {
        static_cast<Worker*>(self)->decode();
        return 0;
    }

    void decode() {
        init_result = entries.initrgb(clip->description);
        SetEvent(opened);
        WaitForSingleObject(other_opened, 10000);
        const size_t bytes = size_t(signal_check::stride_of(W)) * H;
        std::vector<uint8_t> frame(bytes + 2000);
        auto take = [&](const uint8_t* data, int length) {
            int written = 0, key = 0;
            if (entries.playbuf(data, length, 1, frame.data(), &written, W, H, &key) < 0) ++refused;
            if (written <= 10) return false;
            std::vector<uint8_t> picture(frame.begin(), frame.begin() + long(bytes));
            if (pictures < kPictures)
                worst_psnr = std::min(worst_psnr, signal_check::psnr(source_picture(pictures), picture, W, H));
            keys += key;
            ++pictures;
            Sleep(0);  // let the other thread in between pictures
            return true;
        };
        for (const std::vector<uint8_t>& chunk : clip->chunks) take(chunk.data(), int(chunk.size()));
        while (take(nullptr, 0) && pictures < 2 * kPictures) {
        }
        close_result = entries.close();
    }
};

TEST(TolmdivxplayDll, EveryEntryIsThereAndTheWindowPlayersReportFailure) {
    Library lib;
    ASSERT_NE(nullptr, lib.module) << "LoadLibrary error " << GetLastError();
    for (const char* name : {"tolmdivx_init", "tolmdivx_initrgb", "tolmdivx_close", "tolmdivx_play",
                             "tolmdivx_playbuf", "tolmdivx_setwin", "tolmsnd_init", "tolmsnd_play", "tolmsnd_close",
                             "mpeg4_get_leftvol", "mpeg4_set_leftvol", "mpeg4_get_rightvol", "mpeg4_set_rightvol"})
        EXPECT_NE(nullptr, lib.get<FARPROC>(name)) << name;
    for (const char* name : {"tolmdivx_init", "tolmdivx_play", "tolmdivx_setwin", "tolmsnd_init", "tolmsnd_play",
                             "tolmsnd_close", "mpeg4_get_leftvol", "mpeg4_get_rightvol"})
        if (auto fn = lib.get<tolmdivx_init_fn>(name)) {
            EXPECT_EQ(-1, fn()) << name;
        }
    if (auto fn = lib.get<mpeg4_set_leftvol_fn>("mpeg4_set_leftvol")) {
        EXPECT_EQ(-1, fn(50));
    }
    if (auto fn = lib.get<mpeg4_set_rightvol_fn>("mpeg4_set_rightvol")) {
        EXPECT_EQ(-1, fn(50));
    }

    auto initrgb = lib.get<tolmdivx_initrgb_fn>("tolmdivx_initrgb");
    auto playbuf = lib.get<tolmdivx_playbuf_fn>("tolmdivx_playbuf");
    auto close = lib.get<tolmdivx_close_fn>("tolmdivx_close");
    ASSERT_TRUE(initrgb && playbuf && close);
    uint8_t data[8] = {0, 0, 1, 0xB6}, frame[64];
    int written = -5, key = -5;
    EXPECT_EQ(-1, playbuf(data, 8, 1, frame, &written, 4, 4, &key)) << "no player opened on this thread";
    EXPECT_EQ(0, written);
    EXPECT_EQ(-1, close());
    tolmdivx_video_description d = {};
    media_test::put_le32(&d.bytes[40], 4);
    media_test::put_le32(&d.bytes[44], 4);
    std::memcpy(&d.bytes[56], "DIV3", 4);
    EXPECT_EQ(-1, initrgb(d)) << "not a code of ours";
    std::memcpy(&d.bytes[56], "xvid", 4);
    EXPECT_EQ(0, initrgb(d));
    EXPECT_EQ(-1, playbuf(data, 8, 0, frame, &written, 4, 4, &key)) << "mode 0 is not offered";
    EXPECT_EQ(0, close());
}

TEST(TolmdivxplayDll, TwoThreadsDecodeAtOnceEachCloseToItsSource) {
    Library lib;
    ASSERT_NE(nullptr, lib.module) << "LoadLibrary error " << GetLastError();
    Entries entries{lib.get<tolmdivx_initrgb_fn>("tolmdivx_initrgb"), lib.get<tolmdivx_playbuf_fn>("tolmdivx_playbuf"),
                    lib.get<tolmdivx_close_fn>("tolmdivx_close")};
    ASSERT_TRUE(entries.initrgb && entries.playbuf && entries.close);
    // Motion JPEG and H.264 with B-frames, both at full colour resolution (4:4:4).
    Clip mjpeg = make_clip("threads_mjpg.avi", "-c:v mjpeg -q:v 2 -pix_fmt yuvj444p");
    Clip h264 = make_clip("threads_h264.avi", "-c:v libx264 -qp 0 -pix_fmt yuv444p -bf 2 -g 10");
    ASSERT_EQ(size_t(kPictures), mjpeg.chunks.size());
    ASSERT_EQ(size_t(kPictures), h264.chunks.size());
    EXPECT_EQ(0, std::memcmp(&mjpeg.description.bytes[56], "MJPG", 4));
    EXPECT_EQ(0, std::memcmp(&h264.description.bytes[56], "H264", 4));

    Worker workers[2];
    workers[0].clip = &mjpeg;
    workers[1].clip = &h264;
    for (Worker& w : workers) {
        w.entries = entries;
        w.opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    workers[0].other_opened = workers[1].opened;
    workers[1].other_opened = workers[0].opened;
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) threads[i] = CreateThread(nullptr, 0, Worker::run, &workers[i], 0, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, threads, TRUE, 120000));
    for (int i = 0; i < 2; ++i) {
        CloseHandle(threads[i]);
        CloseHandle(workers[i].opened);
    }
    const char* names[2] = {"MJPG", "H264"};
    for (int i = 0; i < 2; ++i) {
        const Worker& w = workers[i];
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(0, w.init_result);
        EXPECT_EQ(0, w.refused);
        EXPECT_EQ(kPictures, w.pictures);
        EXPECT_GE(w.worst_psnr, 45.0);
        EXPECT_GE(w.keys, i == 0 ? kPictures : 3) << "key pictures";
        EXPECT_EQ(0, w.close_result);
        printf("%s: %d pictures, worst PSNR %.2f dB against the source\n", names[i], w.pictures, w.worst_psnr);
    }
}

}  // namespace
