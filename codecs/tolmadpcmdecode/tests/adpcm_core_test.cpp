// AVI sound by wave format tag: IMA and Microsoft ADPCM (block formats) and GSM 6.10 (cut by libavcodec's
// parser) from WAV files ffmpeg wrote give exactly ffmpeg's decode, fed in chunks of whole blocks; PCM
// that does not fit waits for the next call; refusals.
#include "codecs/tolmadpcmdecode/adpcm_core.h"
#include "tests/support/media_test_tools.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

struct Wave {
    int tag = 0, channels = 0, block_align = 0;
    std::vector<uint8_t> data;
};

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

Wave read_wave(const std::string& path) {
    std::vector<uint8_t> file = media_test::read_file(path);
    Wave w;
    for (size_t pos = 12; pos + 8 <= file.size();) {
        uint32_t size = media_test::le32(&file[pos + 4]);
        if (memcmp(&file[pos], "fmt ", 4) == 0 && pos + 22 <= file.size()) {
            w.tag = le16(&file[pos + 8]);
            w.channels = le16(&file[pos + 10]);
            w.block_align = le16(&file[pos + 20]);
        } else if (memcmp(&file[pos], "data", 4) == 0) {
            size_t end = std::min(file.size(), pos + 8 + size);
            w.data.assign(file.begin() + long(pos + 8), file.begin() + long(end));
        }
        pos += 8 + size + (size & 1);
    }
    return w;
}

struct Case {
    const char* codec;
    int tag, channels, rate;
};

TEST(AdpcmCore, ChunksDecodeExactlyAsFfmpegDecodesTheFile) {
    for (Case c : {Case{"adpcm_ima_wav", 0x11, 2, 22050}, Case{"adpcm_ms", 0x02, 1, 22050},
                   Case{"libgsm_ms", 0x31, 1, 8000}}) {
        SCOPED_TRACE(c.codec);
        std::string path = media_test::fresh_path(std::string("adpcm_") + c.codec + ".wav");
        int status = -1;
        media_test::run("ffmpeg -nostdin -v error -f lavfi -i sine=frequency=1000:sample_rate=" + std::to_string(c.rate) +
                            ":duration=1 -ac " + std::to_string(c.channels) + " -c:a " + c.codec + " '" + path + "'",
                        &status);
        ASSERT_EQ(0, status);
        Wave wave = read_wave(path);
        ASSERT_EQ(c.tag, wave.tag);
        ASSERT_GT(wave.block_align, 0);
        std::string reference = media_test::run("ffmpeg -nostdin -v error -i '" + path + "' -f s16le - 2>/dev/null");
        ASSERT_GT(reference.size(), 1000u);

        adpcmdec::Decoder decoder;
        ASSERT_TRUE(decoder.init(c.tag | c.channels << 16));
        std::vector<uint8_t> pcm;
        const size_t chunk = size_t(wave.block_align) * 3;
        for (size_t pos = 0; pos < wave.data.size(); pos += chunk) {
            int n = int(std::min(chunk, wave.data.size() - pos));
            uint8_t out[65536];
            int length = sizeof out;
            ASSERT_EQ(n, decoder.decode(&wave.data[pos], n, out, &length, 16, wave.block_align));
            pcm.insert(pcm.end(), out, out + length);
        }
        ASSERT_EQ(reference.size(), pcm.size());
        EXPECT_EQ(0, memcmp(reference.data(), pcm.data(), pcm.size()));
    }
}

TEST(AdpcmCore, PcmThatDoesNotFitComesFirstNextTime) {
    std::string path = media_test::fresh_path("adpcm_small.wav");
    media_test::run("ffmpeg -nostdin -v error -f lavfi -i sine=frequency=440:sample_rate=11025:duration=0.5 -c:a "
                    "adpcm_ima_wav '" + path + "'");
    Wave wave = read_wave(path);
    std::string reference = media_test::run("ffmpeg -nostdin -v error -i '" + path + "' -f s16le - 2>/dev/null");
    adpcmdec::Decoder decoder;
    ASSERT_TRUE(decoder.init(0x11));
    std::vector<uint8_t> pcm;
    const size_t blocks = wave.data.size() / size_t(wave.block_align);
    ASSERT_GE(blocks, 3u);
    for (size_t i = 0; i < blocks; ++i) {
        // A small buffer for every block but the last, which takes everything still waiting.
        std::vector<uint8_t> out(65536, 0xAB);
        int capacity = i + 1 < blocks ? 301 : int(out.size()) - 1;
        int length = capacity;
        ASSERT_EQ(wave.block_align,
                  decoder.decode(&wave.data[i * size_t(wave.block_align)], wave.block_align, out.data(), &length, 16,
                                 wave.block_align));
        EXPECT_EQ(0, length % 2) << "whole samples";
        EXPECT_LE(length, capacity);
        EXPECT_EQ(0xAB, out[size_t(capacity)]);
        pcm.insert(pcm.end(), out.begin(), out.begin() + length);
    }
    // An IMA block holds its first sample in the header and two samples a byte after it.
    EXPECT_EQ(blocks * (size_t(wave.block_align - 4) * 2 + 1) * 2, pcm.size()) << "every block's samples came out";
    ASSERT_LE(pcm.size(), reference.size());
    EXPECT_EQ(0, memcmp(reference.data(), pcm.data(), pcm.size()));
}

TEST(AdpcmCore, Refusals) {
    adpcmdec::Decoder decoder;
    uint8_t data[256] = {};
    uint8_t out[4096];
    int length = sizeof out;
    EXPECT_EQ(-1, decoder.decode(data, sizeof data, out, &length, 16, 256)) << "not initialised";
    EXPECT_EQ(0, length);
    EXPECT_FALSE(decoder.init(0x7FFF)) << "no such tag";
    ASSERT_TRUE(decoder.init(0x11 | 1 << 16));
    length = sizeof out;
    EXPECT_EQ(-1, decoder.decode(data, sizeof data, out, &length, 8, 256)) << "8-bit output";
    length = sizeof out;
    EXPECT_EQ(-1, decoder.decode(nullptr, 10, out, &length, 16, 256));
    EXPECT_EQ(-1, decoder.decode(data, sizeof data, out, nullptr, 16, 256));
}

}  // namespace
