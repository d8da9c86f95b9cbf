// CEffectImage: the row table, sizes, and the buffer operations the routines and pages use.
#include <gtest/gtest.h>
#include <algorithm>
#include "guarded_store.h"
#include "image_fill.h"
#include "videofx/core/effect_image.h"

TEST(EffectImage, StrideAndRowTable) {
    struct Case {
        int width, stride;
    } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {177, 532}};
    for (const Case& c : cases) {
        CEffectImage image;
        ASSERT_TRUE(image.Create(c.width, 3));
        EXPECT_EQ(image.stride(), c.stride);
        EXPECT_EQ(image.byte_size(), size_t(c.stride) * 3);
        // Table row 0 is the last row in memory; each next row lies one stride before.
        EXPECT_EQ(image.row(0), image.bits() + 2 * c.stride);
        EXPECT_EQ(image.row(1), image.row(0) - c.stride);
        EXPECT_EQ(image.row(2), image.bits());
        for (size_t i = 0; i < image.byte_size(); ++i) ASSERT_EQ(image.bits()[i], 0) << "a new image is black";
    }
}

TEST(EffectImage, SizesOutsideTheRangeLeaveItEmpty) {
    for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-1, 4}, {4, -1}, {CEffectImage::kMaxSide + 1, 1}}) {
        CEffectImage image;
        ASSERT_TRUE(image.Create(2, 2));
        EXPECT_FALSE(image.Create(w, h));
        EXPECT_TRUE(image.empty());
        EXPECT_EQ(image.width(), 0);
        // Every operation on an empty image does nothing.
        image.Fill(0xFFFFFF);
        image.GrowCanvas(1, 1, 1, 1);
        image.ExtendEdges(1, 1);
        EXPECT_TRUE(image.empty());
        EXPECT_EQ(image.GetPixel(0, 0), 0u);
    }
}

TEST(EffectImage, GetPixelAndFillUseTableRows) {
    CEffectImage image;
    ASSERT_TRUE(image.Create(3, 2));
    image.Fill(0x112233);
    EXPECT_EQ(image.GetPixel(2, 1), 0x112233u);
    EXPECT_EQ(image.bits()[0], 0x33);  // blue first
    RgbRect rect{1, 0, 9, 1};          // reaches past the right edge: clipped
    image.Fill(0xABCDEF, &rect);
    EXPECT_EQ(image.GetPixel(0, 0), 0x112233u);
    EXPECT_EQ(image.GetPixel(1, 0), 0xABCDEFu);
    EXPECT_EQ(image.GetPixel(2, 0), 0xABCDEFu);
    EXPECT_EQ(image.GetPixel(1, 1), 0x112233u);
    EXPECT_EQ(pixel_at(image, 1, 1), 0xABCDEFu) << "table row 0 is memory row 1 of 2";
}

TEST(EffectImage, CopyCropAndPaste) {
    CEffectImage image;
    ASSERT_TRUE(image.Create(7, 5));
    fill_pattern(image);
    CEffectImage copy;
    copy.CopyFrom(image);
    EXPECT_EQ(pixel_bytes(copy), pixel_bytes(image));

    CEffectImage crop;
    EXPECT_TRUE(image.CropTo(&crop, {2, 1, 6, 4}));
    ASSERT_EQ(crop.width(), 4);
    ASSERT_EQ(crop.height(), 3);
    for (int i = 0; i < 3; ++i)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(crop.GetPixel(x, i), image.GetPixel(x + 2, i + 1));
    EXPECT_TRUE(image.CropTo(&crop, {-3, -3, 2, 2}));  // intersected with the image
    EXPECT_EQ(crop.width(), 2);
    EXPECT_EQ(crop.height(), 2);
    EXPECT_FALSE(image.CropTo(&crop, {7, 0, 9, 2}));
    EXPECT_FALSE(image.CropTo(&crop, {3, 3, 3, 4}));
    EXPECT_FALSE(image.CropTo(&image, {0, 0, 2, 2}));
    EXPECT_FALSE(image.CropTo(nullptr, {0, 0, 2, 2}));

    // Crop and paste back in place: a round trip.
    CEffectImage target;
    ASSERT_TRUE(target.Create(7, 5));
    ASSERT_TRUE(image.CropTo(&crop, {1, 1, 5, 4}));
    ASSERT_TRUE(target.PasteFrom(crop, 1, 1));
    for (int i = 0; i < 5; ++i)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(target.GetPixel(x, i), (x >= 1 && x < 5 && i >= 1 && i < 4) ? image.GetPixel(x, i) : 0u) << x << "," << i;
    // Pasting partly outside copies the part that fits, and nothing beyond.
    CEffectImage small;
    ASSERT_TRUE(small.Create(2, 2));
    EXPECT_TRUE(small.PasteFrom(image, -3, -2));
    EXPECT_EQ(small.GetPixel(0, 0), image.GetPixel(3, 2));
    EXPECT_EQ(small.GetPixel(1, 1), image.GetPixel(4, 3));
    EXPECT_FALSE(small.PasteFrom(image, 2, 0));
}

TEST(EffectImage, GrowAndShrinkCanvas) {
    CEffectImage image;
    ASSERT_TRUE(image.Create(3, 2));
    fill_pattern(image);
    CEffectImage original;
    original.CopyFrom(image);
    image.GrowCanvas(1, 2, 3, 4);
    ASSERT_EQ(image.width(), 7);
    ASSERT_EQ(image.height(), 8);
    for (int i = 0; i < 8; ++i)
        for (int x = 0; x < 7; ++x) {
            const bool inside = x >= 1 && x < 4 && i >= 2 && i < 4;
            EXPECT_EQ(image.GetPixel(x, i), inside ? original.GetPixel(x - 1, i - 2) : 0u) << x << "," << i;
        }
    image.GrowCanvas(-1, 0, 0, 0);  // a negative margin: nothing
    EXPECT_EQ(image.width(), 7);
    image.ShrinkCanvas(1, 2, 3, 4);
    EXPECT_EQ(pixel_bytes(image), pixel_bytes(original));

    // Margins that leave no pixel are refused: 1 + 1 >= 2.
    CEffectImage two;
    ASSERT_TRUE(two.Create(2, 2));
    fill_pattern(two);
    const std::vector<uint8_t> before = pixel_bytes(two);
    two.ShrinkCanvas(1, 1, 1, 1);
    two.ShrinkCanvas(0, 0, 2, 0);
    two.ShrinkCanvas(0, -1, 0, 0);
    EXPECT_EQ(two.width(), 2);
    EXPECT_EQ(pixel_bytes(two), before);
    two.ShrinkCanvas(1, 0, 0, 1);
    EXPECT_EQ(two.width(), 1);
    EXPECT_EQ(two.height(), 1);
}

TEST(EffectImage, ExtendEdgesRepeatsTheBorder) {
    CEffectImage one;
    ASSERT_TRUE(one.Create(1, 1));
    one.Fill(0x405060);
    one.ExtendEdges(1, 1);
    ASSERT_EQ(one.width(), 3);
    ASSERT_EQ(one.height(), 3);
    for (int i = 0; i < 3; ++i)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(one.GetPixel(x, i), 0x405060u);

    // Every position of the grown image repeats the nearest picture pixel (table order).
    CEffectImage image;
    ASSERT_TRUE(image.Create(4, 3));
    fill_pattern(image);
    CEffectImage original;
    original.CopyFrom(image);
    image.ExtendEdges(2, 1);
    ASSERT_EQ(image.width(), 7);
    ASSERT_EQ(image.height(), 6);
    for (int i = 0; i < 6; ++i)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(image.GetPixel(x, i), original.GetPixel(std::clamp(x - 2, 0, 3), std::clamp(i - 2, 0, 2)))
                << x << "," << i;
    image.ExtendEdges(-1, 2);
    EXPECT_EQ(image.width(), 7);
}

TEST(EffectImage, OperationsStayInsideTheirStores) {
    GuardedStore::broken_count() = 0;
    for (int w : {1, 2, 3, 5})
        for (int h : {1, 2, 3}) {
            CEffectImage image(GuardedStore::make);
            ASSERT_TRUE(image.Create(w, h));
            fill_pattern(image);
            image.ExtendEdges(2, 3);
            image.ShrinkCanvas(2, 2, 3, 3);
            RgbRect everywhere{-5, -5, 50, 50};
            image.Fill(0x010203, &everywhere);
            CEffectImage crop(GuardedStore::make);
            image.CropTo(&crop, everywhere);
            image.PasteFrom(crop, -1, -1);
            EXPECT_TRUE(GuardedStore::all_live_intact());
        }
    EXPECT_EQ(GuardedStore::broken_count(), 0);
}
