// Project files: sizes, a field-by-field round trip, and hostile files that must be refused whole
// (or normalised) without touching the table.
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "base/message_seam.h"
#include "tests/support/media_test_tools.h"
#include "videofx/core/project_file.h"

using namespace videofx;
using media_test::fresh_path;
using media_test::read_file;
using media_test::write_file;

namespace {

std::vector<std::string> g_messages;
int record(const char* text, const char* caption, unsigned style, void*) {
    g_messages.push_back(std::string(text) + "|" + (caption ? caption : "") + "|" + std::to_string(style));
    return seam::kAnswerOk;
}

class ProjectFile : public ::testing::Test {
protected:
    void SetUp() override {
        g_messages.clear();
        seam::set_reporter(record, nullptr);
    }
    void TearDown() override { seam::set_reporter(nullptr, nullptr); }
};

const std::string kNotAProject = "该文件不是Orvane视频处理配置文件|Orvane视频处理器|0";

// A 176 x 144 picture (stride 528: 76,032 bytes) and a 30 x 2 text bitmap, with parameters set.
void fill_table(EffectTable& table) {
    table.begin();
    table.set_frame_size(352, 288, 1);
    const int picture_size = int(bgr_bytes(176, 144)), text_size = int(bgr_bytes(30, 2)) + 5;
    uint8_t* picture = static_cast<uint8_t*>(std::malloc(size_t(picture_size)));
    uint8_t* text = static_cast<uint8_t*>(std::malloc(size_t(text_size)));
    for (int i = 0; i < picture_size; ++i) picture[i] = uint8_t(i * 31 + 7);
    for (int i = 0; i < text_size; ++i) text[i] = uint8_t(i * 17 + 3);
    ASSERT_TRUE(table.set_slot_data(kPictureSlot, picture, picture_size, 176, 144));
    ASSERT_TRUE(table.set_slot_data(kTextSlot, text, text_size, 30, 2));
    table.with_slots([](SlotTable& s) {
        for (int i = 0; i < kSlotCount; ++i) {
            EffectSlot& slot = s[i];
            slot.region_x = i;
            slot.region_y = 2 * i;
            slot.region_width = 3 * i + 1;
            slot.region_height = 4 * i + 1;
            slot.enabled = uint8_t(i & 1);
            slot.whole_frame = uint8_t(i % 3 == 0);
            slot.reserved1[0] = uint8_t(i);
            for (int k = 0; k < 8; ++k) {
                slot.int_params[k] = i * 1000 - k;
                slot.byte_params[k] = uint8_t(i * 8 + k);
            }
            std::snprintf(slot.text, sizeof slot.text, "Z:\\图片\\%d.bmp", i);
            slot.reserved2[2] = uint8_t(200 + i);
        }
    });
}

void expect_same_table(const EffectTable& a, const EffectTable& b) {
    a.with_slots([&](const SlotTable& sa) {
        b.with_slots([&](const SlotTable& sb) {
            for (int i = 0; i < kSlotCount; ++i) {
                SCOPED_TRACE("record " + std::to_string(i));
                const EffectSlot &x = sa[i], &y = sb[i];
                EXPECT_EQ(x.effect_id, y.effect_id);
                EXPECT_EQ(x.region_x, y.region_x);
                EXPECT_EQ(x.region_y, y.region_y);
                EXPECT_EQ(x.region_width, y.region_width);
                EXPECT_EQ(x.region_height, y.region_height);
                EXPECT_EQ(x.enabled, y.enabled);
                EXPECT_EQ(x.whole_frame, y.whole_frame);
                EXPECT_EQ(std::memcmp(x.reserved1, y.reserved1, 2), 0);
                EXPECT_EQ(x.data_size, y.data_size);
                EXPECT_EQ(x.data_width, y.data_width);
                EXPECT_EQ(x.data_height, y.data_height);
                EXPECT_EQ(std::memcmp(x.int_params, y.int_params, sizeof x.int_params), 0);
                EXPECT_STREQ(x.text, y.text);
                EXPECT_EQ(std::memcmp(x.byte_params, y.byte_params, 8), 0);
                EXPECT_STREQ(x.name, y.name);
                EXPECT_EQ(x.slot_index, y.slot_index);
                EXPECT_EQ(std::memcmp(x.reserved2, y.reserved2, 3), 0);
                ASSERT_EQ(x.data == nullptr, y.data == nullptr);
                if (x.data) {
                    EXPECT_EQ(std::memcmp(x.data, y.data, size_t(x.data_size)), 0);
                }
            }
        });
    });
}

// Where record i starts in a file whose records before it carry `data_before` data bytes.
size_t record_offset(int i, size_t data_before = 0) { return kProjectHeaderSize + size_t(i) * 724 + data_before; }

void put32(std::vector<uint8_t>& bytes, size_t at, int32_t value) { std::memcpy(&bytes[at], &value, 4); }

}  // namespace

TEST_F(ProjectFile, SizesOfEmptyAndPictureTables) {
    EffectTable table;
    table.begin();
    table.set_frame_size(352, 288, 1);
    const std::string path = fresh_path("empty.VCP");
    ASSERT_EQ(save_project(table, path.c_str()), ProjectResult::kDone);
    const std::vector<uint8_t> empty = read_file(path);
    EXPECT_EQ(empty.size(), 11592u);
    EXPECT_EQ(std::string(empty.begin(), empty.begin() + 3), "vcp");
    EXPECT_EQ(empty[3], 1);
    EXPECT_EQ(empty[4], 16);

    const int size = int(bgr_bytes(176, 144));
    ASSERT_EQ(size, 76032);
    uint8_t* picture = static_cast<uint8_t*>(std::malloc(size_t(size)));
    std::memset(picture, 0x5A, size_t(size));
    picture[0] = 0x11;
    ASSERT_TRUE(table.set_slot_data(kPictureSlot, picture, size, 176, 144));
    ASSERT_EQ(save_project(table, path.c_str()), ProjectResult::kDone);
    const std::vector<uint8_t> with_picture = read_file(path);
    ASSERT_EQ(with_picture.size(), 11592u + 76032u);
    // The picture's bytes follow record 10, whose pointer slot is 0.
    EXPECT_EQ(with_picture[record_offset(11)], 0x11);
    EXPECT_EQ(with_picture[record_offset(11) + 1], 0x5A);
    int32_t stored[4];
    std::memcpy(stored, &with_picture[record_offset(10) + 24], sizeof stored);
    EXPECT_EQ(stored[0], 0);
    EXPECT_EQ(stored[1], 76032);
    EXPECT_EQ(stored[2], 176);
    EXPECT_EQ(stored[3], 144);
    EXPECT_FALSE(media_test::run("ls '" + path + "'.tmp 2>/dev/null").size()) << "no file left beside it";
}

TEST_F(ProjectFile, RoundTripFieldByField) {
    EffectTable table;
    fill_table(table);
    const std::string path = fresh_path("round.VCP");
    ASSERT_EQ(save_project(table, path.c_str()), ProjectResult::kDone);
    EffectTable back;
    back.begin();
    back.set_overlay_picture(CRgbImage(4, 4));
    ASSERT_EQ(open_project(back, path.c_str()), ProjectResult::kDone);
    expect_same_table(table, back);
    EXPECT_FALSE(back.overlay_present()) << "the overlay is rebuilt from the new picture";
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(ProjectFile, DataSizeOneWritesNoBytes) {
    EffectTable table;
    table.begin();
    const std::string path = fresh_path("one.VCP");
    ASSERT_EQ(save_project(table, path.c_str()), ProjectResult::kDone);
    std::vector<uint8_t> bytes = read_file(path);
    put32(bytes, record_offset(3) + 28, 1);  // data_size 1: no data bytes follow
    write_file(path, bytes);
    ASSERT_EQ(open_project(table, path.c_str()), ProjectResult::kDone);
    EXPECT_EQ(table.slot(3).data_size, 1);
    table.with_slots([](SlotTable& s) { EXPECT_EQ(s[3].data, nullptr); });
    ASSERT_EQ(save_project(table, path.c_str()), ProjectResult::kDone);
    EXPECT_EQ(read_file(path).size(), 11592u);
}

TEST_F(ProjectFile, HostileFilesAreRefusedWholeAndTheTableKept) {
    EffectTable table;
    fill_table(table);
    const std::string good_path = fresh_path("good.VCP");
    ASSERT_EQ(save_project(table, good_path.c_str()), ProjectResult::kDone);
    const std::vector<uint8_t> good = read_file(good_path);
    const size_t picture_data = record_offset(11);
    const size_t text_record = picture_data + 76032;

    struct Case {
        std::string name;
        std::function<void(std::vector<uint8_t>&)> damage;
        ProjectResult result;
        bool told;
    };
    std::vector<Case> cases = {
        {"text file", [](std::vector<uint8_t>& b) { b.assign({'h', 'e', 'l', 'l', 'o', '\n'}); }, ProjectResult::kNotAProject, true},
        {"empty file", [](std::vector<uint8_t>& b) { b.clear(); }, ProjectResult::kNotAProject, true},
        {"version 2", [](std::vector<uint8_t>& b) { b[3] = 2; }, ProjectResult::kOtherVersion, false},
        {"version 2 cut short", [](std::vector<uint8_t>& b) { b.resize(4), b[3] = 2; }, ProjectResult::kOtherVersion, false},
        {"negative data size", [&](std::vector<uint8_t>& b) { put32(b, record_offset(5) + 28, -4); }, ProjectResult::kNotAProject, true},
        {"huge data size", [&](std::vector<uint8_t>& b) { put32(b, record_offset(5) + 28, 0x7FFFFFFF); }, ProjectResult::kNotAProject, true},
        {"picture shorter than its size", [&](std::vector<uint8_t>& b) { put32(b, record_offset(10) + 36, 145); }, ProjectResult::kNotAProject, true},
        {"picture without a width", [&](std::vector<uint8_t>& b) { put32(b, record_offset(10) + 32, 0); }, ProjectResult::kNotAProject, true},
        {"picture with a negative height", [&](std::vector<uint8_t>& b) { put32(b, record_offset(10) + 36, -144); }, ProjectResult::kNotAProject, true},
        {"text bitmap wider than its bytes", [&](std::vector<uint8_t>& b) { put32(b, text_record + 32, 31); }, ProjectResult::kNotAProject, true},
    };
    // Cut at every boundary that matters and at points in between.
    for (size_t cut : {size_t(3), size_t(5), size_t(8), record_offset(0) + 100, record_offset(10) + 723, picture_data,
                       picture_data + 1000, text_record, text_record + 724 + 10, good.size() - 1})
        cases.push_back({"cut at " + std::to_string(cut), [cut](std::vector<uint8_t>& b) { b.resize(cut); },
                         ProjectResult::kNotAProject, true});

    EffectTable untouched;
    fill_table(untouched);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_messages.clear();
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        const std::string path = fresh_path("hostile.VCP");
        write_file(path, bytes);
        EXPECT_EQ(open_project(table, path.c_str()), c.result);
        expect_same_table(table, untouched);
        if (c.told) {
            ASSERT_EQ(g_messages.size(), 1u);
            EXPECT_EQ(g_messages[0], kNotAProject);
        } else {
            EXPECT_TRUE(g_messages.empty());
        }
    }
    EXPECT_EQ(open_project(table, fresh_path("missing.VCP").c_str()), ProjectResult::kCannotOpen);
}

TEST_F(ProjectFile, StrayFieldsAreNormalised) {
    EffectTable table;
    table.begin();
    const std::string path = fresh_path("stray.VCP");
    ASSERT_EQ(save_project(table, path.c_str()), ProjectResult::kDone);
    std::vector<uint8_t> bytes = read_file(path);
    put32(bytes, record_offset(2), 99);          // effect id
    put32(bytes, record_offset(15), 7);          // a spare record's id
    bytes[record_offset(4) + 720] = 200;         // slot index
    bytes[record_offset(6) + 720] = 9;           // another valid index stays
    std::memset(&bytes[record_offset(1) + 72], 'A', 512);   // text without its end
    std::memset(&bytes[record_offset(1) + 592], 'B', 128);  // name without its end
    write_file(path, bytes);
    ASSERT_EQ(open_project(table, path.c_str()), ProjectResult::kDone);
    EXPECT_EQ(table.slot(2).effect_id, 3);
    EXPECT_EQ(table.slot(15).effect_id, 0);
    EXPECT_EQ(table.slot(4).slot_index, 4);
    EXPECT_EQ(table.slot(6).slot_index, 9);
    EXPECT_EQ(std::strlen(table.slot(1).text), 511u);
    EXPECT_EQ(std::strlen(table.slot(1).name), 127u);
}

TEST_F(ProjectFile, SaveReplacesAnEarlierFileOnlyWhenComplete) {
    EffectTable table;
    fill_table(table);
    const std::string path = fresh_path("replace.VCP");
    write_file(path, {'o', 'l', 'd'});
    ASSERT_EQ(save_project(table, path.c_str()), ProjectResult::kDone);
    EXPECT_EQ(read_file(path).size(), 11592u + 76032u + size_t(bgr_bytes(30, 2)) + 5);
    EXPECT_EQ(save_project(table, fresh_path("no/such/folder.VCP").c_str()), ProjectResult::kCannotOpen);
}
