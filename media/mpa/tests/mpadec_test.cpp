// The layer III decoder against libavcodec's float decoder ("mp3float") on lame-encoded files, and its
// statuses and options.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <random>
#include "media/mpa/mpa_header.h"
#include "media/mpa/mpadec.h"
#include "media/mpa/tests/mp3_reference.h"
#include "media/mpa/tests/mpa_fixtures.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"

namespace {

using mpa_reference::decode_with_libav;
using mpa_reference::decode_with_mpadec;

// ISO/IEC 11172-4 limited accuracy: RMS error below 2^-11 / sqrt(12) of full scale (in 16-bit units).
const double kLimitedAccuracy = 32768.0 * std::pow(2.0, -11) / std::sqrt(12.0);

struct Difference {
    double rms = 0;
    double worst_frame_rms = 0;
    double largest = 0;
};

Difference compare(const std::vector<int16_t>& ours, const std::vector<float>& reference, size_t frame_samples) {
    Difference d;
    const size_t n = std::min(ours.size(), reference.size());
    double total = 0, frame = 0;
    for (size_t i = 0; i < n; ++i) {
        const double e = ours[i] - reference[i] * 32768.0;
        total += e * e;
        frame += e * e;
        d.largest = std::max(d.largest, std::fabs(e));
        if ((i + 1) % frame_samples == 0 || i + 1 == n) {
            const size_t count = (i % frame_samples) + 1;
            d.worst_frame_rms = std::max(d.worst_frame_rms, std::sqrt(frame / double(count)));
            frame = 0;
        }
    }
    d.rms = n ? std::sqrt(total / double(n)) : 0;
    return d;
}

mpa::FrameHeader first_header(const std::vector<uint8_t>& stream) {
    mpa::FrameHeader h;
    if (stream.size() >= 4) mpa::parse_header(mpa::header_word(stream.data()), &h);
    return h;
}

struct ConformanceCase {
    const char* name;
    int rate;
    int channels;
    const char* options;
    int version;  // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    int mode;     // 0 stereo, 1 joint, 2 dual, 3 mono
    bool crc;
};

void PrintTo(const ConformanceCase& c, std::ostream* os) { *os << c.name; }

class Conformance : public testing::TestWithParam<ConformanceCase> {};

TEST_P(Conformance, MeetsLimitedAccuracyAgainstLibavcodec) {
    const ConformanceCase& c = GetParam();
    const auto pcm = mpa_fixtures::test_signal(c.rate, c.channels, 2.4);
    const auto stream = mpa_fixtures::lame_encode(pcm, c.rate, c.channels, c.options, c.name);
    ASSERT_FALSE(stream.empty()) << "lame failed";
    const mpa::FrameHeader h = first_header(stream);
    ASSERT_EQ(3, h.layer);
    EXPECT_EQ(c.version, h.version);
    EXPECT_EQ(c.mode, h.mode);
    EXPECT_EQ(c.crc, h.protection);

    const auto reference = decode_with_libav(stream);
    const auto ours = decode_with_mpadec(stream);
    ASSERT_GT(reference.samples.size(), 0u);
    EXPECT_EQ(reference.samples.size(), ours.samples.size());
    EXPECT_EQ(reference.channels, ours.channels);
    EXPECT_EQ(reference.rate, ours.rate);
    EXPECT_EQ(0, ours.silent);
    EXPECT_EQ(0, ours.crc_cleared);

    const Difference d = compare(ours.samples, reference.samples, size_t(h.samples) * reference.channels);
    EXPECT_LT(d.rms, kLimitedAccuracy);
    EXPECT_LT(d.worst_frame_rms, kLimitedAccuracy);
    std::printf("[ figures  ] %s: %d frames, RMS difference %.3f, worst frame %.3f, largest %.2f (16-bit units)\n",
                c.name, ours.frames, d.rms, d.worst_frame_rms, d.largest);
}

INSTANTIATE_TEST_SUITE_P(
    LameFiles, Conformance,
    testing::Values(ConformanceCase{"mpeg1_32k_joint", 32000, 2, "-m j -b 128", 0, 1, false},
                    ConformanceCase{"mpeg1_44k_joint", 44100, 2, "-m j -b 128", 0, 1, false},
                    ConformanceCase{"mpeg1_48k_joint", 48000, 2, "-m j -b 160", 0, 1, false},
                    ConformanceCase{"mpeg1_44k_stereo", 44100, 2, "-m s -b 192", 0, 0, false},
                    ConformanceCase{"mpeg1_44k_forced_ms", 44100, 2, "-m f -b 128", 0, 1, false},
                    ConformanceCase{"mpeg1_44k_dual", 44100, 2, "-m d -b 192", 0, 2, false},
                    ConformanceCase{"mpeg1_44k_mono", 44100, 1, "-m m -b 64", 0, 3, false},
                    ConformanceCase{"mpeg1_44k_crc", 44100, 2, "-m j -p -b 128", 0, 1, true},
                    ConformanceCase{"mpeg1_44k_320", 44100, 2, "-m j -b 320", 0, 1, false},
                    ConformanceCase{"mpeg1_44k_vbr", 44100, 2, "-m j -V 2", 0, 1, false},
                    ConformanceCase{"mpeg2_16k", 16000, 2, "-m j -b 48", 1, 1, false},
                    ConformanceCase{"mpeg2_22k", 22050, 2, "-m j -b 64", 1, 1, false},
                    ConformanceCase{"mpeg2_24k_mono", 24000, 1, "-m m -b 32", 1, 3, false},
                    ConformanceCase{"mpeg25_8k_mono", 8000, 1, "-m m -b 16", 2, 3, false},
                    ConformanceCase{"mpeg25_11k_joint", 11025, 2, "-m j -b 32", 2, 1, false},
                    ConformanceCase{"mpeg25_12k_stereo", 12000, 2, "-m s -b 32", 2, 0, false}),
    [](const testing::TestParamInfo<ConformanceCase>& info) { return std::string(info.param.name); });

// A short joint-stereo MPEG-1 stream for the status cases.
std::vector<uint8_t> small_stream(const char* name, const char* options = "-m j -b 128") {
    return mpa_fixtures::lame_encode(mpa_fixtures::test_signal(44100, 2, 1.2), 44100, 2, options, name);
}

// Byte offsets of the frames of a clean stream.
std::vector<size_t> frame_offsets(const std::vector<uint8_t>& s) {
    std::vector<size_t> offsets;
    size_t pos = 0;
    mpa::FrameHeader h;
    while (pos + 4 <= s.size() && mpa::parse_header(mpa::header_word(&s[pos]), &h)) {
        offsets.push_back(pos);
        pos += size_t(h.frame_bytes);
    }
    return offsets;
}

struct Session {
    mpadec_t h = nullptr;
    explicit Session(int mono = 0, int eight_bit = 0) { EXPECT_EQ(MPADEC_OK, mpadec_create(&h, 0, eight_bit, mono, 1)); }
    ~Session() { mpadec_destroy(h); }
    uint32_t feed(const uint8_t* p, size_t n) {
        uint32_t taken = 0;
        EXPECT_EQ(MPADEC_OK, mpadec_feed(h, p, uint32_t(n), &taken));
        EXPECT_EQ(n, taken);
        return taken;
    }
};

TEST(MpadecStatus, GarbageBeforeTheStreamOffAByteBoundaryIsSkipped) {
    const auto stream = small_stream("garbage_prefix");
    ASSERT_FALSE(stream.empty());
    // 41 bytes of noise and 3 bits more: every byte of the stream straddles two bytes of the input
    std::mt19937 random(7);
    std::vector<uint8_t> shifted(41);
    for (auto& b : shifted) b = uint8_t(random());
    uint32_t carry = 0b101;
    int carry_bits = 3;
    for (uint8_t b : stream) {
        carry = carry << 8 | b;
        carry_bits += 8;
        while (carry_bits >= 8) {
            shifted.push_back(uint8_t(carry >> (carry_bits - 8)));
            carry_bits -= 8;
        }
    }
    shifted.push_back(uint8_t(carry << (8 - carry_bits)));

    const auto plain = decode_with_mpadec(stream);
    const auto found = decode_with_mpadec(shifted);
    ASSERT_GT(plain.frames, 10);
    EXPECT_EQ(plain.frames, found.frames);
    EXPECT_EQ(plain.samples, found.samples);
}

TEST(MpadecStatus, StreamsItCannotDecodeNeverSynchronise) {
    const auto tone = mpa_fixtures::tone(44100, 2, 1.0, 1000, 0.5);
    struct Case {
        const char* name;
        std::vector<uint8_t> stream;
    };
    std::vector<Case> cases;
    cases.push_back({"free format", mpa_fixtures::lame_encode(tone, 44100, 2, "--freeformat -b 200", "free_format")});
    const std::string mp2 = media_test::fresh_path("layer2.mp2");
    media_test::run("ffmpeg -v error -f lavfi -i sine=frequency=1000:duration=1:sample_rate=44100 -ac 2 -c:a mp2 -b:a 192k '" +
                    mp2 + "'");
    cases.push_back({"layer II", media_test::read_file(mp2)});
    for (const Case& c : cases) {
        ASSERT_GT(c.stream.size(), 2000u) << c.name;
        Session s;
        std::vector<uint8_t> out(4608);
        uint32_t written = 0;
        size_t pos = 0;
        int decoded = 0;
        while (pos < c.stream.size()) {
            uint32_t taken = 0;
            mpadec_feed(s.h, c.stream.data() + pos, uint32_t(std::min<size_t>(4096, c.stream.size() - pos)), &taken);
            pos += taken;
            const uint32_t status = mpadec_decode(s.h, out.data(), uint32_t(out.size()), &written);
            EXPECT_EQ(MPADEC_NEED_SYNC_DATA, status) << c.name;
            decoded += written > 0;
        }
        EXPECT_EQ(0, decoded) << c.name;
    }
}

TEST(MpadecStatus, AnOutputBufferOneByteShortIsRefusedAndTheFrameStaysDecodable) {
    const auto stream = small_stream("short_output");
    Session s;
    s.feed(stream.data(), 4096);
    const uint32_t frame_bytes = 1152 * 2 * 2;
    std::vector<uint8_t> out(frame_bytes);
    uint32_t written = 99;
    EXPECT_EQ(MPADEC_OUTPUT_TOO_SMALL, mpadec_decode(s.h, out.data(), frame_bytes - 1, &written));
    EXPECT_EQ(0u, written);
    EXPECT_EQ(MPADEC_OK, mpadec_decode(s.h, out.data(), frame_bytes, &written));
    EXPECT_EQ(frame_bytes, written);
    // the same first frame as an undisturbed decode
    const auto plain = decode_with_mpadec(stream);
    EXPECT_EQ(0, std::memcmp(out.data(), plain.samples.data(), frame_bytes));
}

TEST(MpadecStatus, FramesWhoseMainDataBeganEarlierDecodeAsSilence) {
    const auto stream = small_stream("mid_reservoir");
    const auto offsets = frame_offsets(stream);
    ASSERT_GT(offsets.size(), 20u);
    // a frame whose main data starts in an earlier frame
    size_t cut = 0;
    for (size_t i = 5; i < offsets.size(); ++i) {
        const uint8_t* side = &stream[offsets[i] + 4];
        if ((side[0] << 1 | side[1] >> 7) > 0) {
            cut = offsets[i];
            break;
        }
    }
    ASSERT_GT(cut, 0u);
    Session s;
    s.feed(stream.data() + cut, 4096);
    std::vector<uint8_t> out(4608);
    uint32_t written = 0;
    EXPECT_EQ(MPADEC_SILENCE, mpadec_decode(s.h, out.data(), uint32_t(out.size()), &written));
    EXPECT_EQ(4608u, written);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](uint8_t b) { return b == 0; }));
    MpaFrameInfo info;
    ASSERT_EQ(MPADEC_OK, mpadec_get_info(s.h, &info));
    EXPECT_EQ(1, info.silence);
    // once the reservoir has filled, frames decode again
    uint32_t status = 0;
    for (int i = 0; i < 3; ++i) status = mpadec_decode(s.h, out.data(), uint32_t(out.size()), &written);
    EXPECT_EQ(MPADEC_OK, status);
}

TEST(MpadecStatus, ACrcMismatchClearsTheSideInformation) {
    auto stream = small_stream("crc", "-m j -p -b 128");
    const auto offsets = frame_offsets(stream);
    ASSERT_GT(offsets.size(), 8u);
    stream[offsets[6] + 4 + 2 + 3] ^= 0x10;  // a bit of frame 6's side information
    Session s;
    std::vector<uint8_t> out(4608);
    std::vector<uint32_t> statuses;
    size_t pos = 0;
    while (statuses.size() < 10) {
        uint32_t written = 0;
        const uint32_t status = mpadec_decode(s.h, out.data(), uint32_t(out.size()), &written);
        if (written) {
            statuses.push_back(status);
            continue;
        }
        ASSERT_LT(pos, stream.size());
        const size_t n = std::min<size_t>(1000, stream.size() - pos);
        s.feed(stream.data() + pos, n);
        pos += n;
    }
    for (size_t i = 0; i < statuses.size(); ++i)
        EXPECT_EQ(i == 6 ? MPADEC_CRC_CLEARED : MPADEC_OK, statuses[i]) << "frame " << i;
}

TEST(MpadecStatus, MarkingTheEndReportsEndOfInput) {
    const auto stream = small_stream("end_of_input");
    Session s;
    std::vector<uint8_t> out(4608);
    uint32_t written = 0;
    EXPECT_EQ(MPADEC_NEED_SYNC_DATA, mpadec_decode(s.h, out.data(), uint32_t(out.size()), &written));
    s.feed(stream.data(), 3000);
    uint32_t status;
    while ((status = mpadec_decode(s.h, out.data(), uint32_t(out.size()), &written)) == MPADEC_OK) {
    }
    EXPECT_EQ(MPADEC_NEED_DATA, status);
    uint32_t taken = 1;
    EXPECT_EQ(MPADEC_OK, mpadec_feed(s.h, nullptr, 0, &taken));
    EXPECT_EQ(0u, taken);
    EXPECT_EQ(MPADEC_END, mpadec_decode(s.h, out.data(), uint32_t(out.size()), &written));
}

TEST(MpadecStatus, BadHandlesAndArgumentsAreRefused) {
    uint8_t out[16];
    uint32_t n = 0;
    MpaFrameInfo info;
    EXPECT_EQ(MPADEC_BAD_ARGUMENT, mpadec_create(nullptr, 0, 0, 0, 1));
    mpadec_t h = nullptr;
    EXPECT_EQ(MPADEC_BAD_ARGUMENT, mpadec_create(&h, 3, 0, 0, 1));
    EXPECT_EQ(MPADEC_BAD_HANDLE, mpadec_destroy(nullptr));
    EXPECT_EQ(MPADEC_BAD_HANDLE, mpadec_feed(nullptr, out, 1, &n));
    EXPECT_EQ(MPADEC_BAD_HANDLE, mpadec_decode(nullptr, out, 16, &n));
    EXPECT_EQ(MPADEC_BAD_HANDLE, mpadec_get_info(nullptr, &info));
    ASSERT_EQ(MPADEC_OK, mpadec_create(&h, 0, 0, 0, 1));
    EXPECT_EQ(MPADEC_BAD_ARGUMENT, mpadec_feed(h, out, 1, nullptr));
    EXPECT_EQ(MPADEC_BAD_ARGUMENT, mpadec_feed(h, nullptr, 1, &n));
    EXPECT_EQ(MPADEC_BAD_ARGUMENT, mpadec_decode(h, nullptr, 16, &n));
    EXPECT_EQ(MPADEC_BAD_ARGUMENT, mpadec_decode(h, out, 16, nullptr));
    EXPECT_EQ(MPADEC_OK, mpadec_destroy(h));
}

TEST(MpadecOptions, MonoIsTheMeanOfBothChannels) {
    const auto stream = small_stream("mono_mix", "-m s -b 192");
    const auto reference = decode_with_libav(stream);
    const auto mono = decode_with_mpadec(stream, 4096, 0, 1);
    ASSERT_EQ(2, reference.channels);
    ASSERT_EQ(1, mono.channels);
    ASSERT_EQ(reference.samples.size() / 2, mono.samples.size());
    std::vector<float> mean(mono.samples.size());
    for (size_t i = 0; i < mean.size(); ++i) mean[i] = (reference.samples[2 * i] + reference.samples[2 * i + 1]) / 2;
    const Difference d = compare(mono.samples, mean, 1152);
    EXPECT_LT(d.rms, kLimitedAccuracy);
    EXPECT_LT(d.worst_frame_rms, kLimitedAccuracy);
    // joint stereo goes through the mix-down inside the stereo processing
    const auto joint = small_stream("mono_mix_joint", "-m f -b 128");
    const auto joint_reference = decode_with_libav(joint);
    const auto joint_mono = decode_with_mpadec(joint, 4096, 0, 1);
    std::vector<float> joint_mean(joint_mono.samples.size());
    for (size_t i = 0; i < joint_mean.size(); ++i)
        joint_mean[i] = (joint_reference.samples[2 * i] + joint_reference.samples[2 * i + 1]) / 2;
    EXPECT_LT(compare(joint_mono.samples, joint_mean, 1152).rms, kLimitedAccuracy);
}

TEST(MpadecOptions, EightBitOutputIsTheHighByteOffsetBy128) {
    const auto stream = small_stream("eight_bit");
    const auto wide = decode_with_mpadec(stream);
    Session s(0, 1);
    std::vector<uint8_t> narrow;
    std::vector<uint8_t> out(2304);
    size_t pos = 0;
    for (;;) {
        uint32_t written = 0;
        const uint32_t status = mpadec_decode(s.h, out.data(), uint32_t(out.size()), &written);
        narrow.insert(narrow.end(), out.begin(), out.begin() + written);
        if (written) continue;
        if (status == MPADEC_END) break;
        uint32_t taken = 0;
        mpadec_feed(s.h, stream.data() + pos, uint32_t(std::min<size_t>(4096, stream.size() - pos)), &taken);
        pos += taken;
    }
    ASSERT_EQ(wide.samples.size(), narrow.size());
    for (size_t i = 0; i < narrow.size(); ++i) ASSERT_EQ(uint8_t((wide.samples[i] >> 8) + 128), narrow[i]) << i;
}

TEST(MpadecOptions, DownsamplingKeepsPitchAndLevel) {
    const auto stream = mpa_fixtures::lame_encode(mpa_fixtures::tone(44100, 1, 1.5, 1000, 0.5), 44100, 1, "-m m -b 96",
                                                  "downsample");
    double full_level = 0;
    for (int ds = 0; ds < 3; ++ds) {
        const auto out = decode_with_mpadec(stream, 4096, ds, 0);
        ASSERT_EQ(44100 >> ds, out.rate);
        const auto samples = signal_check::channel(out.samples, 1, 0);
        const std::vector<double> middle(samples.begin() + samples.size() / 4, samples.end() - samples.size() / 4);
        EXPECT_NEAR(1000.0, signal_check::dominant_frequency(middle, out.rate), 10.0) << "downsampling " << ds;
        const double level = signal_check::level_db(middle);
        if (ds == 0) full_level = level;
        EXPECT_NEAR(full_level, level, 0.2) << "downsampling " << ds;
    }
}

TEST(MpadecRobustness, AnySplitOfTheInputGivesTheSameSound) {
    const auto stream = small_stream("splits");
    const auto whole = decode_with_mpadec(stream, 1 << 20);
    for (int piece : {1, 7, 417, 4096}) EXPECT_EQ(whole.samples, decode_with_mpadec(stream, piece).samples) << piece;
}

TEST(MpadecRobustness, DamagedStreamsDecodeWithoutFault) {
    const auto stream = small_stream("damaged", "-m j -b 96");
    std::mt19937 random(99);
    for (int round = 0; round < 60; ++round) {
        auto damaged = stream;
        const int flips = 1 + int(random() % 40);
        for (int i = 0; i < flips; ++i) damaged[random() % damaged.size()] ^= uint8_t(1u << (random() % 8));
        if (round % 3 == 0) damaged.resize(random() % damaged.size());
        const auto out = decode_with_mpadec(damaged, 1 + int(random() % 3000));
        EXPECT_LE(out.samples.size(), size_t(1152 * 2) * (damaged.size() / 96 + 2));
    }
}

}  // namespace
