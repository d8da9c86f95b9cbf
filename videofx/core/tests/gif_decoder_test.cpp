// CGifDecoder on GIF files put together byte by byte: versions, the smallest frames, the KwKwK code,
// code-width growth, extensions, both modes, and hostile data refused without reading out of bounds.
#include <gtest/gtest.h>
#include <random>
#include <string>
#include "gif_writer.h"
#include "videofx/core/gif_decoder.h"

using gif_test::GifWriter;
using gif_test::pack_codes;

namespace {

const std::vector<uint8_t> kFourColours = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};

std::vector<uint8_t> random_indices(size_t count, int colours, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> indices(count);
    // Runs of equal indices, as pictures have, so that long strings enter the table.
    for (size_t i = 0; i < count; ++i) indices[i] = (i > 0 && random() % 3) ? indices[i - 1] : uint8_t(random() % colours);
    return indices;
}

// Opens in the given mode and returns the first frame's indices; empty when anything fails.
std::vector<uint8_t> first_frame(const std::vector<uint8_t>& file, bool load_all) {
    CGifDecoder decoder;
    if (!decoder.OpenBytes(file, load_all)) return {};
    const GifFrame* frame = decoder.GetNextFrame();
    return frame ? frame->pixels : std::vector<uint8_t>{};
}

}  // namespace

TEST(GifDecoder, Versions) {
    const std::vector<uint8_t> pixel = {1};
    for (const char* version : {"87a", "89a"}) {
        GifWriter gif(version, 1, 1, kFourColours);
        gif.frame(0, 0, 1, 1, 2, pixel).trailer();
        CGifDecoder decoder;
        EXPECT_TRUE(decoder.OpenBytes(gif.bytes, false)) << version;
        EXPECT_EQ(decoder.GetInfo()->frameCount, 1);
    }
    GifWriter newer("90a", 1, 1, kFourColours);
    newer.frame(0, 0, 1, 1, 2, pixel).trailer();
    CGifDecoder decoder;
    EXPECT_FALSE(decoder.OpenBytes(newer.bytes, false));
    EXPECT_EQ(decoder.GetInfo()->frameCount, 0);
    EXPECT_EQ(decoder.GetNextFrame(), nullptr);

    GifWriter good("89a", 1, 1, kFourColours);
    good.frame(0, 0, 1, 1, 2, pixel).trailer();
    std::vector<uint8_t> not_gif = good.bytes;
    not_gif[0] = 'J';
    EXPECT_FALSE(decoder.OpenBytes(not_gif, false));
    for (size_t cut = 0; cut < 13 + kFourColours.size() + 4; ++cut)
        EXPECT_FALSE(decoder.OpenBytes(std::vector<uint8_t>(good.bytes.begin(), good.bytes.begin() + long(cut)), false)) << cut;
}

TEST(GifDecoder, HeaderFieldsAndTables) {
    GifWriter gif("89a", 300, 200, kFourColours);
    gif.bytes[11] = 3;  // background index
    gif.control(2, true, 150, 3).frame(10, 20, 2, 1, 2, {2, 3}, {9, 8, 7, 6, 5, 4}).trailer();
    CGifDecoder decoder;
    ASSERT_TRUE(decoder.OpenBytes(gif.bytes, false));
    const GifInfo* info = decoder.GetInfo();
    EXPECT_EQ(info->screenWidth, 300);
    EXPECT_EQ(info->screenHeight, 200);
    EXPECT_EQ(info->hasGlobalTable, 1);
    EXPECT_EQ(info->globalTableSize, 4);
    EXPECT_EQ(info->colorResolution, 8);
    EXPECT_EQ(info->backgroundIndex, 3);
    ASSERT_NE(info->globalTable, nullptr);
    EXPECT_EQ(info->globalTable[3], 255);
    const GifFrame* frame = decoder.GetNextFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->left, 10);
    EXPECT_EQ(frame->top, 20);
    EXPECT_EQ(frame->hasLocalTable, 1);
    EXPECT_EQ(frame->localTableSize, 2);
    EXPECT_EQ(frame->localTable, (std::vector<uint8_t>{9, 8, 7, 6, 5, 4}));
    EXPECT_EQ(frame->pixels, (std::vector<uint8_t>{2, 3}));
    EXPECT_EQ(frame->hasControl, 1);
    EXPECT_EQ(frame->disposal, 2);
    EXPECT_EQ(frame->transparent, 1);
    EXPECT_EQ(frame->delay, 150);
    EXPECT_EQ(frame->transparentIndex, 3);
}

TEST(GifDecoder, HandMadeCodeStreams) {
    struct Case {
        const char* name;
        int width, height, m;
        std::vector<int> codes;
        std::vector<uint8_t> expected;
    } cases[] = {
        // 1 x 1, code size 2: clear 4, literal 1, end 5, three bits each.
        {"one pixel", 1, 1, 2, {4, 1, 5}, {1}},
        // Code 6 arrives before it is in the table (KwKwK): 1 then 1,1; code 6 again gives 1,1 and
        // enters 7, which fills 3 bits: the end code comes with 4.
        {"KwKwK and a wider code", 5, 1, 2, {4, 1, 6, 6, 5}, {1, 1, 1, 1, 1}},
        // Code size 1: clear 2, end 3, strings of the two colours.
        {"code size 1", 4, 1, 1, {2, 1, 0, 4, 3}, {1, 0, 1, 0}},
        // Data ending before the frame is full: the rest stays 0.
        {"short data", 4, 2, 2, {4, 3, 3, 5}, {3, 3, 0, 0, 0, 0, 0, 0}},
        // A clear code in the middle starts the table and the width over.
        {"clear inside", 3, 1, 2, {4, 2, 4, 1, 1, 5}, {2, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifWriter gif("89a", c.width, c.height, kFourColours);
        gif.frame_data(0, 0, c.width, c.height, c.m, pack_codes(c.codes, c.m)).trailer();
        EXPECT_EQ(first_frame(gif.bytes, false), c.expected);
        EXPECT_EQ(first_frame(gif.bytes, true), c.expected);
    }
}

TEST(GifDecoder, EncodedPicturesComeBackWhole) {
    struct Case {
        int width, height, m, colours;
    } cases[] = {{16, 16, 2, 2}, {37, 11, 2, 4}, {64, 64, 8, 256}, {300, 200, 8, 200}, {120, 90, 4, 16}, {50, 50, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " m " + std::to_string(c.m));
        const std::vector<uint8_t> indices = random_indices(size_t(c.width) * c.height, c.colours, uint32_t(c.width));
        GifWriter gif("89a", c.width, c.height, kFourColours);
        gif.frame(0, 0, c.width, c.height, c.m, indices).trailer();
        EXPECT_EQ(first_frame(gif.bytes, false), indices);
    }
}

TEST(GifDecoder, ExtensionsSkippedOrRefused) {
    GifWriter gif("89a", 2, 1, kFourColours);
    gif.extension(0xFE, {{'h', 'i'}})
        .extension(0xFF, {{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}, {1, 0, 0}})
        .extension(0x01, {{12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {'t', 'e', 'x', 't'}})
        .frame(0, 0, 2, 1, 2, {3, 1})
        .trailer();
    EXPECT_EQ(first_frame(gif.bytes, false), (std::vector<uint8_t>{3, 1}));

    GifWriter unknown("89a", 2, 1, kFourColours);
    unknown.extension(0x99, {{1, 2}}).frame(0, 0, 2, 1, 2, {3, 1}).trailer();
    CGifDecoder decoder;
    EXPECT_FALSE(decoder.OpenBytes(unknown.bytes, false));

    GifWriter stray("89a", 2, 1, kFourColours);
    stray.frame(0, 0, 2, 1, 2, {3, 1});
    stray.bytes.push_back(0x42);  // neither a block nor padding
    stray.trailer();
    EXPECT_FALSE(decoder.OpenBytes(stray.bytes, false));
}

TEST(GifDecoder, FramesRepeatAfterTheLastAndInterlacedRowsStayCoded) {
    GifWriter gif("89a", 2, 4, kFourColours);
    gif.frame(0, 0, 2, 4, 2, {0, 0, 1, 1, 2, 2, 3, 3}, {}, true)
        .frame(0, 0, 1, 1, 2, {1})
        .bytes.push_back(0);  // padding between blocks
    gif.frame(0, 0, 1, 1, 2, {2}).trailer();
    for (bool load_all : {false, true}) {
        SCOPED_TRACE(load_all ? "load all" : "on demand");
        CGifDecoder decoder;
        ASSERT_TRUE(decoder.OpenBytes(gif.bytes, load_all));
        EXPECT_EQ(decoder.GetInfo()->frameCount, 3);
        std::vector<std::vector<uint8_t>> seen;
        for (int i = 0; i < 5; ++i) {
            const GifFrame* frame = decoder.GetNextFrame();
            ASSERT_NE(frame, nullptr);
            seen.push_back(frame->pixels);
        }
        EXPECT_EQ(seen[0], (std::vector<uint8_t>{0, 0, 1, 1, 2, 2, 3, 3})) << "coded order";
        EXPECT_EQ(seen[1], (std::vector<uint8_t>{1}));
        EXPECT_EQ(seen[2], (std::vector<uint8_t>{2}));
        EXPECT_EQ(seen[3], seen[0]);
        EXPECT_EQ(seen[4], seen[1]);
    }
}

TEST(GifDecoder, HostileFramesAreRefused) {
    std::vector<int> overflow = {4, 0};  // 4,100 literals without a clear code: the table fills
    overflow.insert(overflow.end(), 4100, 0);
    struct Case {
        const char* name;
        int width, height, m;
        std::vector<uint8_t> data;
    } cases[] = {
        {"code size 0", 1, 1, 0, pack_codes({1, 0, 2}, 1)},
        {"code size 12", 1, 1, 12, {0, 0, 0, 0}},
        {"code size 255", 1, 1, 255, {0, 0, 0, 0}},
        {"first code not a literal", 2, 1, 2, pack_codes({4, 6, 5}, 2)},
        {"first code the end code", 2, 1, 2, pack_codes({4, 5}, 2)},
        {"literal past the end", 1, 1, 2, pack_codes({4, 1, 1, 5}, 2)},
        {"string past the end", 3, 1, 2, pack_codes({4, 1, 1, 6, 5}, 2)},
        {"KwKwK past the end", 2, 1, 2, pack_codes({4, 1, 6, 5}, 2)},
        {"table overflow", 100, 100, 2, pack_codes(overflow, 2)},
        {"zero width", 0, 5, 2, pack_codes({4, 1, 5}, 2)},
        {"zero height", 5, 0, 2, pack_codes({4, 1, 5}, 2)},
        {"huge", 65535, 65535, 2, pack_codes({4, 1, 5}, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifWriter gif("89a", 4, 4, kFourColours);
        gif.frame_data(0, 0, c.width, c.height, c.m, c.data).trailer();
        CGifDecoder decoder;
        ASSERT_TRUE(decoder.OpenBytes(gif.bytes, false)) << "counting does not decode";
        EXPECT_EQ(decoder.GetNextFrame(), nullptr);
        CGifDecoder all;
        EXPECT_FALSE(all.OpenBytes(gif.bytes, true));
    }
}

TEST(GifDecoder, EndsWithoutTrailerAndTruncations) {
    GifWriter gif("89a", 3, 2, kFourColours);
    gif.control(0, false, 10, 0).frame(0, 0, 3, 2, 2, {1, 2, 3, 0, 1, 2}).frame(0, 0, 3, 2, 2, {3, 3, 3, 3, 3, 3});
    // No trailer: both frames are there, then the end of the file ends the scan.
    CGifDecoder decoder;
    ASSERT_TRUE(decoder.OpenBytes(gif.bytes, false));
    EXPECT_EQ(decoder.GetInfo()->frameCount, 2);
    EXPECT_NE(decoder.GetNextFrame(), nullptr);
    EXPECT_NE(decoder.GetNextFrame(), nullptr);
    EXPECT_EQ(decoder.GetNextFrame(), nullptr);
    EXPECT_EQ(decoder.GetNextFrame(), nullptr);

    // Every cut of the file: refused, or decoded as far as it goes, never read past its end.
    gif.trailer();
    for (size_t cut = 0; cut < gif.bytes.size(); ++cut) {
        const std::vector<uint8_t> part(gif.bytes.begin(), gif.bytes.begin() + long(cut));
        for (bool load_all : {false, true}) {
            CGifDecoder d;
            if (!d.OpenBytes(part, load_all)) continue;
            for (int i = 0; i < 4; ++i) d.GetNextFrame();
        }
    }
    // A frame whose sub-blocks are cut off fails; the complete one before it does not.
    std::vector<uint8_t> cut = gif.bytes;
    cut.resize(cut.size() - 4);
    CGifDecoder d;
    ASSERT_TRUE(d.OpenBytes(cut, false));
    EXPECT_EQ(d.GetInfo()->frameCount, 1);
    EXPECT_NE(d.GetNextFrame(), nullptr);
    EXPECT_EQ(d.GetNextFrame(), nullptr);
}

TEST(GifDecoder, FilesWithoutFramesOrMissing) {
    GifWriter empty("89a", 4, 4, kFourColours);
    empty.extension(0xFE, {{'x'}}).trailer();
    CGifDecoder decoder;
    EXPECT_FALSE(decoder.OpenBytes(empty.bytes, false));
    EXPECT_FALSE(decoder.Open("/nonexistent/none.gif", false));
    CGifDecoder constructed("/nonexistent/none.gif", true);
    EXPECT_TRUE(constructed.m_bError);
}
