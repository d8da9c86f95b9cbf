// Return codes of the demultiplexer, where MPEG sound is decoded, the dump of the video elementary
// stream and pictures that do not fit the buffer.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <vector>
#include "media/mpa/tests/mp3_reference.h"
#include "media/mpa/tests/mpa_fixtures.h"
#include "media/mpeg/audio_framer.h"
#include "media/mpeg/mpgdemux.h"
#include "media/mpeg/tests/demux_harness.h"
#include "media/mpeg/tests/mpeg_fixtures.h"
#include "media/mpeg/tests/test_tag.h"
#include "tests/support/media_check.h"
#include "tests/support/media_test_tools.h"

namespace {

using demux_harness::Split;

// A session with the demultiplexer over its own small buffers and no outside libraries.
struct Session {
    std::vector<uint8_t> frame = std::vector<uint8_t>(720 * 576 * 3);
    std::vector<uint8_t> pcm = std::vector<uint8_t>(184320);
    MediaOutput out;
    explicit Session(int kind) {
        out.frame.data = frame.data();
        out.frame_capacity = frame.size();
        out.pcm = pcm.data();
        out.pcm_capacity = pcm.size();
        mpgdemux_set_output(&out);
        mpgdemux_set_links(MpegDemuxLinks());
        EXPECT_EQ(0, mpgdemux_init());
        mpg_stream_kind = kind;
    }
    ~Session() {
        mpgdemux_close();
        mpgdemux_set_output(nullptr);
    }
};

TEST(DemuxCodes, ABlockAbove4096BytesIsRefusedUnread) {
    const auto es = mpeg_fixtures::fixture("es");
    Session s(2);
    EXPECT_EQ(-1, mpgdemux_feed(es.bytes.data(), 4097));
    EXPECT_EQ(0, mpg_video_bytes);
    EXPECT_EQ(0, mpgdemux_feed(es.bytes.data(), 4096));
    EXPECT_EQ(4096, mpg_video_bytes);
}

TEST(DemuxCodes, UnknownKindsAndAMapKindWithoutMapIdAreRefused) {
    const uint8_t block[188] = {0x47};
    for (int kind : {-1, 7, 8, 9, 12, 99}) {
        Session s(kind);
        EXPECT_EQ(-1, mpgdemux_feed(block, sizeof block)) << kind;
    }
    Session s(4);
    EXPECT_EQ(-1, mpgdemux_feed(block, sizeof block));
}

TEST(DemuxCodes, LostTransportSyncIsReportedAfterTheEarlierPacketsWereTaken) {
    const auto ts = mpeg_fixtures::fixture("ts");
    ASSERT_GT(ts.bytes.size(), 188u * 8);
    Session s(3);
    std::vector<uint8_t> block(ts.bytes.begin(), ts.bytes.begin() + 188 * 5);
    block.insert(block.end(), 188, 0x00);  // a packet without its sync byte
    EXPECT_EQ(-2, mpgdemux_feed(block.data(), int(block.size())));
    // the association and map tables at the start were read: the ids are known
    EXPECT_EQ(0, mpg_stream_kind);
    EXPECT_GT(mpg_video_pid, 0);
    EXPECT_GT(mpg_audio_pid, 0);
    // the next block finds the packets again
    EXPECT_EQ(0, mpgdemux_feed(ts.bytes.data() + 188 * 6 + 17, 3760));
}

TEST(DemuxCodes, TheProgramStreamEndCodeEndsTheBlock) {
    const uint8_t block[] = {0, 0, 1, 0xBA, 0x21, 0, 1, 0, 1, 0x80, 0, 1,  // MPEG-1 pack header
                             0, 0, 1, 0xB9, 0, 0, 1, 0xE0};
    Session s(6);
    EXPECT_EQ(1, mpgdemux_feed(block, sizeof block));
    // the same with the end code split between two blocks
    Session t(6);
    EXPECT_EQ(0, mpgdemux_feed(block, 14));
    EXPECT_EQ(1, mpgdemux_feed(block + 14, sizeof block - 14));
}

TEST(DemuxCodes, AMapIdGivenBeforehandFindsTheStreams) {
    const auto ts = mpeg_fixtures::fixture("ts");
    Session s(4);
    mpg_pmt_pid = 0x1000;  // ffmpeg's first program map
    for (size_t pos = 0; pos + 3760 <= ts.bytes.size() && mpg_stream_kind != 0; pos += 3760)
        EXPECT_EQ(0, mpgdemux_feed(ts.bytes.data() + pos, 3760));
    EXPECT_EQ(0, mpg_stream_kind);
    EXPECT_GT(mpg_video_pid, 0);
}

TEST(DemuxCodes, WithoutAPictureSinkOnlyTheBlocksLastPictureIsKept) {
    const auto es = mpeg_fixtures::fixture("es");
    Session s(2);
    int blocks_with_pictures = 0, pictures = 0;
    for (size_t pos = 0; pos < es.bytes.size(); pos += 4096) {
        s.out.pictures = 0;
        mpg_frame_bytes = 0;  // as the program does before every feed
        mpgdemux_feed(es.bytes.data() + pos, int(std::min<size_t>(4096, es.bytes.size() - pos)));
        EXPECT_EQ(s.out.pictures > 0, mpg_frame_bytes > 0);
        if (s.out.pictures > 0) {
            ++blocks_with_pictures;
            EXPECT_EQ(int(((352 * 3 + 3) & ~3) * 288), mpg_frame_bytes);
            EXPECT_EQ(352, s.out.frame.width);
        }
        pictures += s.out.pictures;
    }
    EXPECT_GT(pictures, blocks_with_pictures);  // several pictures in some block: only the last survives
}

TEST(DemuxCodes, PicturesLargerThanTheBufferAreSkippedCountedAndTheirSizeGiven) {
    // a 1920 x 1088 sequence (libmpeg2's coded size for 1080 rows) into a buffer for 1920 x 1080
    std::string path;
    const auto tall = mpeg_fixtures::file(
        "-f lavfi -i testsrc=size=1920x1088:rate=25 -t 0.2 -c:v mpeg2video -f mpeg2video", "tall.m2v", &path);
    ASSERT_FALSE(tall.empty());
    demux_harness::Options o;
    o.frame_capacity = size_t((1920 * 3 + 3) & ~3) * 1080;
    const auto r = demux_harness::run(tall, 2, Split::k4096, o);
    EXPECT_TRUE(r.picture_hashes.empty());
    EXPECT_EQ(5, r.pictures_too_big);

    // a size change upwards part-way: the small pictures come out, the large ones are counted
    const auto small = mpeg_fixtures::file(
        "-f lavfi -i testsrc=size=352x288:rate=25 -t 0.2 -c:v mpeg2video -f mpeg2video", "small.m2v");
    const auto large = mpeg_fixtures::file(
        "-f lavfi -i testsrc=size=720x576:rate=25 -t 0.2 -c:v mpeg2video -f mpeg2video", "large.m2v");
    std::vector<uint8_t> both(small);
    both.insert(both.end(), large.begin(), large.end());
    o.frame_capacity = size_t((352 * 3 + 3) & ~3) * 288;
    const auto grown = demux_harness::run(both, 2, Split::k4096, o);
    EXPECT_EQ(5u, grown.picture_hashes.size());
    EXPECT_EQ(5, grown.pictures_too_big);
}

TEST(DemuxCodes, TheDumpStartsAtTheFirstSequenceHeader) {
    const auto es = mpeg_fixtures::fixture("es");
    // begin in the middle of the first group of pictures
    const std::vector<uint8_t> cut(es.bytes.begin() + 5000, es.bytes.end());
    size_t first = 0;
    for (size_t i = 0; i + 4 <= cut.size(); ++i)
        if (cut[i] == 0 && cut[i + 1] == 0 && cut[i + 2] == 1 && cut[i + 3] == 0xB3) {
            first = i;
            break;
        }
    ASSERT_GT(first, 0u);
    const std::string dump = media_test::fresh_path("dump.m2v");
    {
        Session s(2);
        ASSERT_TRUE(mpgdemux_set_es_dump_file(dump.c_str()));
        mpg_es_dump = true;
        for (size_t pos = 0; pos < cut.size(); pos += 1000)
            mpgdemux_feed(cut.data() + pos, int(std::min<size_t>(1000, cut.size() - pos)));
        mpg_es_dump = false;
        mpgdemux_set_es_dump_file(nullptr);
        EXPECT_TRUE(mpg_seq_seen);
    }
    const auto written = media_test::read_file(dump);
    EXPECT_EQ(std::vector<uint8_t>(cut.begin() + std::ptrdiff_t(first), cut.end()), written);
}

// ---- where MPEG sound goes ----

TEST(DemuxRouting, ProgramStreamsSendMpeg1SoundOutsideAndMpeg2Layer3ToOurDecoder) {
    demux_harness::Options o;
    o.width = 352;
    o.height = 288;
    o.recording_doubles = true;
    const auto vcd = mpeg_fixtures::fixture("vcd");  // MPEG-1 layer II
    const auto r1 = demux_harness::run(vcd.bytes, 6, Split::k3760, o);
    EXPECT_GT(r1.mp3_play_calls, 10);
    EXPECT_GT(r1.mp3_frames, 70);
    EXPECT_TRUE(r1.pcm.empty());  // the doubles decode nothing

    const auto lsf = mpeg_fixtures::fixture("ps_mp3_22k");  // MPEG-2 layer III
    const auto r2 = demux_harness::run(lsf.bytes, 6, Split::k3760, o);
    EXPECT_EQ(0, r2.mp3_play_calls);
    EXPECT_GT(r2.pcm.size(), 40000u);  // our decoder made the sound
    EXPECT_EQ(22050, r2.rate);

    // MPEG-2 layer II, which our decoder cannot do, goes outside too
    const auto lsf2 = mpeg_fixtures::file(
        "-f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=22050 -t 1 -ac 2 "
        "-c:v mpeg1video -c:a mp2 -b:a 64k -f mpeg",
        "lsf_layer2.mpg");
    const auto r3 = demux_harness::run(lsf2, 6, Split::k3760, o);
    EXPECT_GE(r3.mp3_frames, 19);  // one second of 1152-sample frames at 22.05 kHz
    EXPECT_TRUE(r3.pcm.empty());
}

struct Loose {
    std::vector<uint8_t> pcm = std::vector<uint8_t>(184320);
    MediaOutput out;
    int play_calls = 0, frames = 0, opens = 0;
    std::vector<int16_t> sound;
    Loose() {
        out.pcm = pcm.data();
        out.pcm_capacity = pcm.size();
        out.on_sound = [this](const SoundBlock& b) {
            sound.insert(sound.end(), b.samples, b.samples + size_t(b.frames) * size_t(b.channels));
        };
        MpegDemuxLinks links;
        links.mp3_open = [this](const uint8_t*) { return ++opens, 0; };
        links.mp3_play = [this](const Mp3FrameRecord*, int count, uint8_t*, int) { return ++play_calls, frames += count, 0; };
        mpgdemux_set_output(&out);
        mpgdemux_set_links(links);
        mpgdemux_audio_reset();
    }
    ~Loose() {
        mpgdemux_audio_reset();
        mpgdemux_set_output(nullptr);
        mpgdemux_set_links(MpegDemuxLinks());
    }
    // like a container's sound chunks: pieces of 2000 bytes, each block handed on
    void decode(const std::vector<uint8_t>& stream) {
        for (size_t pos = 0; pos < stream.size(); pos += 2000) {
            mpgdemux_decode_audio(stream.data() + pos, int(std::min<size_t>(2000, stream.size() - pos)), 0);
            out.flush_sound();
        }
    }
};

TEST(DemuxRouting, DecodeAudioSendsEveryLayer3ToOurDecoderAndLayers1And2Outside) {
    struct Case {
        const char* name;
        std::vector<uint8_t> stream;
        bool ours;
    };
    const auto signal = mpa_fixtures::test_signal(44100, 2, 1.0);
    std::vector<Case> cases;
    cases.push_back({"MPEG-1 layer III", mpa_fixtures::lame_encode(signal, 44100, 2, "-b 128", "loose_m1"), true});
    cases.push_back({"MPEG-2 layer III",
                     mpa_fixtures::lame_encode(mpa_fixtures::test_signal(22050, 2, 1.0), 22050, 2, "-b 64", "loose_m2"),
                     true});
    cases.push_back({"MPEG-1 layer II",
                     mpeg_fixtures::file("-f lavfi -i sine=frequency=1000:sample_rate=44100 -t 1 -c:a mp2 -f mp2",
                                                "loose_l2.mp2"),
                     false});
    cases.push_back({"MPEG-2 layer II",
                     mpeg_fixtures::file("-f lavfi -i sine=frequency=1000:sample_rate=22050 -t 1 -c:a mp2 -f mp2",
                                                "loose_l2_lsf.mp2"),
                     false});
    for (const Case& c : cases) {
        ASSERT_FALSE(c.stream.empty()) << c.name;
        Loose l;
        l.decode(c.stream);
        if (c.ours) {
            EXPECT_EQ(0, l.play_calls) << c.name;
            const auto reference = mpa_reference::decode_with_mpadec(c.stream);
            EXPECT_EQ(reference.samples, l.sound) << c.name;
        } else {
            EXPECT_EQ(1, l.opens) << c.name;
            EXPECT_GE(l.frames, 18) << c.name;
            EXPECT_TRUE(l.sound.empty()) << c.name;
        }
    }
}

TEST(DemuxRouting, SoundWaitsFor1200BytesThen400) {
    const auto mp2 = mpeg_fixtures::fixture("mp2");  // 627-byte frames
    ASSERT_GT(mp2.bytes.size(), 10000u);
    Session s(10);
    std::vector<int> plays;
    MpegDemuxLinks links;
    links.mp3_play = [&plays](const Mp3FrameRecord*, int count, uint8_t*, int) { return plays.push_back(count), 0; };
    mpgdemux_set_links(links);
    for (size_t pos = 0; pos < 3000; pos += 300) {
        mpgdemux_feed(mp2.bytes.data() + pos, 300);
        const size_t fed = pos + 300;
        if (fed < 1200) {
            EXPECT_TRUE(plays.empty()) << fed;  // gathered until 1200 bytes are there
        }
    }
    ASSERT_FALSE(plays.empty());
    int frames = 0;
    for (int n : plays) frames += n;
    EXPECT_GE(frames, 3000 / 627 - 1);
}

TEST(DemuxRouting, AFullFrameTableIsDecodedAndANewOneBegun) {
    // 8 kbit/s MPEG-2 layer II at 24 kHz: 48-byte frames, some 85 of them in a 4096-byte block
    std::string path;
    const auto stream = mpeg_fixtures::file(
        "-f lavfi -i sine=frequency=1000:sample_rate=24000 -t 2 -ac 1 -c:a mp2 -b:a 8k -f mp2", "tiny.mp2", &path);
    ASSERT_FALSE(stream.empty());
    demux_harness::Options o;
    o.recording_doubles = true;
    const auto counted = demux_harness::run(stream, 10, Split::k4096, o);
    const size_t frames = stream.size() / 48;
    EXPECT_GE(counted.mp3_play_calls, int(frames / 32));
    EXPECT_GE(counted.mp3_frames, int(frames) - 2);
    o.recording_doubles = false;
    const auto decoded = demux_harness::run(stream, 10, Split::k4096, o);
    const long theirs = long(media_check::decode_sound(path).size());
    EXPECT_LE(std::labs(long(decoded.pcm.size()) - theirs), 1152);
}

TEST(DemuxRouting, DecodeAudioStopsWhenTheBlockIsFullAndNothingTakesIt) {
    const auto stream = mpa_fixtures::lame_encode(mpa_fixtures::test_signal(44100, 2, 3.0), 44100, 2, "-b 128", "full");
    std::vector<uint8_t> pcm(10000);
    MediaOutput out;
    out.pcm = pcm.data();
    out.pcm_capacity = pcm.size();
    mpgdemux_set_output(&out);
    mpgdemux_set_links(MpegDemuxLinks());
    mpgdemux_audio_reset();
    EXPECT_EQ(0, mpgdemux_decode_audio(stream.data(), int(stream.size()), 0));
    EXPECT_LE(out.pcm_length, out.pcm_capacity);
    EXPECT_GT(out.pcm_length, 9000u);
    // the flag keeps what is there
    const size_t before = out.pcm_length;
    mpgdemux_decode_audio(stream.data(), 100, MPGDEMUX_APPEND);
    EXPECT_GE(out.pcm_length, before);
    mpgdemux_audio_reset();
    mpgdemux_set_output(nullptr);
}

}  // namespace

// MPEG-1 layer II, 384 kbit/s, 44.1 kHz, joint stereo: 144 x 384000 / 44100 = 1253 bytes, 1254 with
// padding; stereo. A frame whose body holds the stream's sync pattern with another bit rate and mode extension
// (FF FD 93 24: 160 kbit/s, which the stream's own header check lets through, as the bit rate may
// change) is cut only where its header says it ends, also when the piece that brings it ends between
// that pattern and the frame's end (as a program stream's packets do). Cut at the pattern, its tail
// went to the decoder as a frame of its own: ~30 ms of full-scale noise, the sound 1152 samples longer.
TEST(DemuxRouting, AFrameIsCutWhereItsHeaderSaysNotAtASyncPatternInItsBody) {
    const uint8_t header[2][4] = {{0xFF, 0xFD, 0xE0, 0x04}, {0xFF, 0xFD, 0xE2, 0x04}};
    const int sizes[2] = {1253, 1254};
    std::vector<uint8_t> stream;
    std::vector<int> want;
    for (int i = 0; i < 8; ++i) {
        const int padded = i % 3 != 0;
        const size_t at = stream.size();
        stream.insert(stream.end(), header[padded], header[padded] + 4);
        stream.resize(at + size_t(sizes[padded]), uint8_t(0x11 * (i + 1)));
        want.push_back(sizes[padded]);
        if (i == 4) {
            const uint8_t pattern[4] = {0xFF, 0xFD, 0x93, 0x24};
            std::memcpy(stream.data() + at + 1109, pattern, 4);
        }
    }
    for (bool gather : {true, false}) {
        SCOPED_TRACE(gather ? "gathering" : "not gathering");
        // Pieces: up to 1200 bytes into frame 4 (past the pattern at 1109), then the rest in 700s.
        size_t frame4 = 0;
        for (int i = 0; i < 4; ++i) frame4 += size_t(want[size_t(i)]);
        std::vector<size_t> cuts = {frame4 + 1200};
        while (cuts.back() < stream.size()) cuts.push_back(std::min(stream.size(), cuts.back() + 700));
        mpeg::AudioFramer framer(gather);
        std::vector<int> got;
        const auto on_frame = [&got](const uint8_t*, int length, const mpa::FrameHeader&) { got.push_back(length); };
        size_t from = 0;
        for (size_t cut : cuts) {
            framer.push(stream.data() + from, cut - from, on_frame, nullptr);
            from = cut;
        }
        framer.flush(on_frame);
        EXPECT_EQ(want, got);
    }
}
