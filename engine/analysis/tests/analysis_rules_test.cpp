// The analysis's pure rules: the thread a type gets, the entries chosen, the H.264 prefix rewrite and
// the MTV pixel rows it uses.
#include <gtest/gtest.h>
#include <vector>
#include "engine/analysis/analysis_rules.h"
#include "engine/input/mp4_input.h"
#include "engine/input/mtv_input.h"

namespace {

Segment entry(int key, int time_ms, bool thumbnail = false) {
    Segment s;
    s.entry.is_key = uint8_t(key);
    s.entry.time_ms = time_ms;
    if (thumbnail) s.set_thumbnail({1, 2, 3});
    return s;
}

TEST(AnalysisKind, ByTheExactTypeName) {
    struct Case {
        const char* type;
        AnalysisKind kind;
        bool alt;
    } cases[] = {{"FLV", AnalysisKind::kFlvSwf, false}, {"SWF", AnalysisKind::kFlvSwf, true},
                 {"MTV", AnalysisKind::kMtvAmv, false}, {"AMV", AnalysisKind::kMtvAmv, true},
                 {"AVI", AnalysisKind::kAvi, false},    {"MP4", AnalysisKind::kMp4, false},
                 {"flv", AnalysisKind::kNone, false},   {"MPEG4 AVI", AnalysisKind::kNone, false},
                 {"", AnalysisKind::kNone, false}};
    for (const Case& c : cases) {
        bool alt = !c.alt;
        EXPECT_EQ(c.kind, analysis_kind(c.type, &alt)) << c.type;
        EXPECT_EQ(c.alt, alt) << c.type;
    }
    EXPECT_EQ(AnalysisKind::kNone, analysis_kind(nullptr, nullptr));
}

TEST(EntryChoice, KeyPicturesAtLeast800MsApartAndSwfDecodesEveryPicture) {
    // Key pictures every 500 ms with two others between them.
    SegmentList flv;
    for (int i = 0; i < 12; ++i) flv.push_back(entry(i % 3 == 0 ? 1 : 2, i * 500 / 3));
    EXPECT_EQ((std::vector<int>{0, 6}), entries_with_thumbnails(flv, AnalysisKind::kFlvSwf, false));
    SegmentList keys;
    for (int i = 0; i < 9; ++i) keys.push_back(entry(1, i * 500));
    EXPECT_EQ((std::vector<int>{0, 2, 4, 6, 8}), entries_with_thumbnails(keys, AnalysisKind::kFlvSwf, false));
    EXPECT_EQ((std::vector<int>{0, 2, 4, 6, 8}), entries_with_thumbnails(keys, AnalysisKind::kMp4, false));

    // The first key picture is taken wherever it lies; exactly 800 ms later is too close.
    SegmentList late = {entry(2, 0), entry(1, 300), entry(1, 1100), entry(1, 1101)};
    EXPECT_EQ((std::vector<int>{1, 3}), entries_with_thumbnails(late, AnalysisKind::kMtvAmv, false));

    // AVI takes any non-zero key flag, the others flag 1 only.
    SegmentList flags = {entry(3, 0), entry(2, 1000), entry(1, 2000)};
    EXPECT_EQ((std::vector<int>{0, 1, 2}), entries_with_thumbnails(flags, AnalysisKind::kAvi, false));
    EXPECT_EQ((std::vector<int>{2}), entries_with_thumbnails(flags, AnalysisKind::kFlvSwf, false));

    // SWF: every picture decoded, thumbnails of the key pictures however close.
    SegmentList swf = {entry(1, 0), entry(0, 66), entry(1, 133), entry(0, 200)};
    EntryChooser chooser(AnalysisKind::kFlvSwf, true);
    for (size_t j = 0; j < swf.size(); ++j) {
        const EntryChoice c = chooser.next(swf[j]);
        EXPECT_TRUE(c.decode) << j;
        EXPECT_EQ(swf[j].entry.is_key != 0, c.thumbnail) << j;
    }
}

TEST(EntryChoice, ASecondAnalysisChoosesNothingNew) {
    SegmentList keys;
    for (int i = 0; i < 9; ++i) keys.push_back(entry(1, i * 500));
    for (int j : entries_with_thumbnails(keys, AnalysisKind::kFlvSwf, false)) keys[size_t(j)].set_thumbnail({9});
    EntryChooser again(AnalysisKind::kFlvSwf, false);
    for (const Segment& s : keys) EXPECT_FALSE(again.next(s).decode);
    // SWF still decodes every picture but makes no second thumbnail.
    EntryChooser swf(AnalysisKind::kFlvSwf, true);
    for (const Segment& s : keys) {
        const EntryChoice c = swf.next(s);
        EXPECT_TRUE(c.decode);
        EXPECT_EQ(!s.has_thumbnail(), c.thumbnail);
    }
}

TEST(AnalysisPrefixRewrite, LengthsBecomeStartCodesWithinTheData) {
    struct Case {
        const char* name;
        std::vector<uint8_t> in;
        bool has_start_codes;
        std::vector<uint8_t> out;
        int usable;
    } cases[] = {
        {"two units", {0, 0, 0, 2, 0x65, 0x88, 0, 0, 0, 1, 0x41}, false, {0, 0, 0, 1, 0x65, 0x88, 0, 0, 0, 1, 0x41}, 11},
        {"first value 1", {0, 0, 0, 1, 0x65, 0x88}, true, {0, 0, 0, 1, 0x65, 0x88}, 6},
        {"first value 0", {0, 0, 0, 0, 0x01, 0x65}, true, {0, 0, 0, 0, 0x01, 0x65}, 6},
        // The second length runs past the data: the walk stops there and it is left out.
        {"length past the data", {0, 0, 0, 2, 0x65, 0x88, 0, 0, 1, 0, 0x41}, false,
         {0, 0, 0, 1, 0x65, 0x88, 0, 0, 1, 0, 0x41}, 6},
        {"first length past the data", {0, 0, 0x10, 0, 0x65}, false, {0, 0, 0x10, 0, 0x65}, 0},
    };
    for (Case& c : cases) {
        std::vector<uint8_t> data = c.in;
        const bool start_codes = h264_has_start_codes(data.data(), int(data.size()));
        EXPECT_EQ(c.has_start_codes, start_codes) << c.name;
        const int usable = start_codes ? int(data.size()) : h264_prefix_rewrite(data.data(), int(data.size()));
        EXPECT_EQ(c.usable, usable) << c.name;
        EXPECT_EQ(c.out, data) << c.name;
    }
}

TEST(AnalysisMtvRows, Rgb555And565BigEndianWrittenBottomUp) {
    // Two rows of one pixel: stored first 0x7C00 / 0xF800 (pure red), second 0x001F (blue).
    const uint8_t stored555[] = {0x7C, 0x00, 0x00, 0x1F};
    const uint8_t stored565[] = {0xF8, 0x00, 0x07, 0xE0};  // red, then pure green (0x07E0)
    uint8_t out[8] = {};
    ASSERT_TRUE(mtv_picture_bgr(stored555, sizeof stored555, 1, 2, kMtvPixels555, out, 4));
    // Row 0 of the picture is the last stored row: blue = 0x1F << 3.
    EXPECT_EQ((std::vector<uint8_t>{0xF8, 0, 0}), std::vector<uint8_t>(out, out + 3));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0xF8}), std::vector<uint8_t>(out + 4, out + 7));
    ASSERT_TRUE(mtv_picture_bgr(stored565, sizeof stored565, 1, 2, 0, out, 4));
    EXPECT_EQ((std::vector<uint8_t>{0, 0xFC, 0}), std::vector<uint8_t>(out, out + 3));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0xF8}), std::vector<uint8_t>(out + 4, out + 7));
    // A mixed 5-5-5 value by the formulas red (v >> 7) & 0xF8, green (v >> 2) & 0xF8, blue v << 3.
    const unsigned v = 0x5295;  // 0 10100 10100 10101
    const uint8_t mixed[] = {uint8_t(v >> 8), uint8_t(v & 0xFF)};
    ASSERT_TRUE(mtv_picture_bgr(mixed, 2, 1, 1, kMtvPixels555, out, 4));
    EXPECT_EQ(uint8_t((v >> 7) & 0xF8), out[2]);
    EXPECT_EQ(uint8_t((v >> 2) & 0xF8), out[1]);
    EXPECT_EQ(uint8_t(v << 3), out[0]);
    // Too few bytes for the picture: nothing.
    EXPECT_FALSE(mtv_picture_bgr(stored555, 3, 1, 2, kMtvPixels555, out, 4));
}

}  // namespace
