// The bevels and hatchings as line lists, checked pixel by pixel against their tables.
#include "controls/skin_core/skin_strokes.h"
#include <gtest/gtest.h>

namespace {

using skin::Colour;

const skin::SystemShades kSys{0x404040, 0x808080};

Colour at(const skin::Strokes& s, int x, int y) {
    Colour c = 0xDEAD;
    EXPECT_TRUE(skin::stroke_colour_at(s, x, y, &c)) << x << "," << y;
    return c;
}

TEST(SkinStrokes, BevelledFaceAtStep51FollowsItsPenTable) {
    skin::BevelShades b = skin::bevel_shades(0x808080, 51);
    EXPECT_EQ(0xB3B3B3u, b.l1);
    EXPECT_EQ(0xE6E6E6u, b.l2);
    EXPECT_EQ(0x4D4D4Du, b.d1);
    EXPECT_EQ(0x1A1A1Au, b.d2);
    skin::Strokes s = skin::bevelled_face({0, 0, 20, 10}, b, kSys);
    struct Px { int x, y; Colour want; const char* row; };
    const Px cases[] = {
        {10, 4, b.l2, "inside: the fill"},  {10, 0, b.d1, "(x+2, y) to (x2, y)"},
        {1, 0, b.c, "(x, y) to (x+2, y)"},  {0, 5, b.c, "(x, y2-1) to (x, y)"},
        {10, 1, b.c, "(x+2, y+1) to (x2-1, y+1)"}, {10, 2, b.l1, "(x+2, y+2) to (x2-2, y+2)"},
        {10, 3, b.l2, "... to (x+1, y+3)"}, {10, 5, b.l2, "(x+2, y2-5) to (x2-3, y2-5)"},
        {17, 4, b.l2, "... to (x2-3, y+3)"}, {10, 6, b.l1, "(x+2, y2-4) to (x2-2, y2-4)"},
        {10, 7, b.c, "(x+2, y2-3) to (x2-2, y2-3)"}, {5, 8, b.d1, "(x+2, y2-2) to (x2-2, y2-2)"},
        {18, 5, b.d1, "... to (x2-2, y+1)"}, {5, 9, b.d2, "(x+2, y2-1) to (x2-1, y2-1)"},
        {19, 5, b.d2, "... to (x2-1, y)"},  {1, 1, b.l1, "pixel (x+1, y+1)"},
        {1, 2, b.l2, "pixel (x+1, y+2)"},  {1, 6, b.l2, "pixel (x+1, y2-4)"},
        {1, 7, b.l1, "pixel (x+1, y2-3)"}, {1, 8, b.c, "pixel (x+1, y2-2)"},
        {1, 9, b.d1, "pixel (x+1, y2-1)"}, {20, 5, 0x606060, "midpoint column x2"},
        {21, 5, 0x808080, "shadow column x2+1"},
    };
    for (const Px& p : cases) EXPECT_EQ(p.want, at(s, p.x, p.y)) << p.row;
    EXPECT_TRUE(skin::bevelled_face({7, 0, 7, 10}, b, kSys).empty());
    // Without the fill the inside is left alone.
    EXPECT_FALSE(skin::stroke_colour_at(skin::bevelled_face({0, 0, 20, 10}, b, kSys, false), 10, 4, nullptr));
}

TEST(SkinStrokes, LabelBevelUsesStep27) {
    skin::BevelShades b = skin::bevel_shades(0x808080, 27);
    EXPECT_EQ(0x9B9B9Bu, b.l1);
    EXPECT_EQ(0xB6B6B6u, b.l2);
    EXPECT_EQ(0x656565u, b.d1);
    EXPECT_EQ(0x4A4A4Au, b.d2);
    EXPECT_EQ(b.l2, at(skin::bevelled_face({0, 0, 20, 10}, b, kSys), 10, 4));
}

TEST(SkinStrokes, ColumnBevelFollowsItsPenTable) {
    skin::ButtonShades c = skin::button_shades(0x808080);
    skin::Strokes s = skin::column_bevel({0, 0, 20, 10}, c, true);
    struct Px { int x, y; Colour want; };
    const Px cases[] = {
        {5, 0, c.base}, {0, 5, c.dark51}, {1, 5, c.base}, {2, 5, c.light51}, {3, 5, c.light102},
        {17, 5, c.base}, {16, 5, c.light51}, {15, 5, c.light102}, {18, 5, c.dark51}, {19, 5, c.dark102},
        {10, 8, c.dark51}, {10, 9, c.dark102}, {1, 1, c.light51}, {2, 1, c.light102}, {17, 1, c.light51},
        {16, 1, c.light102}, {18, 1, c.base}, {19, 1, c.dark51}, {0, 1, c.base},
    };
    for (const Px& p : cases) EXPECT_EQ(p.want, at(s, p.x, p.y)) << p.x << "," << p.y;
    // A face under 4 pixels high is one rectangle, or nothing without the fill.
    skin::Strokes flat = skin::column_bevel({0, 0, 20, 3}, c, true);
    ASSERT_EQ(1u, flat.size());
    EXPECT_EQ(skin::StrokeKind::Rectangle, flat[0].kind);
    EXPECT_EQ(c.dark51, at(flat, 0, 1));
    EXPECT_EQ(c.base, at(flat, 5, 1));
    EXPECT_TRUE(skin::column_bevel({0, 0, 20, 3}, c, false).empty());
}

TEST(SkinStrokes, CornerHatchingsSplitTheirShadesHalfway) {
    skin::ButtonShades c = skin::button_shades(0x808080);
    skin::Strokes four = skin::corner_hatching({0, 0, 10, 6}, c, false);
    EXPECT_EQ(c.light102, at(four, 1, 1));  // A = 2 < (6 + 1) / 2
    EXPECT_EQ(c.light51, at(four, 1, 2));   // A = 3
    EXPECT_EQ(c.dark102, at(four, 9, 5));   // (10, 4) to (8, 6): A = 2
    EXPECT_EQ(c.dark51, at(four, 8, 5));    // A = 3
    skin::Strokes five = skin::corner_hatching({0, 0, 10, 6}, c, true);
    EXPECT_EQ(c.dark102, at(five, 1, 5));   // (0, 4) to (2, 6)
    EXPECT_EQ(c.dark51, at(five, 1, 4));
    EXPECT_EQ(c.light102, at(five, 9, 1));  // (10, 2) to (8, 0)
}

TEST(SkinStrokes, ButtonFaceStylesOneToSix) {
    skin::ButtonShades c = skin::button_shades(0x808080);
    const skin::Rect r{0, 0, 20, 10};
    auto face = [&](int style, skin::FaceState state) { return skin::button_face(style, r, 0x808080, state, kSys); };
    const skin::FaceState normal = skin::FaceState::Normal;
    // 1: the fill in lighten 102, the 3-D frame, then the bevel lines (no fill of their own).
    EXPECT_EQ(c.light102, at(face(1, normal), 10, 4));
    EXPECT_EQ(c.base, at(face(1, normal), 0, 5));       // the bevel's left line over the frame
    EXPECT_EQ(c.dark102, at(face(1, normal), 19, 5));
    EXPECT_EQ(0x606060u, at(face(1, normal), 20, 5));   // the midpoint column
    // 2: the fill and frame, then the column bevel.
    EXPECT_EQ(c.light51, at(face(2, normal), 2, 5));
    EXPECT_EQ(c.dark51, at(face(2, normal), 0, 5));
    EXPECT_EQ(c.light102, at(face(2, normal), 10, 4));
    // 3: style 1, then the column bevel's lines.
    EXPECT_EQ(c.light51, at(face(3, normal), 2, 5));
    EXPECT_EQ(c.dark102, at(face(3, normal), 10, 9));
    // 4 and 5: hatchings over the fill.
    EXPECT_EQ(c.light102, at(face(4, normal), 1, 1));
    EXPECT_EQ(c.light102, at(face(4, normal), 10, 4));
    EXPECT_EQ(c.dark102, at(face(5, normal), 1, 9));
    // 6 per state: hover a dark fill in a frame; focus and normal a rounded rectangle.
    EXPECT_EQ(c.dark51, at(face(6, skin::FaceState::Hover), 5, 5));
    EXPECT_EQ(c.light51, at(face(6, skin::FaceState::Hover), 0, 5));
    EXPECT_EQ(c.dark51, at(face(6, skin::FaceState::Hover), 19, 5));
    skin::Strokes focus = face(6, skin::FaceState::Focus);
    ASSERT_FALSE(focus.empty());
    EXPECT_EQ(skin::StrokeKind::RoundRect, focus.front().kind);
    EXPECT_EQ(8, focus.front().round);
    skin::Strokes plain = face(6, normal);
    ASSERT_EQ(2u, plain.size());
    EXPECT_EQ(skin::StrokeKind::Fill, plain[0].kind);
    EXPECT_EQ(c.dark51, plain[0].brush);
    EXPECT_EQ(skin::StrokeKind::RoundRect, plain[1].kind);
    EXPECT_EQ(c.dark51, at(plain, 0, 0));  // a corner outside the rounded rectangle
    EXPECT_FALSE(skin::stroke_colour_at(plain, 10, 5, nullptr));
    // Styles outside 1..6 draw nothing here.
    EXPECT_TRUE(face(0, normal).empty());
    EXPECT_TRUE(face(7, normal).empty());
}

TEST(SkinStrokes, Draw3dRectAsTheFrameworkDrawsIt) {
    skin::Strokes s;
    skin::add_3d_rect(s, {0, 0, 5, 4}, 0x111111, 0x222222);
    EXPECT_EQ(0x111111u, at(s, 0, 0));
    EXPECT_EQ(0x111111u, at(s, 3, 0));
    EXPECT_EQ(0x222222u, at(s, 4, 0));   // the right edge covers the top-right corner
    EXPECT_EQ(0x111111u, at(s, 0, 2));
    EXPECT_EQ(0x222222u, at(s, 0, 3));   // the bottom edge covers the bottom-left corner
    EXPECT_EQ(0x222222u, at(s, 4, 3));
    EXPECT_FALSE(skin::stroke_colour_at(s, 2, 2, nullptr));
}

}  // namespace
