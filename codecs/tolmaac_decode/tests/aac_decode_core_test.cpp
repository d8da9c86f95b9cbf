// AAC: configurations (plain LC, SBR signalled explicitly or backward-compatibly, parametric stereo)
// report the PCM they will give; LC frames from our AAC encoder decode back to the tone; refusals.
#include "codecs/tolmaac_decode/aac_decode_core.h"
#include "codecs/tolmaac_encode/aac_core.h"
#include "tests/support/signal_check.h"
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

namespace {
using namespace signal_check;

struct ConfigCase {
    const char* name;
    std::vector<uint8_t> bytes;
    int rate, channels;
};

TEST(AacDecodeCore, ConfigurationsReportTheRateAndChannelsOfTheirPcm) {
    const ConfigCase cases[] = {
        {"LC 44.1 kHz stereo", {0x12, 0x10}, 44100, 2},
        {"LC 8 kHz mono", {0x15, 0x88}, 8000, 1},
        {"SBR signalled by object type 5, 24 kHz core", {0x2B, 0x11, 0x88, 0x00}, 48000, 2},
        {"SBR signalled after the LC configuration", {0x13, 0x10, 0x56, 0xE5, 0x98}, 48000, 2},
        {"parametric stereo on a mono core", {0xEB, 0x09, 0x88, 0x00}, 48000, 2},
        {"5.1 channels mixed to two", {0x11, 0xB0}, 48000, 2},
    };
    for (const ConfigCase& c : cases) {
        SCOPED_TRACE(c.name);
        aacdec::Decoder decoder;
        int rate = 0, channels = 0;
        ASSERT_TRUE(decoder.init(c.bytes.data(), int(c.bytes.size()), &rate, &channels));
        EXPECT_EQ(c.rate, rate);
        EXPECT_EQ(c.channels, channels);
    }
}

TEST(AacDecodeCore, RefusesWhatIsNotAnAacConfiguration) {
    // Empty, one byte, object type 0, CELP (8), an explicit rate cut short.
    const std::vector<uint8_t> refused[] = {{}, {0x12}, {0x00, 0x10}, {0x42, 0x10}, {0x17, 0x90}};
    for (const std::vector<uint8_t>& bytes : refused) {
        aacdec::Decoder decoder;
        int rate = -1, channels = -1;
        EXPECT_FALSE(decoder.init(bytes.data(), int(bytes.size()), &rate, &channels)) << bytes.size();
        EXPECT_EQ(-1, rate);
        uint8_t pcm[aacdec::Decoder::kMaxOutput];
        uint8_t frame[4] = {1, 2, 3, 4};
        EXPECT_EQ(-1, decoder.decode(frame, 4, pcm));
    }
}

TEST(AacDecodeCore, FramesOfOurEncoderDecodeBackToTheTone) {
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        aacenc::Encoder encoder;
        uint8_t config[64];
        int config_length = 0;
        const int samples = encoder.open(44100, channels, 128000, config, 64, &config_length);
        ASSERT_GT(samples, 0);
        aacdec::Decoder decoder;
        int rate = 0, out_channels = 0;
        ASSERT_TRUE(decoder.init(config, config_length, &rate, &out_channels));
        EXPECT_EQ(44100, rate);
        EXPECT_EQ(channels, out_channels);
        std::vector<int16_t> pcm = tone(1000, 10000, 44100, channels, 44100 * 2);
        std::vector<int16_t> decoded;
        uint8_t coded[8192];
        std::vector<uint8_t> out(aacdec::Decoder::kMaxOutput + 64, 0xEE);
        unsigned duration = 0;
        for (size_t pos = 0; pos + size_t(samples) <= pcm.size(); pos += size_t(samples)) {
            int n = encoder.encode(reinterpret_cast<const uint8_t*>(&pcm[pos]), samples * 2, coded, sizeof coded, &duration);
            ASSERT_GE(n, 0);
            if (n == 0) continue;
            int bytes = decoder.decode(coded, n, out.data());
            ASSERT_GE(bytes, 0);
            ASSERT_LE(bytes, aacdec::Decoder::kMaxOutput);
            EXPECT_EQ(0xEE, out[aacdec::Decoder::kMaxOutput]);
            size_t old = decoded.size();
            decoded.resize(old + size_t(bytes) / 2);
            memcpy(&decoded[old], out.data(), size_t(bytes));
        }
        std::vector<double> first = channel(decoded, channels, 0);
        ASSERT_GT(first.size(), 44100u);
        std::vector<double> middle(first.begin() + 4096, first.end() - 4096);
        EXPECT_NEAR(1000.0, dominant_frequency(middle, 44100), 10.0);
        EXPECT_NEAR(20 * std::log10(10000 / std::sqrt(2.0) / 32768), level_db(middle), 1.0);
    }
}

}  // namespace
