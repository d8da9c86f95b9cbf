// Rate and channel conversion in blocks, as the sound path feeds it.
#include "codecs/tolmpcmchange/tolmpcmchange.h"
#include "tests/support/signal_check.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {
using namespace signal_check;

struct Case {
    int in_rate, in_channels, out_rate, out_channels, block_bytes;
};

// Feeds `seconds` of a 1 kHz tone in blocks and returns everything that came out.
std::vector<int16_t> convert(const Case& c, double seconds, int64_t* in_frames_out) {
    Ctolmpcmchange pcm;
    const double ratio = double(c.out_rate) / c.in_rate;
    const int count = pcm.pcm_init(ratio, 0, c.in_channels, 16);
    EXPECT_GT(count, 0);
    pcm.pcm_setch(c.out_channels);
    pcm.pcm_setbit(16);
    const int64_t in_frames = int64_t(seconds * c.in_rate);
    std::vector<int16_t> in = tone(1000, 10000, c.in_rate, c.in_channels, in_frames);
    std::vector<unsigned char> out_block(8 * count);
    std::vector<int16_t> out;
    const int64_t total = in.size() * 2;
    for (int64_t pos = 0; pos < total; pos += c.block_bytes) {
        int n = (int)std::min<int64_t>(c.block_bytes, total - pos);
        int m = pcm.pcm_change(reinterpret_cast<unsigned char*>(in.data()) + pos, n, out_block.data(),
                               (int)out_block.size(), true);
        EXPECT_GE(m, 0);
        EXPECT_LE(m, (int)out_block.size());
        out.insert(out.end(), reinterpret_cast<int16_t*>(out_block.data()),
                   reinterpret_cast<int16_t*>(out_block.data()) + m / 2);
    }
    int m = pcm.pcm_change(nullptr, 0, out_block.data(), (int)out_block.size(), false);
    out.insert(out.end(), reinterpret_cast<int16_t*>(out_block.data()),
               reinterpret_cast<int16_t*>(out_block.data()) + m / 2);
    *in_frames_out = in_frames;
    return out;
}

TEST(Tolmpcmchange, KeepsFrequencyLevelAndLengthOverALongRun) {
    // The chunk sizes of the sound path for these ratios, and odd sizes that split sample frames.
    const Case cases[] = {
        {44100, 2, 8000, 1, 3072}, {44100, 2, 8000, 1, 1000}, {22050, 1, 48000, 2, 2000},
        {22050, 1, 48000, 2, 777}, {48000, 2, 44100, 2, 5120}, {8000, 1, 44100, 2, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in_rate << "/" << c.in_channels << " -> " << c.out_rate << "/"
                                        << c.out_channels << " blocks of " << c.block_bytes);
        int64_t in_frames = 0;
        std::vector<int16_t> out = convert(c, 60.0, &in_frames);
        const int64_t out_frames = out.size() / c.out_channels;
        const double expected = in_frames * double(c.out_rate) / c.in_rate;
        EXPECT_NEAR(expected, double(out_frames), 2.0) << "no drift, nothing dropped";
        for (int ch = 0; ch < c.out_channels; ++ch) {
            std::vector<double> x = channel(out, c.out_channels, ch);
            std::vector<double> middle(x.begin() + x.size() / 4, x.begin() + x.size() / 4 + c.out_rate * 2);
            EXPECT_NEAR(1000.0, dominant_frequency(middle, c.out_rate), 10.0);
            EXPECT_NEAR(20 * std::log10(10000 / std::sqrt(2.0) / 32768), level_db(middle), 1.0);
        }
    }
}

TEST(Tolmpcmchange, OutputThatDoesNotFitComesOutInTheNextCall) {
    Ctolmpcmchange pcm;
    ASSERT_GT(pcm.pcm_init(2.0, 0, 1, 16), 0);
    std::vector<int16_t> in = tone(1000, 8000, 22050, 1, 4096);
    std::vector<unsigned char> out(1000);
    int64_t total = 0;
    int m = pcm.pcm_change(reinterpret_cast<unsigned char*>(in.data()), 8192, out.data(), 1000, true);
    EXPECT_EQ(1000, m);
    total += m;
    for (int i = 0; i < 100 && m > 0; ++i) {
        m = pcm.pcm_change(nullptr, 0, out.data(), 1000, i < 99 ? true : false);
        total += m;
    }
    m = pcm.pcm_change(nullptr, 0, out.data(), 1000, false);
    total += m;
    EXPECT_NEAR(4096 * 2 * 2, total, 4);
}

TEST(Tolmpcmchange, GetchKeepsOneChannelAndInitRefusesBadArguments) {
    const unsigned char in[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    unsigned char out[4];
    Ctolmpcmchange pcm;
    EXPECT_EQ(4, pcm.pcm_getch(in, out, 8, 2, 1, 16));
    EXPECT_EQ(3, out[0]);
    EXPECT_EQ(4, out[1]);
    EXPECT_EQ(7, out[2]);
    EXPECT_EQ(8, out[3]);
    EXPECT_EQ(0, pcm.pcm_getch(in, out, 8, 2, 2, 16));
    EXPECT_EQ(0, pcm.pcm_init(0.0, 0, 2, 16));
    EXPECT_EQ(0, pcm.pcm_init(1.5, 0, 3, 16));
    EXPECT_EQ(0, pcm.pcm_init(1.5, 0, 2, 8));
    EXPECT_LT(pcm.pcm_change(in, 8, out, 4, true), 0);
}

}  // namespace
