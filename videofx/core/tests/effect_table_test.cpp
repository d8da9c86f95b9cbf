// The effect table: resets and the fit rule, the chain in list order, counters, areas clipped to the
// frame, the size check, getters, and processing while another thread resets and replaces data.
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include "image_fill.h"
#include "videofx/core/effect_table.h"
#include "videofx/core/project_file.h"
#include "base/message_seam.h"
#include "tests/support/media_test_tools.h"

using namespace videofx;

namespace {

constexpr int kW = 352, kH = 288, kStride = 1056;

// A frame with canary bytes before and after it.
struct GuardedFrame {
    static constexpr size_t kGuard = 256;
    std::vector<uint8_t> block;
    int width, height, stride;
    GuardedFrame(int w, int h, uint32_t seed) : width(w), height(h), stride(bgr_stride(w)) {
        block.assign(size_t(stride) * h + 2 * kGuard, 0xC5);
        std::mt19937 random(seed);
        for (size_t i = 0; i < size_t(stride) * h; ++i) block[kGuard + i] = uint8_t(random());
    }
    uint8_t* data() { return block.data() + kGuard; }
    int size() const { return stride * height; }
    std::vector<uint8_t> bytes() const {
        return std::vector<uint8_t>(block.begin() + kGuard, block.begin() + long(kGuard) + size());
    }
    bool guards_intact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (block[i] != 0xC5 || block[block.size() - 1 - i] != 0xC5) return false;
        return true;
    }
};

std::vector<int> all_ids() {
    std::vector<int> ids;
    for (int id = 1; id <= kEffectCount; ++id) ids.push_back(id);
    return ids;
}

void enable(EffectTable& table, int id, bool whole_frame = true) {
    table.with_slots([&](SlotTable& s) {
        s[slot_of(id)].enabled = 1;
        s[slot_of(id)].whole_frame = whole_frame ? 1 : 0;
    });
}

void set_region(EffectTable& table, int id, int x, int y, int w, int h) {
    table.with_slots([&](SlotTable& s) {
        EffectSlot& slot = s[slot_of(id)];
        slot.region_x = x;
        slot.region_y = y;
        slot.region_width = w;
        slot.region_height = h;
    });
}

// Runs routines directly on an area of a frame, copied in and out as the chain does.
template <typename Run>
void apply_directly(GuardedFrame& frame, int x, int y, int w, int h, Run run) {
    CEffectImage image;
    ASSERT_TRUE(image.Create(w, h));
    for (int k = 0; k < h; ++k) std::memcpy(image.memory_row(k), frame.data() + size_t(frame.stride) * (y + k) + 3 * x, 3 * size_t(w));
    run(image);
    for (int k = 0; k < h; ++k) std::memcpy(frame.data() + size_t(frame.stride) * (y + k) + 3 * x, image.memory_row(k), 3 * size_t(w));
}

// Gives the table's record a malloc'd w x h picture of one byte value, `extra` bytes short or over.
bool give_picture(EffectTable& table, int index, int w, int h, uint8_t value, int extra = 0) {
    const int size = int(bgr_bytes(w, h)) + extra;
    uint8_t* p = static_cast<uint8_t*>(std::malloc(size_t(size)));
    std::memset(p, value, size_t(size));
    return table.set_slot_data(index, p, size, w, h);
}

}  // namespace

TEST(EffectTable, LoadBeginAndFullResetValues) {
    EffectTable table;
    for (int i = 0; i < kSlotCount; ++i) {
        const EffectSlot s = table.slot(i);
        EXPECT_EQ(s.effect_id, i < 14 ? i + 1 : 0);
        EXPECT_EQ(s.slot_index, i);
        EXPECT_EQ(s.region_width, 0);
        EXPECT_STREQ(s.name, "");
    }
    table.begin();
    EXPECT_EQ(table.frame_width(), 352);
    EXPECT_EQ(table.frame_height(), 288);
    EXPECT_STREQ(table.slot(0).name, "RGB颜色效果器");
    EXPECT_STREQ(table.slot(10).name, "图片叠加效果器");
    EXPECT_STREQ(table.slot(13).name, "展开效果器");
    EXPECT_STREQ(table.slot(14).name, "");
    EXPECT_EQ(table.slot(6).region_x, 88);
    EXPECT_EQ(table.slot(6).region_height, 72);
    EXPECT_EQ(table.slot(6).byte_params[0], 0) << "begin clears parameters without giving reset values";

    EXPECT_EQ(table.set_frame_size(320, 240, 1), EffectTable::kAllSlots);
    const struct {
        int id;
        std::vector<int> bytes;
    } resets[] = {{1, {128, 128, 128}}, {2, {100, 100, 0}}, {3, {100, 100, 0}}, {4, {0, 0, 0}}, {7, {5, 0, 0}},
                  {8, {1, 0, 0}},       {9, {1, 0, 0}},     {10, {1, 0, 0}},    {11, {0, 0, 0}}, {12, {0, 0, 0}},
                  {13, {2, 0, 0}},      {14, {2, 0, 0}}};
    for (const auto& r : resets) {
        const EffectSlot s = table.slot(slot_of(r.id));
        for (int i = 0; i < 3; ++i) EXPECT_EQ(s.byte_params[i], r.bytes[size_t(i)]) << "effect " << r.id << " byte " << i;
        EXPECT_EQ(s.region_x, 80);
        EXPECT_EQ(s.region_y, 60);
        EXPECT_EQ(s.region_width, 80);
        EXPECT_EQ(s.region_height, 60);
    }
    const EffectSlot text = table.slot(kTextSlot);
    EXPECT_EQ(text.int_params[0], 255);
    EXPECT_EQ(text.int_params[1], 0xFFFFFF);
    EXPECT_EQ(text.int_params[2], 24);
    EXPECT_STREQ(text.name, "文字叠加效果器") << "names survive a reset";
}

TEST(EffectTable, FitRule) {
    EffectTable table;
    table.begin();
    table.set_frame_size(kW, kH, 1);
    set_region(table, 5, 100, 100, 250, 100);
    enable(table, 5, false);
    // 350 > 320 and 320 - 250 = 70 > 2: the width becomes 70; 200 <= 240 keeps the height.
    EXPECT_EQ(table.set_frame_size(320, 240, 0), 0u);
    EffectSlot s = table.slot(4);
    EXPECT_EQ(s.region_x, 100);
    EXPECT_EQ(s.region_width, 70);
    EXPECT_EQ(s.region_height, 100);
    EXPECT_EQ(s.enabled, 1);

    // Width 251: 251 - 250 = 1 <= 2 resets the record to (62, 60, 62, 60) and switches it off.
    set_region(table, 5, 100, 100, 250, 100);
    table.with_slots([](SlotTable& t) { t[4].byte_params[0] = 9; });
    EXPECT_EQ(table.set_frame_size(251, 240, 0), 1u << 4);
    s = table.slot(4);
    EXPECT_EQ(s.region_x, 62);
    EXPECT_EQ(s.region_y, 60);
    EXPECT_EQ(s.region_width, 62);
    EXPECT_EQ(s.region_height, 60);
    EXPECT_EQ(s.enabled, 0);
    EXPECT_EQ(s.byte_params[0], 9) << "parameters stay";

    // The height test after a width fit; a record that fits stays as it is.
    set_region(table, 6, 30, 200, 300, 100);
    set_region(table, 7, 0, 0, 10, 10);
    EXPECT_EQ(table.set_frame_size(320, 240, 0), 0u);
    s = table.slot(5);
    EXPECT_EQ(s.region_width, 20);
    EXPECT_EQ(s.region_height, 140);
    EXPECT_EQ(table.slot(6).region_width, 10);

    // Sizes below 1 change nothing.
    EXPECT_EQ(table.set_frame_size(0, 240, 1), 0u);
    EXPECT_EQ(table.set_frame_size(320, -5, 0), 0u);
    EXPECT_EQ(table.frame_width(), 320);
    EXPECT_EQ(table.slot(5).region_width, 20);
}

TEST(EffectTable, ChainFollowsTheListOrder) {
    EffectTable table;
    table.begin();
    table.set_frame_size(kW, kH, 1);
    enable(table, kMosaic);
    enable(table, kBlur);
    table.with_slots([](SlotTable& s) {
        s[slot_of(kMosaic)].byte_params[0] = 8;
        s[slot_of(kBlur)].byte_params[0] = 5;
    });
    GuardedFrame mosaic_first(kW, kH, 1), blur_first(kW, kH, 1), expected1(kW, kH, 1), expected2(kW, kH, 1);
    EXPECT_EQ(table.change(mosaic_first.data(), mosaic_first.size(), {7, 10}), mosaic_first.size());
    EXPECT_EQ(table.change(blur_first.data(), blur_first.size(), {10, 7}), blur_first.size());
    apply_directly(expected1, 0, 0, kW, kH, [](CEffectImage& i) {
        i.Mosaic(8, nullptr);
        i.Blur(5);
    });
    apply_directly(expected2, 0, 0, kW, kH, [](CEffectImage& i) {
        i.Blur(5);
        i.Mosaic(8, nullptr);
    });
    EXPECT_EQ(mosaic_first.bytes(), expected1.bytes());
    EXPECT_EQ(blur_first.bytes(), expected2.bytes());
    EXPECT_NE(mosaic_first.bytes(), blur_first.bytes());

    // Rows whose ids are not 1..14, and effects that are on but not listed, are not applied.
    GuardedFrame unlisted(kW, kH, 2);
    const std::vector<uint8_t> before = unlisted.bytes();
    table.change(unlisted.data(), unlisted.size(), {0, 15, -3, 99});
    EXPECT_EQ(unlisted.bytes(), before);
}

TEST(EffectTable, EverythingOffLeavesFrameAndCounters) {
    EffectTable table;
    table.begin();
    table.set_frame_size(kW, kH, 1);
    GuardedFrame frame(kW, kH, 3);
    const std::vector<uint8_t> before = frame.bytes();
    EXPECT_FALSE(table.any_enabled());
    EXPECT_EQ(table.change(frame.data(), frame.size(), all_ids()), frame.size());
    EXPECT_EQ(frame.bytes(), before);
    EXPECT_EQ(table.blinds_frame(), 0u);

    // Blinds see counter 1 on the first processed frame.
    enable(table, kBlinds);
    table.with_slots([](SlotTable& s) { s[slot_of(kBlinds)].byte_params[1] = 1; });
    GuardedFrame expected(kW, kH, 3);
    apply_directly(expected, 0, 0, kW, kH, [](CEffectImage& i) { i.Blinds(1, 2, 1); });
    table.change(frame.data(), frame.size(), all_ids());
    EXPECT_EQ(table.blinds_frame(), 1u);
    EXPECT_EQ(table.expand_frame(), 1u);
    EXPECT_EQ(frame.bytes(), expected.bytes());
    table.set_frame_size(kW, kH, 0);
    EXPECT_EQ(table.blinds_frame(), 0u) << "a new size starts the transitions over";

    // A record whose byte is 2 counts as on for the counters but is not processed.
    EffectTable other;
    other.begin();
    other.set_enabled(kTextOverlay, 2);
    EXPECT_TRUE(other.any_enabled());
    GuardedFrame untouched(kW, kH, 4);
    const std::vector<uint8_t> kept = untouched.bytes();
    other.change(untouched.data(), untouched.size(), all_ids());
    EXPECT_EQ(untouched.bytes(), kept);
    EXPECT_EQ(other.blinds_frame(), 1u);
}

TEST(EffectTable, AreasAreClippedToTheFrame) {
    struct Case {
        const char* name;
        int x, y, w, h;
        int cx, cy, cw, ch;  // the part inside the frame
    } cases[] = {
        {"inside", 10, 20, 30, 40, 10, 20, 30, 40},
        {"past the right and bottom", 300, 250, 100, 100, 300, 250, 52, 38},
        {"negative start", -20, -10, 50, 40, 0, 0, 30, 30},
        {"start beyond the width", 400, 10, 50, 50, 0, 0, 0, 0},
        {"start beyond the height", 10, 300, 50, 50, 0, 0, 0, 0},
        {"zero width", 10, 10, 0, 50, 0, 0, 0, 0},
        {"negative height", 10, 10, 50, -5, 0, 0, 0, 0},
        {"huge", 2147483000, 2147483000, 2147483000, 2147483000, 0, 0, 0, 0},
        {"huge size from 0", 0, 0, 2147483647, 2147483647, 0, 0, kW, kH},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EffectTable table;
        table.begin();
        table.set_frame_size(kW, kH, 1);
        enable(table, kInvert, false);
        enable(table, kMirror, false);
        set_region(table, kInvert, c.x, c.y, c.w, c.h);
        set_region(table, kMirror, c.x, c.y, c.w, c.h);
        GuardedFrame frame(kW, kH, 5), expected(kW, kH, 5);
        table.change(frame.data(), frame.size(), {kMirror, kInvert});
        if (c.cw > 0)
            apply_directly(expected, c.cx, c.cy, c.cw, c.ch, [](CEffectImage& i) {
                i.Mirror(nullptr);
                i.Invert(nullptr);
            });
        EXPECT_TRUE(frame.guards_intact());
        EXPECT_EQ(frame.bytes(), expected.bytes());
    }
}

TEST(EffectTable, RowPaddingOfTheFrameIsLeftAlone) {
    // 351 pixels a row: 1053 bytes and 3 of padding. Whole-frame effects, the transitions among
    // them (which rebuild the whole picture), change the pixels as the routines do and no padding.
    EffectTable table;
    table.begin();
    table.set_frame_size(351, 9, 1);
    for (int id : {kFlip, kBlinds, kExpand, kSharpen}) enable(table, id);
    table.with_slots([](SlotTable& s) { s[slot_of(kExpand)].byte_params[1] = 2; });
    GuardedFrame frame(351, 9, 12), expected(351, 9, 12);
    for (int y = 0; y < 9; ++y)
        for (int i = 1053; i < 1056; ++i) frame.data()[1056 * y + i] = expected.data()[1056 * y + i] = 0x5A;
    table.change(frame.data(), frame.size(), {kFlip, kBlinds, kExpand, kSharpen});
    apply_directly(expected, 0, 0, 351, 9, [](CEffectImage& i) {
        i.Flip(nullptr);
        i.Blinds(0, 2, 1);
        i.Expand(2, 2, 1);
        i.Sharpen(1, nullptr);
    });
    EXPECT_EQ(frame.bytes(), expected.bytes());
    EXPECT_TRUE(frame.guards_intact());
}

TEST(EffectTable, ShortOrMissingFramesAreLeftAlone) {
    EffectTable table;
    table.begin();
    table.set_frame_size(kW, kH, 1);
    enable(table, kInvert);
    GuardedFrame frame(kW, kH, 6);
    const std::vector<uint8_t> before = frame.bytes();
    EXPECT_EQ(table.change(frame.data(), kStride * kH - 1, all_ids()), kStride * kH - 1);
    EXPECT_EQ(table.change(nullptr, kStride * kH, all_ids()), kStride * kH);
    EXPECT_EQ(table.change(frame.data(), -1, all_ids()), -1);
    EXPECT_EQ(frame.bytes(), before);
    EXPECT_EQ(table.blinds_frame(), 0u);
    EXPECT_EQ(table.change(frame.data(), kStride * kH + 10, all_ids()), kStride * kH + 10);  // larger is fine
    EXPECT_NE(frame.bytes(), before);
    EXPECT_TRUE(frame.guards_intact());
}

TEST(EffectTable, GettersFollowDataAndResets) {
    EffectTable table;
    table.begin();
    table.set_frame_size(kW, kH, 1);
    table.set_enabled(kTextOverlay, 1);
    EXPECT_FALSE(table.text_flag()) << "on, but no bitmap";
    EXPECT_FALSE(table.text_valid());

    EXPECT_TRUE(give_picture(table, kTextSlot, 20, 10, 9));
    EXPECT_TRUE(give_picture(table, kPictureSlot, 40, 30, 7));
    EXPECT_FALSE(give_picture(table, kPictureSlot, 40, 30, 7, -1));
    EXPECT_TRUE(table.picture_valid()) << "a refused picture leaves the one there";
    table.set_overlay_picture(CRgbImage(40, 30, 0x102030));
    EXPECT_TRUE(table.text_flag());
    EXPECT_TRUE(table.text_valid());
    EXPECT_FALSE(table.picture_flag());
    table.set_enabled(kPictureOverlay, 1);
    EXPECT_TRUE(table.picture_flag());
    table.set_enabled(kPictureOverlay, 2);
    EXPECT_FALSE(table.picture_flag()) << "only 1 counts as on";
    EXPECT_TRUE(table.picture_valid());

    // A reset frees the picture and the overlay built from it: effect 11 draws nothing after it.
    table.set_frame_size(kW, kH, 1);
    EXPECT_FALSE(table.picture_valid());
    EXPECT_FALSE(table.text_valid());
    EXPECT_FALSE(table.overlay_present());
    table.set_enabled(kPictureOverlay, 1);
    GuardedFrame frame(kW, kH, 8);
    const std::vector<uint8_t> before = frame.bytes();
    table.change(frame.data(), frame.size(), all_ids());
    EXPECT_EQ(frame.bytes(), before);

    // Close keeps rectangles and names, clears the rest.
    set_region(table, 3, 1, 2, 3, 4);
    EXPECT_TRUE(give_picture(table, kTextSlot, 4, 4, 1));
    table.close();
    const EffectSlot s = table.slot(2);
    EXPECT_EQ(s.region_width, 3);
    EXPECT_STREQ(s.name, "对比度亮度效果器");
    EXPECT_EQ(s.byte_params[0], 0);
    EXPECT_FALSE(table.text_valid());
    EXPECT_FALSE(table.any_enabled());
}

TEST(EffectTable, OverlaysDrawFromTheTopOfTheirArea) {
    EffectTable table;
    table.begin();
    table.set_frame_size(kW, kH, 1);
    set_region(table, kPictureOverlay, 30, 40, 100, 50);
    set_region(table, kTextOverlay, 200, 100, 10, 10);
    enable(table, kPictureOverlay, false);
    enable(table, kTextOverlay, false);
    table.set_overlay_picture(CRgbImage(60, 70, 0xAABBCC));  // taller than the area: cut at its bottom
    const uint8_t low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    table.set_overlay_key(false, low, high);
    const int size = int(bgr_bytes(3, 2));
    uint8_t* text = static_cast<uint8_t*>(std::calloc(size_t(size), 1));
    text[0] = 0, text[1] = 255, text[2] = 0;  // (0, 0) pure green: transparent
    text[3] = 1, text[4] = 2, text[5] = 3;
    table.set_slot_data(kTextSlot, text, size, 3, 2);
    GuardedFrame frame(kW, kH, 9), expected(kW, kH, 9);
    table.change(frame.data(), frame.size(), all_ids());
    for (int y = 40; y < 90; ++y)
        for (int x = 30; x < 90; ++x) {
            uint8_t* p = expected.data() + size_t(kStride) * y + 3 * x;
            p[0] = 0xCC, p[1] = 0xBB, p[2] = 0xAA;
        }
    for (int y = 100; y < 102; ++y)
        for (int x = 200; x < 203; ++x) {
            if (y == 100 && x == 200) continue;
            uint8_t* p = expected.data() + size_t(kStride) * y + 3 * x;
            if (y == 100 && x == 201) p[0] = 1, p[1] = 2, p[2] = 3;
            else p[0] = p[1] = p[2] = 0;
        }
    EXPECT_EQ(frame.bytes(), expected.bytes());
}

// Frames flow on one thread while another resets the table, replaces pictures, opens projects and
// closes: ASan checks that no buffer is used after it was freed.
TEST(EffectTable, FramesAgainstResetsOnAnotherThread) {
    seam::set_reporter([](const char*, const char*, unsigned, void*) { return int(seam::kAnswerOk); }, nullptr);
    EffectTable table;
    table.begin();
    table.set_frame_size(kW, kH, 1);
    give_picture(table, kPictureSlot, 64, 48, 3);
    give_picture(table, kTextSlot, 64, 48, 5);
    const std::string project = media_test::fresh_path("threads.VCP");
    ASSERT_EQ(save_project(table, project.c_str()), ProjectResult::kDone);

    std::atomic<bool> done{false};
    std::thread frames([&] {
        GuardedFrame frame(kW, kH, 10);
        while (!done.load()) {
            for (int id : {kPictureOverlay, kTextOverlay, kBlur, kExpand}) table.set_enabled(id, 1);
            table.with_slots([](SlotTable& s) {
                for (int id : {kPictureOverlay, kTextOverlay, kBlur, kExpand}) s[slot_of(id)].whole_frame = 1;
            });
            table.change(frame.data(), frame.size(), all_ids());
        }
        EXPECT_TRUE(frame.guards_intact());
    });
    for (int round = 0; round < 40; ++round) {
        give_picture(table, kPictureSlot, 64, 48, uint8_t(round));
        give_picture(table, kTextSlot, 32, 16, uint8_t(round));
        table.set_overlay_picture(CRgbImage(64, 48, round));
        switch (round % 4) {
            case 0: table.set_frame_size(kW, kH, 1); break;
            case 1: ASSERT_EQ(open_project(table, project.c_str()), ProjectResult::kDone); break;
            case 2: table.close(); break;
            case 3: table.begin(); table.set_frame_size(kW, kH, 0); break;
        }
    }
    done = true;
    frames.join();
    seam::set_reporter(nullptr, nullptr);
}
