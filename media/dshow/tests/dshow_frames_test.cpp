// The readers' arithmetic: frame rate and count from the connected format, picture copies and sound
// pieces; RealMedia headers without an index.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "media/dshow/dshow_frames.h"

namespace {

TEST(DShowFrames, RateCountAndDuration) {
    const struct {
        int64_t duration, avg;
        double rate;
        int64_t frames;
        double seconds;
    } cases[] = {
        {20'020'000, 333'667, 30000.0 / 1001, 60, 2.00200200},  // 29.97: rounded, not truncated to 59
        {20'000'000, 400'000, 25.0, 50, 2.0},
        {20'460'000, 400'000, 25.0, 51, 2.04},
        {20'000'000, 0, 0.0, 20'000'000, 2.0},  // no frame time: the duration stands in
        {int64_t(1) << 40, 0, 0.0, (int64_t(1) << 40) / 1000, 109951.1627776},
        {0, 400'000, 25.0, 0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.duration);
        EXPECT_NEAR(c.rate, dshow::frame_rate(c.avg), 0.0005);
        EXPECT_EQ(c.frames, dshow::frame_count(c.duration, c.avg));
        EXPECT_NEAR(c.seconds, dshow::duration_seconds(c.frames, c.avg, c.duration), 1e-6);
    }
    EXPECT_EQ(0.0, dshow::frame_rate(-5));
}

TEST(DShowFrames, PicturesAreCopiedTopDownOnlyWhenTheyFit) {
    const int w = 5, h = 3;  // stride 16 bytes
    ASSERT_EQ(48u, dshow::rgb24_picture_bytes(w, h));
    EXPECT_EQ(48u, dshow::rgb24_picture_bytes(w, -h));
    EXPECT_EQ(0u, dshow::rgb24_picture_bytes(0, 3));
    EXPECT_EQ(0u, dshow::rgb24_picture_bytes(70000, 3));
    std::vector<uint8_t> bottom_up(48);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < 16; ++i) bottom_up[size_t(y * 16 + i)] = uint8_t(10 * y + (i % 3));
    std::vector<uint8_t> out(64, 0xEE);
    ASSERT_TRUE(dshow::copy_picture_top_down(bottom_up.data(), 48, w, h, out.data(), out.size()));
    EXPECT_EQ(20, out[0]) << "the last stored row comes first";
    EXPECT_EQ(0, out[32]);
    EXPECT_EQ(0xEE, out[48]) << "nothing past the picture";
    ASSERT_TRUE(dshow::copy_picture_top_down(bottom_up.data(), 48, w, -h, out.data(), out.size()));
    EXPECT_EQ(0, out[0]) << "a top-down picture stays as it is";

    std::vector<uint8_t> guard(48, 0x77);
    EXPECT_FALSE(dshow::copy_picture_top_down(bottom_up.data(), 47, w, h, guard.data(), guard.size()));
    EXPECT_FALSE(dshow::copy_picture_top_down(bottom_up.data(), 49, w, h, guard.data(), guard.size()));
    EXPECT_FALSE(dshow::copy_picture_top_down(bottom_up.data(), 48, w, h, guard.data(), 47));
    EXPECT_FALSE(dshow::copy_picture_top_down(nullptr, 48, w, h, guard.data(), guard.size()));
    for (uint8_t b : guard) ASSERT_EQ(0x77, b);
}

TEST(DShowFrames, SoundPiecesAreWholeFramesWithinTheCapacity) {
    const struct {
        size_t remaining, capacity;
        int align;
        size_t piece;
    } cases[] = {
        {192'000, 4096, 4, 4096}, {1000, 4096, 4, 1000}, {1002, 4096, 4, 1000}, {10'000, 4095, 4, 4092},
        {10'000, 3, 4, 0},        {6, 4096, 0, 6},       {0, 4096, 4, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.piece, dshow::pcm_piece(c.remaining, c.capacity, c.align))
            << c.remaining << " into " << c.capacity << " by " << c.align;
}

// A RealMedia chunk as the format lays it out: id, big-endian size counting the 10-byte header,
// version 0, then `body`.
std::vector<uint8_t> chunk(const char* id, const std::vector<uint8_t>& body, uint32_t size_field = 0) {
    const uint32_t size = size_field ? size_field : uint32_t(10 + body.size());
    std::vector<uint8_t> c(id, id + 4);
    for (int shift : {24, 16, 8, 0}) c.push_back(uint8_t(size >> shift));
    c.push_back(0), c.push_back(0);
    c.insert(c.end(), body.begin(), body.end());
    return c;
}

// PROP's body: seven 32-bit fields, the index offset, the data offset, stream count and flags.
std::vector<uint8_t> prop(uint32_t index_offset) {
    std::vector<uint8_t> body(7 * 4, 0x11);
    for (uint32_t v : {index_offset, 357u})
        for (int shift : {24, 16, 8, 0}) body.push_back(uint8_t(v >> shift));
    body.insert(body.end(), {0, 2, 0, 0});
    return body;
}

std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(DShowFrames, RealMediaWithoutAnIndexIsKnownByItsPropertiesHeader) {
    const std::vector<uint8_t> rmf = chunk(".RMF", {0, 0, 0, 0, 0, 0, 0, 4});
    const std::vector<uint8_t> data = chunk("DATA", std::vector<uint8_t>(8, 0));
    const std::vector<uint8_t> without = join({rmf, chunk("PROP", prop(0)), data});
    const std::vector<uint8_t> with = join({rmf, chunk("PROP", prop(240000)), data});
    const struct {
        const char* name;
        std::vector<uint8_t> head;
        bool without_index;
    } cases[] = {
        {"no index", without, true},
        {"an index", with, false},
        {"PROP after another chunk", join({rmf, chunk("CONT", std::vector<uint8_t>(20, 'x')), chunk("PROP", prop(0))}), true},
        {"DATA before PROP", join({rmf, data, chunk("PROP", prop(0))}), false},
        {"PROP cut before its index offset", std::vector<uint8_t>(without.begin(), without.begin() + long(rmf.size()) + 40), false},
        {"a chunk size below its header", join({rmf, chunk("CONT", {}, 4), chunk("PROP", prop(0))}), false},
        {"not RealMedia", join({chunk("RIFF", {}), chunk("PROP", prop(0))}), false},
        {"nothing", {}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.without_index, dshow::realmedia_without_index(c.head.data(), c.head.size())) << c.name;
}

}  // namespace
