#include "base/picture.h"
#include "base/sound.h"
#include <gtest/gtest.h>

namespace {

TEST(PictureView, NaturalStridesAndSizesOfEveryLayout) {
    uint8_t byte = 0;
    int32_t word = 0;
    struct Case {
        PictureView view;
        int stride;
        size_t bytes;
    } cases[] = {
        {picture::bgr24(&byte, 5, 3), 16, 48},            // 15 bytes padded to 16
        {picture::bgr24(&byte, 4, 2), 12, 24},
        {picture::rgb24_packed(&byte, 5, 3), 15, 45},
        {picture::yuv420(&byte, 5, 3), 5, 15 + 2 * 3 * 2},  // chroma 3 x 2 each
        {picture::yuv420_int32(&word, 4, 4), 16, 4 * (16 + 2 * 4)},
        {picture::yuy2(&byte, 5, 2), 12, 24},             // odd width rounded up to a pixel pair
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.stride, c.view.stride);
        EXPECT_EQ(c.bytes, picture::byte_size(c.view));
    }
}

TEST(PictureView, RefusesViewsThatCannotBe) {
    uint8_t byte = 0;
    PictureView ok = picture::bgr24(&byte, 4, 4);
    PictureView no_data = ok;
    no_data.data = nullptr;
    PictureView short_stride = ok;
    short_stride.stride = 11;
    PictureView empty = picture::bgr24(&byte, 0, 4);
    PictureView negative = picture::bgr24(&byte, 4, -1);
    EXPECT_TRUE(picture::valid(ok));
    for (const PictureView& v : {no_data, short_stride, empty, negative}) {
        EXPECT_FALSE(picture::valid(v));
        EXPECT_EQ(0u, picture::byte_size(v));
    }
}

TEST(PictureView, PlanesFollowEachOther) {
    int32_t samples[4 * 2 + 2 * 2] = {};
    PictureView v = picture::yuv420_int32(samples, 4, 2);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(samples), picture::plane(v, 0));
    EXPECT_EQ(reinterpret_cast<uint8_t*>(samples + 8), picture::plane(v, 1));
    EXPECT_EQ(reinterpret_cast<uint8_t*>(samples + 10), picture::plane(v, 2));
    uint8_t bgr[12] = {};
    EXPECT_EQ(nullptr, picture::plane(picture::bgr24(bgr, 4, 1), 1));
}

TEST(SoundBlock, FramesLeaveOutAPartFrame) {
    int16_t pcm[8] = {};
    SoundBlock b = sound::block(pcm, 15, 2, 44100);
    EXPECT_EQ(3, b.frames);
    EXPECT_EQ(12u, b.byte_size());
    EXPECT_TRUE(b.valid());
    EXPECT_FALSE(sound::block(pcm, 16, 3, 44100).valid());
}

}  // namespace
