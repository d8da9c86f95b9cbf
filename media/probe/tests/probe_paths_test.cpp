// What the probe's paths make of the libraries' answers, worked by hand from the rules of each path:
// kinds, fields, index entries, refusals with their texts and results.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "base/fileio.h"
#include "base/message_seam.h"
#include "media/probe/probe_index.h"
#include "media/probe/probe_paths.h"
#include "media/probe/probe_texts.h"
#include "tests/support/media_test_tools.h"

namespace {

struct Shown {
    std::string text, caption;
};

int record_message(const char* text, const char* caption, unsigned, void* context) {
    static_cast<std::vector<Shown>*>(context)->push_back({text, caption ? caption : "(null)"});
    return seam::kAnswerOk;
}

class ProbePaths : public testing::Test {
protected:
    void SetUp() override { seam::set_reporter(record_message, &shown); }
    void TearDown() override { seam::set_reporter(nullptr, nullptr); }

    ProbeJob job() { return ProbeJob{"C:\\v\\clip.x", record, folder, StampTime{2024, 1, 31, 23, 59, 58}}; }
    std::string text(const char* format) {
        char t[512];
        std::snprintf(t, sizeof t, format, "C:\\v\\clip.x");
        return t;
    }

    MediaFileRecord record{};
    std::vector<Shown> shown;
    std::string folder = fileio::folder_of(media_test::out_path("x"));
};

TEST(ProbeIndex, MpegKindsFromTheParsersModes) {
    struct Case {
        int main, audio_mode, video_mode;
        bool formed;
        FileKind kind;
    } cases[] = {
        {0, -99, 1, true, 3},   {0, 0, 1, true, 3},      {1, 0, 1, true, 6},   {1, 1, 1, true, 5},
        {1, -99, 1, false, 0},  {2, 0, 1, true, 6},      {3, -99, 1, true, 2}, {3, 0, -99, true, 10},
        {3, 1, -99, true, 11},  {3, 0, 1, true, 10},     {3, -99, -99, false, 0}, {9, 0, 1, false, 0},
    };
    for (const Case& c : cases) {
        FileKind kind = -1;
        EXPECT_EQ(c.formed, mpeg_file_kind(c.main, c.audio_mode, c.video_mode, &kind)) << c.main << " " << c.audio_mode;
        if (c.formed) {
            EXPECT_EQ(c.kind, kind) << c.main << " " << c.audio_mode;
        }
    }
}

TEST(ProbeIndex, RatesInKilohertzBecomeHertz) {
    EXPECT_DOUBLE_EQ(44100, rate_in_hz(44.1));
    EXPECT_DOUBLE_EQ(44000, rate_in_hz(44));
    EXPECT_DOUBLE_EQ(48000, rate_in_hz(48000));
    EXPECT_DOUBLE_EQ(0, rate_in_hz(0));
}

TEST(ProbeIndex, StoredFileSizeStopsAtTheInt32Limit) {
    EXPECT_EQ(0, stored_file_size(-1));
    EXPECT_EQ(1234, stored_file_size(1234));
    EXPECT_EQ(2147483647, stored_file_size(int64_t(3) << 30));
    EXPECT_EQ(2147483647, whole_part(1e12));
    EXPECT_EQ(0, whole_part(0.0 / 0.0));
    EXPECT_EQ(29, whole_part(29.97));
}

TEST(ProbeIndex, FrameNumberIndexKeysEvery15thAndTimesByTheRate) {
    const IndexFile index = frame_number_index(31, 176, 144, 12.5);
    ASSERT_EQ(31u, index.segments.size());
    EXPECT_EQ(0, index.codec);
    EXPECT_EQ(176, index.width);
    for (int i = 0; i < 31; ++i) {
        const IndexEntry& e = index.segments[i].entry;
        EXPECT_EQ(i % 15 == 0, e.is_key) << i;
        EXPECT_EQ(i, e.position);
        EXPECT_EQ(i, e.length);
        EXPECT_EQ(i * 80, e.time_ms);  // 1000 / 12.5
    }
    EXPECT_EQ(33, frame_number_index(2, 1, 1, 30000.0 / 1001).segments[1].entry.time_ms);  // 33.37
    EXPECT_EQ(0, frame_number_index(2, 1, 1, 0).segments[1].entry.time_ms);
}

TEST(ProbeIndex, AviIndexTakesTheReadersChunksAndKeys) {
    AviVideoEntry chunks[20];
    for (int i = 0; i < 20; ++i) chunks[i] = {uint32_t(i % 4 == 0 ? AVI_KEYFRAME : 0), uint32_t(1000 + 100 * i), 90u + i};
    AviFile avi;
    avi.video_entries = chunks;
    avi.frame_count = 20;
    const IndexFile own = avi_index(avi, 25, false, 320, 240, 25.0);
    ASSERT_EQ(20u, own.segments.size()) << "never more than the reader holds";
    for (int i = 0; i < 20; ++i) {
        const IndexEntry& e = own.segments[i].entry;
        EXPECT_EQ(i % 4 == 0, e.is_key) << i;
        EXPECT_EQ(1000 + 100 * i, e.position);
        EXPECT_EQ(90 + i, e.length);
        EXPECT_EQ(40 * i, e.time_ms);
    }
    const IndexFile mjpeg = avi_index(avi, 18, true, 320, 240, 25.0);
    ASSERT_EQ(18u, mjpeg.segments.size());
    for (int i = 0; i < 18; ++i) EXPECT_EQ(i % 15 == 0, mjpeg.segments[i].entry.is_key) << i;
    chunks[5].pos = 0x80000000u;
    EXPECT_EQ(5u, avi_index(avi, 20, false, 320, 240, 25.0).segments.size()) << "none from beyond 2 GiB";
    avi.video_entries = nullptr;
    for (const char* code : {"mjpg", "MJPG", "ijpg", "IJPG", "mpng", "MPNG"}) EXPECT_TRUE(is_mjpeg_family(code)) << code;
    for (const char* code : {"Mjpg", "XVID", "H264", "mjp "}) EXPECT_FALSE(is_mjpeg_family(code)) << code;
}

TEST(ProbeIndex, SwfIndexCountsPlacesAmongSoundAndVideoTags) {
    SwfParser swf;
    swf.video_codec = 2;
    swf.video_width = 160;
    swf.video_height = 120;
    swf.frame_rate = 12.5;  // r = 12
    // Tags in file order: S V S V V S V ... (19 sound, 61 video).
    const int codes[] = {19, 61, 19, 61, 61, 19, 61, 19, 19, 19, 19, 19, 61, 61};
    for (uint32_t i = 0; i < sizeof codes / sizeof codes[0]; ++i)
        swf.tags.push_back({100 * i, 50 + i, codes[i], -1, 100 * i});
    const IndexFile index = swf_index(swf);
    EXPECT_EQ(2, index.codec);
    EXPECT_EQ(12.5, index.frame_rate);
    const int places[] = {1, 3, 4, 6, 12, 13};
    ASSERT_EQ(6u, index.segments.size());
    for (int n = 0; n < 6; ++n) {
        const IndexEntry& e = index.segments[n].entry;
        const int place = places[n];
        EXPECT_EQ(100 * place + 4, e.position) << n;
        EXPECT_EQ(50 + place - 4, e.length) << n;
        EXPECT_EQ(n * 1000 / 12, e.time_ms) << n;
        EXPECT_EQ(place % 12 == 0, e.is_key) << n;
    }
    swf.frame_rate = 0.5;  // below 1: r = 15
    EXPECT_EQ(1000 / 15, swf_index(swf).segments[1].entry.time_ms);
}

TEST(ProbeIndex, Mp4EntriesOfTheFirstTwoSamplesLoseImpossibleTimes) {
    IndexEntry e = mp4_index_entry(0, 500, 1000000, 500, 1);
    EXPECT_EQ(500, e.position);
    EXPECT_EQ(0, e.time_ms);
    EXPECT_EQ(0, e.length);
    EXPECT_EQ(0, e.is_key);
    e = mp4_index_entry(1, -1, 40, 0, 1);
    EXPECT_EQ(-1, e.position);
    EXPECT_EQ(0, e.is_key);
    e = mp4_index_entry(2, -1, 1000000, 7, 1);
    EXPECT_EQ(1000000, e.time_ms) << "from the third sample on the answers stand";
    e = mp4_index_entry(1, 300, 40, 300, 0);
    EXPECT_EQ(300, e.length);
    EXPECT_EQ(40, e.time_ms);
}

TEST(ProbeIndex, Mp4TracksAndSampleBuffer) {
    Mp4Answers a;
    mp4_track("vide", "avc1", 9000, a);
    EXPECT_EQ(0, a.audio_type);
    mp4_track("soun", "SAMR", 32, a);
    EXPECT_EQ(1, a.audio_type);
    EXPECT_EQ(32, a.sound_track_value);
    mp4_track("soun", "ac-3", 700, a);
    EXPECT_EQ(1, a.audio_type) << "an unknown codec keeps the type";
    EXPECT_EQ(700, a.sound_track_value) << "but replaces the value";
    mp4_track("SOUN", "mp4a", 5, a);
    EXPECT_EQ(1, a.audio_type) << "the handler compares exactly";
    a.start = 100;
    EXPECT_EQ((4090 + 8) * 16, mp4_sample_buffer_bytes(a));
    a.start = 5000;
    EXPECT_EQ((5000 + 8) * 16, mp4_sample_buffer_bytes(a));
    a.start = 8 << 20;
    EXPECT_EQ((8 << 20) + (1 << 20), mp4_sample_buffer_bytes(a));
}

TEST_F(ProbePaths, MpegStreamFieldsAndSound) {
    MpegAnswers a;
    a.main_stream = 1;
    a.play_num = 75;
    a.play_time = 3;
    a.file_length = 123456;
    a.video[0] = 352, a.video[1] = 288;
    const double bit_rate = 1150.7, fps = 25.0, rate = 44.1;
    std::memcpy(a.video + 2, &bit_rate, 8);
    std::memcpy(a.video + 4, &fps, 8);
    a.video[6] = 3, a.video[7] = 1;
    a.audio[0] = 16, a.audio[1] = 224;
    std::memcpy(a.audio + 2, &rate, 8);
    a.audio[4] = 2;
    a.audio_mode = 0, a.video_mode = 1, a.begin = 500;
    ProbeJob j = job();
    ASSERT_EQ(0, finish_mpeg(j, a));
    EXPECT_TRUE(shown.empty());
    EXPECT_STREQ("MPEG1/2 PS", record.type_name);
    EXPECT_EQ(6, record.file_kind);
    EXPECT_EQ(6, record.file_kind_copy);
    EXPECT_EQ(75, record.frame_count);
    EXPECT_EQ(3, record.duration_s);
    EXPECT_EQ(123456, record.file_size);
    EXPECT_EQ(500, record.start_value);
    EXPECT_EQ(1150, record.video_param_c);
    EXPECT_EQ(25.0, record.frame_rate);
    EXPECT_EQ(3, record.video_param_a);
    EXPECT_EQ(1, record.video_param_b);
    EXPECT_EQ(224, record.rate_sum);
    EXPECT_EQ(44100, record.sample_rate);
    EXPECT_EQ(2, record.channels);
    EXPECT_EQ(2, record.audio_format);
    EXPECT_EQ(16, record.audio_bits);
    EXPECT_EQ(0, record.index_path[0]) << "MPEG streams have no index file";
}

TEST_F(ProbePaths, MpegAc3SoundAndRefusals) {
    MpegAnswers a;
    a.main_stream = 3;
    a.video[0] = 720, a.video[1] = 576;
    a.audio_mode = 1, a.video_mode = 1;
    a.ac3_rate = 48000, a.ac3_value = 448, a.ac3_channels = 2;
    ProbeJob j = job();
    ASSERT_EQ(0, finish_mpeg(j, a));
    EXPECT_EQ(11, record.file_kind);
    EXPECT_EQ(448, record.rate_sum);
    EXPECT_EQ(48000, record.sample_rate);
    EXPECT_EQ(2, record.channels);
    EXPECT_EQ(0, record.audio_bits);

    a.audio_mode = -99;  // video only
    record = {};
    ASSERT_EQ(-8, finish_mpeg(j, a));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(text(probe_text::kNoSound), shown[0].text);
    EXPECT_EQ(probe_text::kCaptionMp4, shown[0].caption);

    a.video[0] = 3, a.video[1] = 3;  // 9 pixels: silent
    EXPECT_EQ(-10, finish_mpeg(j, a));
    EXPECT_EQ(1u, shown.size());

    a.video_mode = -99;  // no kind
    a.video[0] = 720, a.video[1] = 576;
    EXPECT_EQ(-2, finish_mpeg(j, a));
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(text(probe_text::kUnknownType), shown[1].text);
}

TEST_F(ProbePaths, Mpeg4InAviTakesTheAviFieldsWithoutIndex) {
    AviAnswers a;
    a.video_index = 90;
    a.audio_index = 0;
    RecordVideoInfo video{};
    video.width = 320, video.height = 240, video.frame_rate = 30;
    std::memcpy(video.fourcc, "XVID", 4);
    RecordAudioInfo audio{};
    audio.channels = 2, audio.sample_rate = 44100;
    std::memcpy(a.video_block, &video, 80);
    std::memcpy(a.audio_block, &audio, 64);
    a.file_length = 99999;
    ProbeJob j = job();
    ASSERT_EQ(0, finish_mpeg4_avi(j, a));
    EXPECT_STREQ("MPEG4 AVI", record.type_name);
    EXPECT_EQ(99, record.file_kind);
    EXPECT_EQ(40, record.frame_count);  // 1200 / 30
    EXPECT_EQ(3, record.duration_s);
    EXPECT_EQ(0, record.sample_rate) << "no sound chunks: no sound";
    EXPECT_EQ(0, record.channels);
    EXPECT_EQ(99999, record.file_size);
    EXPECT_EQ(0, record.index_path[0]);

    video.frame_rate = 0;
    std::memcpy(a.video_block, &video, 80);
    record = {};
    EXPECT_EQ(-4, finish_mpeg4_avi(j, a));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(text(probe_text::kMpeg4Rate), shown[0].text);
    EXPECT_EQ(probe_text::kCaptionMp4, shown[0].caption);
}

TEST_F(ProbePaths, FlvRefusalsInOrderLeaveNoIndexFile) {
    struct Case {
        int codec, sound_plus_one, bits, width;
        const char* text;
        int result;
    } cases[] = {
        {3, 3, 16, 160, probe_text::kFlvVideoCodec, -3},  // Screen Video
        {2, 7, 16, 160, probe_text::kFlvAudioCodec, -3},  // Nellymoser
        {2, 3, 8, 160, probe_text::kFlv8Bit, -3},  // MP3 said to be 8-bit: only raw PCM comes in 8 bits
        {2, 3, 16, 0, probe_text::kNoCodecInfo, -1},
    };
    for (const Case& c : cases) {
        shown.clear();
        record = {};
        FlvScan scan;
        scan.is_flv = true;
        scan.video_codec = c.codec;
        scan.video_tags = 1;
        scan.entries.push_back(IndexEntry{});
        scan.sound_plus_one = c.sound_plus_one;
        scan.audio_bits = c.bits;
        ProbeJob j = job();
        EXPECT_EQ(c.result, finish_flv(j, scan, c.width, 120)) << c.text;
        ASSERT_EQ(1u, shown.size());
        EXPECT_EQ(text(c.text), shown[0].text);
        EXPECT_EQ(probe_text::kCaptionFlv, shown[0].caption);
        EXPECT_EQ(0, record.index_path[0]);
        EXPECT_EQ(0, record.index_written);
    }
    EXPECT_EQ(0, std::system(("test -z \"$(ls '" + folder + "/dat' 2>/dev/null)\"").c_str()))
        << "every index file written before the checks is gone";
}

TEST_F(ProbePaths, AcceptedFlvKeepsItsIndexFile) {
    FlvScan scan;
    scan.is_flv = true;
    scan.video_codec = 4;
    scan.video_tags = 3;
    scan.picture_tags = 3;
    scan.first_picture_ms = 0;
    scan.last_picture_ms = 80;
    scan.sound_plus_one = 2;  // ADPCM
    scan.audio_bits = 16;
    scan.audio_tags = 9;
    scan.last_time_ms = 2960;
    for (int i = 0; i < 3; ++i) scan.entries.push_back(IndexEntry{1, {}, 100 + i, 10, 40 * i, 0, 0, 0, 0});
    scan.aac_config = {0x12, 0x10};
    ProbeJob j = job();
    ASSERT_EQ(0, finish_flv(j, scan, 160, 120));
    EXPECT_STREQ("FLV", record.type_name);
    EXPECT_EQ(4000 + 256 * 1 + 2, record.file_kind) << "VP6 is stored as 1";
    EXPECT_EQ(4, record.index_codec) << "the index keeps the codec as found";
    EXPECT_EQ(10, record.frame_count);
    EXPECT_EQ(2, record.duration_s);
    EXPECT_DOUBLE_EQ(25.0, record.frame_rate);
    ASSERT_EQ(1, record.index_written);
    IndexFile back;
    ASSERT_EQ(IndexError::None, read_index_file(record.index_path, back));
    EXPECT_EQ(4, back.codec);
    EXPECT_EQ(3u, back.segments.size());
    EXPECT_TRUE(back.has_blocks);
    EXPECT_TRUE(back.block1.empty());
    EXPECT_EQ(scan.aac_config, back.block2);
    fileio::remove(record.index_path);
}

TEST_F(ProbePaths, DirectShowCountKeepsDirectShowsValuesWhenItCountedNothing) {
    DirectShowVideo v;
    v.width = 320, v.height = 240, v.seconds = 2.0, v.frame_rate = 25, v.frame_count = 50, v.bit_rate = 800000;
    v.counted = true;
    v.samples = 0;
    ProbeJob j = job();
    ASSERT_EQ(0, finish_direct_show_video(j, 5000, "ASF/WMV/WMA", v));
    EXPECT_EQ(25.0, record.frame_rate);
    EXPECT_EQ(50, record.video_index_count);
    EXPECT_EQ(5000, record.file_kind);
    EXPECT_EQ(800000, record.video_param_a);
    v.samples = 48;
    ASSERT_EQ(0, finish_direct_show_video(j, 5000, "ASF/WMV/WMA", v));
    EXPECT_EQ(25.0, record.frame_rate) << "DirectShow's rate stands";
    EXPECT_EQ(48, record.video_index_count);
    v.frame_rate = 0;
    ASSERT_EQ(0, finish_direct_show_video(j, 5000, "ASF/WMV/WMA", v));
    EXPECT_EQ(24.0, record.frame_rate) << "without one, the count over the duration";

    DirectShowSound s;
    s.result = 0, s.sample_rate = 44100, s.channels = 2, s.seconds = 2.1;
    finish_direct_show_sound(j, 5000, v, s);
    EXPECT_EQ(5003, record.file_kind);
    EXPECT_EQ(44100, record.sample_rate);
    EXPECT_EQ(2, record.duration_s);
    s.result = -4;
    finish_direct_show_sound(j, 7000, v, s);
    EXPECT_EQ(7002, record.file_kind);
    EXPECT_EQ(0, record.channels);
    EXPECT_TRUE(shown.empty());
}

TEST_F(ProbePaths, DirectShowRefusals) {
    DirectShowVideo v;
    ProbeJob j = job();
    v.result = -1;
    EXPECT_EQ(-1, finish_direct_show_video(j, 5000, "ASF/WMV/WMA", v));
    v.result = -2;
    EXPECT_EQ(-2, finish_direct_show_video(j, 5000, "ASF/WMV/WMA", v));
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(probe_text::kNoDirectShow, shown[0].text);
    EXPECT_EQ(probe_text::kNoDecoder, shown[1].text);
    EXPECT_EQ(probe_text::kCaptionMp4, shown[1].caption);
    v.result = -4;  // the reader has said there is no video
    EXPECT_EQ(-3, finish_direct_show_video(j, 5000, "ASF/WMV/WMA", v));
    v.result = 0, v.width = 3, v.height = 3;
    EXPECT_EQ(-10, finish_direct_show_video(j, 5000, "ASF/WMV/WMA", v));
    EXPECT_EQ(2u, shown.size());
}

TEST_F(ProbePaths, MtvChecksTheSoundValueAndAmvDoesNot) {
    MtvAnswers a;
    a.init = 0, a.frames = 30, a.width = 128, a.height = 96, a.fps = 15, a.video_value = 393, a.duration = 2.0;
    a.sample_rate = 22050, a.channels = 1, a.audio_value = 8;
    ProbeJob j = job();
    EXPECT_EQ(-2, finish_mtv(j, false, a));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(text(probe_text::kAnalysisFailed), shown[0].text);
    ASSERT_EQ(0, finish_mtv(j, true, a));
    EXPECT_EQ(3993, record.file_kind);
    EXPECT_EQ(401, record.rate_sum);
    EXPECT_STREQ("C:\\v\\clip.x", record.path);
    EXPECT_EQ(1, record.seek_mode);
    EXPECT_EQ(1, record.index_written);
    fileio::remove(record.index_path);
    a.init = -1;
    EXPECT_EQ(-1, finish_mtv(j, false, a));
    EXPECT_EQ(text(probe_text::kNoCodecInfo), shown.back().text);
}

}  // namespace
