// The fourteen routines against values worked out from their definitions, a brute-force blur,
// the transitions' slat and band counts, bounds on odd sizes, and the preconditions.
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include "guarded_store.h"
#include "image_fill.h"
#include "videofx/core/effect_image.h"
#include "videofx/core/effects/hue_saturation_kernels.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// A one-row image of the given pixels.
CEffectImage row_image(std::initializer_list<Rgb> pixels) {
    CEffectImage image;
    image.Create(int(pixels.size()), 1);
    uint8_t* p = image.row(0);
    for (const Rgb& c : pixels) {
        *p++ = c.b;
        *p++ = c.g;
        *p++ = c.r;
    }
    return image;
}

Rgb rgb_at(const CEffectImage& image, int x, int row = 0) {
    const uint8_t* p = image.row(row) + 3 * x;
    return {p[2], p[1], p[0]};
}

bool operator==(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

std::vector<int> grey_values(const CEffectImage& image) {
    std::vector<int> values;
    for (int x = 0; x < image.width(); ++x) values.push_back(image.row(0)[3 * x]);
    return values;
}

}  // namespace

TEST(EffectRoutines, GoldenValues) {
    struct Case {
        const char* name;
        std::vector<int> input;
        std::function<void(CEffectImage&)> run;
        std::vector<int> expected;
    } cases[] = {
        {"brightness 100 keeps", {0, 1, 127, 254, 255}, [](CEffectImage& i) { i.AdjustBrightness(100, nullptr); }, {0, 1, 127, 254, 255}},
        {"brightness 50 halves", {255, 100, 1}, [](CEffectImage& i) { i.AdjustBrightness(50, nullptr); }, {127, 50, 0}},
        {"brightness 0 blacks", {255, 9}, [](CEffectImage& i) { i.AdjustBrightness(0, nullptr); }, {0, 0}},
        {"brightness 200 caps", {100, 200}, [](CEffectImage& i) { i.AdjustBrightness(200, nullptr); }, {200, 255}},
        // F = 326: 100 x 326 / 128 = 254.6 -> 254.
        {"brightness 255", {100, 101, 1}, [](CEffectImage& i) { i.AdjustBrightness(255, nullptr); }, {254, 255, 2}},
        {"contrast 100 keeps", {0, 50, 128, 200, 255}, [](CEffectImage& i) { i.AdjustContrast(100, nullptr); }, {0, 50, 128, 200, 255}},
        {"contrast 0 greys", {0, 77, 255}, [](CEffectImage& i) { i.AdjustContrast(0, nullptr); }, {128, 128, 128}},
        {"contrast 200", {200, 50, 129, 127}, [](CEffectImage& i) { i.AdjustContrast(200, nullptr); }, {255, 0, 130, 126}},
        // F = 64: 128 + 64 * (-1) / 128 truncates toward zero to 128.
        {"contrast 50 truncates toward zero", {127, 129, 0}, [](CEffectImage& i) { i.AdjustContrast(50, nullptr); }, {128, 128, 64}},
        {"invert", {0, 1, 255}, [](CEffectImage& i) { i.Invert(nullptr); }, {255, 254, 0}},
        {"sharpen 1", {10, 20}, [](CEffectImage& i) { i.Sharpen(1, nullptr); }, {0, 20}},
        {"sharpen 2 clamps", {100, 50, 50, 250, 10}, [](CEffectImage& i) { i.Sharpen(2, nullptr); }, {200, 50, 0, 255, 10}},
        {"sharpen 200", {128, 127, 127, 128, 9}, [](CEffectImage& i) { i.Sharpen(200, nullptr); }, {255, 127, 0, 255, 9}},
        {"sharpen beyond 256", {128, 127, 60}, [](CEffectImage& i) { i.Sharpen(100000, nullptr); }, {255, 255, 60}},
        {"mirror", {1, 2, 3, 4, 5}, [](CEffectImage& i) { i.Mirror(nullptr); }, {5, 4, 3, 2, 1}},
        // Walking from the right: 45 = (50 + 40) / 2, then the sum takes in 30, 20, 10 and gives up
        // the values just written: 37, 29, 19; pixel 0 keeps 10.
        {"weathering 1", {10, 20, 30, 40, 50}, [](CEffectImage& i) { i.Weathering(1, nullptr); }, {10, 19, 29, 37, 45}},
        // L = 2 on 6 pixels: (70 + 60 + 50) / 3 = 60; 40, 30 and 20 enter as 60, 53 and 45 leave:
        // 53, 45, 37; past the row the edge value 20 enters as 37 leaves: 31.
        {"weathering 2 takes the edge value", {20, 30, 40, 50, 60, 70}, [](CEffectImage& i) { i.Weathering(2, nullptr); }, {20, 31, 37, 45, 53, 60}},
        {"weathering longer than width - 2 does nothing", {1, 2, 3, 4}, [](CEffectImage& i) { i.Weathering(3, nullptr); }, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CEffectImage image;
        ASSERT_TRUE(image.Create(int(c.input.size()), 1));
        for (size_t x = 0; x < c.input.size(); ++x) std::fill_n(image.row(0) + 3 * x, 3, uint8_t(c.input[x]));
        c.run(image);
        EXPECT_EQ(grey_values(image), c.expected);
    }

    CEffectImage rgb = row_image({{10, 20, 30}, {250, 5, 128}});
    rgb.AdjustRgb(10, -10, 127, nullptr);
    EXPECT_EQ(rgb_at(rgb, 0), (Rgb{20, 10, 157}));
    EXPECT_EQ(rgb_at(rgb, 1), (Rgb{255, 0, 255}));
}

TEST(EffectRoutines, MosaicBlocksFromTableRowZero) {
    CEffectImage image;
    ASSERT_TRUE(image.Create(10, 10));
    fill_random(image, 7);
    CEffectImage original;
    original.CopyFrom(image);
    image.Mosaic(4, nullptr);
    // Blocks 4, 4 and 2 wide and high, counted from table row 0 and column 0.
    const int starts[] = {0, 4, 8}, sizes[] = {4, 4, 2};
    for (int by = 0; by < 3; ++by)
        for (int bx = 0; bx < 3; ++bx)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int i = 0; i < sizes[by]; ++i)
                    for (int x = 0; x < sizes[bx]; ++x) sum += original.row(starts[by] + i)[3 * (starts[bx] + x) + c];
                const int mean = sum / (sizes[by] * sizes[bx]);
                for (int i = 0; i < sizes[by]; ++i)
                    for (int x = 0; x < sizes[bx]; ++x)
                        ASSERT_EQ(image.row(starts[by] + i)[3 * (starts[bx] + x) + c], mean) << bx << "," << by;
            }
}

TEST(EffectRoutines, HueSaturationRoundTripLosesAtMostOneStep) {
    CEffectImage image;
    ASSERT_TRUE(image.Create(160, 100));
    fill_random(image, 3);
    const std::vector<uint8_t> before = pixel_bytes(image);
    image.AdjustHueSaturation(100, 100, nullptr);
    const std::vector<uint8_t> after = pixel_bytes(image);
    for (size_t i = 0; i < before.size(); ++i) ASSERT_TRUE(after[i] == before[i] || after[i] + 1 == before[i]) << i;
}

TEST(EffectRoutines, HueSaturationGoldenTable) {
    // Worked through the HSL steps in double precision (hue and saturation scaled by F / 128).
    const std::vector<Rgb> input = {{255, 0, 0},   {0, 255, 0},    {0, 0, 255},   {200, 100, 50}, {10, 20, 30},
                                    {128, 128, 128}, {255, 255, 0}, {30, 200, 220}, {250, 5, 128}, {77, 66, 55}};
    struct Case {
        int hue, saturation;
        std::vector<Rgb> expected;
    } cases[] = {
        {50, 150, {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {237, 49, 12}, {12, 35, 4}, {128, 128, 128}, {255, 127, 0},
                   {110, 255, 0}, {0, 255, 219}, {82, 57, 49}}},
        {150, 50, {{191, 63, 63}, {63, 191, 191}, {191, 63, 63}, {162, 125, 87}, {25, 15, 22}, {128, 128, 128},
                   {127, 191, 63}, {140, 77, 172}, {66, 188, 96}, {71, 68, 60}}},
        {0, 0, {{127, 127, 127}, {127, 127, 127}, {127, 127, 127}, {125, 125, 125}, {20, 20, 20}, {128, 128, 128},
                {127, 127, 127}, {125, 125, 125}, {127, 127, 127}, {65, 65, 65}}},
    };
    for (const Case& c : cases) {
        CEffectImage image;
        ASSERT_TRUE(image.Create(int(input.size()), 1));
        for (size_t x = 0; x < input.size(); ++x) {
            image.row(0)[3 * x] = input[x].b;
            image.row(0)[3 * x + 1] = input[x].g;
            image.row(0)[3 * x + 2] = input[x].r;
        }
        image.AdjustHueSaturation(c.hue, c.saturation, nullptr);
        for (size_t x = 0; x < input.size(); ++x)
            EXPECT_EQ(rgb_at(image, int(x)), c.expected[x]) << c.hue << "/" << c.saturation << " pixel " << x;
    }
}

TEST(EffectRoutines, OverlaysKeyAndTransparentGreen) {
    // Keyed with the box at white: every pixel but pure white is copied.
    uint8_t overlay_bytes[8] = {255, 255, 255, 255, 255, 254, 0, 0};  // white, then (254, 255, 255)
    const PictureView overlay = picture::bgr24(overlay_bytes, 2, 1);
    CEffectImage image;
    ASSERT_TRUE(image.Create(3, 2));
    image.Fill(0x102030);
    EXPECT_EQ(image.OverlayPicture(overlay, 1, 255, 255, 255, 255, 255, 255), 1);
    EXPECT_EQ(pixel_at(image, 0, 0), 0x102030u);
    EXPECT_EQ(pixel_at(image, 1, 0), 0xFEFFFFu);
    EXPECT_EQ(pixel_at(image, 2, 0), 0x102030u);
    EXPECT_EQ(pixel_at(image, 0, 1), 0x102030u) << "one overlay row lands on memory row 0 only";
    EXPECT_EQ(image.OverlayPicture(overlay, 0, 255, 255, 255, 255, 255, 255), 1);
    EXPECT_EQ(pixel_at(image, 0, 0), 0xFFFFFFu);

    // Text: pure green (0, 255, 0) is transparent, (0, 254, 0) is not.
    uint8_t text_bytes[8] = {0, 255, 0, 0, 254, 0, 0, 0};
    image.Fill(0x102030);
    image.OverlayText(picture::bgr24(text_bytes, 2, 1));
    EXPECT_EQ(pixel_at(image, 0, 0), 0x102030u);
    EXPECT_EQ(pixel_at(image, 1, 0), 0x00FE00u);
}

TEST(EffectRoutines, BlurMatchesABruteForceWindowMean) {
    std::mt19937 random(11);
    for (int size = 2; size <= 5; ++size)
        for (int trial = 0; trial < 4; ++trial) {
            SCOPED_TRACE("size " + std::to_string(size) + " trial " + std::to_string(trial));
            CEffectImage image;
            ASSERT_TRUE(image.Create(7, 5));
            fill_random(image, random());
            // Reference: the mean of the size x size window whose top-left is n up and left in table
            // order (table row i is memory row 4 - i), edges repeated. Size 5 is not below the height.
            std::vector<uint8_t> expected = pixel_bytes(image);
            if (size < 5) {
                const int n = size / 2;
                auto in = [&](int x, int i) {
                    return image.memory_row(4 - std::clamp(i, 0, 4)) + 3 * std::clamp(x, 0, 6);
                };
                for (int i = 0; i < 5; ++i)
                    for (int x = 0; x < 7; ++x)
                        for (int c = 0; c < 3; ++c) {
                            int sum = 0;
                            for (int dy = 0; dy < size; ++dy)
                                for (int dx = 0; dx < size; ++dx) sum += in(x - n + dx, i - n + dy)[c];
                            expected[size_t((4 - i) * 21 + 3 * x + c)] = uint8_t(sum / (size * size));
                        }
            }
            image.Blur(size);
            EXPECT_EQ(pixel_bytes(image), expected);
            EXPECT_EQ(image.progress().load(), size < 5 ? 100 : 0);
        }
    // Size 3 of one colour returns that colour.
    CEffectImage flat;
    ASSERT_TRUE(flat.Create(9, 6));
    flat.Fill(0x336699);
    flat.Blur(3);
    for (int i = 0; i < 6; ++i)
        for (int x = 0; x < 9; ++x) ASSERT_EQ(flat.GetPixel(x, i), 0x336699u);
}

TEST(EffectRoutines, FlipSwapsRowsAndReportsByPairs) {
    CEffectImage image;
    ASSERT_TRUE(image.Create(3, 4));
    fill_pattern(image);
    CEffectImage original;
    original.CopyFrom(image);
    image.Flip(&image.progress());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::memcmp(image.row(i), original.row(3 - i), 9), 0) << i;
    EXPECT_EQ(image.progress().load(), 100);
}

TEST(EffectRoutines, BlindsSlatsAndPeriod) {
    // Step 2 on 288 rows: 288 / 24 = 12-row slats exceed 8, so 36 slats of 8 rows; at c = 12 each
    // shows 12 x 8 / 36 = 2 rows; c = 24..47 leaves the frame alone; c = 48 starts over (black).
    auto blinds = [](int mode, int width, int height, uint32_t frame) {
        CEffectImage image;
        image.Create(width, height);
        image.Fill(0xFFFFFF);
        image.Blinds(mode, 2, frame);
        return image;
    };
    CEffectImage h = blinds(0, 8, 288, 12);
    for (int k = 0; k < 288; ++k) ASSERT_EQ(pixel_at(h, 3, k), (k % 8 < 2) ? 0xFFFFFFu : 0u) << k;
    CEffectImage mode256 = blinds(256, 8, 288, 12);  // only the low byte of the mode counts
    EXPECT_EQ(pixel_bytes(mode256), pixel_bytes(h));
    for (uint32_t frame : {24u, 30u, 47u}) EXPECT_EQ(pixel_at(blinds(0, 8, 288, frame), 0, 0), 0xFFFFFFu) << frame;
    EXPECT_EQ(pixel_at(blinds(0, 8, 288, 48), 0, 0), 0u);

    // Fewer than 2 rows a slat: one slat a row (N = 30), which shows c x 1 / 30 = 0 rows: black.
    CEffectImage thin = blinds(0, 4, 30, 23);
    for (int k = 0; k < 30; ++k) ASSERT_EQ(pixel_at(thin, 0, k), 0u) << k;

    // Vertical: 352 columns, step 2: 352 / 24 = 14 > 8, so 44 slats of 8; c = 12 shows 12 x 8 / 44 = 2.
    CEffectImage v = blinds(1, 352, 3, 12);
    for (int x = 0; x < 352; ++x) ASSERT_EQ(pixel_at(v, x, 1), (x % 8 < 2) ? 0xFFFFFFu : 0u) << x;
    // Columns fewer than one per slat: one slat per column.
    CEffectImage narrow = blinds(1, 20, 2, 11);
    for (int x = 0; x < 20; ++x) ASSERT_EQ(pixel_at(narrow, x, 0), 0u) << "11 x 1 / 20 = 0 columns";
}

TEST(EffectRoutines, ExpandBands) {
    auto expand = [](int mode, int width, int height, uint32_t frame) {
        CEffectImage image;
        image.Create(width, height);
        image.Fill(0xFFFFFF);
        image.Expand(mode, 2, frame);
        return image;
    };
    // Mode 0, step 2, k' = 16 on 352 columns: h = 16 x 176 / 32 = 88, the middle 176 columns show.
    CEffectImage middle = expand(0, 352, 4, 16);
    for (int x = 0; x < 352; ++x) ASSERT_EQ(pixel_at(middle, x, 2), (x >= 88 && x < 264) ? 0xFFFFFFu : 0u) << x;
    for (uint32_t frame : {32u, 40u, 47u}) EXPECT_EQ(pixel_at(expand(0, 352, 4, frame), 0, 0), 0xFFFFFFu) << frame;
    for (int mode = 0; mode < 6; ++mode) {  // k' = 0: black in every mode
        const std::vector<uint8_t> black = pixel_bytes(expand(mode, 10, 6, 48));
        EXPECT_TRUE(std::all_of(black.begin(), black.end(), [](uint8_t b) { return b == 0; })) << mode;
    }
    // Mode 1, k' = 8 of 32 on 40 rows: h = 8 x 20 / 32 = 5, memory rows 15..24 show.
    CEffectImage band = expand(1, 3, 40, 8);
    for (int k = 0; k < 40; ++k) ASSERT_EQ(pixel_at(band, 0, k), (k >= 15 && k < 25) ? 0xFFFFFFu : 0u) << k;
    // Mode 2 slides the row's first n = 8 x 20 / 32 = 5 pixels in at the right edge.
    CEffectImage slide;
    ASSERT_TRUE(slide.Create(20, 2));
    fill_pattern(slide);
    CEffectImage original;
    original.CopyFrom(slide);
    slide.Expand(2, 2, 8);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(pixel_at(slide, x, 1), x < 15 ? 0u : pixel_at(original, x - 15, 1)) << x;
    // Mode 3: memory rows 0..n-1, n = 8 x 40 / 32 = 10. Mode 5 at k' = 16: the first 32 pixels of
    // the first 20 memory rows.
    CEffectImage top = expand(3, 3, 40, 8);
    for (int k = 0; k < 40; ++k) ASSERT_EQ(pixel_at(top, 1, k), k < 10 ? 0xFFFFFFu : 0u) << k;
    CEffectImage corner = expand(5, 64, 40, 16);
    for (int k = 0; k < 40; ++k)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(pixel_at(corner, x, k), (k < 20 && x < 32) ? 0xFFFFFFu : 0u);
    CEffectImage other = expand(6, 10, 6, 8);  // unknown modes leave the picture
    EXPECT_EQ(pixel_at(other, 0, 0), 0xFFFFFFu);
}

// Every routine, with working and extreme parameters, on odd sizes, writes only inside its image.
TEST(EffectRoutines, StayInsideTheirImageAtOddSizes) {
    GuardedStore::broken_count() = 0;
    uint8_t overlay_bytes[16 * 8];
    std::fill(std::begin(overlay_bytes), std::end(overlay_bytes), 0x77);
    const PictureView overlay = picture::bgr24(overlay_bytes, 5, 8);
    const std::function<void(CEffectImage&)> routines[] = {
        [](CEffectImage& i) { i.AdjustRgb(-300, 0, 300, &i.progress()); },
        [](CEffectImage& i) { i.AdjustHueSaturation(255, 0, &i.progress()); },
        [](CEffectImage& i) { i.AdjustBrightness(255, &i.progress()); },
        [](CEffectImage& i) { i.AdjustContrast(255, &i.progress()); },
        [](CEffectImage& i) { i.Flip(&i.progress()); },
        [](CEffectImage& i) { i.Mirror(&i.progress()); },
        [](CEffectImage& i) { i.Invert(&i.progress()); },
        [](CEffectImage& i) { i.Mosaic(2, &i.progress()); },
        [](CEffectImage& i) { i.Mosaic(i.width() - 1, &i.progress()); },
        [](CEffectImage& i) { i.Weathering(1, &i.progress()); },
        [](CEffectImage& i) { i.Weathering(i.width() - 2, &i.progress()); },
        [](CEffectImage& i) { i.Sharpen(255, &i.progress()); },
        [](CEffectImage& i) { i.Blur(2); },
        [](CEffectImage& i) { i.Blur(std::min(i.width(), i.height()) - 1); },
        [&](CEffectImage& i) { i.OverlayPicture(overlay, 1, 0, 0, 0, 100, 100, 100); },
        [&](CEffectImage& i) { i.OverlayPicture(overlay, 0, 0, 0, 0, 0, 0, 0); },
        [&](CEffectImage& i) { i.OverlayText(overlay); },
        [](CEffectImage& i) {
            for (uint32_t frame = 0; frame < 30; ++frame) i.Blinds(int(frame % 2), 1, frame);
        },
        [](CEffectImage& i) {
            for (int mode = 0; mode < 6; ++mode)
                for (uint32_t frame = 0; frame < 16; ++frame) i.Expand(mode, 1, frame);
        },
    };
    for (int w : {1, 2, 3, 5, 7, 13})
        for (int h : {1, 2, 3, 9, 17})
            for (size_t r = 0; r < std::size(routines); ++r) {
                CEffectImage image(GuardedStore::make);
                ASSERT_TRUE(image.Create(w, h));
                fill_random(image, uint32_t(w * 100 + h));
                routines[r](image);
                ASSERT_TRUE(GuardedStore::all_live_intact()) << "routine " << r << " on " << w << "x" << h;
            }
    EXPECT_EQ(GuardedStore::broken_count(), 0);
}

TEST(EffectRoutines, FailedPreconditionsLeaveBytesAndProgress) {
    const PictureView no_data = picture::bgr24(nullptr, 1, 1);
    struct Case {
        const char* name;
        std::function<void(CEffectImage&)> run;
    } cases[] = {
        {"mosaic 1", [](CEffectImage& i) { i.Mosaic(1, &i.progress()); }},
        {"mosaic at the width", [](CEffectImage& i) { i.Mosaic(8, &i.progress()); }},
        {"mosaic at the height", [](CEffectImage& i) { i.Mosaic(6, &i.progress()); }},
        {"weathering 0", [](CEffectImage& i) { i.Weathering(0, &i.progress()); }},
        {"weathering width - 1", [](CEffectImage& i) { i.Weathering(7, &i.progress()); }},
        {"sharpen 0", [](CEffectImage& i) { i.Sharpen(0, &i.progress()); }},
        {"blur 1", [](CEffectImage& i) { i.Blur(1); }},
        {"blur at the height", [](CEffectImage& i) { i.Blur(6); }},
        {"blinds step 0", [](CEffectImage& i) { i.Blinds(0, 0, 1); }},
        {"blinds mode 2", [](CEffectImage& i) { i.Blinds(2, 1, 1); }},
        {"blinds second half", [](CEffectImage& i) { i.Blinds(0, 1, 12); }},
        {"expand step 0", [](CEffectImage& i) { i.Expand(0, 0, 1); }},
        {"expand mode 6", [](CEffectImage& i) { i.Expand(6, 1, 1); }},
        {"expand last third", [](CEffectImage& i) { i.Expand(0, 1, 16); }},
        {"overlay without a picture", [&](CEffectImage& i) { i.OverlayPicture(no_data, 0, 0, 0, 0, 0, 0, 0); }},
        {"text without a bitmap", [&](CEffectImage& i) { i.OverlayText(no_data); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CEffectImage image;
        ASSERT_TRUE(image.Create(8, 6));
        fill_random(image, 5);
        image.progress() = 77;
        const std::vector<uint8_t> before(image.bits(), image.bits() + image.byte_size());
        c.run(image);
        EXPECT_EQ(std::vector<uint8_t>(image.bits(), image.bits() + image.byte_size()), before);
        EXPECT_EQ(image.progress().load(), 77);
    }
    CEffectImage empty;
    empty.progress() = 77;
    empty.Flip(&empty.progress());
    EXPECT_EQ(empty.progress().load(), 77) << "flip needs a bitmap";
}

TEST(EffectRoutines, ProgressCountsRows) {
    CEffectImage image;
    ASSERT_TRUE(image.Create(4, 7));
    Progress progress{-1};
    image.Invert(&progress);
    EXPECT_EQ(progress.load(), 100);
    progress = -1;
    image.Mosaic(3, &progress);
    EXPECT_EQ(progress.load(), 100);
}

namespace {

// The hue and saturation steps one operation at a time, as the effect defines them.
void hsl_reference(uint8_t* p, int hue_percent, int saturation_percent) {
    const double k = 0.00392156862745098;
    const int fh = hue_percent * 128 / 100, fs = saturation_percent * 128 / 100;
    const double r = p[2] * k, g = p[1] * k, b = p[0] * k;
    const double mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b)), l = (mx + mn) / 2;
    double h = 0, s = 0;
    if (mx != mn) {
        const double d = mx - mn;
        s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
        h = (r == mx ? (g - b) / d : g == mx ? (b - r) / d + 2 : (r - g) / d + 4) / 6;
        if (h < 0) h += 1;
    }
    if (fh != 128) h = fh * h / 128;
    if (fs != 128) s = fs * s / 128;
    auto byte = [](double v) {
        const int x = int(v * 255);
        return uint8_t(x > 254 ? 255 : x <= 0 ? 0 : x);
    };
    if (s == 0) {
        p[0] = p[1] = p[2] = byte(l);
        return;
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s, m1 = 2 * l - m2;
    auto t = [m1, m2](double x) {
        if (x < 0) x += 1;
        if (x > 1) x -= 1;
        if (6 * x < 1) return m1 + (m2 - m1) * (6 * x);
        if (2 * x < 1) return m2;
        if (3 * x < 2) return m1 + (m2 - m1) * (2.0 / 3.0 - x) * 6;
        return m1;
    };
    p[2] = byte(t(h + 1.0 / 3.0));
    p[1] = byte(t(h));
    p[0] = byte(t(h - 1.0 / 3.0));
}

}  // namespace

// Every vector width this processor runs gives, on rows of every length up to two groups past the
// widest, the bytes of the step by step form (itself held to the golden table above).
TEST(EffectRoutines, HueSaturationKernelsMatchTheStepByStepForm) {
    ASSERT_FALSE(hue_saturation::kernels().empty());
    std::mt19937 random(21);
    const int settings[][2] = {{100, 100}, {80, 120}, {50, 150}, {255, 0}, {0, 255}, {128, 77}};
    for (const auto& setting : settings)
        for (int width = 1; width <= 19; ++width) {
            std::vector<uint8_t> row(size_t(3 * width) + 5);
            for (uint8_t& b : row) b = uint8_t(random());
            if (width > 3) row[3] = row[4] = row[5] = 200;  // a grey pixel
            std::vector<uint8_t> expected = row;
            for (int x = 0; x < width; ++x) hsl_reference(&expected[size_t(3 * x)], setting[0], setting[1]);
            const int fh = setting[0] * 128 / 100, fs = setting[1] * 128 / 100;
            for (const auto& kernel : hue_saturation::kernels()) {
                std::vector<uint8_t> got = row;
                kernel.convert_row(got.data(), width, fh, fs);
                EXPECT_EQ(got, expected) << kernel.name << " width " << width << " at " << setting[0] << "/" << setting[1];
            }
        }
    // Long rows cross the kernels' internal chunks.
    std::vector<uint8_t> row(3 * 700);
    for (uint8_t& b : row) b = uint8_t(random());
    std::vector<uint8_t> expected = row;
    for (int x = 0; x < 700; ++x) hsl_reference(&expected[size_t(3 * x)], 80, 120);
    for (const auto& kernel : hue_saturation::kernels()) {
        std::vector<uint8_t> got = row;
        kernel.convert_row(got.data(), 700, 102, 153);
        EXPECT_EQ(got, expected) << kernel.name;
    }
}

TEST(EffectRoutines, WeatheringTreatsEveryRowAlike) {
    // Rows smeared in pairs and the odd last one alone give what each row gives on its own.
    CEffectImage image;
    ASSERT_TRUE(image.Create(23, 5));
    fill_random(image, 17);
    std::vector<std::vector<uint8_t>> alone;
    for (int i = 0; i < 5; ++i) {
        CEffectImage one;
        ASSERT_TRUE(one.Create(23, 1));
        std::memcpy(one.row(0), image.row(i), 69);
        one.Weathering(4, nullptr);
        alone.emplace_back(one.row(0), one.row(0) + 69);
    }
    image.Weathering(4, nullptr);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(std::vector<uint8_t>(image.row(i), image.row(i) + 69), alone[size_t(i)]) << i;
}

TEST(EffectRoutines, BrightnessAndContrastOverEveryByteAndPercent) {
    // A row holding every byte value, long enough for the wide loops and their tails.
    CEffectImage source;
    ASSERT_TRUE(source.Create(86, 1));
    for (int i = 0; i < 258; ++i) source.row(0)[i] = uint8_t(i);
    for (int percent = 0; percent <= 255; ++percent) {
        const int f = percent * 128 / 100;
        CEffectImage bright, contrast;
        bright.CopyFrom(source);
        contrast.CopyFrom(source);
        bright.AdjustBrightness(percent, nullptr);
        contrast.AdjustContrast(percent, nullptr);
        for (int i = 0; i < 258; ++i) {
            const int c = uint8_t(i);
            ASSERT_EQ(bright.row(0)[i], std::min(255, c * f / 128)) << percent << " " << c;
            ASSERT_EQ(contrast.row(0)[i], std::clamp(128 + f * (c - 128) / 128, 0, 255)) << percent << " " << c;
        }
    }
}

TEST(EffectRoutines, WideRowsMatchTheirDefinitions) {
    // Rows long enough for every wide loop and its tail, against the definitions written out.
    for (int width : {97, 352}) {
        CEffectImage source;
        ASSERT_TRUE(source.Create(width, 2));
        fill_random(source, uint32_t(width));
        const int bytes = 3 * width;
        auto check = [&](const char* name, auto run, auto expected_row) {
            CEffectImage image;
            image.CopyFrom(source);
            run(image);
            for (int i = 0; i < 2; ++i) {
                std::vector<uint8_t> expected(source.row(i), source.row(i) + bytes);
                expected_row(expected);
                EXPECT_EQ(std::vector<uint8_t>(image.row(i), image.row(i) + bytes), expected) << name << " width " << width;
            }
        };
        check("rgb", [](CEffectImage& i) { i.AdjustRgb(-40, 17, 300, nullptr); },
              [](std::vector<uint8_t>& row) {
                  const int offsets[3] = {300, 17, -40};  // blue, green, red
                  for (size_t k = 0; k < row.size(); ++k) row[k] = uint8_t(std::clamp(row[k] + offsets[k % 3], 0, 255));
              });
        for (int strength : {3, 150})
            check("sharpen", [strength](CEffectImage& i) { i.Sharpen(strength, nullptr); },
                  [strength](std::vector<uint8_t>& row) {
                      const std::vector<uint8_t> in = row;
                      for (size_t k = 0; k + 3 < row.size(); ++k)
                          if (in[k] != in[k + 3]) row[k] = uint8_t(std::clamp(in[k] + strength * (in[k] - in[k + 3]), 0, 255));
                  });
        check("mirror", [](CEffectImage& i) { i.Mirror(nullptr); },
              [](std::vector<uint8_t>& row) {
                  const std::vector<uint8_t> in = row;
                  const size_t n = row.size() / 3;
                  for (size_t x = 0; x < n; ++x) std::copy_n(&in[3 * (n - 1 - x)], 3, &row[3 * x]);
              });
        check("invert", [](CEffectImage& i) { i.Invert(nullptr); },
              [](std::vector<uint8_t>& row) {
                  for (uint8_t& b : row) b = uint8_t(255 - b);
              });
        check("weathering", [](CEffectImage& i) { i.Weathering(8, nullptr); },
              [](std::vector<uint8_t>& row) {
                  const int n = int(row.size() / 3), length = 8;
                  for (int c = 0; c < 3; ++c) {
                      auto at = [&](int k) -> uint8_t& { return row[size_t(3 * (n - 1 - k) + c)]; };
                      const int edge = row[size_t(c)];
                      int sum = 0;
                      for (int k = 0; k <= length; ++k) sum += at(k);
                      at(0) = uint8_t(std::clamp(sum / (length + 1), 0, 255));
                      for (int k = 0; k <= n - 3; ++k) {
                          sum += (k < n - length - 1 ? at(k + length + 1) : edge) - at(k);
                          at(k + 1) = uint8_t(std::clamp(sum / (length + 1), 0, 255));
                      }
                  }
              });
    }
}
