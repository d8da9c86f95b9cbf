// tolmmp3dec.dll under Wine, bound by the program's binder: MP2 and MP3 frames in tables of 32 give the
// PCM libavcodec gives for the same frames, and nothing is written past the capacity.
#include "tests/support/gtest_winelib.h"
#include <cmath>
#include <cstring>
#include "base/message_seam.h"
#include "media/binders/binders.h"
#include "tests/support/refuse_message_boxes.h"
#include "media/mpa/mpa_header.h"
#include "media/mpa/tests/mp3_reference.h"
#include "media/mpa/tests/mpa_fixtures.h"
#include "tests/support/media_test_tools.h"

namespace {

struct Bound {
    Bound() {
        seam::set_reporter(refuse_message_boxes, nullptr);
        EXPECT_EQ(0, codec::load_tolmmp3dec());
    }
    ~Bound() {
        codec::unload_tolmmp3dec();
        seam::set_reporter(nullptr, nullptr);
    }
};

std::vector<std::vector<uint8_t>> frames_of(const std::vector<uint8_t>& s) {
    std::vector<std::vector<uint8_t>> frames;
    size_t pos = 0;
    mpa::FrameHeader h;
    while (pos + 4 <= s.size()) {
        if (s[pos] != 0xFF || !mpa::parse_header(mpa::header_word(&s[pos]), &h) || pos + size_t(h.frame_bytes) > s.size()) {
            ++pos;
            continue;
        }
        frames.emplace_back(s.begin() + std::ptrdiff_t(pos), s.begin() + std::ptrdiff_t(pos + size_t(h.frame_bytes)));
        pos += size_t(h.frame_bytes);
    }
    return frames;
}

// Tables of up to 32 frames through mp3_play, each call given `capacity` bytes.
std::vector<int16_t> through_dll(const std::vector<std::vector<uint8_t>>& frames, int capacity) {
    std::vector<int16_t> pcm;
    std::vector<Mp3FrameRecord> table(kMp3FrameTableRecords);
    std::vector<uint8_t> out(size_t(capacity) + 64, 0xA5);
    EXPECT_EQ(0, codec::mp3_init(0));
    EXPECT_EQ(0, codec::mp3_open(0, frames[0].data()));
    auto take = [&](int n) {
        EXPECT_LE(n, capacity);
        for (size_t i = size_t(capacity); i < out.size(); ++i) EXPECT_EQ(0xA5, out[i]) << "written past the capacity";
        const int16_t* s = reinterpret_cast<const int16_t*>(out.data());
        pcm.insert(pcm.end(), s, s + n / 2);
    };
    for (size_t first = 0; first < frames.size(); first += kMp3FrameTableRecords) {
        const int count = int(std::min<size_t>(kMp3FrameTableRecords, frames.size() - first));
        for (int i = 0; i < count; ++i) {
            std::memcpy(table[size_t(i)].frame, frames[first + size_t(i)].data(), frames[first + size_t(i)].size());
            table[size_t(i)].length = int32_t(frames[first + size_t(i)].size());
        }
        int n = codec::mp3_play(0, table.data(), count, out.data(), capacity);
        take(n);
        while (n == capacity) {  // the rest comes with the next calls
            n = codec::mp3_play(0, table.data(), 0, out.data(), capacity);
            take(n);
        }
    }
    codec::mp3_close(0);
    return pcm;
}

std::vector<int16_t> to_16bit(const std::vector<float>& f) {
    std::vector<int16_t> out(f.size());
    for (size_t i = 0; i < f.size(); ++i) out[i] = int16_t(std::lround(f[i] * 32768.0f));
    return out;
}

TEST(Tolmmp3decDll, LayersTwoAndThreeMatchLibavcodec) {
    Bound bound;
    struct Case {
        const char* name;
        std::vector<uint8_t> stream;
        const char* decoder;
    };
    std::vector<Case> cases;
    const auto signal = mpa_fixtures::test_signal(44100, 2, 1.5);
    cases.push_back({"MPEG-1 layer III", mpa_fixtures::lame_encode(signal, 44100, 2, "-b 128", "dll_mp3"), "mp3"});
    cases.push_back({"MPEG-2 layer III",
                     mpa_fixtures::lame_encode(mpa_fixtures::test_signal(22050, 1, 1.5), 22050, 1, "-m m -b 32", "dll_lsf"),
                     "mp3"});
    for (const char* rate : {"44100", "22050"}) {
        const std::string path = media_test::fresh_path(std::string("dll_layer2_") + rate + ".mp2");
        media_test::run(std::string("ffmpeg -v error -f lavfi -i sine=frequency=1000:sample_rate=") + rate +
                        " -t 1.5 -ac 2 -c:a mp2 -f mp2 '" + path + "'");
        cases.push_back({"layer II", media_test::read_file(path), "mp2"});
    }
    for (const Case& c : cases) {
        ASSERT_GT(c.stream.size(), 1000u) << c.name;
        const auto frames = frames_of(c.stream);
        const auto reference = to_16bit(mpa_reference::decode_with_libav(c.stream, c.decoder).samples);
        const auto ours = through_dll(frames, 184320);
        EXPECT_EQ(reference.size(), ours.size()) << c.name;
        EXPECT_TRUE(reference == ours) << c.name;
        // a capacity below one frame's sound: the same PCM, over more calls
        EXPECT_TRUE(ours == through_dll(frames, 1000)) << c.name;
    }
}

TEST(Tolmmp3decDll, BadDecoderNumbersAndFramesAreRefused) {
    Bound bound;
    uint8_t out[16];
    EXPECT_EQ(-1, codec::mp3_init(8));
    EXPECT_EQ(-1, codec::mp3_open(-1, out));
    EXPECT_EQ(0, codec::mp3_play(9, nullptr, 1, out, 16));
    EXPECT_EQ(0, codec::mp3_init(1));
    const uint8_t garbage[4] = {1, 2, 3, 4};
    EXPECT_EQ(-1, codec::mp3_open(1, garbage));
    Mp3FrameRecord bad = {};
    bad.length = 5000;  // longer than a record
    EXPECT_EQ(0, codec::mp3_play(1, &bad, 1, out, 16));
}

}  // namespace
