// The stream parser over ffmpeg-made files: main stream, modes and the kind the probe forms from them,
// counts, sizes, rates and the description blocks, against ffprobe.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include "codecs/tolmmux/mux_core.h"
#include "media/mpeg/mpeg_headers.h"
#include "media/mpeg/tests/mpeg_fixtures.h"
#include "media/mpeg/tests/test_tag.h"
#include "tests/support/media_check.h"
#include "tests/support/media_test_tools.h"

namespace {

// The probe's file kind from the parser's answers (0 when the probe leaves it).
int file_kind(const mux::Description& d) {
    switch (d.main_stream) {
        case MUX_TRANSPORT: return 3;
        case MUX_PROGRAM: return d.audio_mode == 0 ? 6 : d.audio_mode == 1 ? 5 : 0;
        case MUX_PES: return 6;
        case MUX_ELEMENTARY:
            if (d.video_mode == 1 && d.audio_mode == -99) return 2;
            return d.audio_mode == 0 ? 10 : d.audio_mode == 1 ? 11 : 0;
        default: return 0;
    }
}

int probe_picture_count(const std::string& path) {
    return std::atoi(media_test::run("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                                     "stream=nb_read_frames -of csv=p=0 '" + path + "'").c_str());
}

double probe_duration(const std::string& path) {
    return std::atof(media_test::run("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "'").c_str());
}

struct Expectation {
    const char* fixture;
    int main_stream;
    int video_mode;
    int audio_mode;
    int kind;
    int audio_rate;   // MPEG or AC-3
    bool ac3;
    int layer;
};

void PrintTo(const Expectation& e, std::ostream* os) { *os << e.fixture; }

class MuxFixture : public testing::TestWithParam<Expectation> {};

TEST_P(MuxFixture, DescribesTheFileAsFfprobeDoes) {
    const Expectation& e = GetParam();
    const auto f = mpeg_fixtures::fixture(e.fixture);
    ASSERT_FALSE(f.bytes.empty());
    std::string path = f.path;
    if (std::string(e.fixture) == "vcd_dat") {
        path = media_test::fresh_path("MuxFixture.vcd.dat");
        media_test::write_file(path, f.bytes);
    }
    mux::Description d;
    ASSERT_EQ(0, mux::analyse(path.c_str(), &d));
    EXPECT_EQ(e.main_stream, d.main_stream);
    EXPECT_EQ(e.video_mode, d.video_mode);
    EXPECT_EQ(e.audio_mode, d.audio_mode);
    EXPECT_EQ(e.kind, file_kind(d));
    EXPECT_EQ(int64_t(f.bytes.size()), d.file_length);

    double duration = probe_duration(f.path);
    if (duration <= 0) duration = probe_picture_count(f.path) / 25.0;  // a raw video stream has no duration
    EXPECT_EQ(int(duration + 1e-3), d.play_time) << "ffprobe says " << duration << " s";
    if (f.video) {
        EXPECT_EQ(probe_picture_count(f.path), d.pictures);
        EXPECT_EQ(f.width, d.video.width);
        EXPECT_EQ(f.height, d.video.height);
        EXPECT_DOUBLE_EQ(25.0, d.video.frame_rate);
        EXPECT_GT(d.video.bit_rate_kbps, 0);
    } else {
        EXPECT_EQ(0, d.video.width);
    }
    if (e.ac3) {
        EXPECT_EQ(float(e.audio_rate), d.ac3_rate);
        EXPECT_GT(d.ac3_kbps, 0);
        EXPECT_EQ(2, d.ac3_channels);
        EXPECT_EQ(0, d.audio.bit_rate_kbps);
    } else if (e.audio_rate) {
        EXPECT_EQ(double(e.audio_rate), d.audio.sample_rate);
        EXPECT_EQ(2, d.audio.channels);
        EXPECT_EQ(16, d.audio.bits);
        EXPECT_GT(d.audio.bit_rate_kbps, 0);
        EXPECT_EQ(e.layer, d.audio.layer);
        EXPECT_EQ(0, d.ac3_kbps);
    }
    if (e.main_stream == MUX_TRANSPORT) {
        EXPECT_GT(d.video_pid, 0);
        EXPECT_GT(d.audio_pid, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FfmpegFiles, MuxFixture,
    testing::Values(Expectation{"vcd", MUX_PROGRAM, 1, 0, 6, 44100, false, 2},
                    Expectation{"vcd_dat", MUX_PROGRAM, 1, 0, 6, 44100, false, 2},
                    Expectation{"dvd", MUX_PROGRAM, 1, 1, 5, 48000, true, 0},
                    Expectation{"ts", MUX_TRANSPORT, 1, 0, 3, 48000, false, 2},
                    Expectation{"ts_audio_first", MUX_TRANSPORT, 1, 0, 3, 48000, false, 2},
                    Expectation{"ts_1080", MUX_TRANSPORT, 1, 0, 3, 48000, false, 2},
                    Expectation{"es", MUX_ELEMENTARY, 1, -99, 2, 0, false, 0},
                    Expectation{"ps_mp3_22k", MUX_PROGRAM, 1, 0, 6, 22050, false, 3},
                    Expectation{"mp2", MUX_ELEMENTARY, -99, 0, 10, 44100, false, 2},
                    Expectation{"ac3", MUX_ELEMENTARY, -99, 1, 11, 48000, true, 0}),
    [](const testing::TestParamInfo<Expectation>& info) { return std::string(info.param.fixture); });

TEST(MuxCore, SilentProgramStreamsAndPesStreamsGetKindSix) {
    std::string silent_path;
    const auto silent = mpeg_fixtures::file(
        "-f lavfi -i testsrc=size=352x288:rate=25 -t 1 -c:v mpeg1video -f mpeg", "silent.mpg", &silent_path);
    ASSERT_FALSE(silent.empty());
    mux::Description d;
    ASSERT_EQ(0, mux::analyse(silent_path.c_str(), &d));
    EXPECT_EQ(MUX_PROGRAM, d.main_stream);
    EXPECT_EQ(0, d.audio_mode);  // not -99: a program stream without sound still plays as one
    EXPECT_EQ(6, file_kind(d));
    EXPECT_EQ(25, d.pictures);

    // the PES packets of a program stream without its pack headers
    const auto vcd = mpeg_fixtures::fixture("vcd");
    std::vector<uint8_t> pes;
    const auto& b = vcd.bytes;
    for (size_t i = 0; i + 6 <= b.size();) {
        if (b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1 && (mpeg::is_video_id(b[i + 3]) || mpeg::is_audio_id(b[i + 3]))) {
            const size_t n = 6 + mpeg::be16(&b[i + 4]);
            pes.insert(pes.end(), b.begin() + std::ptrdiff_t(i), b.begin() + std::ptrdiff_t(std::min(i + n, b.size())));
            i += n;
        } else {
            ++i;
        }
    }
    const std::string pes_path = media_test::fresh_path("MuxCore.stream.pes");
    media_test::write_file(pes_path, pes);
    ASSERT_EQ(0, mux::analyse(pes_path.c_str(), &d));
    EXPECT_EQ(MUX_PES, d.main_stream);
    EXPECT_EQ(6, file_kind(d));
    EXPECT_EQ(probe_picture_count(vcd.path), d.pictures);
    EXPECT_EQ(44100.0, d.audio.sample_rate);
}

TEST(MuxCore, AboveTheFullScanSizeThePictureCountComesFromDurationAndRate) {
    const auto ts = mpeg_fixtures::fixture("ts");
    mux::Description d;
    ASSERT_EQ(0, mux::analyse(ts.path.c_str(), &d, 100 * 1024));
    EXPECT_EQ(2, d.play_time);
    EXPECT_EQ(50, d.pictures);  // 2.0 s x 25 pictures a second
}

TEST(MuxCore, GarbageEmptyAndUnreadableFiles) {
    std::vector<uint8_t> garbage(50000);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = uint8_t((i * 7919) >> 3);
    const std::string g = media_test::fresh_path("MuxCore.garbage.bin");
    media_test::write_file(g, garbage);
    mux::Description d;
    EXPECT_EQ(0, mux::analyse(g.c_str(), &d));
    EXPECT_EQ(MUX_UNKNOWN, d.main_stream);
    const std::string empty = media_test::fresh_path("MuxCore.empty.mpg");
    media_test::write_file(empty, {});
    EXPECT_EQ(0, mux::analyse(empty.c_str(), &d));
    EXPECT_EQ(MUX_NOTHING, d.main_stream);
    EXPECT_LT(mux::analyse(media_test::out_path("MuxCore.no_such_file.mpg").c_str(), &d), 0);
    EXPECT_EQ(MUX_NOTHING, d.main_stream);
}

struct AviCase {
    const char* name;
    const char* arguments;
    const char* code;    // four-character code at 56
    int tag;             // format tag
    int codec;           // the codec field
    int block_align;     // 0: not checked
};

void PrintTo(const AviCase& c, std::ostream* os) { *os << c.name; }

class MuxAvi : public testing::TestWithParam<AviCase> {};

TEST_P(MuxAvi, FillsBothDescriptionBlocks) {
    const AviCase& c = GetParam();
    std::string path;
    const auto avi = mpeg_fixtures::file(
        std::string("-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=44100 -t 2 "
                    "-ac 2 ") + c.arguments + " -f avi",
        std::string(c.name) + ".avi", &path);
    ASSERT_FALSE(avi.empty());
    mux::Description d;
    ASSERT_EQ(0, mux::analyse(path.c_str(), &d));
    EXPECT_EQ(MUX_AVI, d.main_stream);
    // the counts are the index's entries, empty chunks included (ffprobe leaves those out)
    int video = 0, audio = 0, empty = 0;
    const size_t idx1 = std::string(avi.begin(), avi.end()).rfind("idx1");
    ASSERT_NE(std::string::npos, idx1);
    for (size_t e = idx1 + 8; e + 16 <= avi.size(); e += 16) {
        if (std::memcmp(&avi[e] + 2, "dc", 2) == 0) ++video;
        if (std::memcmp(&avi[e] + 2, "wb", 2) == 0) ++audio;
        if (media_test::le32(&avi[e + 12]) == 0) ++empty;
    }
    int probed = 0;
    for (const auto& p : media_test::probe_packets(path)) probed += p.stream == 0;
    EXPECT_EQ(video + audio - empty, int(media_test::probe_packets(path).size()));
    EXPECT_GE(video, probed);
    EXPECT_EQ(video, d.video_index);
    EXPECT_EQ(audio, d.audio_index);

    // the block as the program reads it, byte by byte
    uint8_t v[80];
    std::memcpy(v, &d.avi_video, 80);
    int32_t width, height;
    double rate;
    std::memcpy(&width, v + 40, 4);
    std::memcpy(&height, v + 44, 4);
    std::memcpy(&rate, v + 48, 8);
    EXPECT_EQ(320, width);
    EXPECT_EQ(240, height);
    EXPECT_DOUBLE_EQ(25.0, rate);
    EXPECT_EQ(0, std::memcmp(v + 56, c.code, 4));
    EXPECT_EQ(video, d.avi_video.frame_count);
    EXPECT_GT(d.avi_video.key_frames, 0);

    uint8_t a[64];
    std::memcpy(a, &d.avi_audio, 64);
    int32_t channels, sample_rate, codec;
    std::memcpy(&channels, a + 52, 4);
    std::memcpy(&sample_rate, a + 56, 4);
    std::memcpy(&codec, a + 20, 4);
    EXPECT_EQ(2, channels);
    EXPECT_EQ(44100, sample_rate);
    EXPECT_EQ(c.tag, a[0] | a[1] << 8);
    EXPECT_EQ(2, a[2] | a[3] << 8);
    EXPECT_EQ(c.codec, codec);
    // block alignment as the audio stream's format chunk (the second "strf") gives it
    const std::string bytes(avi.begin(), avi.end());
    const size_t strf = bytes.find("strf", bytes.find("strf") + 4);
    ASSERT_NE(std::string::npos, strf);
    EXPECT_EQ(avi[strf + 8 + 12] | avi[strf + 8 + 13] << 8, a[12] | a[13] << 8);
    if (c.block_align) {
        EXPECT_EQ(c.block_align, a[12] | a[13] << 8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FfmpegAvi, MuxAvi,
    testing::Values(AviCase{"mpeg4_mp3", "-c:v mpeg4 -c:a libmp3lame -b:a 128k", "FMP4", 0x55, 0, 0},
                    AviCase{"mjpeg_pcm", "-c:v mjpeg -c:a pcm_s16le", "MJPG", 1, 0, 4},
                    AviCase{"ms_adpcm", "-c:v mpeg4 -c:a adpcm_ms", "FMP4", 2, 2 | 2 << 16, 0}),
    [](const testing::TestParamInfo<AviCase>& info) { return std::string(info.param.name); });

}  // namespace
