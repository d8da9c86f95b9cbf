// The reader on files made by ffmpeg (compared with ffprobe's packet list) and on broken files.
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>
#include "media/avi/avilib.h"
#include "avi_test_output.h"
#include "tests/support/media_test_tools.h"

using media_test::le32;
using media_test::out_path;
using media_test::put_le32;
using media_test::read_file;
using media_test::write_file;

namespace {

// MJPEG ("00dc") video with PCM sound; ffmpeg's idx1 offsets count from the "movi" type field.
const std::string& ffmpeg_avi() {
    static const std::string path = [] {
        // Named per process: the cases of this file run in parallel.
        std::string p = out_path("ffmpeg_made_" + std::to_string(getpid()) + ".avi");
        int status = 0;
        media_test::run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=25 -f lavfi "
                        "-i sine=frequency=440:sample_rate=22050 -t 2 -c:v mjpeg -c:a pcm_s16le -ac 1 '" + p + "'",
                        &status);
        return status == 0 ? p : std::string();
    }();
    return path;
}

// Position of the first top-level chunk with this id, or 0.
size_t find_top_level(const std::vector<uint8_t>& f, const char* id) {
    size_t pos = 12;
    while (pos + 8 <= f.size()) {
        if (std::memcmp(&f[pos], id, 4) == 0) return pos;
        uint32_t len = le32(&f[pos + 4]);
        pos += 8 + (std::memcmp(&f[pos], "LIST", 4) == 0 ? len : len + (len & 1));
    }
    return 0;
}

// The reader's tables must list exactly the packets ffprobe demuxes from the same file (ffprobe
// gives the position of a packet's data).
void expect_tables_match_ffprobe(const std::string& path, int expected_type_frames) {
    AviFile* avi = AVI_open_input_file(path.c_str(), 1);
    ASSERT_NE(avi, nullptr) << "AVI_errno " << AVI_errno;
    std::vector<media_test::Packet> packets = media_test::probe_packets(path);
    std::vector<media_test::Packet> video, audio;
    for (const auto& p : packets) (p.stream == 0 ? video : audio).push_back(p);
    EXPECT_EQ(avi->frame_count, expected_type_frames);
    ASSERT_EQ(int(video.size()), avi->frame_count);
    ASSERT_EQ(int(audio.size()), avi->audio_chunk_count);
    for (size_t i = 0; i < video.size(); ++i) {
        EXPECT_EQ(avi->video_entries[i].pos, video[i].pos) << "video " << i;
        EXPECT_EQ(avi->video_entries[i].length, video[i].size) << "video " << i;
    }
    uint32_t total = 0;
    for (size_t i = 0; i < audio.size(); ++i) {
        EXPECT_EQ(avi->audio_entries[i].pos, audio[i].pos) << "audio " << i;
        EXPECT_EQ(avi->audio_entries[i].length, audio[i].size) << "audio " << i;
        EXPECT_EQ(avi->audio_entries[i].total_before, total);
        total += avi->audio_entries[i].length;
    }
    EXPECT_EQ(avi->audio_byte_count, total);
    EXPECT_EQ(avi->width, 160);
    EXPECT_EQ(avi->height, 120);
    EXPECT_DOUBLE_EQ(avi->fps, 25.0);
    EXPECT_STREQ(avi->compressor, "MJPG");
    EXPECT_EQ(std::memcmp(avi->video_chunk_id, "00db", 4), 0);
    EXPECT_EQ(std::memcmp(avi->audio_chunk_id, "01wb", 4), 0);
    EXPECT_EQ(avi->audio_channels, 1);
    EXPECT_EQ(avi->audio_rate, 22050);
    EXPECT_EQ(avi->audio_bits, 16);
    EXPECT_EQ(avi->audio_format_tag, 1);
    EXPECT_EQ(avi->file.tell(), avi->movi_data_pos);
    AVI_close(avi);
}

}  // namespace

TEST(AviReader, FfmpegFileWithMoviRelativeIndex) {
    ASSERT_FALSE(ffmpeg_avi().empty());
    expect_tables_match_ffprobe(ffmpeg_avi(), 50);
}

TEST(AviReader, FfmpegFileWithAbsoluteIndex) {
    ASSERT_FALSE(ffmpeg_avi().empty());
    std::vector<uint8_t> f = read_file(ffmpeg_avi());
    AviFile* avi = AVI_open_input_file(ffmpeg_avi().c_str(), 0);
    ASSERT_NE(avi, nullptr);
    const uint32_t movi_type_pos = uint32_t(avi->movi_data_pos - 4);
    AVI_close(avi);
    size_t idx = find_top_level(f, "idx1");
    ASSERT_NE(idx, 0u);
    for (size_t e = idx + 8; e + 16 <= idx + 8 + le32(&f[idx + 4]); e += 16)
        put_le32(&f[e + 8], le32(&f[e + 8]) + movi_type_pos);
    std::string path = out_path("ffmpeg_absolute.avi");
    write_file(path, f);
    expect_tables_match_ffprobe(path, 50);
}

TEST(AviReader, FfmpegFileWithoutIndexIsScanned) {
    ASSERT_FALSE(ffmpeg_avi().empty());
    std::vector<uint8_t> f = read_file(ffmpeg_avi());
    size_t idx = find_top_level(f, "idx1");
    ASSERT_NE(idx, 0u);
    f.resize(idx);
    std::string path = out_path("ffmpeg_no_index.avi");
    write_file(path, f);
    expect_tables_match_ffprobe(path, 50);
}

TEST(AviReader, HeadersOnlyStopsAtMoviData) {
    ASSERT_FALSE(ffmpeg_avi().empty());
    AviFile* avi = AVI_open_input_file(ffmpeg_avi().c_str(), 0);
    ASSERT_NE(avi, nullptr);
    EXPECT_EQ(avi->mode, 1);
    EXPECT_EQ(avi->video_entries, nullptr);
    EXPECT_EQ(avi->frame_count, 50);  // from the stream header
    EXPECT_EQ(avi->file.tell(), avi->movi_data_pos);
    AVI_close(avi);
}

TEST(AviReader, NestedListsAreScanned) {
    // Our own file with its chunks wrapped in a "rec " list and no index.
    std::string path = media_test::fresh_path("nested.avi");
    AviFile* w = open_test_output(path);
    ASSERT_NE(w, nullptr);
    const uint8_t frame[6] = {9, 9, 9, 9, 9, 9};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(AVI_write_frame(w, frame, 6), 0);
    ASSERT_EQ(AVI_close(w), 0);
    std::vector<uint8_t> f = read_file(path);
    f.resize(2048 + 3 * 14);  // drop idx1
    const uint8_t rec[12] = {'L', 'I', 'S', 'T', 4 + 3 * 14, 0, 0, 0, 'r', 'e', 'c', ' '};
    f.insert(f.begin() + 2048, rec, rec + 12);
    write_file(path, f);
    AviFile* avi = AVI_open_input_file(path.c_str(), 1);
    ASSERT_NE(avi, nullptr) << AVI_errno;
    ASSERT_EQ(avi->frame_count, 3);
    EXPECT_EQ(avi->video_entries[0].pos, 2048u + 12 + 8);
    EXPECT_EQ(avi->video_entries[2].pos, 2048u + 12 + 2 * 14 + 8);
    AVI_close(avi);
}

// Broken files: each must fail with its code (or, for a cut-off recording, open with the whole
// chunks), without reading outside any buffer.
TEST(AviReader, MalformedFilesFailCleanly) {
    // Base: 4 video frames of 10 bytes and 2 audio chunks of 7 bytes, with idx1.
    std::string base_path = media_test::fresh_path("base.avi");
    AviFile* w = open_test_output(base_path);
    ASSERT_NE(w, nullptr);
    AVI_set_audio(w, 1, 8000, 16, 1, 128);
    const uint8_t data[10] = {};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(AVI_write_frame(w, data, 10), 0);
        if (i % 2) {
            ASSERT_EQ(AVI_write_audio(w, data, 7), 0);
        }
    }
    ASSERT_EQ(AVI_close(w), 0);
    const std::vector<uint8_t> base = read_file(base_path);
    const size_t idx = find_top_level(base, "idx1");
    ASSERT_NE(idx, 0u);

    using Edit = std::function<void(std::vector<uint8_t>&)>;
    auto cut = [](size_t n) { return Edit([n](std::vector<uint8_t>& f) { f.resize(n); }); };
    auto set32 = [](size_t at, uint32_t v) { return Edit([at, v](std::vector<uint8_t>& f) { put_le32(&f[at], v); }); };
    auto code = [](size_t at, const char* s) { return Edit([at, s](std::vector<uint8_t>& f) { std::memcpy(&f[at], s, 4); }); };
    struct Case {
        const char* name;
        Edit edit;
        int error;  // 0: opens
        int frames;
    } cases[] = {
        {"empty file", cut(0), AVI_ERR_READ, 0},
        {"cut in RIFF head", cut(11), AVI_ERR_READ, 0},
        {"not RIFF", code(0, "RIFX"), AVI_ERR_NO_AVI, 0},
        {"not AVI", code(8, "WAVE"), AVI_ERR_NO_AVI, 0},
        {"cut in header list", cut(100), AVI_ERR_BAD_CHUNK, 0},
        {"header list shorter than its type", set32(16, 2), AVI_ERR_BAD_CHUNK, 0},
        {"huge header list", set32(16, 0xFFFFFFF0), AVI_ERR_BAD_CHUNK, 0},
        {"no header list", code(20, "hdrx"), AVI_ERR_NO_HDRL, 0},
        {"no movi list", code(2044, "movx"), AVI_ERR_NO_MOVI, 0},
        {"stream list shorter than its type", set32(92, 3), AVI_ERR_BAD_CHUNK, 0},
        {"stream list past header list", set32(92, 5000), AVI_ERR_BAD_CHUNK, 0},
        {"stream header past its buffer", set32(104, 0x7FFFFFFF), AVI_ERR_BAD_CHUNK, 0},
        {"stream header too short", set32(104, 20), AVI_ERR_BAD_CHUNK, 0},
        {"video format too short", set32(176, 8), AVI_ERR_BAD_CHUNK, 0},
        {"audio format too short", set32(308, 12), AVI_ERR_BAD_CHUNK, 0},
        {"no video stream", code(108, "txts"), AVI_ERR_NO_VIDS, 0},
        {"zero frames in header", set32(140, 0), AVI_ERR_NO_VIDS, 0},
        {"index past the end is rebuilt", set32(idx + 4, 0xFFFFFF00), 0, 4},
        // Entries whose chunk is not in the file are left out; the other pictures stay.
        {"index entry past the end", set32(idx + 8 + 16 + 8, 0x7FFFFF00), 0, 3},
        {"index entry length past the end", set32(idx + 8 + 16 + 12, 0x10000000), 0, 3},
        {"every video entry past the end: the chunks are scanned", [idx](std::vector<uint8_t>& f) {
             for (size_t e = idx + 8; e + 16 <= f.size(); e += 16)
                 if (f[e + 2] == 'd') put_le32(&f[e + 8], 0x7FFFFF00);
         }, 0, 4},
        {"index matching neither way is rebuilt", set32(idx + 8 + 8, 7), 0, 4},
        {"no chunks at all", cut(2048), AVI_ERR_NO_VIDS, 0},
        {"cut-off recording keeps whole chunks", cut(2048 + 18 + 18 + 5), 0, 2},
        {"list in movi shorter than its type", [](std::vector<uint8_t>& f) {
             f.resize(2048);
             const uint8_t list[8] = {'L', 'I', 'S', 'T', 1, 0, 0, 0};
             f.insert(f.end(), list, list + 8);
         }, AVI_ERR_BAD_CHUNK, 0},
        {"audio index adding up past 4 GiB", [idx](std::vector<uint8_t>& f) {
             // The video entries as they are, then 4200 entries that all name one 1 MiB sound chunk.
             const uint32_t old_length = le32(&f[idx + 4]);
             std::vector<uint8_t> entries(f.begin() + idx + 8, f.begin() + idx + 8 + old_length);
             f.resize(idx);
             const uint32_t chunk_at = uint32_t(f.size()), chunk_length = 1 << 20;
             const uint8_t head[8] = {'0', '1', 'w', 'b', 0, 0, 0x10, 0};
             f.insert(f.end(), head, head + 8);
             f.resize(f.size() + chunk_length);
             for (int i = 0; i < 4200; ++i) {
                 uint8_t e[16] = {'0', '1', 'w', 'b'};
                 put_le32(e + 8, chunk_at);
                 put_le32(e + 12, chunk_length);
                 entries.insert(entries.end(), e, e + 16);
             }
             const uint8_t idx1[8] = {'i', 'd', 'x', '1'};
             f.insert(f.end(), idx1, idx1 + 8);
             put_le32(&f[f.size() - 4], uint32_t(entries.size()));
             f.insert(f.end(), entries.begin(), entries.end());
         }, AVI_ERR_BAD_CHUNK, 0},
        {"huge chunk in movi", [](std::vector<uint8_t>& f) {
             f.resize(2048 + 18);
             put_le32(&f[2048 + 4], 0xFFFFFFF0);
         }, AVI_ERR_NO_VIDS, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> f = base;
        c.edit(f);
        std::string path = out_path("malformed.avi");
        write_file(path, f);
        AVI_errno = 0;
        AviFile* avi = AVI_open_input_file(path.c_str(), 1);
        if (c.error) {
            EXPECT_EQ(avi, nullptr);
            EXPECT_EQ(AVI_errno, c.error);
            if (avi) {
                AVI_close(avi);
            }
        } else {
            ASSERT_NE(avi, nullptr) << AVI_errno;
            EXPECT_EQ(avi->frame_count, c.frames);
            for (int i = 0; i < avi->frame_count; ++i)
                EXPECT_LE(uint64_t(avi->video_entries[i].pos) + avi->video_entries[i].length, f.size()) << i;
            for (int i = 0; i < avi->audio_chunk_count; ++i)
                EXPECT_LE(uint64_t(avi->audio_entries[i].pos) + avi->audio_entries[i].length, f.size()) << i;
            AVI_close(avi);
        }
    }
}

TEST(AviReader, MissingFileFails) {
    EXPECT_EQ(AVI_open_input_file(out_path("no_such.avi").c_str(), 1), nullptr);
    EXPECT_EQ(AVI_errno, AVI_ERR_OPEN);
}
