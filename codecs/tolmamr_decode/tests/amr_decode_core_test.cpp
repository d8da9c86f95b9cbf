// AMR-NB: 12.2 kbit/s frames from our AMR encoder give 320 bytes each and the tone back; the frame
// sizes by type; short frames and unknown types are refused without writing.
#include "codecs/tolmamr_decode/amr_decode_core.h"
#include "codecs/tolmamr_encode/amr_core.h"
#include "tests/support/signal_check.h"
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

namespace {
using namespace signal_check;

TEST(AmrDecodeCore, FrameSizesByType) {
    const int expected[16] = {13, 14, 16, 18, 20, 21, 27, 32, 6, 0, 0, 0, 0, 0, 0, 1};
    for (int type = 0; type < 16; ++type) EXPECT_EQ(expected[type], amrdec::frame_size(uint8_t(type << 3 | 4))) << type;
}

TEST(AmrDecodeCore, FramesOfOurEncoderGive320BytesEachAndTheTone) {
    amrenc::Encoder encoder;
    ASSERT_EQ(0, encoder.open(122));
    std::vector<int16_t> pcm = tone(1000, 8000, 8000, 1, 8000 * 2);
    std::vector<uint8_t> coded(pcm.size());
    int frames = 0;
    int n = encoder.encode(reinterpret_cast<const uint8_t*>(pcm.data()), int(pcm.size() * 2), coded.data(),
                           int(coded.size()), &frames);
    ASSERT_EQ(100, frames);
    ASSERT_EQ(100 * 32, n) << "12.2 kbit/s frames are 32 bytes";
    amrdec::Decoder decoder;
    ASSERT_TRUE(decoder.init());
    std::vector<int16_t> decoded;
    for (int f = 0; f < frames; ++f) {
        uint8_t out[amrdec::Decoder::kPcmBytes + 8];
        memset(out, 0xCC, sizeof out);
        ASSERT_EQ(320, decoder.decode(&coded[size_t(f) * 32], 32, out));
        EXPECT_EQ(0xCC, out[320]);
        size_t old = decoded.size();
        decoded.resize(old + 160);
        memcpy(&decoded[old], out, 320);
    }
    std::vector<double> samples(decoded.begin() + 800, decoded.end());
    EXPECT_NEAR(1000.0, dominant_frequency(samples, 8000), 10.0) << "within 1%";
    EXPECT_NEAR(20 * std::log10(8000 / std::sqrt(2.0) / 32768), level_db(samples), 2.0);
}

TEST(AmrDecodeCore, ShortFramesAndUnknownTypesAreRefused) {
    amrdec::Decoder decoder;
    uint8_t frame[32] = {7 << 3 | 4};
    uint8_t out[320];
    EXPECT_EQ(-1, decoder.decode(frame, 32, out)) << "not initialised";
    ASSERT_TRUE(decoder.init());
    memset(out, 0x5C, sizeof out);
    EXPECT_EQ(-1, decoder.decode(frame, 31, out)) << "a 12.2 frame needs 32 bytes";
    frame[0] = 10 << 3;
    EXPECT_EQ(-1, decoder.decode(frame, 32, out)) << "type 10";
    for (uint8_t b : out) ASSERT_EQ(0x5C, b);
    frame[0] = 15 << 3;
    EXPECT_EQ(320, decoder.decode(frame, 1, out)) << "NO_DATA is a frame of its own";
}

}  // namespace
