// AMR-NB frames: sizes per mode, and a tone that survives coding (checked by decoding with opencore).
#include "codecs/tolmamr_encode/amr_core.h"
#include "tests/support/signal_check.h"
#include <gtest/gtest.h>
#include <cmath>
#include <opencore-amrnb/interf_dec.h>

namespace {

TEST(AmrCore, EveryModeOfTheTableCodesTwoFramesPerBlock) {
    // Frame bytes (mode byte included) of MR475 ... MR122.
    const int values[8] = {475, 515, 59, 67, 74, 795, 102, 122};
    const int frame_bytes[8] = {13, 14, 16, 18, 20, 21, 27, 32};
    std::vector<int16_t> pcm = signal_check::tone(1000, 8000, 8000, 1, 320);
    for (int i = 0; i < 8; ++i) {
        amrenc::Encoder enc;
        ASSERT_EQ(0, enc.open(values[i]));
        uint8_t out[4096];
        int frames = 0;
        EXPECT_EQ(2 * frame_bytes[i], enc.encode(reinterpret_cast<uint8_t*>(pcm.data()), 640, out, 4096, &frames));
        EXPECT_EQ(2, frames);
        EXPECT_EQ(i, (out[0] >> 3) & 15) << "mode in the frame's first byte";
    }
}

TEST(AmrCore, RefusesUnknownModesAndShortOutput) {
    amrenc::Encoder enc;
    EXPECT_EQ(-1, enc.open(590));
    EXPECT_EQ(-1, enc.open(0));
    uint8_t pcm[640] = {}, out[16];
    int frames;
    EXPECT_EQ(-1, enc.encode(pcm, 640, out, 16, &frames)) << "not open";
    ASSERT_EQ(0, enc.open(122));
    EXPECT_EQ(-1, enc.encode(pcm, 640, out, 16, &frames)) << "two 32-byte frames do not fit";
    EXPECT_EQ(0, enc.encode(pcm, 300, out, 16, &frames)) << "less than a frame";
}

TEST(AmrCore, ToneKeepsFrequencyAndLevelAtMR122) {
    amrenc::Encoder enc;
    ASSERT_EQ(0, enc.open(122));
    std::vector<int16_t> pcm = signal_check::tone(1000, 10000, 8000, 1, 16000);
    void* dec = Decoder_Interface_init();
    std::vector<double> decoded;
    for (size_t pos = 0; pos + 320 <= pcm.size(); pos += 320) {
        uint8_t out[4096];
        int frames = 0;
        int n = enc.encode(reinterpret_cast<uint8_t*>(&pcm[pos]), 640, out, sizeof out, &frames);
        ASSERT_EQ(2, frames);
        for (int f = 0, off = 0; f < frames; ++f, off += n / 2) {
            short speech[160];
            Decoder_Interface_Decode(dec, out + off, speech, 0);
            decoded.insert(decoded.end(), speech, speech + 160);
        }
    }
    Decoder_Interface_exit(dec);
    std::vector<double> middle(decoded.begin() + 2000, decoded.end() - 2000);
    EXPECT_NEAR(1000.0, signal_check::dominant_frequency(middle, 8000), 10.0);
    EXPECT_NEAR(20 * std::log10(10000 / std::sqrt(2.0) / 32768), signal_check::level_db(middle), 1.0);
}

}  // namespace
