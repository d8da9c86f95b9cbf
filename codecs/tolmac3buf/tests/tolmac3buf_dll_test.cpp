// tolmac3buf.dll under Wine, bound by the program's binder: one AC-3 frame a call, two channels, the
// tone at ffmpeg's level, a 5.1 mix without clipping, nothing written past the capacity.
#include "tests/support/gtest_winelib.h"
#include <cmath>
#include "base/message_seam.h"
#include "media/binders/binders.h"
#include "tests/support/refuse_message_boxes.h"
#include "media/mpeg/mpeg_headers.h"
#include "tests/support/media_check.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"

namespace {

struct Bound {
    Bound() {
        seam::set_reporter(refuse_message_boxes, nullptr);
        EXPECT_EQ(0, codec::load_tolmac3buf());
        EXPECT_EQ(0, codec::ac3buf_init(0, 1));
        EXPECT_EQ(1, codec::ac3buf_get_handle());
    }
    ~Bound() {
        codec::ac3buf_close();
        EXPECT_EQ(0, codec::ac3buf_get_handle());
        codec::unload_tolmac3buf();
        seam::set_reporter(nullptr, nullptr);
    }
};

std::vector<uint8_t> make(const std::string& source, const std::string& name, std::string* path) {
    *path = media_test::fresh_path(name);
    media_test::run("ffmpeg -v error -f lavfi -i '" + source + "' -t 1 -c:a ac3 -b:a 448k -f ac3 '" + *path + "'");
    return media_test::read_file(*path);
}

// Every frame through ac3buf_readdata with the given capacity; the rest of a frame's sound comes with
// the next calls.
std::vector<int16_t> decode(const std::vector<uint8_t>& stream, int capacity, int* frames) {
    std::vector<int16_t> pcm;
    std::vector<uint8_t> out(size_t(capacity) + 64, 0x5A);
    auto take = [&](int n) {
        EXPECT_LE(n, capacity);
        for (size_t i = size_t(capacity); i < out.size(); ++i) EXPECT_EQ(0x5A, out[i]) << "written past the capacity";
        const int16_t* s = reinterpret_cast<const int16_t*>(out.data());
        pcm.insert(pcm.end(), s, s + n / 2);
    };
    *frames = 0;
    size_t pos = 0;
    mpeg::Ac3Header h;
    while (pos + 7 <= stream.size() && mpeg::parse_ac3_header(&stream[pos], stream.size() - pos, &h)) {
        int n = 0;
        EXPECT_EQ(0, codec::ac3buf_readdata(&stream[pos], h.frame_bytes, out.data(), capacity, &n));
        take(n);
        while (n == capacity) {
            codec::ac3buf_readdata(nullptr, 0, out.data(), capacity, &n);
            take(n);
        }
        ++*frames;
        pos += size_t(h.frame_bytes);
    }
    return pcm;
}

TEST(Tolmac3bufDll, AStereoToneComesOutAtFfmpegsLevel) {
    Bound bound;
    std::string path;
    const auto stream = make("sine=frequency=1000:sample_rate=48000", "stereo.ac3", &path);
    ASSERT_GT(stream.size(), 1000u);
    int frames = 0;
    const auto pcm = decode(stream, 50000, &frames);
    ASSERT_EQ(size_t(frames) * 1536 * 2, pcm.size());  // 1536 samples a frame, two channels
    const auto reference = media_check::decode_sound(path);
    const auto left = signal_check::channel(pcm, 2, 0), right = signal_check::channel(pcm, 2, 1);
    const auto ref_left = signal_check::channel(reference, 1, 0);
    EXPECT_NEAR(1000.0, signal_check::dominant_frequency(left, 48000), 10.0);
    EXPECT_NEAR(signal_check::level_db(ref_left), signal_check::level_db(left), 1.0);
    EXPECT_NEAR(signal_check::level_db(left), signal_check::level_db(right), 0.01);  // mono goes to both

    // a capacity below one frame's sound: the same PCM over more calls (from a fresh decoder)
    ASSERT_EQ(0, codec::ac3buf_init(0, 1));
    int again = 0;
    EXPECT_TRUE(pcm == decode(stream, 1000, &again));
}

TEST(Tolmac3bufDll, FivePointOneIsMixedDownWithoutClipping) {
    Bound bound;
    std::string path;
    const std::string loud = "0.95*sin(2*PI*1000*t)";
    const auto stream = make("aevalsrc=" + loud + "|" + loud + "|" + loud + "|" + loud + "|" + loud + "|" + loud +
                                 ":channel_layout=5.1:sample_rate=48000",
                             "surround.ac3", &path);
    ASSERT_GT(stream.size(), 1000u);
    mpeg::Ac3Header h;
    ASSERT_TRUE(mpeg::parse_ac3_header(stream.data(), stream.size(), &h));
    ASSERT_EQ(6, h.channels);
    int frames = 0;
    const auto pcm = decode(stream, 50000, &frames);
    ASSERT_EQ(size_t(frames) * 1536 * 2, pcm.size());
    int peak = 0;
    for (int16_t s : pcm) peak = std::max(peak, std::abs(int(s)));
    EXPECT_LT(peak, 32767) << "the mix clips";
    EXPECT_GT(peak, 3000);
    EXPECT_NEAR(1000.0, signal_check::dominant_frequency(signal_check::channel(pcm, 2, 0), 48000), 10.0);
}

TEST(Tolmac3bufDll, BytesThatAreNoFrameAreRefused) {
    Bound bound;
    uint8_t junk[600] = {0x0B, 0x77, 1, 2, 0xFF};
    uint8_t out[64];
    int n = 7;
    EXPECT_EQ(-1, codec::ac3buf_readdata(junk, sizeof junk, out, sizeof out, &n));
    EXPECT_EQ(0, n);
}

}  // namespace
