// ISO media files made at test time (ffmpeg; 3GP with AMR-NB by our own multiplexer and encoders): codec
// indexes, track list, stream parameters against ffprobe, and every sample read byte-equal to the
// packets libavformat hands ffprobe, with their key flags and times; files it cannot read are refused.
#include "codecs/tolmmp4decode/mp4_reader_core.h"
#include "codecs/tolmamr_encode/amr_core.h"
#include "codecs/tolmmp4encode/mp4mux_core.h"
#include "tests/support/h263_reference.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"
#include "tests/support/stream_packets.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>

namespace {

std::string ffmpeg_file(const std::string& name, const std::string& inputs, const std::string& options) {
    std::string path = media_test::fresh_path(name);
    int status = -1;
    media_test::run("ffmpeg -nostdin -v error " + inputs + " -t 2 " + options + " '" + path + "'", &status);
    EXPECT_EQ(0, status) << name;
    return path;
}

const char* kPicture = "-f lavfi -i testsrc2=size=320x240:rate=25";
const char* kTone = "-f lavfi -i sine=frequency=1000:sample_rate=44100";

// 3GP with H.263 pictures and AMR-NB sound, as the program writes it.
std::string three_gp() {
    std::string path = media_test::fresh_path("reader_h263_amr.3gp");
    mp4mux::Muxer muxer;
    EXPECT_EQ(0, muxer.init(path, int(mp4mux::Container::ThreeGp)));
    EXPECT_EQ(0, muxer.add_video(1, 176, 144));
    EXPECT_EQ(0, muxer.add_audio(1, 8000, 1));
    signal_check::H263Reference h263(176, 144, 25, 10);
    amrenc::Encoder amr;
    EXPECT_EQ(0, amr.open(122));
    std::vector<int16_t> tone = signal_check::tone(1000, 8000, 8000, 1, 16000);
    for (int i = 0; i < 50; ++i) {
        std::vector<uint8_t> coded = h263.encode(signal_check::moving_picture(176, 144, i));
        muxer.video(1, coded.data(), int(coded.size()), 40);
        uint8_t frames[64];
        int n = 0;
        int bytes = amr.encode(reinterpret_cast<const uint8_t*>(&tone[size_t(i) * 320]), 640, frames, sizeof frames, &n);
        for (int f = 0; f < n; ++f) muxer.audio(frames + f * (bytes / n), bytes / n, 160);
    }
    EXPECT_EQ(0, muxer.close());
    return path;
}

struct Expected {
    const char* name;
    std::string path;
    mp4reader::VideoCodec video;
    mp4reader::AudioCodec audio;
    const char* video_fourcc;
    const char* audio_fourcc;
    const char* audio_name;
};

double ffprobe_rate(const std::string& fraction) {
    int num = 0, den = 1;
    if (sscanf(fraction.c_str(), "%d/%d", &num, &den) != 2 || den == 0) return 0;
    return double(num) / den;
}

void check_reads(mp4reader::Reader& reader, const std::string& path, bool video, int largest) {
    std::vector<media_test::StoredPacket> packets =
        video ? media_test::video_packets(path) : media_test::audio_packets(path);
    std::vector<uint8_t> buffer(size_t(largest) + 8);
    int index = 0;
    for (const media_test::StoredPacket& p : packets) {
        int time = -1, size = -1;
        uint8_t key = 9;
        int n = video ? reader.read_video(buffer.data(), index, &time, &size, &key)
                      : reader.read_audio(buffer.data(), index, &time, &size);
        ASSERT_EQ(int(p.data.size()), n) << "sample " << index;
        EXPECT_EQ(n, size);
        EXPECT_LE(n, largest);
        EXPECT_EQ(0, memcmp(buffer.data(), p.data.data(), p.data.size())) << "sample " << index;
        EXPECT_EQ(std::max<int64_t>(0, p.dts_ms), time) << "sample " << index;
        if (video) {
            EXPECT_EQ(p.key ? 1 : 0, key) << "sample " << index;
        }
        ++index;
    }
    int time = 0, size = 0;
    uint8_t key = 0;
    EXPECT_EQ(-1, video ? reader.read_video(buffer.data(), index, &time, &size, &key)
                        : reader.read_audio(buffer.data(), index, &time, &size));
    EXPECT_EQ(-1, reader.read_video(buffer.data(), -1, &time, &size, &key));
}

TEST(Mp4ReaderCore, FilesOfEveryKindAgainstFfprobe) {
    const Expected cases[] = {
        {"MP4 H.264 + AAC", ffmpeg_file("reader_h264_aac.mp4", std::string(kPicture) + " " + kTone,
                                        "-c:v libx264 -pix_fmt yuv420p -g 12 -c:a aac -b:a 96k"),
         mp4reader::kH264, mp4reader::kMp4a, "avc1", "mp4a", "MPEG-4 Audio (14496-3)"},
        {"MP4 MPEG-4 + MP3", ffmpeg_file("reader_mpeg4_mp3.mp4", std::string(kPicture) + " " + kTone,
                                         "-c:v mpeg4 -g 12 -c:a libmp3lame -b:a 128k"),
         mp4reader::kMpeg4, mp4reader::kMp4a, "mp4v", "mp4a", "MPEG-1 Audio (11172-3)"},
        {"MP4 MPEG-4 + MP3 at 22.05 kHz",
         ffmpeg_file("reader_mpeg4_mp3lsf.mp4", std::string(kPicture) + " " + kTone,
                     "-c:v mpeg4 -c:a libmp3lame -ar 22050 -b:a 64k"),
         mp4reader::kMpeg4, mp4reader::kMp4a, "mp4v", "mp4a", "MPEG-2 Audio (13818-3)"},
        {"F4V H.264 + AAC", ffmpeg_file("reader_h264_aac.f4v", std::string(kPicture) + " " + kTone,
                                        "-c:v libx264 -pix_fmt yuv420p -bf 0 -c:a aac -f f4v"),
         mp4reader::kH264, mp4reader::kMp4a, "avc1", "mp4a", "MPEG-4 Audio (14496-3)"},
        {"3GP H.263 + AMR-NB", three_gp(), mp4reader::kH263, mp4reader::kAmrNb, "s263", "samr", "AMR-NB"},
        {"MP4 sound only", ffmpeg_file("reader_aac_only.mp4", kTone, "-c:a aac"), mp4reader::kNoVideo,
         mp4reader::kMp4a, nullptr, "mp4a", "MPEG-4 Audio (14496-3)"},
        {"MOV MJPEG, no sound", ffmpeg_file("reader_mjpeg.mov", kPicture, "-c:v mjpeg"), mp4reader::kNoVideo,
         mp4reader::kNoAudio, "jpeg", nullptr, ""},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.name);
        mp4reader::Reader reader;
        ASSERT_TRUE(reader.open(c.path));
        std::vector<media_test::Fields> streams = media_test::probe_streams(c.path);
        ASSERT_EQ(int(streams.size()), reader.track_count());
        int video_track = -1, audio_track = -1;
        for (int t = 0; t < reader.track_count(); ++t) {
            char handler[5], codec[5];
            int largest = 0;
            int count = reader.track_info(t, handler, codec, &largest);
            EXPECT_EQ(streams[size_t(t)]["codec_tag_string"], codec);
            EXPECT_EQ(std::stoi(streams[size_t(t)]["nb_frames"]), count);
            if (streams[size_t(t)]["codec_type"] == "video") {
                EXPECT_STREQ("vide", handler);
                if (video_track < 0) video_track = t;
            } else if (streams[size_t(t)]["codec_type"] == "audio") {
                EXPECT_STREQ("soun", handler);
                if (audio_track < 0) audio_track = t;
            }
        }
        EXPECT_EQ(-1, reader.track_info(reader.track_count(), nullptr, nullptr, nullptr));

        int video_count = -1, video_largest = -1, audio_count = -1, audio_largest = -1;
        EXPECT_EQ(c.video, reader.video_codec(&video_count, &video_largest));
        EXPECT_EQ(c.audio, reader.audio_codec(&audio_count, &audio_largest));
        char name[64] = "x";
        EXPECT_EQ(int(strlen(c.audio_name)), c.audio ? reader.audio_name(name) : int(strlen(c.audio_name)));
        if (c.audio) {
            EXPECT_STREQ(c.audio_name, name);
        }

        uint8_t config[mp4reader::kConfigCapacity];
        int w = 0, h = 0, kbps = 0, scale = 0;
        double fps = 0, duration = 0;
        int config_length = reader.video_info(&w, &h, &fps, &kbps, &duration, &scale, config);
        if (c.video == mp4reader::kNoVideo) {
            EXPECT_EQ(-1, config_length);
            EXPECT_EQ(0, video_count);
        } else {
            media_test::Fields& v = streams[size_t(video_track)];
            EXPECT_EQ(v["codec_tag_string"], c.video_fourcc);
            EXPECT_EQ(std::stoi(v["width"]), w);
            EXPECT_EQ(std::stoi(v["height"]), h);
            EXPECT_NEAR(ffprobe_rate(v["avg_frame_rate"]), fps, 0.01);
            EXPECT_NEAR(std::stod(v["duration"]) * 1000, duration, 1.0);
            EXPECT_EQ(std::stoi(v["nb_frames"]), video_count);
            EXPECT_NEAR(std::stod(v["bit_rate"]) / 1000, kbps, std::stod(v["bit_rate"]) / 1000 * 0.05 + 2);
            EXPECT_GT(scale, 0);
            if (c.video == mp4reader::kH264) {
                ASSERT_GT(config_length, 8);
                EXPECT_EQ(0, memcmp(config, "\0\0\0\1", 4));
                EXPECT_EQ(7, config[4] & 0x1F) << "a sequence parameter set first";
            } else if (c.video == mp4reader::kMpeg4) {
                std::vector<uint8_t> extradata = media_test::video_extradata(c.path);
                ASSERT_EQ(int(extradata.size()), config_length);
                EXPECT_EQ(0, memcmp(config, extradata.data(), extradata.size()));
            } else {
                EXPECT_EQ(0, config_length);
            }
            check_reads(reader, c.path, true, video_largest);
        }
        int rate = 0, channels = 0;
        if (c.audio == mp4reader::kNoAudio) {
            EXPECT_EQ(-1, reader.audio_info(&rate, &channels, &kbps, &duration));
            EXPECT_EQ(0, audio_count);
        } else {
            media_test::Fields& a = streams[size_t(audio_track)];
            EXPECT_EQ(a["codec_tag_string"], c.audio_fourcc);
            EXPECT_EQ(0, reader.audio_info(&rate, &channels, &kbps, &duration));
            EXPECT_EQ(std::stoi(a["sample_rate"]), rate);
            EXPECT_EQ(std::stoi(a["channels"]), channels);
            EXPECT_NEAR(std::stod(a["duration"]) * 1000, duration, 1.0);
            int aac = reader.aac_config(config, sizeof config);
            EXPECT_EQ(std::string(c.audio_name) == "MPEG-4 Audio (14496-3)", aac >= 2);
            check_reads(reader, c.path, false, audio_largest);
        }
    }
}

TEST(Mp4ReaderCore, FilesItCannotReadAreRefused) {
    std::string tiny = media_test::fresh_path("reader_99_bytes.mov");
    media_test::write_file(tiny, std::vector<uint8_t>(99, 0x20));
    std::string cut = media_test::fresh_path("reader_cut.mp4");
    std::vector<uint8_t> whole = media_test::read_file(
        ffmpeg_file("reader_whole.mp4", kPicture, "-c:v libx264 -pix_fmt yuv420p -movflags +faststart"));
    whole.resize(whole.size() / 2);
    media_test::write_file(cut, whole);
    mp4reader::Reader reader;
    EXPECT_FALSE(reader.open(tiny));
    EXPECT_FALSE(reader.open(media_test::out_path("no_such_file.mp4")));
    // A file cut in half: its index still lists every sample, but those past the end are not read.
    ASSERT_TRUE(reader.open(cut));
    int count = 0, largest = 0;
    EXPECT_EQ(mp4reader::kH264, reader.video_codec(&count, &largest));
    std::vector<uint8_t> buffer(size_t(largest) + 8);
    int readable = 0, time = 0, size = 0;
    uint8_t key = 0;
    for (int i = 0; i < count; ++i) readable += reader.read_video(buffer.data(), i, &time, &size, &key) > 0;
    EXPECT_GT(readable, 0);
    EXPECT_LT(readable, count);
}

TEST(Mp4ReaderCore, AvcRecordsToParameterSets) {
    const std::vector<uint8_t> avcc = {1, 0x64, 0, 0x1F, 0xFF, 0xE1, 0, 3, 0x67, 0xAA, 0xBB, 1, 0, 2, 0x68, 0xCC};
    const std::vector<uint8_t> sets = {0, 0, 0, 1, 0x67, 0xAA, 0xBB, 0, 0, 0, 1, 0x68, 0xCC};
    EXPECT_EQ(sets, mp4reader::avcc_to_annex_b(avcc, 1024));
    EXPECT_TRUE(mp4reader::avcc_to_annex_b(avcc, sets.size() - 1).empty()) << "does not fit";
    std::vector<uint8_t> overlong = avcc;
    overlong[7] = 40;  // SPS length past the record's end
    EXPECT_TRUE(mp4reader::avcc_to_annex_b(overlong, 1024).empty());
    EXPECT_TRUE(mp4reader::avcc_to_annex_b({0, 0, 0, 1, 0x67}, 1024).empty()) << "not an avcC record";
}

}  // namespace
