#include <gtest/gtest.h>
#include "engine/video/yuy2.h"

TEST(Yuy2, RefusesEmptyPictures) {
    uint8_t pixels[12] = {}, out[8] = {};
    EXPECT_EQ(-1, rgb24_to_yuy2(1, 2, pixels, out, 1));
    EXPECT_EQ(-1, rgb24_to_yuy2(2, 2, nullptr, out, 1));
}
