// The decoder stand-ins as the program reaches them under Wine: bound by the program's binders (every
// entry point of each library found, no message), paths given as Windows paths, and state kept per
// calling thread, so a thread decoding is never disturbed by another opening, using and closing the
// same library; the H.264 decoder of the loading thread serves threads without their own.
#include "tests/support/gtest_winelib.h"
#include "base/message_seam.h"
#include "media/binders/binders.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/stream_packets.h"
#include <cstring>
#include <string>
#include <vector>

namespace {

int refuse_boxes(const char* text, const char*, unsigned, void*) {
    ADD_FAILURE() << "message box: " << text;
    return IDOK;
}

struct Bound {
    Bound() {
        seam::set_reporter(refuse_boxes, nullptr);
        ok = codec::load_tolmmtvdecode() == 0 && codec::load_tolmmp4decode() == 0 && codec::load_tolmaac_decode() == 0 &&
             codec::load_tolmamr_decode() == 0 && codec::load_tolmh263dec1() == 0 && codec::load_tolmh263dec2() == 0 &&
             codec::load_tolmvpdecode() == 0 && codec::load_tolmx264decode() == 0 &&
             codec::load_tolmmpeg4decode() == 0 && codec::load_tolmadpcmdecode() == 0;
    }
    ~Bound() {
        codec::unload_tolmmtvdecode();
        codec::unload_tolmmp4decode();
        codec::unload_tolmaac_decode();
        codec::unload_tolmamr_decode();
        codec::unload_tolmh263dec1();
        codec::unload_tolmh263dec2();
        codec::unload_tolmvpdecode();
        codec::unload_tolmx264decode();
        codec::unload_tolmadpcmdecode();
        seam::set_reporter(nullptr, nullptr);
    }
    bool ok = false;
};

std::string make(const std::string& name, const std::string& arguments) {
    std::string path = media_test::fresh_path(name);
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error " + arguments + " '" + path + "'", &status);
    EXPECT_EQ(0, status) << name;
    return path;
}

// The Windows path Wine gives a Linux path (drive Z: is the root).
std::string windows_path(const std::string& unix_path) {
    std::string path = "Z:" + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

uint32_t checksum(const uint8_t* data, int n) {
    uint32_t h = 2166136261u;
    for (int i = 0; i < n; ++i) h = (h ^ data[i]) * 16777619u;
    return h;
}

TEST(StandIns, EveryLibraryBindsWithAllItsEntryPoints) {
    Bound bound;
    EXPECT_TRUE(bound.ok);
}

// A worker decodes a Sorenson clip; its pictures are recorded by checksum.
struct SorensonWorker {
    const std::vector<media_test::StoredPacket>* packets = nullptr;
    std::vector<uint32_t> pictures;
    int width = 0, height = 0;
    DWORD pause_ms = 0;
    HANDLE started = nullptr;

    static DWORD WINAPI run(void* self) {
        SorensonWorker& w = *static_cast<SorensonWorker*>(self);
        if (codec::sh263de_init() != 0) return 1;
        codec::sh263de_setdispmode(0);
        if (w.started) SetEvent(w.started);
        std::vector<uint8_t> frame(1555200);
        for (const media_test::StoredPacket& p : *w.packets) {
            int n = codec::sh263de_frame(p.data.data(), int(p.data.size()), frame.data(), int(frame.size()));
            if (n > 0) w.pictures.push_back(checksum(frame.data(), n));
            if (w.pause_ms) Sleep(w.pause_ms);
        }
        w.width = codec::sh263de_getwidth();
        w.height = codec::sh263de_getheight();
        codec::sh263de_exit();
        return 0;
    }
};

TEST(StandIns, AWorkersSorensonPicturesAreTheSameWhileAnotherThreadProbesFlvFiles) {
    Bound bound;
    ASSERT_TRUE(bound.ok);
    std::vector<media_test::StoredPacket> clip = media_test::video_packets(
        make("worker.flv", "-f lavfi -i testsrc2=size=320x240:rate=25 -t 2 -c:v flv -g 10 -q:v 4"));
    std::vector<media_test::StoredPacket> probed = media_test::video_packets(
        make("probed.flv", "-f lavfi -i testsrc=size=176x144:rate=15 -t 1 -c:v flv -q:v 5"));
    ASSERT_EQ(50u, clip.size());
    ASSERT_FALSE(probed.empty());

    SorensonWorker alone;
    alone.packets = &clip;
    HANDLE thread = CreateThread(nullptr, 0, SorensonWorker::run, &alone, 0, nullptr);
    ASSERT_TRUE(thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    ASSERT_EQ(50u, alone.pictures.size());

    SorensonWorker disturbed;
    disturbed.packets = &clip;
    disturbed.pause_ms = 4;
    disturbed.started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, SorensonWorker::run, &disturbed, 0, nullptr);
    ASSERT_TRUE(thread);
    WaitForSingleObject(disturbed.started, INFINITE);
    // The interface thread probes an FLV file 20 times as the probe does: open, read the first
    // picture's header and decode it, ask the size, close.
    std::vector<uint8_t> frame(1555200);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(0, codec::sh263de_init());
        const media_test::StoredPacket& first = probed[0];
        EXPECT_EQ(0, codec::sh263de_frame(first.data.data(), int(first.data.size()), nullptr, 0));
        EXPECT_GT(codec::sh263de_frame(first.data.data(), int(first.data.size()), frame.data(), int(frame.size())), 0);
        EXPECT_EQ(176, codec::sh263de_getwidth());
        EXPECT_EQ(144, codec::sh263de_getheight());
        EXPECT_EQ(0, codec::sh263de_exit());
        Sleep(3);
    }
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 0)) << "the probing overlapped the worker's decoding";
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(disturbed.started);
    EXPECT_EQ(alone.pictures, disturbed.pictures);
    EXPECT_EQ(320, disturbed.width);
    EXPECT_EQ(240, disturbed.height);
    EXPECT_EQ(-1, codec::sh263de_frame(probed[0].data.data(), int(probed[0].data.size()), frame.data(), 100))
        << "this thread closed its decoder";
}

// H.264 samples in start-code form (the program turns MP4 and FLV lengths into start codes).
std::vector<std::vector<uint8_t>> h264_units(const std::string& path) {
    std::vector<std::vector<uint8_t>> units;
    for (const media_test::StoredPacket& p : media_test::video_packets(path)) units.push_back(p.data);
    return units;
}

struct H264Worker {
    const std::vector<std::vector<uint8_t>>* units = nullptr;
    bool own = false;  // opens a decoder of its own instead of using the loading thread's
    int pictures = 0, width = 0, height = 0;

    static DWORD WINAPI run(void* self) {
        H264Worker& w = *static_cast<H264Worker*>(self);
        if (w.own && codec::tolm264decode_init(160, 120) != 0) return 1;
        std::vector<uint8_t> frame(size_t(960) * 240 + 64);
        for (const std::vector<uint8_t>& u : *w.units)
            w.pictures += codec::tolm264decode_decode(u.data(), int(u.size()), frame.data()) > 0;
        codec::tolm264decode_getwh(&w.width, &w.height);
        if (w.own) codec::tolm264decode_close();
        return 0;
    }
};

TEST(StandIns, ThreadsWithoutAnH264DecoderOfTheirOwnUseTheLoadingThreads) {
    Bound bound;
    ASSERT_TRUE(bound.ok);
    std::vector<std::vector<uint8_t>> units = h264_units(make(
        "shared.h264", "-f lavfi -i testsrc2=size=320x240:rate=25 -t 1 -c:v libx264 -bf 0 -pix_fmt yuv420p -f h264"));
    ASSERT_EQ(25u, units.size());
    // The interface thread opens the decoder for the workers (notice 678).
    ASSERT_EQ(0, codec::tolm264decode_init(320, 240));
    H264Worker borrower;
    borrower.units = &units;
    H264Worker owner;
    owner.units = &units;
    owner.own = true;
    HANDLE threads[2] = {CreateThread(nullptr, 0, H264Worker::run, &owner, 0, nullptr),
                         CreateThread(nullptr, 0, H264Worker::run, &borrower, 0, nullptr)};
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
    EXPECT_EQ(25, borrower.pictures) << "every picture through the shared decoder, opened at 320 x 240";
    EXPECT_EQ(0, owner.pictures) << "its own decoder was opened at 160 x 120: nothing written";
    EXPECT_EQ(320, owner.width) << "but the size is known";
    EXPECT_EQ(320, borrower.width);
    EXPECT_EQ(240, borrower.height);
    std::vector<uint8_t> frame(size_t(960) * 240);
    EXPECT_EQ(0, codec::tolm264decode_decode(nullptr, 0, frame.data())) << "nothing held back";
    EXPECT_EQ(0, codec::tolm264decode_close());
    H264Worker late;
    late.units = &units;
    HANDLE thread = CreateThread(nullptr, 0, H264Worker::run, &late, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(0, late.pictures) << "no decoder anywhere once the loading thread closed its own";
}

TEST(StandIns, FilesAreOpenedByTheirWindowsPaths) {
    Bound bound;
    ASSERT_TRUE(bound.ok);
    std::string mp4 = make("paths.mp4",
                           "-f lavfi -i testsrc2=size=176x144:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=44100 "
                           "-t 1 -c:v mpeg4 -c:a aac");
    ASSERT_EQ(0, codec::mp4de_init(windows_path(mp4).c_str()));
    EXPECT_EQ(2, codec::mp4_gettracknum());
    int samples = 0, largest = 0;
    EXPECT_EQ(2, codec::mp4_getvideonum(&samples, &largest));
    EXPECT_EQ(25, samples);
    EXPECT_EQ(3, codec::mp4_getaudionum(&samples, &largest));
    char name[64];
    EXPECT_EQ(int(strlen("MPEG-4 Audio (14496-3)")), codec::mp4_getaudioname(name));
    EXPECT_EQ(0, codec::mp4de_close());
    EXPECT_EQ(-1, codec::mp4de_init("Z:\\no\\such\\file.mp4"));

    std::string amv = make("paths.amv",
                           "-f lavfi -i testsrc2=size=160x120:rate=15 -f lavfi -i sine=frequency=1000:sample_rate=22050 "
                           "-t 1 -c:v amv -c:a adpcm_ima_amv -ac 1 -block_size 1470 -strict -1");
    ASSERT_EQ(0, codec::amv_init(windows_path(amv).c_str()));
    int w = 0, h = 0, value = 0;
    double fps = 0, duration = 0;
    EXPECT_EQ(15, codec::amv_getvideo(&w, &h, &fps, &value, &duration));
    EXPECT_EQ(-1, codec::mtv_getvideo(&w, &h, &fps, &value, &duration)) << "the thread's file is an AMV file";
    EXPECT_EQ(0, codec::amv_close());
}

// The program binds and frees the readers job by job: after a file was opened and the library freed,
// the next bind must find working entry points (libavformat cannot be set up twice under Wine).
TEST(StandIns, ReadersFreedAfterOpeningAFileBindAgain) {
    std::string mp4 = make("again.mp4", "-f lavfi -i testsrc2=size=176x144:rate=25 -t 1 -c:v mpeg4");
    std::string amv = make("again.amv",
                           "-f lavfi -i testsrc2=size=160x120:rate=15 -f lavfi -i sine=frequency=1000:sample_rate=22050 "
                           "-t 1 -c:v amv -c:a adpcm_ima_amv -ac 1 -block_size 1470 -strict -1");
    seam::set_reporter(refuse_boxes, nullptr);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(0, codec::load_tolmmp4decode());
        ASSERT_EQ(0, codec::load_tolmmtvdecode());
        EXPECT_EQ(0, codec::mp4de_init(windows_path(mp4).c_str()));
        EXPECT_EQ(0, codec::mp4de_close());
        EXPECT_EQ(0, codec::amv_init(windows_path(amv).c_str()));
        EXPECT_EQ(0, codec::amv_close());
        codec::unload_tolmmp4decode();
        codec::unload_tolmmtvdecode();
    }
    seam::set_reporter(nullptr, nullptr);
}

}  // namespace
