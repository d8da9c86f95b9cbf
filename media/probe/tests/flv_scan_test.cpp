// The FLV tag scan over bytes built here: what it keeps, counts and indexes, and that no length read
// from the file leads it past the bytes there.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "media/probe/flv_scan.h"
#include "tests/support/flv_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

// An FLV file built tag by tag, scanned from memory.
class Flv : public flv_test::FlvWriter {
public:
    using FlvWriter::FlvWriter;
    FlvScan scan() const {
        const Bytes bytes = file();
        MemoryByteSource source(bytes.data(), bytes.size());
        return scan_flv(source);
    }
};

Bytes filled(uint8_t first, size_t n, uint8_t fill = 0x55) {
    Bytes b(n, fill);
    if (n) b[0] = first;
    return b;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// An AVC sequence header tag's data: header byte 0x17, packet type 0, composition time, then the
// configuration record with the given SPS and PPS lists.
Bytes avc_header(const std::vector<Bytes>& sps, const std::vector<Bytes>& pps) {
    Bytes b = {0x17, 0, 0, 0, 0, 1, 0x64, 0, 0x1F, 0xFF, uint8_t(0xE0 | sps.size())};
    for (const Bytes& s : sps) {
        b.push_back(uint8_t(s.size() >> 8)), b.push_back(uint8_t(s.size()));
        b.insert(b.end(), s.begin(), s.end());
    }
    b.push_back(uint8_t(pps.size()));
    for (const Bytes& p : pps) {
        b.push_back(uint8_t(p.size() >> 8)), b.push_back(uint8_t(p.size()));
        b.insert(b.end(), p.begin(), p.end());
    }
    return b;
}

Bytes nal(const Bytes& unit) {
    const uint32_t n = uint32_t(unit.size());
    Bytes b = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
    b.insert(b.end(), unit.begin(), unit.end());
    return b;
}

const Bytes kSps = {0x67, 0x64, 0x00, 0x1F, 0xAC, 0xD9, 0x40, 0x50};
const Bytes kPps = {0x68, 0xEB, 0xE3, 0xCB};
const Bytes kStart = {0, 0, 0, 1};

TEST(FlvScan, SorensonAndMp3TagsAreCountedIndexedAndDescribed) {
    Flv f;
    const size_t v0 = f.video(0, filled(0x12, 40));    // key frame, Sorenson
    f.audio(0, filled(0x2F, 100));                       // MP3, 44.1 kHz, 16 bits, stereo
    const size_t v1 = f.video(40, filled(0x22, 30));   // inter frame
    f.audio(26, filled(0x2F, 100));
    const size_t v2 = f.video(80, filled(0x32, 20));   // disposable
    f.tag(18, 90, filled(2, 30));                        // script data: skipped
    const FlvScan s = f.scan();
    EXPECT_TRUE(s.is_flv);
    EXPECT_EQ(kFlvSorenson, s.video_codec);
    EXPECT_EQ(3, s.video_tags);
    EXPECT_EQ(2, s.audio_tags);
    EXPECT_EQ(3, s.sound_plus_one);
    EXPECT_EQ(44100, s.sample_rate);
    EXPECT_EQ(2, s.channels);
    EXPECT_EQ(16, s.audio_bits);
    EXPECT_EQ(80, s.last_time_ms);
    EXPECT_DOUBLE_EQ(25.0, s.frame_rate());  // 2 intervals over 80 ms
    ASSERT_EQ(3u, s.entries.size());
    const size_t at[3] = {v0, v1, v2};
    const int32_t sizes[3] = {40, 30, 20}, times[3] = {0, 40, 80};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(i + 1, s.entries[i].is_key) << i;  // frame types 1, 2, 3
        EXPECT_EQ(int32_t(at[i] + 1), s.entries[i].position) << i;
        EXPECT_EQ(sizes[i] - 1, s.entries[i].length) << i;
        EXPECT_EQ(times[i], s.entries[i].time_ms) << i;
    }
    EXPECT_EQ(Bytes(39, 0x55), s.first_video) << "the first tag's data after its header byte";
    EXPECT_TRUE(s.avc_parameter_sets.empty());
    EXPECT_TRUE(s.aac_config.empty());
}

TEST(FlvScan, ExtendedTimeStampByteIsTheUpperEightBits) {
    Flv f;
    f.video(0x01000010, filled(0x12, 20));
    EXPECT_EQ(0x01000010, f.scan().entries.at(0).time_ms);
}

TEST(FlvScan, AvcSequenceHeaderGivesTheParameterSetsAndTheSecondTagItsUnits) {
    Flv f;
    f.video(0, avc_header({kSps, {0x67, 1, 2}}, {kPps}));  // a second SPS is skipped
    const Bytes slice = {0x65, 0x88, 0x84, 0x00, 0x33};
    const Bytes sei = {0x06, 0x05, 0x01};
    f.video(0, concat({{0x17, 1, 0, 0, 0}, nal(sei), nal(slice)}));
    f.video(40, concat({{0x27, 1, 0, 0, 0}, nal({0x41, 0x9A})}));
    f.video(80, {0x17, 2, 0, 0, 0});  // end of sequence
    const FlvScan s = f.scan();
    EXPECT_EQ(kFlvAvc, s.video_codec);
    EXPECT_TRUE(s.avc_sequence_header);
    EXPECT_EQ(concat({kStart, kSps, kStart, kPps}), s.avc_parameter_sets);
    EXPECT_EQ(concat({kStart, sei, kStart, slice}), s.second_picture);
    EXPECT_EQ(4, s.video_tags);
    EXPECT_EQ(2, s.picture_tags) << "neither the sequence header nor its end is a picture";
    EXPECT_DOUBLE_EQ(25.0, s.frame_rate());
    EXPECT_EQ(4u, s.entries.size()) << "every video tag is indexed";
}

TEST(FlvScan, SpsLengthPastTheTagFormsNoBlock) {
    Flv f;
    Bytes header = avc_header({kSps}, {kPps});
    header[11] = 0x01, header[12] = 0x00;  // SPS length 256, the tag holds far less
    f.video(0, header);
    f.video(0, concat({{0x17, 1, 0, 0, 0}, nal({0x65, 1, 2, 3})}));
    const FlvScan s = f.scan();
    EXPECT_TRUE(s.avc_sequence_header);
    EXPECT_TRUE(s.avc_parameter_sets.empty());
    EXPECT_FALSE(s.second_picture.empty());
}

TEST(FlvScan, ParameterSetsBeyond512BytesFormNoBlock) {
    Bytes big(505, 0x11);
    big[0] = 0x67;
    std::vector<uint8_t> block;
    EXPECT_FALSE(flv_avc_parameter_sets(avc_header({big}, {kPps}).data() + 1, avc_header({big}, {kPps}).size() - 1,
                                        &block));
    EXPECT_TRUE(block.empty());
    Bytes fits(504 - 4, 0x11);  // 4 + 500 + 4 + 4 = 512
    fits[0] = 0x67;
    const Bytes header = avc_header({fits}, {kPps});
    EXPECT_TRUE(flv_avc_parameter_sets(header.data() + 1, header.size() - 1, &block));
    EXPECT_EQ(512u, block.size());
}

TEST(FlvScan, BadParameterSetListsFormNoBlock) {
    std::vector<uint8_t> block;
    const Bytes no_pps = avc_header({kSps}, {});
    EXPECT_FALSE(flv_avc_parameter_sets(no_pps.data() + 1, no_pps.size() - 1, &block));
    const Bytes no_sps = avc_header({}, {kPps});
    EXPECT_FALSE(flv_avc_parameter_sets(no_sps.data() + 1, no_sps.size() - 1, &block));
    Bytes pps_past = avc_header({kSps}, {kPps});
    pps_past[pps_past.size() - kPps.size() - 1] = 200;  // PPS length 200
    EXPECT_FALSE(flv_avc_parameter_sets(pps_past.data() + 1, pps_past.size() - 1, &block));
    const Bytes cut = avc_header({kSps}, {kPps});
    for (size_t n = 0; n + 1 < cut.size(); ++n) {  // every shorter tag
        EXPECT_FALSE(flv_avc_parameter_sets(cut.data() + 1, n, &block)) << n;
        EXPECT_TRUE(block.empty());
    }
}

TEST(FlvScan, NalConversionStopsAtALengthPastTheData) {
    std::vector<uint8_t> out;
    const Bytes data = concat({nal({0x65, 1, 2}), {0, 0, 1, 0, 0x41}});  // second length 256, 1 byte there
    EXPECT_FALSE(flv_nal_units_to_annex_b(data.data(), data.size(), &out));
    EXPECT_EQ(concat({kStart, {0x65, 1, 2}}), out);
    out.clear();
    const Bytes zero = {0, 0, 0, 0, 0x65};
    EXPECT_FALSE(flv_nal_units_to_annex_b(zero.data(), zero.size(), &out));
    EXPECT_TRUE(out.empty());
}

TEST(FlvScan, AacSequenceHeaderGivesTheConfiguration) {
    Flv f;
    f.video(0, filled(0x12, 20));
    f.audio(0, {0xAF, 0, 0x12, 0x10});  // AAC, packet type 0, AudioSpecificConfig 12 10
    f.audio(23, {0xAF, 1, 0x21, 0x00});
    const FlvScan s = f.scan();
    EXPECT_EQ(kFlvAacPlusOne, s.sound_plus_one);
    EXPECT_EQ((Bytes{0x12, 0x10}), s.aac_config);
    EXPECT_EQ(2, s.audio_tags);
}

TEST(FlvScan, OneByteAudioTagGivesTheFormatOnly) {
    Flv f;
    f.audio(0, {0xAF});  // AAC without a packet type
    f.video(0, filled(0x12, 20));
    const FlvScan s = f.scan();
    EXPECT_EQ(kFlvAacPlusOne, s.sound_plus_one);
    EXPECT_TRUE(s.aac_config.empty());
    EXPECT_EQ(1, s.audio_tags);
}

TEST(FlvScan, AacConfigurationOf100KilobytesIsNotKept) {
    Flv f;
    Bytes data = filled(0xAF, 100 * 1024 + 2);
    data[1] = 0;
    f.audio(0, data);
    f.video(0, filled(0x12, 20));
    const FlvScan s = f.scan();
    EXPECT_EQ(kFlvAacPlusOne, s.sound_plus_one);
    EXPECT_TRUE(s.aac_config.empty());
    EXPECT_EQ(1, s.video_tags) << "the scan went on after it";
}

TEST(FlvScan, EmptyTagsAreCountedWithoutBeingRead) {
    Flv f;
    f.audio(0, {});
    f.video(0, {});
    f.audio(10, {0x2E});  // MP3 44.1 kHz, 16 bits, mono: the first audio tag with data
    f.video(40, filled(0x12, 20));
    const FlvScan s = f.scan();
    EXPECT_EQ(2, s.video_tags);
    EXPECT_EQ(0, s.video_codec) << "the first video tag carries no header byte";
    EXPECT_EQ(2, s.audio_tags);
    EXPECT_EQ(3, s.sound_plus_one);
    EXPECT_EQ(1, s.channels);
    ASSERT_EQ(2u, s.entries.size());
    EXPECT_EQ(0, s.entries[0].length);
    EXPECT_EQ(0, s.entries[0].is_key);
    EXPECT_TRUE(s.first_video.empty());
}

TEST(FlvScan, HeaderSizePastTheEndReadsNoTags) {
    Flv f(5, 9);
    f.video(0, filled(0x12, 20));
    f.bytes()[8] = 200;  // header size 200 in a file of 44 bytes
    const FlvScan s = f.scan();
    EXPECT_TRUE(s.is_flv);
    EXPECT_EQ(0, s.video_tags);
    EXPECT_TRUE(s.entries.empty());
}

TEST(FlvScan, TagPastTheEndOfTheFileEndsTheScan) {
    Flv f;
    f.video(0, filled(0x12, 20));
    f.tag(9, 40, filled(0x22, 10), 0xFFFFFF);  // states 16 MiB, holds 10 bytes
    const FlvScan s = f.scan();
    EXPECT_EQ(2, s.video_tags);
    EXPECT_EQ(2u, s.entries.size());
}

TEST(FlvScan, FirstVideoTagOf16BytesOrFewerIsNotKept) {
    Flv f;
    f.video(0, filled(0x12, 16));
    EXPECT_TRUE(f.scan().first_video.empty());
    Flv g;
    g.video(0, filled(0x12, 17));
    EXPECT_EQ(16u, g.scan().first_video.size());
}

TEST(FlvScan, OtherFilesAreNotFlv) {
    const Bytes version2 = {'F', 'L', 'V', 2, 5, 0, 0, 0, 9, 0, 0, 0, 0};
    MemoryByteSource a(version2.data(), version2.size());
    EXPECT_FALSE(scan_flv(a).is_flv);
    const Bytes short_file = {'F', 'L', 'V'};
    MemoryByteSource b(short_file.data(), short_file.size());
    EXPECT_FALSE(scan_flv(b).is_flv);
}

TEST(FlvScan, FrameRateOverTheWholeSpan) {
    Flv f;
    // 30000/1001 pictures a second with times rounded to milliseconds.
    for (int i = 0; i < 300; ++i) f.video(uint32_t(i * 1001.0 / 30.0 + 0.5), filled(i ? 0x22 : 0x12, 20));
    const double rate = f.scan().frame_rate();
    EXPECT_NEAR(30000.0 / 1001.0, rate, 0.005);
    Flv one;
    one.video(0, filled(0x12, 20));
    EXPECT_EQ(0.0, one.scan().frame_rate()) << "a single picture has no rate";
}

TEST(FlvScan, AtMost180000VideoTagsAreIndexed) {
    Flv f;
    f.bytes().reserve(9 + 180001u * 16);
    for (int i = 0; i < 180001; ++i) f.video(uint32_t(i * 40), {0x22});
    const FlvScan s = f.scan();
    EXPECT_EQ(180001, s.video_tags);
    ASSERT_EQ(size_t(kFlvMaxIndexed), s.entries.size());
    EXPECT_EQ(179999 * 40, s.entries.back().time_ms);
}

}  // namespace
