// Damaged and hostile input under the sanitizers: every case must end cleanly, without a read or write
// outside a buffer and without hanging; the ones with a defined outcome check it.
#include <gtest/gtest.h>
#include <cstring>
#include <random>
#include "media/mpeg/mpeg_headers.h"
#include "media/mpeg/tests/demux_harness.h"
#include "media/mpeg/tests/mpeg_fixtures.h"
#include "media/mpeg/tests/test_tag.h"
#include "tests/support/media_check.h"

namespace {

using demux_harness::Split;

demux_harness::Options options_for(const mpeg_fixtures::Fixture& f) {
    demux_harness::Options o;
    o.width = f.width ? f.width : 352;
    o.height = f.height ? f.height : 288;
    return o;
}

void expect_clean(const demux_harness::Result& r, const char* what) {
    for (int code : r.feed_results) EXPECT_TRUE(code == 0 || code == 1 || code == -2) << what << ": " << code;
}

// Offsets of 00 00 01 xx start codes with the given id range.
std::vector<size_t> start_codes(const std::vector<uint8_t>& b, uint8_t low, uint8_t high) {
    std::vector<size_t> at;
    for (size_t i = 0; i + 6 <= b.size(); ++i)
        if (b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1 && b[i + 3] >= low && b[i + 3] <= high) at.push_back(i);
    return at;
}

TEST(DemuxHostile, TruncationAtManyOffsets) {
    for (const char* name : {"ts", "vcd", "dvd", "es", "ps_mp3_22k", "mp2", "ac3"}) {
        const auto f = mpeg_fixtures::fixture(name);
        ASSERT_FALSE(f.bytes.empty()) << name;
        const auto o = options_for(f);
        std::vector<size_t> cuts = {1, 3, 4, 5, 11, 13, 100, 187, 188, 189, 500, 2047, 2324, 3000};
        for (int i = 1; i < 25; ++i) cuts.push_back(f.bytes.size() * size_t(i) / 25);
        for (size_t cut : cuts) {
            if (cut >= f.bytes.size()) continue;
            const std::vector<uint8_t> part(f.bytes.begin(), f.bytes.begin() + std::ptrdiff_t(cut));
            expect_clean(demux_harness::run(part, f.kind, Split::kRandom, o), name);
        }
    }
}

TEST(DemuxHostile, BogusPesLengthsAndTooShortPackets) {
    const auto vcd = mpeg_fixtures::fixture("vcd");
    const auto o = options_for(vcd);
    std::mt19937 random(5);
    const auto pes = start_codes(vcd.bytes, 0xBB, 0xFF);
    ASSERT_GT(pes.size(), 20u);
    for (uint16_t length : {0, 1, 2, 3, 6, 8, 0x7FFF, 0xFFFF}) {
        auto damaged = vcd.bytes;
        for (size_t i = 0; i < pes.size(); i += 3) {
            damaged[pes[i] + 4] = uint8_t(length >> 8);
            damaged[pes[i] + 5] = uint8_t(length);
        }
        expect_clean(demux_harness::run(damaged, 6, Split::k4096, o), "PES length");
    }
    for (int round = 0; round < 10; ++round) {
        auto damaged = vcd.bytes;
        for (size_t at : pes)
            if (random() % 4 == 0) damaged[at + 4 + random() % 6] = uint8_t(random());
        expect_clean(demux_harness::run(damaged, 6, Split::kRandom, o), "PES header bytes");
    }
    // zero-length, too-short and header-longer-than-packet PES around a real stream
    const uint8_t packets[] = {0, 0, 1, 0xE0, 0, 0,                      // zero length
                               0, 0, 1, 0xC0, 0, 2, 0xFF, 0xFF,          // stuffing only
                               0, 0, 1, 0xBD, 0, 3, 0x81, 0x80, 0xFF,    // MPEG-2 header claiming 255 bytes
                               0, 0, 1, 0xE0, 0, 1, 0x0F,                // MPEG-1, no time stamps
                               0, 0, 1, 0xBA, 0xFF, 0xFF, 0, 0, 1, 0xBB, 0xFF};  // odd pack header
    std::vector<uint8_t> mixed(packets, packets + sizeof packets);
    mixed.insert(mixed.end(), vcd.bytes.begin(), vcd.bytes.end());
    const auto r = demux_harness::run(mixed, 6, Split::k3760, o);
    expect_clean(r, "short packets");
    const auto clean = demux_harness::run(vcd.bytes, 6, Split::k3760, o);
    EXPECT_EQ(clean.picture_hashes.size(), r.picture_hashes.size());
}

TEST(DemuxHostile, BogusSectionPointerAndAdaptationLengths) {
    const auto ts = mpeg_fixtures::fixture("ts");
    const auto o = options_for(ts);
    std::mt19937 random(11);
    for (int variant = 0; variant < 6; ++variant) {
        auto damaged = ts.bytes;
        for (size_t p = 0; p + 188 <= damaged.size(); p += 188) {
            uint8_t* packet = &damaged[p];
            mpeg::TsPacket t;
            mpeg::parse_ts_packet(packet, &t);
            const bool table = t.pid == 0 || t.pid == 0x1000;
            switch (variant) {
                case 0:  // section length beyond the packet
                    if (table && t.unit_start) {
                        packet[t.payload_offset + 2] |= 0x0F;
                        packet[t.payload_offset + 3] = 0xFF;
                    }
                    break;
                case 1:  // pointer field past the packet
                    if (table && t.unit_start) packet[t.payload_offset] = uint8_t(180 + random() % 76);
                    break;
                case 2:  // adaptation field longer than the packet
                    if (random() % 5 == 0) {
                        packet[3] |= 0x30;
                        packet[4] = uint8_t(183 + random() % 73);
                    }
                    break;
                case 3:  // program info and stream info lengths out of range
                    if (t.pid == 0x1000 && t.unit_start) {
                        packet[t.payload_offset + 11] |= 0x0F;
                        packet[t.payload_offset + 12] = uint8_t(random());
                    }
                    break;
                case 4:  // audio PES lengths and header lengths wrong
                    if (t.unit_start && !table && t.payload_offset + 9 < 188) {
                        packet[t.payload_offset + 4] = uint8_t(random());
                        packet[t.payload_offset + 5] = uint8_t(random());
                        packet[t.payload_offset + 8] = uint8_t(random());
                    }
                    break;
                default:  // random bytes anywhere but the sync byte
                    for (int k = 0; k < 3; ++k) packet[1 + random() % 187] = uint8_t(random());
                    break;
            }
        }
        expect_clean(demux_harness::run(damaged, 3, Split::kRandom, o), "transport");
        expect_clean(demux_harness::run(damaged, 0, Split::k4096, o), "transport, ids unknown");
    }
}

TEST(DemuxHostile, GarbageBetweenPacksLosesNothing) {
    const auto vcd = mpeg_fixtures::fixture("vcd");
    const auto o = options_for(vcd);
    std::mt19937 random(17);
    std::vector<uint8_t> noisy;
    const auto packs = start_codes(vcd.bytes, 0xBA, 0xBA);
    for (size_t i = 0; i < packs.size(); ++i) {
        const size_t end = i + 1 < packs.size() ? packs[i + 1] : vcd.bytes.size();
        noisy.insert(noisy.end(), vcd.bytes.begin() + std::ptrdiff_t(packs[i]), vcd.bytes.begin() + std::ptrdiff_t(end));
        const int garbage = int(random() % 40);
        for (int k = 0; k < garbage; ++k) noisy.push_back(uint8_t(0x20 + random() % 0x60));  // no 00 00 01
    }
    const auto clean = demux_harness::run(vcd.bytes, 6, Split::k4096, o);
    const auto r = demux_harness::run(noisy, 6, Split::kRandom, o);
    EXPECT_EQ(clean.picture_hashes, r.picture_hashes);
    EXPECT_TRUE(clean.pcm == r.pcm);
}

TEST(DemuxHostile, LargestAc3FramesRawAndInAProgramStream) {
    std::string raw_path, vob_path;
    const auto raw = mpeg_fixtures::file(
        "-f lavfi -i sine=frequency=1000:sample_rate=32000 -t 1 -ac 2 -c:a ac3 -b:a 640k -f ac3", "big.ac3", &raw_path);
    const auto vob = mpeg_fixtures::file(
        "-f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=32000 -t 1 -ac 2 "
        "-c:v mpeg2video -c:a ac3 -b:a 640k -f vob",
        "big.vob", &vob_path);
    ASSERT_FALSE(raw.empty());
    ASSERT_FALSE(vob.empty());
    mpeg::Ac3Header h;
    ASSERT_TRUE(mpeg::parse_ac3_header(raw.data(), raw.size(), &h));
    ASSERT_EQ(3840, h.frame_bytes);
    demux_harness::Options o;
    o.width = 352;
    o.height = 288;
    const auto expected_raw = media_check::decode_sound(raw_path).size() / 2;
    for (Split s : {Split::k4096, Split::kRandom}) {
        const auto r = demux_harness::run(raw, 11, s, o);
        EXPECT_EQ(expected_raw, r.pcm.size() / 2);
        const auto p = demux_harness::run(vob, 6, s, o);
        EXPECT_EQ(media_check::decode_sound(vob_path).size() / 2, p.pcm.size() / 2);
        EXPECT_EQ(25u, p.picture_hashes.size());
    }
}

TEST(DemuxHostile, SeveralAudioPacketsInOneBlockAllReachThePcmBlock) {
    // small packs: every 4096-byte block holds several audio PES packets
    std::string path;
    const auto ps = mpeg_fixtures::file(
        "-f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=48000 -t 1 -ac 2 "
        "-c:v mpeg1video -c:a mp2 -b:a 384k -packetsize 600 -f mpeg",
        "small_packs.mpg", &path);
    ASSERT_FALSE(ps.empty());
    demux_harness::Options o;
    o.width = 352;
    o.height = 288;
    o.sinks = false;  // the block's sound is taken after each block, as the program does
    const auto r = demux_harness::run(ps, 6, Split::k4096, o);
    const long theirs = long(media_check::decode_sound(path).size() / 2);
    EXPECT_LE(std::labs(long(r.pcm.size() / 2) - theirs), 1152);
}

TEST(DemuxHostile, AFullPcmBlockNeitherOverflowsNorHangs) {
    const auto f = mpeg_fixtures::fixture("ps_mp3_22k");
    const auto g = mpeg_fixtures::fixture("mp2");
    for (const auto* fixture : {&f, &g}) {
        auto o = options_for(*fixture);
        const auto wide = demux_harness::run(fixture->bytes, fixture->kind, Split::k4096, o);
        o.pcm_capacity = 1000;  // less than one decoded frame
        o.sinks = false;
        const auto cramped = demux_harness::run(fixture->bytes, fixture->kind, Split::k4096, o);
        EXPECT_LT(cramped.pcm.size(), wide.pcm.size());
        o.sinks = true;  // with a sound sink nothing is lost
        const auto drained = demux_harness::run(fixture->bytes, fixture->kind, Split::k4096, o);
        EXPECT_TRUE(wide.pcm == drained.pcm) << fixture->name;
    }
}

TEST(DemuxHostile, RandomBytesInEveryKind) {
    std::mt19937 random(23);
    std::vector<uint8_t> noise(60000);
    for (auto& b : noise) b = uint8_t(random());
    // sprinkle start codes and sync bytes so that the parsers get past their first step
    for (size_t i = 0; i + 4 < noise.size(); i += 97) {
        noise[i] = 0;
        noise[i + 1] = 0;
        noise[i + 2] = 1;
        noise[i + 3] = uint8_t(0xB9 + random() % 0x47);
    }
    for (size_t i = 0; i < noise.size(); i += 188) noise[i] = 0x47;
    demux_harness::Options o;
    o.width = 352;
    o.height = 288;
    for (int kind : {0, 1, 2, 3, 5, 6, 10, 11}) expect_clean(demux_harness::run(noise, kind, Split::kRandom, o), "noise");
}

}  // namespace
