// Both ADPCM decoders against libavcodec's decoders on packets from libavcodec's encoders (and, for
// the code sizes its SWF encoder does not write, from a small encoder here), and the limits the
// decoders keep on damaged or oversized input.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "media/adpcm/adpcm.h"
#include "media/adpcm/bit_reader.h"
#include "media/adpcm/tests/av_adpcm.h"

namespace {

using av_adpcm::Packet;

// --- IMA ADPCM (AMV) -------------------------------------------------------------------------------

TEST(ImaAdpcm, MatchesLibavcodecOnItsAmvBlocks) {
    for (double noise : {0.0, 0.7}) {
        SCOPED_TRACE(noise);
        const auto pcm = av_adpcm::signal(22050 * 2, 1, 22050, noise);
        const auto packets = av_adpcm::encode("adpcm_ima_amv", pcm, 22050, 1);
        ASSERT_GT(packets.size(), 10u);
        av_adpcm::Decoder reference("adpcm_ima_amv", 22050, 1);
        ASSERT_TRUE(reference.ok());
        ima_adpcm_reset();
        size_t samples = 0;
        for (const Packet& p : packets) {
            const auto expected = reference.decode(p);
            std::vector<int16_t> ours((p.size() - 8) * 2);
            const int n = ima_adpcm_decode(p.data(), p.size(), 1, ours.data(), ours.size());
            ASSERT_EQ(int(p.size() - 8) * 2, n);
            ASSERT_EQ(expected.size(), size_t(n));
            ASSERT_EQ(expected, ours);
            samples += size_t(n);
        }
        EXPECT_GE(samples, pcm.size() - 2048);
    }
}

Packet ima_block(int16_t sample, int16_t index, std::vector<uint8_t> codes) {
    Packet b = {uint8_t(sample), uint8_t(uint16_t(sample) >> 8), uint8_t(index), uint8_t(uint16_t(index) >> 8), 0, 0, 0, 0};
    b.insert(b.end(), codes.begin(), codes.end());
    return b;
}

TEST(ImaAdpcm, BlocksWithoutCodesGiveNothing) {
    int16_t out[16];
    for (size_t length : {0u, 1u, 7u, 8u}) {
        const Packet b = ima_block(100, 10, {0x77});
        EXPECT_EQ(0, ima_adpcm_decode(b.data(), length, 1, out, 16)) << length;
    }
    const Packet b = ima_block(100, 10, {0x77});
    EXPECT_EQ(0, ima_adpcm_decode(b.data(), b.size(), 2, out, 16)) << "stereo is not decoded";
    EXPECT_EQ(2, ima_adpcm_decode(b.data(), b.size(), 1, out, 16));
}

TEST(ImaAdpcm, HeaderIndexOutOfRangeIsClamped) {
    // libavcodec refuses an index above 88, so the clamped block is compared with the same block
    // carrying 88 (and 0 for a negative index) as libavcodec decodes it.
    const std::vector<uint8_t> codes = {0x7F, 0x3A, 0xF0, 0x81, 0x77, 0x77, 0x08, 0x19};
    const struct {
        int16_t stored, meant;
    } cases[] = {{200, 88}, {32767, 88}, {-5, 0}, {-32768, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        av_adpcm::Decoder reference("adpcm_ima_amv", 22050, 1);
        Packet meant = ima_block(-1234, c.meant, codes);
        meant[4] = uint8_t(codes.size() * 2);  // the sample count libavcodec reads from the header
        const auto expected = reference.decode(meant);
        ASSERT_EQ(codes.size() * 2, expected.size());
        const Packet stored = ima_block(-1234, c.stored, codes);
        std::vector<int16_t> ours(codes.size() * 2);
        ASSERT_EQ(int(ours.size()), ima_adpcm_decode(stored.data(), stored.size(), 1, ours.data(), ours.size()));
        EXPECT_EQ(expected, ours);
    }
}

TEST(ImaAdpcm, LongRunsOfLargeCodesStayInRange) {
    std::vector<uint8_t> up(4000, 0x77), down(4000, 0xFF);
    std::vector<int16_t> out(8000);
    const Packet a = ima_block(0, 88, up);
    ASSERT_EQ(8000, ima_adpcm_decode(a.data(), a.size(), 1, out.data(), out.size()));
    EXPECT_EQ(32767, out.back());
    const Packet b = ima_block(0, 88, down);
    ASSERT_EQ(8000, ima_adpcm_decode(b.data(), b.size(), 1, out.data(), out.size()));
    EXPECT_EQ(-32768, out.back());
}

// --- SWF ADPCM ---------------------------------------------------------------------------------------

// Decodes a stream packet by packet with ours and libavcodec's, which must agree sample for sample.
void expect_same_as_libavcodec(const std::vector<Packet>& packets, int rate, int channels) {
    av_adpcm::Decoder reference("adpcm_swf", rate, channels);
    ASSERT_TRUE(reference.ok());
    swf_adpcm_reset();
    for (size_t i = 0; i < packets.size(); ++i) {
        SCOPED_TRACE(i);
        const Packet& p = packets[i];
        const auto expected = reference.decode(p);
        std::vector<int16_t> ours(p.size() * 8);
        const uint64_t r = swf_adpcm_decode(p.data(), p.size(), channels, ours.data(), ours.size());
        const int frames = swf_adpcm_samples(r);
        ASSERT_EQ(expected.size(), size_t(frames) * size_t(channels));
        ours.resize(expected.size());
        ASSERT_EQ(expected, ours);
    }
}

TEST(SwfAdpcm, MatchesLibavcodecOnItsFourBitPackets) {
    for (int rate : {11025, 22050, 44100})
        for (int channels : {1, 2}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " channels");
            const auto pcm = av_adpcm::signal(rate, channels, rate, 0.3);
            const auto packets = av_adpcm::encode("adpcm_swf", pcm, rate, channels);
            ASSERT_FALSE(packets.empty());
            EXPECT_EQ(2, packets[0][0] >> 6) << "4-bit codes";
            expect_same_as_libavcodec(packets, rate, channels);
        }
}

// The SWF ADPCM encoder side for any code size: for each code the magnitude bits that bring the
// prediction nearest, mirrored through the decoding rule to keep encoder and decoder in step.
class SwfEncoder {
public:
    SwfEncoder(int bits, int channels) : bits_(bits), channels_(channels) {}

    Packet encode(const std::vector<int16_t>& pcm, int frames_per_block) {
        bytes_.clear();
        nbits_ = 0;
        put(uint32_t(bits_ - 2), 2);
        const int frames = int(pcm.size()) / channels_;
        for (int i = 0; i < frames; ++i) {
            const bool head = i % frames_per_block == 0;
            for (int c = 0; c < channels_; ++c) {
                const int x = pcm[size_t(i) * size_t(channels_) + size_t(c)];
                if (head) {
                    predictor_[c] = x;
                    put(uint32_t(uint16_t(x)), 16);
                    put(uint32_t(index_[c]), 6);
                } else {
                    put(code_for(c, x), bits_);
                }
            }
        }
        return bytes_;
    }

private:
    uint32_t code_for(int c, int x) {
        const int8_t* table = adpcm::swf_index_table(bits_);
        const uint32_t sign = 1u << (bits_ - 1);
        int diff = x - predictor_[c];
        uint32_t code = diff < 0 ? sign : 0;
        if (diff < 0) diff = -diff;
        int step = adpcm::kStepTable[index_[c]];
        int vpdiff = 0;
        for (uint32_t k = 1u << (bits_ - 2); k; k >>= 1) {
            if (diff >= step) {
                code |= k;
                diff -= step;
                vpdiff += step;
            }
            step >>= 1;
        }
        vpdiff += step;
        int p = code & sign ? predictor_[c] - vpdiff : predictor_[c] + vpdiff;
        predictor_[c] = p < -32768 ? -32768 : p > 32767 ? 32767 : p;
        int idx = index_[c] + table[code & ~sign];
        index_[c] = idx < 0 ? 0 : idx > 88 ? 88 : idx;
        return code;
    }

    void put(uint32_t value, int n) {
        for (int i = n - 1; i >= 0; --i) {
            if (nbits_ % 8 == 0) bytes_.push_back(0);
            if (value >> i & 1) bytes_.back() |= uint8_t(0x80 >> (nbits_ % 8));
            ++nbits_;
        }
    }

    int bits_, channels_;
    int predictor_[2] = {0, 0};
    int index_[2] = {0, 0};
    Packet bytes_;
    size_t nbits_ = 0;
};

TEST(SwfAdpcm, MatchesLibavcodecForEveryCodeSize) {
    for (int bits : {2, 3, 4, 5})
        for (int channels : {1, 2}) {
            SCOPED_TRACE(testing::Message() << bits << "-bit codes, " << channels << " channels");
            SwfEncoder encoder(bits, channels);
            std::vector<Packet> packets;
            const auto pcm = av_adpcm::signal(22050, channels, 22050, 0.2, unsigned(bits));
            // A packet of two whole blocks and a part block, then short packets of odd lengths.
            packets.push_back(encoder.encode({pcm.begin(), pcm.begin() + 9000 * channels}, 4096));
            for (int frames : {1, 2, 7, 100, 333})
                packets.push_back(encoder.encode({pcm.begin(), pcm.begin() + frames * channels}, 4096));
            expect_same_as_libavcodec(packets, 22050, channels);
        }
}

TEST(SwfAdpcm, PacketShorterThanOneHeaderGivesNothing) {
    std::vector<int16_t> out(64);
    const struct {
        int channels;
        size_t bytes;
        int frames;
    } cases[] = {
        {1, 0, 0}, {1, 1, 0}, {1, 2, 0}, {1, 3, 1},  // 2 + 22 bits need 3 bytes
        {2, 5, 0}, {2, 6, 1},                        // 2 + 44 bits need 6 bytes
    };
    const Packet data(8, 0x5A);
    for (const auto& c : cases) {
        swf_adpcm_reset();
        EXPECT_EQ(c.frames, swf_adpcm_samples(swf_adpcm_decode(data.data(), c.bytes, c.channels, out.data(), out.size())))
            << c.channels << " channels, " << c.bytes << " bytes";
    }
    EXPECT_EQ(0u, swf_adpcm_decode(data.data(), data.size(), 3, out.data(), out.size()));
}

TEST(SwfAdpcm, ReportsTheBitPositionInTheLastByte) {
    // 4-bit mono: 2 + 22 bits, then codes of 4 bits. 5 bytes = 40 bits: header + 4 codes = 40.
    const Packet data = {0x80, 0x00, 0x00, 0x12, 0x34, 0x56};
    std::vector<int16_t> out(16);
    swf_adpcm_reset();
    uint64_t r = swf_adpcm_decode(data.data(), 5, 1, out.data(), out.size());
    EXPECT_EQ(5, swf_adpcm_samples(r));
    EXPECT_EQ(0u, r >> 32);
    // 3-bit codes: 2 + 22 + 3 x 5 = 39 bits read of 40.
    const Packet three = {0x40, 0x00, 0x00, 0x12, 0x34};
    r = swf_adpcm_decode(three.data(), three.size(), 1, out.data(), out.size());
    EXPECT_EQ(6, swf_adpcm_samples(r));
    EXPECT_EQ(7u, r >> 32);
}

// --- Capacity ------------------------------------------------------------------------------------------

TEST(AdpcmCapacity, NeverWritesPastTheCapacity) {
    const auto mono = av_adpcm::signal(22050, 1, 22050, 0.3);
    const auto stereo = av_adpcm::signal(22050, 2, 22050, 0.3);
    const Packet ima = av_adpcm::encode("adpcm_ima_amv", mono, 22050, 1).at(0);
    const Packet swf1 = av_adpcm::encode("adpcm_swf", mono, 22050, 1).at(0);
    const Packet swf2 = av_adpcm::encode("adpcm_swf", stereo, 22050, 2).at(0);
    constexpr int16_t kGuard = 0x5A5A;
    for (size_t capacity : {size_t(0), size_t(1), size_t(2), size_t(3), size_t(999), size_t(4095), size_t(4096)}) {
        SCOPED_TRACE(capacity);
        std::vector<int16_t> out(capacity + 64, kGuard);
        const int ima_n = ima_adpcm_decode(ima.data(), ima.size(), 1, out.data(), capacity);
        EXPECT_EQ(std::min(capacity, (ima.size() - 8) * 2), size_t(ima_n));
        for (size_t i = capacity; i < out.size(); ++i) ASSERT_EQ(kGuard, out[i]) << "IMA wrote sample " << i;

        std::fill(out.begin(), out.end(), kGuard);
        const int f1 = swf_adpcm_samples(swf_adpcm_decode(swf1.data(), swf1.size(), 1, out.data(), capacity));
        EXPECT_EQ(std::min<size_t>(capacity, 4096), size_t(f1));
        for (size_t i = capacity; i < out.size(); ++i) ASSERT_EQ(kGuard, out[i]) << "SWF mono wrote sample " << i;

        std::fill(out.begin(), out.end(), kGuard);
        const int f2 = swf_adpcm_samples(swf_adpcm_decode(swf2.data(), swf2.size(), 2, out.data(), capacity));
        EXPECT_EQ(std::min<size_t>(capacity / 2, 4096), size_t(f2)) << "whole frames only";
        for (size_t i = size_t(f2) * 2; i < out.size(); ++i) ASSERT_EQ(kGuard, out[i]) << "SWF stereo wrote " << i;
    }
}

// --- Bit reader ----------------------------------------------------------------------------------------

TEST(BitReader, ReadsMostSignificantBitFirstAndCountsBytes) {
    const uint8_t data[] = {0b10110000, 0xFF, 0x01};
    BitReader r = bit_reader(data, sizeof data);
    EXPECT_EQ(1, bit_read(&r));
    EXPECT_EQ(0, bit_read(&r));
    EXPECT_EQ(1, bit_read(&r));
    EXPECT_EQ(0u, bytes_read(r));
    EXPECT_EQ(0b10000u, bit_read_bits(&r, 5));
    EXPECT_EQ(1u, bytes_read(r));
    EXPECT_EQ(-1, bit_read_signed(&r, 4));
    EXPECT_EQ(0xF0u, bit_read_bits(&r, 8));
    EXPECT_EQ(0x1u, bit_read_bits(&r, 4));
    EXPECT_EQ(0u, bits_left(r));
    EXPECT_EQ(0, bit_read(&r)) << "past the end reads zeros";
    EXPECT_EQ(0u, bit_read_bits(&r, 32));
}

}  // namespace
