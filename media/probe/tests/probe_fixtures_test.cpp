// The probe under Wine with the real libraries beside it, over one table of files made at test time:
// every field each path writes, against ffprobe and the packets libavformat reads (picture size,
// rates, sound, duration, counts), and every index file against those packets (count, key flags,
// positions and lengths of the stored bytes, times; FLV blocks against the stream's own parameter
// sets and AudioSpecificConfig).
#include "tests/support/gtest_winelib.h"
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "media/binders/binders.h"
#include "media/mpeg/tests/mpeg_fixtures.h"
#include "media/probe/probe_texts.h"
#include "media/probe/tests/probe_clips.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/stream_packets.h"

namespace {

using media_test::StoredPacket;
using probe_clips::ffmpeg;
using probe_clips::kClip;
using probe_clips::kPicture;
using probe_clips::kTone;

// --- What ffprobe and libavformat say about a file ------------------------------------------------

struct Reference {
    int width = 0, height = 0;
    double fps = 0;
    int sample_rate = 0, channels = 0;
    std::string sample_fmt;  // ffprobe's name for the sound's sample format ("u8", "s16", "fltp" ...)
    double duration = 0;
    int decoded_pictures = 0;
    std::vector<StoredPacket> all, video, audio;  // as stored, in file order
    int audio_packets = 0;                        // of the first sound stream, as ffprobe lists them
    int avi_video_chunks = 0, avi_audio_chunks = 0;  // an AVI file's index entries ("##dc"/"##db", "##wb")
};

// The entries of an AVI file's "idx1" index by kind.
void count_avi_chunks(const std::string& path, Reference& r) {
    const std::vector<uint8_t> b = media_test::read_file(path);
    for (size_t i = 12; i + 8 <= b.size();) {
        const uint32_t length = media_test::le32(&b[i + 4]);
        if (std::memcmp(&b[i], "idx1", 4) == 0) {
            for (size_t e = i + 8; e + 16 <= i + 8 + length && e + 16 <= b.size(); e += 16) {
                if (b[e + 2] == 'd' && (b[e + 3] == 'c' || b[e + 3] == 'b')) ++r.avi_video_chunks;
                if (b[e + 2] == 'w' && b[e + 3] == 'b') ++r.avi_audio_chunks;
            }
            return;
        }
        i += 8 + length + (length & 1);
    }
}

double ratio(const std::string& text) {
    int num = 0, den = 0;
    return std::sscanf(text.c_str(), "%d/%d", &num, &den) == 2 && den ? double(num) / den : 0;
}

Reference reference(const std::string& path) {
    Reference r;
    bool video = false, audio = false;
    for (const media_test::Fields& s : media_test::probe_streams(path)) {
        auto field = [&](const char* key) { return s.count(key) ? s.at(key) : std::string(); };
        if (field("codec_type") == "\"video\"" || field("codec_type") == "video") {
            if (video) continue;
            video = true;
            r.width = std::atoi(field("width").c_str());
            r.height = std::atoi(field("height").c_str());
            std::string rate = field("avg_frame_rate");
            if (!rate.empty() && rate.front() == '"') rate = rate.substr(1, rate.size() - 2);
            r.fps = ratio(rate);
        } else if (field("codec_type") == "\"audio\"" || field("codec_type") == "audio") {
            if (audio) continue;
            audio = true;
            std::string rate = field("sample_rate");
            if (!rate.empty() && rate.front() == '"') rate = rate.substr(1, rate.size() - 2);
            r.sample_rate = std::atoi(rate.c_str());
            r.channels = std::atoi(field("channels").c_str());
            r.sample_fmt = field("sample_fmt");
            if (!r.sample_fmt.empty() && r.sample_fmt.front() == '"') r.sample_fmt = r.sample_fmt.substr(1, r.sample_fmt.size() - 2);
        }
    }
    r.duration = std::atof(
        media_test::run("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "'").c_str());
    r.decoded_pictures = std::atoi(media_test::run("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                                                   "stream=nb_read_frames -of csv=p=0 '" + path + "'").c_str());
    r.all = media_test::demux_packets(path, nullptr, true);
    int video_stream = -1, audio_stream = -1;
    for (const StoredPacket& p : r.all) {
        if (p.video && video_stream < 0) video_stream = p.stream;
        if (p.audio && audio_stream < 0) audio_stream = p.stream;
        if (p.video && p.stream == video_stream) r.video.push_back(p);
        if (p.audio && p.stream == audio_stream) r.audio.push_back(p);
    }
    for (const media_test::Packet& p : media_test::probe_packets(path)) r.audio_packets += p.stream == audio_stream;
    // Formats that state no duration: the pictures over their rate.
    if (!(r.duration > 0) && r.fps > 0) r.duration = r.video.size() / r.fps;
    count_avi_chunks(path, r);
    return r;
}

// The H.264 parameter sets of a file, each behind 00 00 00 01, as ffmpeg's own Annex B output of its
// first picture holds them.
std::vector<uint8_t> annex_b_parameter_sets(const std::string& path) {
    const std::string out = ffmpeg("parameter_sets.h264", "-i '" + path + "' -an -c:v copy -bsf:v h264_mp4toannexb "
                                                          "-frames:v 1 -f h264");
    const std::vector<uint8_t> b = media_test::read_file(out);
    std::vector<uint8_t> sets[2];
    for (size_t i = 0; i + 3 < b.size(); ++i) {
        if (b[i] || b[i + 1] || b[i + 2] != 1) continue;
        size_t end = i + 3;
        while (end + 2 < b.size() && !(b[end] == 0 && b[end + 1] == 0 && (b[end + 2] == 1 || b[end + 2] == 0))) ++end;
        if (end + 2 >= b.size()) end = b.size();
        const int type = b[i + 3] & 0x1F;
        if ((type == 7 || type == 8) && sets[type - 7].empty()) sets[type - 7].assign(b.begin() + i + 3, b.begin() + end);
        i = end - 1;
    }
    std::vector<uint8_t> block;
    for (const std::vector<uint8_t>& s : sets) {
        block.insert(block.end(), {0, 0, 0, 1});
        block.insert(block.end(), s.begin(), s.end());
    }
    return block;
}

// --- The table ------------------------------------------------------------------------------------

enum class Index { None, Avi, Mp4, Flv, Swf, FrameNumbers };

struct Clip {
    std::string path;       // what the probe reads
    std::string reference;  // what ffprobe reads (the same file unless the probe's cannot be read by it)
};

struct Row {
    const char* name;
    Clip (*make)();
    int result;
    const char* text;  // the message of a refused file
    FileKind kind;
    const char* type_name;
    Index index;
    int payload_offset;  // FLV: bytes between an entry's position and its packet's data
};

Clip same(const std::string& path) { return {path, path}; }
Clip fws_swf() { return same(ffmpeg("fws.swf", kClip + "-c:v flv -c:a libmp3lame")); }

const Row kRows[] = {
    {"MPEG-1 PS", [] { return same(ffmpeg("ps.mpg", kClip + "-c:v mpeg1video -c:a mp2 -f mpeg")); }, 0, nullptr, 6,
     "MPEG1/2 PS", Index::None, 0},
    {"VCD .dat",
     [] {
         const std::string ps = ffmpeg("vcd.mpg", std::string(kPicture) + " " + kTone + " -t 2 -ac 2 -target pal-vcd");
         return Clip{probe_clips::write("vcd.dat", mpeg_fixtures::wrap_cdxa(media_test::read_file(ps))), ps};
     },
     0, nullptr, 6, "MPEG1/2 PS", Index::None, 0},
    {"VOB", [] { return same(ffmpeg("dvd.vob", kClip + "-target pal-dvd -s 176x144")); }, 0, nullptr, 5, "MPEG1/2 PS",
     Index::None, 0},
    {"TS", [] { return same(ffmpeg("ts.ts", kClip + "-c:v mpeg2video -c:a mp2 -ar 48000 -f mpegts")); }, 0, nullptr, 3,
     "MPEG2 TS", Index::None, 0},
    {"M2V", [] { return same(ffmpeg("es.m2v", std::string(kPicture) + " -t 2 -c:v mpeg2video -f mpeg2video")); }, -8,
     probe_text::kNoSound, 2, "MPEG1/2 ES", Index::None, 0},
    {"AVI MPEG-4 MP3", [] { return same(ffmpeg("mpeg4.avi", kClip + "-c:v mpeg4 -vtag XVID -c:a libmp3lame")); }, 0,
     nullptr, 99, "AVI", Index::Avi, 0},
    {"AVI MJPEG PCM", [] { return same(ffmpeg("mjpeg.avi", kClip + "-c:v mjpeg -c:a pcm_s16le")); }, 0, nullptr, 99,
     "AVI", Index::Avi, 0},
    {"AVI H.264 AAC",
     [] { return same(ffmpeg("h264.avi", kClip + "-c:v libx264 -pix_fmt yuv420p -c:a aac")); }, 0, nullptr, 99, "AVI",
     Index::Avi, 0},
    {"AVI named .divx",
     [] { return same(ffmpeg("mpeg4.divx", kClip + "-c:v mpeg4 -vtag DIVX -c:a libmp3lame -f avi")); }, 0, nullptr, 99,
     "MPEG4 AVI", Index::None, 0},
    {"MP4 H.264 AAC", [] { return same(ffmpeg("h264.mp4", kClip + "-c:v libx264 -pix_fmt yuv420p -c:a aac")); }, 0,
     nullptr, 10000 + 256 * 3 + 3, "MP4", Index::Mp4, 0},
    {"MP4 MPEG-4 AAC", [] { return same(ffmpeg("mpeg4.mp4", kClip + "-c:v mpeg4 -c:a aac")); }, 0, nullptr,
     10000 + 256 * 2 + 3, "MP4", Index::Mp4, 0},
    {"MP4 MPEG-4 MP3", [] { return same(ffmpeg("mp3.mp4", kClip + "-c:v mpeg4 -c:a libmp3lame")); }, 0, nullptr,
     10000 + 256 * 2 + 3, "MP4", Index::Mp4, 0},
    {"3GP H.263 AMR-NB", [] { return same(probe_clips::three_gp("h263_amr.3gp")); }, 0, nullptr, 10000 + 256 * 1 + 1,
     "MP4", Index::Mp4, 0},
    {"F4V", [] { return same(ffmpeg("iso.f4v", kClip + "-c:v libx264 -pix_fmt yuv420p -c:a aac -f mp4")); }, 0,
     nullptr, 10000 + 256 * 3 + 3, "MP4", Index::Mp4, 0},
    {"MOV", [] { return same(ffmpeg("h264.mov", kClip + "-c:v libx264 -pix_fmt yuv420p -c:a aac")); }, 0, nullptr,
     7003, "MOV/QT", Index::None, 0},
    {"WMV", [] { return same(ffmpeg("wmv2.wmv", kClip + "-c:v wmv2 -c:a wmav2")); }, 0, nullptr, 5003, "ASF/WMV/WMA",
     Index::None, 0},
    {"ASF", [] { return same(ffmpeg("wmv2.asf", kClip + "-c:v wmv2 -c:a wmav2")); }, 0, nullptr, 5003, "ASF/WMV/WMA",
     Index::None, 0},
    {"FLV Sorenson MP3", [] { return same(ffmpeg("sorenson.flv", kClip + "-c:v flv -c:a libmp3lame")); }, 0, nullptr,
     4000 + 256 * 2 + 3, "FLV", Index::Flv, 0},
    {"FLV H.264 AAC", [] { return same(ffmpeg("h264.flv", kClip + "-c:v libx264 -pix_fmt yuv420p -c:a aac")); }, 0,
     nullptr, 4000 + 256 * 7 + 11, "FLV", Index::Flv, 4},
    {"FLV VP6 ADPCM", [] { return same(probe_clips::flv_vp6_adpcm("vp6.flv")); }, 0, nullptr, 4000 + 256 * 1 + 2, "FLV",
     Index::Flv, 1},
    {"FLV PCM", [] { return same(ffmpeg("pcm.flv", kClip + "-c:v flv -c:a pcm_s16be")); }, 0, nullptr,
     4000 + 256 * 2 + 1, "FLV", Index::Flv, 0},
    // Raw PCM the FLV branch reads: 8 bits (widened) and little-endian 16 bits.
    {"FLV 8-bit PCM", [] { return same(ffmpeg("u8.flv", kClip + "-c:v flv -c:a pcm_u8")); }, 0, nullptr,
     4000 + 256 * 2 + 1, "FLV", Index::Flv, 0},
    {"FLV little-endian PCM", [] { return same(ffmpeg("s16le.flv", kClip + "-c:v flv -c:a pcm_s16le")); }, 0, nullptr,
     4000 + 256 * 2 + 4, "FLV", Index::Flv, 0},
    {"FLV silent", [] { return same(ffmpeg("silent.flv", std::string(kPicture) + " -t 2 -c:v flv")); }, 0, nullptr,
     4000 + 256 * 2, "FLV", Index::Flv, 0},
    {"SWF FWS", fws_swf, 0, nullptr, 3000 + 256 * 2 + 2, "SWF", Index::Swf, 0},
    {"SWF CWS",
     [] {
         const Clip fws = fws_swf();
         return Clip{probe_clips::cws_from("cws.swf", fws.path), fws.path};
     },
     0, nullptr, 3000 + 256 * 2 + 2, "SWF", Index::Swf, 0},
    {"AMV",
     [] {
         return same(ffmpeg("clip.amv", "-f lavfi -i testsrc2=size=160x120:rate=15 -f lavfi -i "
                                        "sine=frequency=1000:sample_rate=22050 -t 2 -c:v amv -c:a adpcm_ima_amv -ac 1 "
                                        "-block_size 1470 -strict -1"));
     },
     0, nullptr, 3993, "AMV", Index::FrameNumbers, 0},
    {"MTV", [] { return same(probe_clips::mtv("clip.mtv", 24)); }, 0, nullptr, 3994, "MTV", Index::FrameNumbers, 0},
};

// --- Checks by kind of index ------------------------------------------------------------------------

void check_bytes(const std::string& file, const IndexEntry& e, int offset, const StoredPacket& p, size_t i) {
    EXPECT_EQ(p.data, media_test::file_bytes(file, int64_t(e.position) + offset, int64_t(p.data.size())))
        << "entry " << i << " does not point at its picture's bytes";
}

void check_avi_index(const Clip& clip, const MediaFileRecord& r, const IndexFile& index, const Reference& ref) {
    const bool mjpeg = std::memcmp(r.video_info.fourcc, "MJPG", 4) == 0;
    EXPECT_EQ(mjpeg ? 0 : 1, r.seek_mode);
    ASSERT_EQ(size_t(ref.avi_video_chunks), index.segments.size());
    size_t packet = 0;
    for (size_t i = 0; i < index.segments.size(); ++i) {
        const IndexEntry& e = index.segments[i].entry;
        EXPECT_EQ(int32_t(std::floor(i * 1000.0 / r.frame_rate)), e.time_ms) << i;
        if (e.length == 0) continue;  // a chunk without data, which the demuxer passes over
        ASSERT_LT(packet, ref.video.size());
        const StoredPacket& p = ref.video[packet++];
        EXPECT_EQ(int32_t(p.data.size()), e.length) << i;
        check_bytes(clip.path, e, 0, p, i);
        EXPECT_EQ(mjpeg ? i % 15 == 0 : p.key, bool(e.is_key)) << i;
    }
    EXPECT_EQ(ref.video.size(), packet);
}

void check_mp4_index(const IndexFile& index, const Reference& ref) {
    ASSERT_EQ(ref.video.size(), index.segments.size());
    for (size_t i = 0; i < index.segments.size(); ++i) {
        const IndexEntry& e = index.segments[i].entry;
        const StoredPacket& p = ref.video[i];
        EXPECT_EQ(int32_t(p.data.size()), e.position) << i;
        EXPECT_EQ(int32_t(p.data.size()), e.length) << i;
        EXPECT_EQ(p.key, bool(e.is_key)) << i;
        EXPECT_NEAR(double(std::max<int64_t>(p.dts_ms, 0)), e.time_ms, 1) << i;
    }
}

void check_flv_index(const Clip& clip, const Row& row, const IndexFile& index, const Reference& ref) {
    const KindFields fields = decode_kind(row.kind);
    const bool avc = fields.video == 7;
    // H.264: the sequence header first and the end of the sequence last are tags without a packet.
    const size_t extra_first = avc ? 1 : 0, extra = avc ? 2 : 0;
    ASSERT_EQ(ref.video.size() + extra, index.segments.size());
    for (size_t k = 0; k < ref.video.size(); ++k) {
        const IndexEntry& e = index.segments[k + extra_first].entry;
        const StoredPacket& p = ref.video[k];
        EXPECT_EQ(int32_t(p.data.size()) + row.payload_offset, e.length) << k;
        check_bytes(clip.path, e, row.payload_offset, p, k);
        EXPECT_EQ(p.key ? 1 : 2, e.is_key) << k;
        EXPECT_EQ(p.dts_ms, e.time_ms) << k;
    }
    EXPECT_TRUE(index.has_blocks);
    if (avc) {
        EXPECT_EQ(annex_b_parameter_sets(clip.path), index.block1);
    } else {
        EXPECT_TRUE(index.block1.empty());
    }
    const bool aac = fields.sound == 11;
    if (aac) {
        EXPECT_EQ(media_test::audio_extradata(clip.path), index.block2);
        EXPECT_FALSE(index.block2.empty());
    } else {
        EXPECT_TRUE(index.block2.empty());
    }
}

void check_swf_index(const Clip& clip, const MediaFileRecord& r, const IndexFile& index, const Reference& ref) {
    EXPECT_EQ(2, r.seek_mode);
    ASSERT_EQ(ref.video.size(), index.segments.size());
    const int rate = int(r.frame_rate) < 1 ? 15 : int(r.frame_rate);
    size_t n = 0;
    // The key flag counts places among all indexed tags, sound blocks included.
    for (size_t place = 0; place < ref.all.size(); ++place) {
        const StoredPacket& p = ref.all[place];
        if (!p.video) continue;
        ASSERT_LT(n, index.segments.size());
        const IndexEntry& e = index.segments[n].entry;
        EXPECT_EQ(int32_t(p.data.size()), e.length) << n;
        // The offsets of a compressed file lie in its inflated bytes, which the uncompressed twin holds.
        check_bytes(clip.reference, e, 0, p, n);
        EXPECT_EQ(int32_t(n * 1000 / rate), e.time_ms) << n;
        EXPECT_EQ(place % rate == 0, bool(e.is_key)) << n;
        ++n;
    }
}

void check_frame_number_index(const MediaFileRecord& r, const IndexFile& index, const Reference& ref) {
    EXPECT_EQ(1, r.seek_mode);
    ASSERT_EQ(ref.video.size(), index.segments.size());
    for (size_t i = 0; i < index.segments.size(); ++i) {
        const IndexEntry& e = index.segments[i].entry;
        EXPECT_EQ(int32_t(i), e.position);
        EXPECT_EQ(int32_t(i), e.length);
        EXPECT_EQ(i % 15 == 0, bool(e.is_key)) << i;
        EXPECT_EQ(int32_t(std::floor(i * 1000.0 / r.frame_rate)), e.time_ms) << i;
    }
}

// --- The test -----------------------------------------------------------------------------------------

class ProbeFixture : public testing::TestWithParam<Row> {};

TEST_P(ProbeFixture, RecordAndIndexAgreeWithFfprobe) {
    const Row& row = GetParam();
    const Clip clip = row.make();
    ASSERT_FALSE(clip.path.empty()) << "the fixture could not be made";
    const Reference ref = reference(clip.reference);
    const probe_clips::Probed p = probe_clips::probe(clip.path);
    const MediaFileRecord& r = p.record;

    ASSERT_EQ(row.result, p.result);
    if (row.text) {
        ASSERT_EQ(1u, p.shown.size());
        EXPECT_EQ(probe_clips::with_path(row.text, probe_clips::windows_path(clip.path)), p.shown[0].text);
        EXPECT_EQ(probe_text::kCaptionMp4, p.shown[0].caption);
    } else {
        for (const probe_clips::Shown& s : p.shown) ADD_FAILURE() << "message: " << s.text;
    }
    EXPECT_EQ(row.kind, r.file_kind);
    if (row.result != 0) return;
    EXPECT_EQ(row.kind, r.file_kind_copy);
    EXPECT_STREQ(row.type_name, r.type_name);
    EXPECT_EQ(int64_t(media_test::read_file(clip.path).size()), r.file_size);

    EXPECT_EQ(ref.width, r.width);
    EXPECT_EQ(ref.height, r.height);
    EXPECT_NEAR(ref.fps, r.frame_rate, 0.01);
    EXPECT_EQ(ref.sample_rate, int(r.sample_rate));
    EXPECT_EQ(ref.channels, r.channels);
    EXPECT_GE(r.duration_s, int(ref.duration) - 1) << "ffprobe: " << ref.duration << " s";
    EXPECT_LE(r.duration_s, int(std::ceil(ref.duration))) << "ffprobe: " << ref.duration << " s";

    const KindFields fields = decode_kind(r.file_kind);
    const int audio_type = fields.sound;
    switch (row.index == Index::None ? classify_kind(r.file_kind) : classify_kind(row.kind)) {
    case MediaBranch::Avi:
        EXPECT_EQ(ref.avi_video_chunks, r.video_index_count);
        EXPECT_EQ(ref.avi_audio_chunks, r.audio_index_count);
        EXPECT_EQ(int(1200 / r.frame_rate), r.frame_count);
        break;
    case MediaBranch::Mpeg:
        EXPECT_EQ(ref.decoded_pictures, r.frame_count);
        break;
    case MediaBranch::Mp4: {
        EXPECT_EQ(int(ref.video.size()), r.video_index_count);
        EXPECT_EQ(audio_type, r.frame_count);
        int track0 = 0, largest = 0;
        for (const StoredPacket& pk : ref.all) track0 += pk.stream == 0;
        for (const StoredPacket& pk : ref.video) largest = std::max(largest, int(pk.data.size()));
        EXPECT_EQ(audio_type > 0 ? track0 : 0, r.audio_index_count) << "the sample count of track 0";
        EXPECT_EQ(largest, r.start_value) << "the largest video sample";
        EXPECT_EQ(fields.video, r.index_codec);
        EXPECT_EQ(audio_type, r.index_audio);
        break;
    }
    case MediaBranch::Flv:
        EXPECT_EQ(ref.audio_packets + 1 + (audio_type == 11 ? 1 : 0), r.frame_count)
            << "audio tags (an AAC sequence header among them) + 1";
        EXPECT_EQ(audio_type, r.index_audio);
        // Coded sound decodes to 16 bits; raw PCM keeps the file's own sample size.
        EXPECT_EQ(!ref.sample_rate ? 0 : ref.sample_fmt == "u8" ? 8 : 16, r.audio_bits);
        break;
    case MediaBranch::DirectShow:
        EXPECT_EQ(int(ref.video.size()), r.video_index_count);
        EXPECT_EQ(0, r.rate_sum);
        break;
    default:
        EXPECT_EQ(int(ref.video.size()), r.frame_count);
        break;
    }

    if (row.index == Index::None) {
        EXPECT_EQ(0, r.index_written);
        return;
    }
    ASSERT_EQ(1, r.index_written);
    ASSERT_TRUE(p.index_read);
    EXPECT_EQ(r.index_codec, p.index.codec);
    EXPECT_EQ(r.width, p.index.width);
    EXPECT_EQ(r.height, p.index.height);
    EXPECT_EQ(r.frame_rate, p.index.frame_rate);
    switch (row.index) {
    case Index::Avi: check_avi_index(clip, r, p.index, ref); break;
    case Index::Mp4: check_mp4_index(p.index, ref); break;
    case Index::Flv: check_flv_index(clip, row, p.index, ref); break;
    case Index::Swf: check_swf_index(clip, r, p.index, ref); break;
    case Index::FrameNumbers: check_frame_number_index(r, p.index, ref); break;
    case Index::None: break;
    }
}

std::string row_name(const testing::TestParamInfo<Row>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, ProbeFixture, testing::ValuesIn(kRows), row_name);

// --- Probing while a worker decodes with the same libraries ------------------------------------------

uint32_t checksum(const uint8_t* data, int n) {
    uint32_t h = 2166136261u;
    for (int i = 0; i < n; ++i) h = (h ^ data[i]) * 16777619u;
    return h;
}

// A worker decoding through the program's own bindings; it records its pictures by checksum.
struct Worker {
    std::vector<std::vector<uint8_t>> units;
    bool sorenson = true;  // else H.264 through the decoder the interface thread opened
    std::vector<uint32_t> pictures;
    HANDLE started = nullptr;
    std::atomic<int> probes_done{0};

    // Until five probes are done, every tenth picture waits (at most 20 s) for one more, so the probes
    // overlap the decoding however busy the machine is.
    void wait_for_a_probe() const {
        const int seen = probes_done.load();
        if (seen >= 5) return;
        for (int waited = 0; probes_done.load() <= seen && waited < 20000; waited += 2) Sleep(2);
    }

    static DWORD WINAPI run(void* self) {
        Worker& w = *static_cast<Worker*>(self);
        if (w.sorenson && codec::sh263de_init() != 0) return 1;
        if (w.started) SetEvent(w.started);
        std::vector<uint8_t> frame(1555200);
        for (size_t i = 0; i < w.units.size(); ++i) {
            const std::vector<uint8_t>& u = w.units[i];
            if (i % 10 == 9) w.wait_for_a_probe();
            const int n = w.sorenson ? codec::sh263de_frame(u.data(), int(u.size()), frame.data(), int(frame.size()))
                                     : codec::tolm264decode_decode(u.data(), int(u.size()), frame.data());
            if (n > 0) w.pictures.push_back(checksum(frame.data(), n));
            Sleep(3);
        }
        if (w.sorenson) codec::sh263de_exit();
        return 0;
    }

    // Runs the worker; meanwhile `probe` runs on this thread until the worker ends.
    template <class Probe>
    std::vector<uint32_t> decode(Probe probe, int* probes) {
        pictures.clear();
        started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!sorenson) SetEvent(started);
        HANDLE thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
        WaitForSingleObject(started, INFINITE);
        *probes = 0;
        probes_done = 0;
        while (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT && *probes < 20) {
            probe();
            ++*probes;
            ++probes_done;
        }
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(started);
        return pictures;
    }
};

std::vector<std::vector<uint8_t>> packet_data(const std::string& path) {
    std::vector<std::vector<uint8_t>> units;
    for (const StoredPacket& p : media_test::video_packets(path)) units.push_back(p.data);
    return units;
}

TEST(ProbeWhileAWorkerDecodes, SorensonPicturesAreTheSameAsWithoutProbing) {
    ASSERT_EQ(0, codec::load_tolmh263dec2());
    Worker worker;
    worker.units = packet_data(ffmpeg("worker.flv", "-f lavfi -i testsrc2=size=320x240:rate=25 -t 2 -c:v flv -g 10"));
    const std::string probed = ffmpeg("probed.flv", kClip + "-c:v flv -c:a libmp3lame");
    int probes = 0;
    const std::vector<uint32_t> alone = worker.decode([] {}, &probes);
    ASSERT_EQ(50u, alone.size());
    const std::vector<uint32_t> disturbed = worker.decode(
        [&] { EXPECT_EQ(0, probe_clips::probe(probed).result); }, &probes);
    EXPECT_GE(probes, 5) << "the probes overlapped the decoding";
    EXPECT_EQ(alone, disturbed);
    codec::unload_tolmh263dec2();
}

TEST(ProbeWhileAWorkerDecodes, TheSharedH264DecoderIsNotOpenedAgain) {
    // The interface thread loads the library and opens the decoder the workers use (notice 678).
    ASSERT_EQ(0, codec::load_tolmx264decode());
    Worker worker;
    worker.sorenson = false;
    worker.units = packet_data(ffmpeg("worker.h264", "-f lavfi -i testsrc2=size=320x240:rate=25 -t 2 -c:v libx264 "
                                                     "-bf 0 -g 25 -pix_fmt yuv420p -f h264"));
    const std::string probed = ffmpeg("probed_h264.flv", kClip + "-c:v libx264 -pix_fmt yuv420p -c:a aac");
    int probes = 0;
    ASSERT_EQ(0, codec::tolm264decode_init(320, 240));
    const std::vector<uint32_t> alone = worker.decode([] {}, &probes);
    ASSERT_EQ(50u, alone.size());
    ASSERT_EQ(0, codec::tolm264decode_init(320, 240));
    const std::vector<uint32_t> disturbed = worker.decode(
        [&] {
            const probe_clips::Probed p = probe_clips::probe(probed);
            EXPECT_EQ(0, p.result);
            EXPECT_EQ(176, p.record.width);
        },
        &probes);
    EXPECT_GE(probes, 5) << "the probes overlapped the decoding";
    EXPECT_EQ(alone, disturbed);
    codec::tolm264decode_close();
    codec::unload_tolmx264decode();
}

}  // namespace
