// The writer's header area byte for byte, chunk layout, index entries and refusals.
#include <gtest/gtest.h>
#include <unistd.h>
#include <cstring>
#include "media/avi/avilib.h"
#include "tests/support/file_size_limit.h"
#include "avi_test_output.h"
#include "tests/support/media_test_tools.h"

using media_test::le32;
using media_test::fresh_path;
using media_test::out_path;
using media_test::read_file;

namespace {

// The expected header area, put together field by field at the offsets of the layout.
struct HeaderCase {
    uint32_t file_size, usec, flags, frames, streams, width, height, movi_size;
    const char* compressor;
    bool audio;
    uint32_t byte_rate = 0, audio_bytes = 0, format = 0, channels = 0, rate = 0, bits = 0;
};

std::vector<uint8_t> expected_header(const HeaderCase& c) {
    std::vector<uint8_t> h(2048, 0);
    auto code = [&](size_t at, const char* s) { std::memcpy(&h[at], s, 4); };
    auto u32 = [&](size_t at, uint32_t v) { media_test::put_le32(&h[at], v); };
    auto u16 = [&](size_t at, uint32_t v) { h[at] = uint8_t(v); h[at + 1] = uint8_t(v >> 8); };
    const uint32_t a = c.audio ? 328 : 220;
    code(0, "RIFF"); u32(4, c.file_size - 8); code(8, "AVI ");
    code(12, "LIST"); u32(16, a - 20); code(20, "hdrl");
    code(24, "avih"); u32(28, 56); u32(32, c.usec); u32(36, 10000000); u32(44, c.flags); u32(48, c.frames);
    u32(56, c.streams); u32(64, c.width); u32(68, c.height);
    code(88, "LIST"); u32(92, 124); code(96, "strl");
    code(100, "strh"); u32(104, 64); code(108, "vids"); code(112, c.compressor); u32(128, c.usec);
    u32(132, 1000000); u32(140, c.frames); u32(148, 0xFFFFFFFF);
    code(172, "strf"); u32(176, 40); u32(180, 40); u32(184, c.width); u32(188, c.height); u16(192, 1);
    u16(194, 24); code(196, c.compressor); u32(200, c.width * c.height);
    if (c.audio) {
        code(220, "LIST"); u32(224, 100); code(228, "strl");
        code(232, "strh"); u32(236, 64); code(240, "auds"); u32(244, 0x55); u32(260, 1); u32(264, c.byte_rate);
        u32(272, c.audio_bytes); u32(280, 0xFFFFFFFF); u32(284, 1);
        code(304, "strf"); u32(308, 16); u16(312, c.format); u16(314, c.channels); u32(316, c.rate);
        u32(320, c.byte_rate); u16(324, 1); u16(326, c.bits);
    }
    code(a, "JUNK"); u32(a + 4, 2028 - a);
    code(2036, "LIST"); u32(2040, c.movi_size); code(2044, "movi");
    return h;
}

void expect_header(const std::string& path, const HeaderCase& c) {
    std::vector<uint8_t> file = read_file(path);
    ASSERT_EQ(file.size(), c.file_size);
    std::vector<uint8_t> want = expected_header(c);
    for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(file[i], want[i]) << "header byte " << i;
}

const uint8_t kData[8] = {1, 2, 3, 4, 5, 6, 7, 8};

}  // namespace

TEST(AviWriter, EmptyFileHasHeaderEmptyMoviAndEmptyIndex) {
    std::string path = fresh_path("empty.avi");
    AviFile* avi = AVI_open_output_file(path.c_str());
    ASSERT_NE(avi, nullptr);
    AVI_set_video(avi, 176, 144, 25.0, "h263");
    ASSERT_EQ(AVI_close(avi), 0);
    expect_header(path, {2056, 40000, 0x10010, 0, 1, 176, 144, 4, "h263", false});
    std::vector<uint8_t> file = read_file(path);
    EXPECT_EQ(std::memcmp(&file[2048], "idx1\0\0\0\0", 8), 0);
}

TEST(AviWriter, OddFrameIsPaddedAndIndexedWithItsOwnLength) {
    std::string path = fresh_path("odd.avi");
    AviFile* avi = open_test_output(path, 30.0, "MJPG");
    ASSERT_NE(avi, nullptr);
    ASSERT_EQ(AVI_write_frame(avi, kData, 3), 0);
    ASSERT_EQ(AVI_write_frame(avi, kData, 4, 0), 0);
    EXPECT_EQ(avi->last_frame_pos, 2060);
    EXPECT_EQ(avi->last_frame_len, 4);
    ASSERT_EQ(AVI_close(avi), 0);
    // chunks: 2048 (8+3+1), 2060 (8+4); idx1 at 2072 with two entries.
    const uint32_t size = 2072 + 8 + 32;
    expect_header(path, {size, 33333, 0x10010, 2, 1, 16, 16, 2072 - 2044, "MJPG", false});
    std::vector<uint8_t> f = read_file(path);
    EXPECT_EQ(std::memcmp(&f[2048], "00db", 4), 0);
    EXPECT_EQ(le32(&f[2052]), 3u);
    EXPECT_EQ(f[2059], 0);  // pad byte
    EXPECT_EQ(std::memcmp(&f[2060], "00db", 4), 0);
    const uint8_t* idx = &f[2072];
    EXPECT_EQ(std::memcmp(idx, "idx1", 4), 0);
    EXPECT_EQ(le32(idx + 4), 32u);
    const uint32_t want[2][3] = {{0x10, 2048, 3}, {0, 2060, 4}};  // the second picture is not a key picture
    for (int i = 0; i < 2; ++i) {
        const uint8_t* e = idx + 8 + 16 * i;
        EXPECT_EQ(std::memcmp(e, "00db", 4), 0);
        EXPECT_EQ(le32(e + 4), want[i][0]);
        EXPECT_EQ(le32(e + 8), want[i][1]);
        EXPECT_EQ(le32(e + 12), want[i][2]);
    }
}

TEST(AviWriter, AudioListAndStreamCountGoTogether) {
    struct Case {
        bool set_audio;
        int audio_bytes;
        uint32_t streams;
        bool list;
    } cases[] = {
        {true, 8, 2, true},    // audio set and written
        {false, 8, 1, false},  // audio chunks without a format: no list, so one stream
        {true, 0, 1, false},   // format set but no audio written
    };
    for (const Case& c : cases) {
        std::string path = fresh_path("audio_list.avi");
        AviFile* avi = AVI_open_output_file(path.c_str());
        ASSERT_NE(avi, nullptr);
        AVI_set_video(avi, 32, 32, 25.0, "h263");
        if (c.set_audio) AVI_set_audio(avi, 2, 44100, 16, 0x55, 128);
        ASSERT_EQ(AVI_write_frame(avi, kData, 8), 0);
        if (c.audio_bytes) {
            ASSERT_EQ(AVI_write_audio(avi, kData, c.audio_bytes), 0);
        }
        ASSERT_EQ(AVI_close(avi), 0);
        const uint32_t entries = c.audio_bytes ? 2 : 1;
        const uint32_t movi_end = 2048 + 16 + (c.audio_bytes ? 16 : 0);
        HeaderCase h{movi_end + 8 + 16 * entries, 40000, 0x10010, 1, c.streams, 32, 32, movi_end - 2044, "h263",
                     c.list, 16000, 8, 0x55, 2, 44100, 16};
        SCOPED_TRACE(c.streams);
        expect_header(path, h);
    }
}

// An exact picture rate goes into the video stream as rate/scale; sound of a variable-rate codec is
// timed one frame a chunk (scale = samples a frame, rate = sampling rate, length = chunks, sample size
// 0, block align = samples a frame).
TEST(AviWriter, ExactRateAndSoundTimedByChunks) {
    std::string path = fresh_path("exact_rate.avi");
    AviFile* avi = AVI_open_output_file(path.c_str());
    ASSERT_NE(avi, nullptr);
    AVI_set_video(avi, 32, 32, 29.97, "xvid");
    AVI_set_video_rate(avi, 30000, 1001);
    AVI_set_audio(avi, 2, 44100, 16, 0x55, 96);
    AVI_set_audio_vbr(avi, 1152);
    ASSERT_EQ(AVI_write_frame(avi, kData, 8), 0);
    for (int n : {8, 6, 4}) ASSERT_EQ(AVI_write_audio(avi, kData, n), 0);
    ASSERT_EQ(AVI_close(avi), 0);
    std::vector<uint8_t> file = read_file(path);
    ASSERT_GE(file.size(), 2048u);
    EXPECT_EQ(33367u, le32(&file[32])) << "microseconds a picture";
    EXPECT_EQ(1001u, le32(&file[128]));
    EXPECT_EQ(30000u, le32(&file[132]));
    EXPECT_EQ(1152u, le32(&file[260]));
    EXPECT_EQ(44100u, le32(&file[264]));
    EXPECT_EQ(3u, le32(&file[272])) << "length in chunks";
    EXPECT_EQ(0u, le32(&file[284])) << "sample size";
    EXPECT_EQ(1152, file[324] | file[325] << 8) << "block align";
    AviFile* in = AVI_open_input_file(path.c_str(), 1);
    ASSERT_NE(in, nullptr);
    EXPECT_DOUBLE_EQ(30000.0 / 1001.0, in->fps);
    AVI_close(in);
}

TEST(AviWriter, FrameRateBelowMinimumGivesZeroFrameTime) {
    for (double fps : {0.0, 0.0005, -5.0}) {
        std::string path = fresh_path("fps0.avi");
        AviFile* avi = open_test_output(path, fps, "h263");
        ASSERT_NE(avi, nullptr);
        ASSERT_EQ(AVI_close(avi), 0);
        expect_header(path, {2056, 0, 0x10010, 0, 1, 16, 16, 4, "h263", false});
    }
}

TEST(AviWriter, ExistingFileIsRefusedAndLeftAlone) {
    std::string path = out_path("existing.avi");
    const std::vector<uint8_t> user_file(100000, 0xAB);
    media_test::write_file(path, user_file);
    EXPECT_EQ(AVI_open_output_file(path.c_str()), nullptr);
    EXPECT_EQ(AVI_errno, AVI_ERR_OPEN);
    EXPECT_EQ(read_file(path), user_file);
}

TEST(AviWriter, FailedWriteLeavesNoStaleBytesAfterClose) {
    std::string path = fresh_path("stale.avi");
    AviFile* avi = open_test_output(path);
    ASSERT_NE(avi, nullptr);
    ASSERT_EQ(AVI_write_frame(avi, kData, 8), 0);
    {
        FileSizeLimit limit(2048 + 16 + 500);  // room for part of the next frame only
        ASSERT_TRUE(limit.ok());
        std::vector<uint8_t> frame(1024, 7);
        EXPECT_EQ(AVI_write_frame(avi, frame.data(), 1024), -1);
        EXPECT_EQ(AVI_errno, AVI_ERR_WRITE);
    }
    ASSERT_EQ(read_file(path).size(), 2048u + 16 + 500) << "the broken chunk's bytes are in the file";
    ASSERT_EQ(AVI_close(avi), 0);
    // One 8-byte frame and an index of one entry: the rest of the broken chunk is gone.
    expect_header(path, {2048 + 16 + 8 + 16, 40000, 0x10010, 1, 1, 16, 16, 16 + 4, "h263", false});
}

TEST(AviWriter, ChunkPastSizeLimitIsRefusedAndFileStaysClosable) {
    std::string path = fresh_path("limit.avi");
    AviFile* avi = open_test_output(path);
    ASSERT_NE(avi, nullptr);
    ASSERT_EQ(AVI_write_frame(avi, kData, 8), 0);
    // 2064 + 3 * 16 + length > 2,000,000,000: refused before a byte is read or written.
    const int too_long = 2000000000 - 2064 - 48 + 1;
    EXPECT_EQ(AVI_write_frame(avi, kData, too_long), -1);
    EXPECT_EQ(AVI_errno, AVI_ERR_SIZELIMIT);
    EXPECT_EQ(avi->frame_count, 1);
    EXPECT_EQ(avi->index_used, 1);
    ASSERT_EQ(AVI_close(avi), 0);
    AviFile* in = AVI_open_input_file(path.c_str(), 1);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->frame_count, 1);
    AVI_close(in);
}

TEST(AviWriter, FailedChunkWriteLeavesNoIndexEntry) {
    std::string path = fresh_path("full.avi");
    AviFile* avi = open_test_output(path);
    ASSERT_NE(avi, nullptr);
    FileSizeLimit limit(2048 + 3 * 1032 + 40);  // three frames and the start of a fourth; no room for the index
    ASSERT_TRUE(limit.ok());
    std::vector<uint8_t> frame(1024, 7);
    int written = 0;
    for (int i = 0; i < 5; ++i)
        if (AVI_write_frame(avi, frame.data(), 1024) == 0) ++written;
    EXPECT_EQ(AVI_errno, AVI_ERR_WRITE);
    EXPECT_EQ(written, 3);
    EXPECT_EQ(avi->index_used, 3);
    EXPECT_EQ(avi->frame_count, 3);
    EXPECT_EQ(avi->file_pos, 2048 + 3 * 1032);
    // The index no longer fits either: reported, and the header area is still written.
    EXPECT_EQ(AVI_close(avi), -1);
    EXPECT_EQ(AVI_errno, AVI_ERR_WRITE_INDEX);
    limit.lift();
    // Cut after the last whole chunk: neither the broken frame nor the broken index stays.
    EXPECT_EQ(read_file(path).size(), 2048u + 3 * 1032);
    AviFile* in = AVI_open_input_file(path.c_str(), 1);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->frame_count, 3);  // rebuilt from the chunks
    AVI_close(in);
}

TEST(AviWriter, FileOpenedForReadingRefusesWritesAndIgnoresSetters) {
    std::string path = fresh_path("readonly.avi");
    AviFile* avi = open_test_output(path);
    ASSERT_NE(avi, nullptr);
    ASSERT_EQ(AVI_write_frame(avi, kData, 8), 0);
    ASSERT_EQ(AVI_close(avi), 0);
    AviFile* in = AVI_open_input_file(path.c_str(), 1);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(AVI_write_frame(in, kData, 8), -1);
    EXPECT_EQ(AVI_errno, AVI_ERR_NOT_PERM);
    EXPECT_EQ(AVI_write_audio(in, kData, 8), -1);
    EXPECT_EQ(AVI_errno, AVI_ERR_NOT_PERM);
    AVI_set_video(in, 99, 99, 1.0, "xvid");
    AVI_set_audio(in, 2, 8000, 16, 1, 128);
    EXPECT_EQ(in->width, 16);
    EXPECT_EQ(in->audio_channels, 0);
    EXPECT_EQ(AVI_close(in), 0);
    EXPECT_EQ(read_file(path).size(), 2048u + 16 + 8 + 16);  // untouched
}

TEST(AviWriter, HeaderAreaThatCannotBeWrittenLeavesNoFile) {
    std::string path = fresh_path("no_room.avi");
    {
        FileSizeLimit limit(1000);  // less than the 2048-byte header area
        ASSERT_TRUE(limit.ok());
        EXPECT_EQ(AVI_open_output_file(path.c_str()), nullptr);
        EXPECT_EQ(AVI_errno, AVI_ERR_WRITE);
    }
    EXPECT_NE(access(path.c_str(), F_OK), 0) << "the half-made file is taken away again";
}

TEST(AviWriter, UnopenablePathFails) {
    EXPECT_EQ(AVI_open_output_file(out_path("no/such/folder/x.avi").c_str()), nullptr);
    EXPECT_EQ(AVI_errno, AVI_ERR_OPEN);
}
