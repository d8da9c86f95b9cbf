#include "controls/skin_core/skin_colour.h"
#include <gtest/gtest.h>

namespace {

struct ColourCase {
    const char* what;
    skin::Colour (*op)(skin::Colour, unsigned);
    skin::Colour in;
    unsigned step;
    skin::Colour want;
};

TEST(SkinColour, ArithmeticClampsEachChannel) {
    const ColourCase cases[] = {
        {"lighten clamps at 255", color_lighten, 0x10F0FF, 0x20, 0x30FFFF},
        {"darken clamps at 0", color_darken, 0x102030, 0x18, 0x000818},
        {"lighten by 0", color_lighten, 0x123456, 0, 0x123456},
        {"lighten uses the low byte", color_lighten, 0x010203, 0x110, 0x111213},
        {"darken uses the low byte", color_darken, 0x404040, 0x1FF, 0x000000},
        {"darken drops the top byte", color_darken, 0xFF404040, 0x10, 0x303030},
        {"lighten drops the top byte", color_lighten, 0x02000000, 0x01, 0x010101},
        {"keep leaves small channels", color_darken_keep, 0x102030, 0x18, 0x100818},
        {"keep subtracts an equal step", color_darken_keep, 0x181818, 0x18, 0x000000},
    };
    for (const ColourCase& c : cases) EXPECT_EQ(c.want, c.op(c.in, c.step)) << c.what;
}

TEST(SkinColour, ChannelAccessorsFollowColorref) {
    EXPECT_EQ(0x11, skin::red_of(0x332211));
    EXPECT_EQ(0x22, skin::green_of(0x332211));
    EXPECT_EQ(0x33, skin::blue_of(0x332211));
    EXPECT_EQ(0x332211u, skin::rgb(0x11, 0x22, 0x33));
}

}  // namespace
