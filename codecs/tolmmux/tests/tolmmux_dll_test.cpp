// tolmmux.dll under Wine, bound by the program's binder (every entry point of the table found): the
// answers and blocks the probe reads, Windows paths, the file length cap, and one current stream per
// thread.
#include "tests/support/gtest_winelib.h"
#include <cstring>
#include "base/message_seam.h"
#include "media/binders/binders.h"
#include "tests/support/refuse_message_boxes.h"
#include "media/mpeg/tests/mpeg_fixtures.h"
#include "media/mpeg/tests/test_tag.h"
#include "tests/support/media_test_tools.h"

namespace {

std::string windows_path(const std::string& unix_path) {
    std::string w = "Z:" + unix_path;
    for (char& c : w)
        if (c == '/') c = '\\';
    return w;
}

class TolmmuxDll : public testing::Test {
protected:
    void SetUp() override {
        seam::set_reporter(refuse_message_boxes, nullptr);
        ASSERT_EQ(0, codec::load_tolmmux());
    }
    void TearDown() override { seam::set_reporter(nullptr, nullptr); }  // never unloaded, as in the program
    int open(const std::string& unix_path) {
        codec::mux_init();
        return codec::open_stream(windows_path(unix_path).c_str());
    }
};

TEST_F(TolmmuxDll, DescribesATransportStreamAsTheProbeReadsIt) {
    const auto ts = mpeg_fixtures::fixture("ts");
    ASSERT_FALSE(ts.bytes.empty());
    ASSERT_GE(open(ts.path), 0);
    EXPECT_EQ(0, codec::mux_get_main_stream());
    EXPECT_EQ(1, codec::mux_get_video_mode());
    EXPECT_EQ(0, codec::mux_get_audio_mode());
    EXPECT_EQ(50, codec::mux_play_num());
    EXPECT_EQ(2, codec::mux_play_time());
    EXPECT_EQ(int(ts.bytes.size()), codec::mux_get_filelen());
    int32_t video[8] = {}, audio[6] = {};
    codec::mux_get_video_disp(video);
    codec::mux_get_audio_disp(audio);
    double rate, sample_rate;
    std::memcpy(&rate, video + 4, 8);
    std::memcpy(&sample_rate, audio + 2, 8);
    EXPECT_EQ(352, video[0]);
    EXPECT_EQ(288, video[1]);
    EXPECT_DOUBLE_EQ(25.0, rate);
    EXPECT_EQ(16, audio[0]);
    EXPECT_GT(audio[1], 0);
    EXPECT_DOUBLE_EQ(48000.0, sample_rate);
    EXPECT_EQ(2, audio[4]);
    float ac3_rate = -1;
    int32_t present = -1, channels = -1;
    codec::mux_get_ac3_disp(&ac3_rate, &present, &channels);
    EXPECT_EQ(0, present);
    EXPECT_GT(codec::mux_get_video_pid(), 0);
    EXPECT_GE(codec::mux_get_min_pts(), 0);
    EXPECT_GT(codec::mux_get_max_pts(), codec::mux_get_min_pts());
}

TEST_F(TolmmuxDll, AnAc3ProgramStreamAndAnAvi) {
    const auto dvd = mpeg_fixtures::fixture("dvd");
    ASSERT_GE(open(dvd.path), 0);
    EXPECT_EQ(1, codec::mux_get_main_stream());
    EXPECT_EQ(1, codec::mux_get_audio_mode());
    float rate = 0;
    int32_t present = 0, channels = 0;
    codec::mux_get_ac3_disp(&rate, &present, &channels);
    EXPECT_EQ(48000.0f, rate);
    EXPECT_GT(present, 0);
    EXPECT_EQ(2, channels);

    std::string avi;
    mpeg_fixtures::file("-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=sample_rate=22050 -t 1 "
                               "-c:v mjpeg -c:a pcm_s16le -f avi",
                               "clip.avi", &avi);
    ASSERT_GE(open(avi), 0);
    EXPECT_EQ(9, codec::mux_get_main_stream());
    EXPECT_EQ(25, codec::get_mpeg4_vindex_num());
    EXPECT_GT(codec::get_mpeg4_aindex_num(), 0);
    uint8_t v[80] = {}, a[64] = {};
    codec::get_mpeg4_video(v);
    codec::get_mpeg4_audio(a);
    int32_t width, height, sound_channels, sound_rate;
    double fps;
    std::memcpy(&width, v + 40, 4);
    std::memcpy(&height, v + 44, 4);
    std::memcpy(&fps, v + 48, 8);
    std::memcpy(&sound_channels, a + 52, 4);
    std::memcpy(&sound_rate, a + 56, 4);
    EXPECT_EQ(320, width);
    EXPECT_EQ(240, height);
    EXPECT_DOUBLE_EQ(25.0, fps);
    EXPECT_EQ(0, std::memcmp(v + 56, "MJPG", 4));
    EXPECT_EQ(1, sound_channels);
    EXPECT_EQ(22050, sound_rate);
}

TEST_F(TolmmuxDll, GarbageUnreadableAndHugeFiles) {
    const std::string garbage = media_test::fresh_path("garbage.mpg");
    std::vector<uint8_t> bytes(20000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 31 + 7);
    media_test::write_file(garbage, bytes);
    EXPECT_GE(open(garbage), 0);
    const int main = codec::mux_get_main_stream();
    EXPECT_TRUE(main == 998 || main == 999) << main;
    EXPECT_LT(open(media_test::out_path("no_such_file.mpg")), 0);

    // a sparse file of 3 GiB: its length is given as the largest int
    const std::string huge = media_test::fresh_path("huge.bin");
    media_test::run("truncate -s 3G '" + huge + "'");
    EXPECT_GE(open(huge), 0);
    EXPECT_EQ(0x7FFFFFFF, codec::mux_get_filelen());
    std::remove(huge.c_str());
}

struct ThreadJob {
    std::string path;
    HANDLE opened;     // set once this thread has opened its file
    HANDLE go;         // set when both have
    int main_stream = -1;
    int pictures = -1;
};

DWORD WINAPI describe(void* argument) {
    ThreadJob* job = static_cast<ThreadJob*>(argument);
    codec::mux_init();
    codec::open_stream(windows_path(job->path).c_str());
    SetEvent(job->opened);
    WaitForSingleObject(job->go, 10000);
    job->main_stream = codec::mux_get_main_stream();
    job->pictures = codec::mux_play_num();
    return 0;
}

TEST_F(TolmmuxDll, EachThreadKeepsItsOwnCurrentStream) {
    const auto ts = mpeg_fixtures::fixture("ts");
    const auto es = mpeg_fixtures::fixture("es");
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ThreadJob jobs[2] = {{ts.path, CreateEventA(nullptr, TRUE, FALSE, nullptr), go},
                         {es.path, CreateEventA(nullptr, TRUE, FALSE, nullptr), go}};
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) threads[i] = CreateThread(nullptr, 0, describe, &jobs[i], 0, nullptr);
    HANDLE opened[2] = {jobs[0].opened, jobs[1].opened};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, opened, TRUE, 60000));
    SetEvent(go);
    WaitForMultipleObjects(2, threads, TRUE, 10000);
    EXPECT_EQ(0, jobs[0].main_stream);
    EXPECT_EQ(3, jobs[1].main_stream);
    EXPECT_EQ(50, jobs[0].pictures);
    EXPECT_EQ(50, jobs[1].pictures);
    for (HANDLE h : {threads[0], threads[1], jobs[0].opened, jobs[1].opened, go}) CloseHandle(h);
}

}  // namespace
