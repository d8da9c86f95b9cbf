// The effects window's parts without a window: the preset table and its file, the level display's
// plan, the slider's channel and selection, and the textured button's faces.
#include <gtest/gtest.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "soundfx/core/engine.h"
#include "soundfx/core/eq_preset_table.h"
#include "soundfx/core/page_bindings.h"
#include "soundfx/core/texture.h"
#include "soundfx/core/window_plans.h"

using namespace soundfx;

namespace {

// A preset file in a folder of its own, removed with the fixture.
class PresetFile : public ::testing::Test {
protected:
    void SetUp() override {
        char templ[] = "/tmp/eqpresetXXXXXX";
        ASSERT_NE(nullptr, mkdtemp(templ));
        dir_ = templ;
        path_ = dir_ + "/tolmeqset.eq";
    }
    void TearDown() override {
        std::remove(path_.c_str());
        std::remove((path_ + ".new").c_str());
        rmdir(dir_.c_str());
    }
    void write(const std::vector<EqPreset>& records, size_t extra_bytes = 0) {
        FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        if (!records.empty()) std::fwrite(records.data(), sizeof(EqPreset), records.size(), f);
        for (size_t i = 0; i < extra_bytes; ++i) std::fputc(0x41, f);
        std::fclose(f);
    }
    std::vector<uint8_t> bytes() {
        std::vector<uint8_t> out;
        FILE* f = std::fopen(path_.c_str(), "rb");
        if (!f) return out;
        int c;
        while ((c = std::fgetc(f)) != EOF) out.push_back(uint8_t(c));
        std::fclose(f);
        return out;
    }
    static EqPreset record(const char* name, int bands, int gain, uint8_t flag = 0) {
        EqPreset r{};
        std::strncpy(r.name, name, sizeof r.name - 1);
        r.band_count = bands;
        for (int& g : r.gains) g = gain;
        r.builtin = flag;
        return r;
    }
    std::string dir_, path_;
};

TEST_F(PresetFile, MissingEmptyAndShortFilesLeaveTheBuiltins) {
    EqPresetTable table;
    EXPECT_EQ(0, table.load(path_.c_str()));
    EXPECT_EQ(11, table.count());
    for (size_t extra : {size_t(0), size_t(195)}) {
        write({}, extra);
        EXPECT_EQ(0, table.load(path_.c_str())) << extra;
        EXPECT_EQ(11, table.count());
    }
    EXPECT_STREQ("10频段缺省模式", table.at(0).name);
    EXPECT_STREQ("SoftRock柔和模式", table.at(10).name);
    EXPECT_EQ(1, table.at(10).builtin);
}

// Every record of a hostile file is cleaned or skipped, and a file of 300 records fills the table to
// its 255 slots without passing them.
TEST_F(PresetFile, HostileRecordsAreCleanedOrSkipped) {
    std::vector<EqPreset> records;
    EqPreset unterminated = record("", 10, 3);
    std::memset(unterminated.name, 'x', sizeof unterminated.name);  // no zero at all
    records.push_back(unterminated);
    for (int bands : {7, -1, 1000}) records.push_back(record("bad", bands, 0));
    EqPreset huge = record("huge", 15, 0);
    huge.gains[0] = 1000000000, huge.gains[1] = -1000000000, huge.gains[2] = 19;
    records.push_back(huge);
    records.push_back(record("flagged", 25, 1, 1));
    EqPreset lead = record("", 31, 0);
    std::memcpy(lead.name, "ab\xD6\xD0\xB0", 5);  // "ab中" then half a character
    records.push_back(lead);
    write(records, 100);

    EqPresetTable table;
    EXPECT_EQ(4, table.load(path_.c_str()));
    ASSERT_EQ(15, table.count());
    EXPECT_EQ(std::string(63, 'x'), table.at(11).name);
    EXPECT_STREQ("huge", table.at(12).name);
    EXPECT_EQ(20, table.at(12).gains[0]);
    EXPECT_EQ(-20, table.at(12).gains[1]);
    EXPECT_EQ(19, table.at(12).gains[2]);
    EXPECT_STREQ("flagged", table.at(13).name);
    EXPECT_EQ(0, table.at(13).builtin);  // a user preset: deletable and saved again
    EXPECT_STREQ("ab\xD6\xD0", table.at(14).name);

    // The next save keeps the flagged record, as a user record.
    ASSERT_TRUE(table.save(path_.c_str()));
    const std::vector<uint8_t> saved = bytes();
    ASSERT_EQ(4 * sizeof(EqPreset), saved.size());
    EXPECT_STREQ("flagged", reinterpret_cast<const char*>(saved.data() + 2 * sizeof(EqPreset)));
    EXPECT_EQ(0, saved[2 * sizeof(EqPreset) + 192]);

    std::vector<EqPreset> many;
    for (int i = 0; i < 300; ++i) many.push_back(record(("p" + std::to_string(i)).c_str(), 10, i % 41 - 20));
    write(many);
    EXPECT_EQ(244, table.load(path_.c_str()));
    EXPECT_EQ(255, table.count());
    EXPECT_STREQ("p243", table.at(254).name);
    // Deleting one listed preset rewrites the file with the other 299 records: the 56 the table had
    // no room for are written back as they were read.
    ASSERT_TRUE(table.remove(11));
    ASSERT_TRUE(table.save(path_.c_str()));
    const std::vector<uint8_t> kept = bytes();
    ASSERT_EQ(299 * sizeof(EqPreset), kept.size());
    for (int i = 1; i < 300; ++i)
        EXPECT_EQ(0, std::memcmp(&many[size_t(i)], kept.data() + size_t(i - 1) * sizeof(EqPreset), sizeof(EqPreset))) << i;
}

TEST_F(PresetFile, RoundTripKeepsUserRecordsInOrderAndAFullTableRefuses) {
    EqPresetTable table;
    int gains[31];
    for (int b = 0; b < 31; ++b) gains[b] = b % 41 - 20;
    int slot = -1;
    EXPECT_EQ(EqPresetTable::AddResult::Added, table.add("Mine", 15, gains, &slot));
    EXPECT_EQ(11, slot);
    EXPECT_EQ(EqPresetTable::AddResult::Added, table.add("低音", 10, gains));
    EXPECT_EQ(EqPresetTable::AddResult::Duplicate, table.add("mINE", 10, gains));
    EXPECT_EQ(EqPresetTable::AddResult::Duplicate, table.add("rock摇滚模式", 10, gains));
    EXPECT_EQ(EqPresetTable::AddResult::Empty, table.add("", 10, gains));
    ASSERT_TRUE(table.save(path_.c_str()));
    EXPECT_EQ(2 * sizeof(EqPreset), bytes().size());

    EqPresetTable again;
    EXPECT_EQ(2, again.load(path_.c_str()));
    for (int s = 0; s < table.count(); ++s)
        EXPECT_EQ(0, std::memcmp(&table.at(s), &again.at(s), sizeof(EqPreset))) << s;
    // Listed by band count: the 15-band preset only among the 15-band ones.
    EXPECT_EQ(2, again.count_with_bands(15));
    EXPECT_EQ(11, again.nth_with_bands(1, 15));
    EXPECT_EQ(12, again.nth_with_bands(8, 10));
    EXPECT_EQ(-1, again.nth_with_bands(2, 15));

    EXPECT_FALSE(again.remove(5));  // built-in
    EXPECT_TRUE(again.remove(11));
    EXPECT_STREQ("低音", again.at(11).name);
    EXPECT_EQ(12, again.count());

    for (int i = 0; again.count() < EqPresetTable::kSlots; ++i)
        ASSERT_EQ(EqPresetTable::AddResult::Added, again.add("n" + std::to_string(i), 10, gains));
    EXPECT_EQ(EqPresetTable::AddResult::Full, again.add("one more", 10, gains));
    EXPECT_EQ(255, again.count());
}

TEST(PresetNames, CaseFoldsAsciiOnlyAndCutsAtWholeCharacters) {
    EXPECT_TRUE(preset_names_equal("rock", "Rock"));
    EXPECT_TRUE(preset_names_equal("摇滚A", "摇滚a"));
    EXPECT_FALSE(preset_names_equal("rock", "rocks"));
    // 0x81 0x41 and 0x81 0x61 are two different characters whose trail bytes are 'A' and 'a'.
    EXPECT_FALSE(preset_names_equal("\x81\x41", "\x81\x61"));
    const std::string zhong = "\xD6\xD0";
    std::string odd = "a", even = "ab";
    for (int i = 0; i < 35; ++i) odd += zhong, even += zhong;
    EXPECT_EQ(63u, preset_name_fit(odd).size());
    EXPECT_EQ(62u, preset_name_fit(even).size());
    EXPECT_EQ("abc", preset_name_fit("abc"));
}

// A constant mono block of +-16384: level 64 every frame, bars of 64 s above the middle line and
// none below it.
TEST(LevelPlan, ConstantMonoBlockGivesBarsAboveTheLineOnly) {
    std::vector<int16_t> block(4000);
    for (size_t i = 0; i < block.size(); ++i) block[i] = i % 2 ? 16384 : -16384;
    LevelCapture capture;
    capture.capture(block.data(), int(block.size() * 2), 1);
    LevelPlan plan;
    ASSERT_TRUE(plan_level_display(capture, 200, 99, &plan));
    EXPECT_EQ(0, capture.count);
    EXPECT_EQ(200, plan.width);
    EXPECT_EQ(100, plan.height);
    const double s = 98.0 / 255.0;
    ASSERT_EQ(200u, plan.bars.size());
    for (const PlanLine& bar : plan.bars) {
        EXPECT_NEAR(64 * s, bar.y1 - bar.y0, 1.0);
        EXPECT_EQ(50, bar.y1);
    }
    // Bands: darkest (most taken off) at the middle; the colour's blue byte at the edge stays full.
    ASSERT_FALSE(plan.bands.empty());
    EXPECT_EQ(0, plan.bands.front().rect.top);
    EXPECT_EQ(99, plan.bands.back().rect.bottom);
    EXPECT_EQ(7u + 20u + 1u, plan.grid.size());  // 7 across, one every 10 columns, the right edge

    EXPECT_FALSE(plan_level_display(capture, 200, 99, &plan)) << "levels are drawn once";
    capture.capture(block.data(), int(block.size() * 2), 1);
    EXPECT_FALSE(plan_level_display(capture, 0, 99, &plan));
    std::vector<int16_t> long_block(16384, 16384);
    capture.capture(long_block.data(), int(long_block.size() * 2), 1);
    ASSERT_TRUE(plan_level_display(capture, 3000, 50, &plan));
    EXPECT_EQ(1400, plan.width);
    EXPECT_EQ(1400u, plan.bars.size());
}

TEST(LibraryColours, ReductionAndLighteningKeepChannelsThatWouldLeaveTheRange) {
    EXPECT_EQ(0x100818u, color_reduce_channels(0x102030, 0x18));
    EXPECT_EQ(0x34FFFFu, color_lighten_keep_overflow(0x01FFFF, 51));
    EXPECT_EQ(0x67FFFFu, color_lighten_keep_overflow(color_lighten_keep_overflow(0x01FFFF, 51), 51));
}

TEST(SliderChannel, SelectionCoversItsShareOfTheChannel) {
    int from = 0, to = 0;
    ASSERT_TRUE(slider_selection_span(100, 0, 50, 15, 35, &from, &to));
    EXPECT_EQ(30, from);
    EXPECT_EQ(70, to);
    EXPECT_FALSE(slider_selection_span(100, 20, 20, 15, 35, &from, &to)) << "empty range";
    EXPECT_FALSE(slider_selection_span(100, 0, 50, 35, 35, &from, &to)) << "empty selection";

    SliderChannelInput in;
    in.item = {0, 0, 100, 8};
    in.narrow = true;
    in.max = 50, in.sel_start = 15, in.sel_end = 35;
    SliderChannelPlan plan = plan_slider_channel(in);
    ASSERT_TRUE(plan.has_selection);
    EXPECT_EQ(31, plan.selection.left);
    EXPECT_EQ(69, plan.selection.right);
    EXPECT_EQ(8, plan.selection_style);
    EXPECT_EQ(6u, plan.marks.size());
    in.max = 0;
    EXPECT_FALSE(plan_slider_channel(in).has_selection);
    in.max = 50, in.marks_across = true;
    plan = plan_slider_channel(in);
    ASSERT_EQ(3u, plan.marks.size());
    EXPECT_EQ(plan.frame.left + plan.frame.width() / 4, plan.marks[0].x0);
    EXPECT_EQ(3u, plan.shadows.size());
}

TEST(Texture, EndsPaletteNoiseAndTinySizes) {
    EXPECT_EQ(6, texture_end_width(40, 20));
    EXPECT_EQ(16, texture_end_width(200, 20));
    EXPECT_EQ(0, texture_end_width(5, 20));
    EXPECT_EQ(0, texture_end_width(40, 1));
    EXPECT_EQ(8, dib_stride(5, 8));
    EXPECT_EQ(8, dib_stride(33, 1));
    EXPECT_EQ(12, dib_stride(3, 32));
    EXPECT_EQ(256, dib_table_entries(8));
    EXPECT_EQ(0, dib_table_entries(24));

    const TextureColours sys{rgb_of(0x808080), rgb_of(0xC0C0C0), rgb_of(0xFFFFFF)};
    DibImage face;
    ASSERT_TRUE(face.create(40, 20, 8));
    EXPECT_EQ(40u + 1024u + 40u * 20u, face.total_size());
    texture_ramp(face, sys);
    EXPECT_EQ(rgb_of(0x808080), face.palette_entry(0));
    EXPECT_EQ(rgb_of(0xC0C0C0), face.palette_entry(128));
    EXPECT_EQ(rgb_of(0xFFFFFF), face.palette_entry(255));
    EXPECT_EQ(0xA0, face.palette_entry(64).r);  // halfway from 0x80 to 0xC0

    // Noise 0: every noise term is 0 (1 only when the source gives 32767): the middle row is flat 128
    // between the rounded ends.
    TextureRandom quiet(7);
    texture_pattern(face, 7, 0, quiet);
    for (int x = 8; x < 32; ++x) EXPECT_LE(face.pixel(x, 10) - 128, 2) << x;
    for (int x = 8; x < 32; ++x) EXPECT_GE(face.pixel(x, 10), 128) << x;

    for (int w = 1; w <= 5; ++w) {
        TextureFaces faces;
        TextureRandom random(1);
        generate_texture(faces, w, 1, 7, 30, 60, 20, rgb_of(0xC49B05), sys, random);
        EXPECT_EQ(w, faces.normal.width());
        EXPECT_EQ(w, faces.hover.width());
    }
    TextureFaces faces;
    TextureRandom random(1);
    generate_texture(faces, 0, -3, 7, 30, 60, 20, rgb_of(0xC49B05), sys, random);
    EXPECT_EQ(1, faces.normal.width());
    EXPECT_EQ(1, faces.normal.height());

    // Tinting: half way from black to white.
    DibImage grey;
    ASSERT_TRUE(grey.create(2, 2, 8));
    grey.tint_palette(rgb_of(0xFFFFFF), 50);
    EXPECT_EQ(127, grey.palette_entry(3).g);
    grey.tint_palette(rgb_of(0x000000), 250);  // cut to 100 %
    EXPECT_EQ(0, grey.palette_entry(3).g);
}

// The equaliser's buttons: pattern 7, noise 30, tinted 20 % toward 0xC49B05 (hover 60 % toward the
// highlight), from a seeded source: the same picture every run.
TEST(Texture, SeededEqualiserFaceIsStable) {
    const TextureColours sys{rgb_of(0x808080), rgb_of(0xC0C0C0), rgb_of(0xFFFFFF)};
    TextureFaces faces;
    TextureRandom random(1);
    generate_texture(faces, 60, 22, 7, 30, 60, 20, rgb_of(0xC49B05), sys, random);
    uint32_t sum = 0;
    for (size_t i = 0; i < faces.normal.total_size(); ++i) sum = sum * 31 + faces.normal.data()[i];
    uint32_t hover = 0;
    for (size_t i = 0; i < faces.hover.total_size(); ++i) hover = hover * 31 + faces.hover.data()[i];
    // Recorded from the first run: a change of the generator shows here.
    EXPECT_EQ(1676289520u, sum);
    EXPECT_EQ(1672358203u, hover);
    // The hover face differs from the normal face only in its colour table.
    EXPECT_EQ(0, std::memcmp(faces.normal.pixels(), faces.hover.pixels(), size_t(faces.normal.stride()) * 22));
}

// The effect pages' sliders at 44100 Hz stereo: what a position writes and what the state shows.
TEST(PageBindings, WorkedExamplesOfThePages) {
    Engine engine;
    engine.begin();
    engine.init(44100, 2);
    engine.edit([](EngineState& s) {
        int shown = -1;
        reset_effect_defaults(s, 10);  // noise gate
        EXPECT_EQ(176, s.effects.gate.params().hold);
        EXPECT_TRUE(page_read(s, 2, 3026, &shown));
        EXPECT_EQ(1, shown);
        EXPECT_TRUE(page_write(s, 2, 3026, 1));
        EXPECT_EQ(88, s.effects.gate.params().hold);
        page_read(s, 2, 3026, &shown);
        EXPECT_EQ(0, shown);
        page_write(s, 2, 3027, 500);
        EXPECT_EQ(44100, s.effects.gate.params().release);
        page_read(s, 2, 3034, &shown);
        EXPECT_EQ(33, shown) << "a slew of 10000 shows 33";
        page_write(s, 2, 3034, 33);
        EXPECT_EQ(9900, s.effects.distortion.params().sense);
        page_read(s, 2, 3014, &shown);
        EXPECT_EQ(20, shown) << "threshold -20";
        page_read(s, 2, 3016, &shown);
        EXPECT_EQ(10, shown) << "tap level -10";
        page_read(s, 2, 3018, &shown);
        EXPECT_EQ(10, shown) << "comb feedback -10";
        page_write(s, 1, 3017, 60);
        EXPECT_EQ(-40, s.effects.am.params().gain);
        page_write(s, 1, 3005, 7);
        page_read(s, 1, 3005, &shown);
        EXPECT_EQ(7, shown);
        // Positions outside a slider's range are held to it.
        page_write(s, 3, 3073, 1000);
        EXPECT_EQ(36, s.effects.bass.params().gain);
        EXPECT_FALSE(page_write(s, 3, 9999, 1));
        EXPECT_EQ(10, page_default_effect(2, 3089));
        EXPECT_EQ(0, page_default_effect(2, 3090));
        return 0;
    });
}

}  // namespace
