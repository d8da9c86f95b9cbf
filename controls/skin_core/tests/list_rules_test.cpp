// The list control's window-free rules: typed sort keys and the row sort, the state-bit language, the
// editor's keys, the background bands, the row records' colour arrays and the colour setters' reach.
#include "controls/skin_core/list_rules.h"
#include "controls/skin_core/skin_fill_profile.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Dates as the tests write them: year-month-day, as a day count.
bool test_date(const char* text, double* date, void*) {
    int y, m, d;
    char rest;
    if (sscanf(text, "%d-%d-%d%c", &y, &m, &d, &rest) != 3) return false;
    *date = y * 372.0 + m * 31.0 + d;
    return true;
}

int compare(const char* a, const char* b) { return skin::compare_sort_keys(a, b, test_date, nullptr); }

TEST(ListSortKeys, FirstRuleBothKeysPassDecides) {
    struct Case { const char* a; const char* b; int want; const char* why; };
    const Case cases[] = {
        {"9", "A", -1, "hexadecimal 9 < 10"},
        {"A", "10", -1, "hexadecimal 10 < 16"},
        {"10", "9", 1, "hexadecimal 16 > 9"},
        {"ff", "100", -1, "hexadecimal 255 < 256, though 'f' > '1' by bytes"},
        {"123456789", "987654321", -1, "nine digits do not saturate"},
        {"5%", "12%", -1, "decimal 5 < 12"},
        {"5%", "12", -1, "one decimal, one hexadecimal: decimal"},
        {"2.5", "10", -1, "decimal 2.5 < 10"},
        {"5%%", "12%", 1, "two percent signs are no number: bytes '5' > '1'"},
        {"10000000000000000", "2", 1, "beyond 64 bits is not hexadecimal: decimal 1e16 > 2"},
        {"2009-1-5", "2009-01-05", 0, "the same date written two ways"},
        {"2009-01-02", "2008-12-31", 1, "dates"},
        {"apple", "banana", -1, "bytes"},
        {"Z", "\xB0\xA1", -1, "bytes compare unsigned: 0x5A < 0xB0"},
        {"\xD6\xD0", "\xB0\xA1", 1, "GBK by bytes"},
        {"", "5", -1, "an empty key is no number"},
        {"abc", "abc", 0, "equal"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, compare(c.a, c.b)) << c.a << " / " << c.b << ": " << c.why;
        EXPECT_EQ(-c.want, compare(c.b, c.a)) << c.b << " / " << c.a << ": " << c.why;
    }
    // Without a date reader dates fall through to bytes.
    EXPECT_EQ(1, skin::compare_sort_keys("2009-1-5", "2009-01-05", nullptr, nullptr));
}

std::vector<std::string> sort_texts(std::vector<std::string> keys, bool ascending) {
    std::vector<int> order = skin::sorted_rows((int)keys.size(), ascending,
                                               [&](int a, int b) { return compare(keys[a].c_str(), keys[b].c_str()); });
    std::vector<std::string> out;
    for (int i : order) out.push_back(keys[i]);
    return out;
}

TEST(ListSortKeys, RowsSortBothWays) {
    EXPECT_EQ((std::vector<std::string>{"9", "A", "10"}), sort_texts({"10", "9", "A"}, true));
    EXPECT_EQ((std::vector<std::string>{"10", "A", "9"}), sort_texts({"9", "10", "A"}, false));
    EXPECT_EQ((std::vector<std::string>{"5%", "12%", "30%"}), sort_texts({"30%", "5%", "12%"}, true));
    EXPECT_EQ((std::vector<std::string>{"x"}), sort_texts({"x"}, true));
    EXPECT_TRUE(sort_texts({}, true).empty());
    // Many rows with repeats: the order of the hexadecimal values, both ways.
    std::vector<std::string> keys;
    for (int i = 0; i < 200; ++i) keys.push_back(std::to_string((i * 37) % 61));
    std::vector<std::string> up = sort_texts(keys, true), down = sort_texts(keys, false);
    ASSERT_EQ(keys.size(), up.size());
    for (size_t i = 1; i < up.size(); ++i) {
        EXPECT_LE(strtoull(up[i - 1].c_str(), nullptr, 16), strtoull(up[i].c_str(), nullptr, 16));
        EXPECT_GE(strtoull(down[i - 1].c_str(), nullptr, 16), strtoull(down[i].c_str(), nullptr, 16));
    }
}

TEST(ListSortKeys, ClicksToggleOnlyTheSortedColumn) {
    // Unsorted, then a first click, a second on the same column, another column.
    EXPECT_TRUE(skin::click_sorts_ascending(2, -1, true));
    EXPECT_FALSE(skin::click_sorts_ascending(2, 2, true));
    EXPECT_TRUE(skin::click_sorts_ascending(2, 2, false));
    EXPECT_TRUE(skin::click_sorts_ascending(3, 2, true));
}

TEST(ListStateBits, RowBitsAndFilters) {
    EXPECT_EQ(8u + 2 + 32, skin::row_state_bits(true, true, true));
    EXPECT_EQ(16u + 4 + 64, skin::row_state_bits(false, false, false));
    const unsigned selected_focused = skin::row_state_bits(false, true, true);
    struct Case { unsigned filter, row; bool match; };
    const Case cases[] = {
        {0, selected_focused, false},               // 0 selects nothing
        {1, skin::row_state_bits(false, false, false), true},
        {1 | 2, skin::row_state_bits(false, false, false), true},  // bit 1 wins
        {2, selected_focused, true},
        {34, selected_focused, true},               // selected and focused
        {34, skin::row_state_bits(false, true, false), false},
        {6, selected_focused, false},               // selected and not selected: never
        {16, selected_focused, true},               // not checked
        {8, selected_focused, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.match, skin::row_matches(c.filter, c.row)) << c.filter;
    EXPECT_EQ((std::vector<unsigned>{2, 8, 64}), skin::state_actions(64 | 8 | 2 | 128));
    EXPECT_TRUE(skin::state_actions(0).empty());
}

TEST(ListEditor, KeysWhileEditing) {
    using skin::EditEnd;
    struct Case { unsigned vk; int row, column; bool consumed; EditEnd end; int next_row, next_column; };
    const Case cases[] = {
        {0x09, 1, 0, true, EditEnd::Keep, 1, 1},    // Tab: next column
        {0x09, 1, 2, true, EditEnd::Keep, 1, 0},    // after the last column the first
        {0x0D, 1, 1, true, EditEnd::Keep, -1, -1},  // Enter
        {0x1B, 1, 1, true, EditEnd::Discard, -1, -1},
        {0x26, 1, 2, true, EditEnd::Keep, 0, 2},    // Up
        {0x26, 0, 2, false, EditEnd::None, -1, -1}, // Up on the first row goes to the list
        {0x28, 3, 1, true, EditEnd::Keep, 4, 1},    // Down
        {0x28, 4, 1, false, EditEnd::None, -1, -1}, // Down on the last row goes to the list
        {0x41, 1, 1, false, EditEnd::None, -1, -1}, // a letter goes to the editor
    };
    for (const Case& c : cases) {
        skin::EditKey k = skin::edit_key(c.vk, c.row, c.column, 5, 3);
        EXPECT_EQ(c.consumed, k.consumed) << c.vk;
        EXPECT_EQ(c.end, k.end) << c.vk;
        EXPECT_EQ(c.next_row, k.row) << c.vk;
        EXPECT_EQ(c.next_column, k.column) << c.vk;
    }
}

TEST(ListBands, ThirteenPixelsUnderTheHeader) {
    // (h - 16) a multiple of 13: whole bands only, no empty last band.
    std::vector<skin::Rect> b = skin::list_band_rects({0, 0, 200, 16 + 13 * 3});
    ASSERT_EQ(3u, b.size());
    EXPECT_EQ(16, b[0].top);
    EXPECT_EQ(29, b[0].bottom);
    EXPECT_EQ(55, b[2].bottom);
    EXPECT_EQ(200, b[2].right);
    // A remainder becomes a last, shorter band.
    b = skin::list_band_rects({5, 10, 100, 10 + 16 + 13 + 5});
    ASSERT_EQ(2u, b.size());
    EXPECT_EQ(10 + 16 + 13, b[1].top);
    EXPECT_EQ(10 + 16 + 13 + 5, b[1].bottom);
    EXPECT_EQ(5, b[1].left);
    // Under 16 pixels, or exactly the header: none.
    EXPECT_TRUE(skin::list_band_rects({0, 0, 100, 15}).empty());
    EXPECT_TRUE(skin::list_band_rects({0, 0, 100, 16}).empty());
    EXPECT_TRUE(skin::list_band_rects({0, 0, 100, 0}).empty());
}

TEST(ListBands, TheListsOwnStyle21And22) {
    // A 13-row band: band size 13 / 20 -> 1 row; the first row closes at i = 1 with L = 255 * 12 / 13.
    const skin::Colour c = 0x80C0F0;
    skin::FillPlan p21 = skin::plan_shaded_fill(skin::kListTarmelo, c, 0, 0, 50, 13, 21);
    ASSERT_EQ(13u, p21.bands.size());
    EXPECT_FALSE(p21.plain_fill);
    EXPECT_EQ(color_darken(c, (255 - 235) * 2 / 3), p21.bands[0].colour);
    EXPECT_EQ(color_darken(c, 170), p21.bands[12].colour);  // i = 13: L = 0
    EXPECT_EQ(50, p21.bands[0].right);
    skin::FillPlan p22 = skin::plan_shaded_fill(skin::kListTarmelo, c, 0, 0, 50, 13, 22);
    EXPECT_EQ(color_darken(c, 235 * 2 / 3), p22.bands[0].colour);
    // skin_fill_shaded draws 21 its own way (L clamped to 55..255, half the amount).
    skin::FillPlan shared = skin::plan_shaded_fill(skin::kSkinFillProfile, c, 0, 0, 50, 13, 21);
    EXPECT_NE(p21.bands[0].colour, shared.bands[0].colour);
    // Other styles are the shared table's.
    skin::FillPlan a = skin::plan_shaded_fill(skin::kListTarmelo, c, 0, 0, 50, 13, 8);
    skin::FillPlan b = skin::plan_shaded_fill(skin::kSkinFillProfile, c, 0, 0, 50, 13, 8);
    ASSERT_EQ(a.bands.size(), b.bands.size());
    EXPECT_EQ(a.bands[3].colour, b.bands[3].colour);
}

TEST(ListRecords, ColourArraysGrowLikeTheFrameworksWordArray) {
    EXPECT_EQ(3, AfxArrayGrownCapacity(0, 0, 3, 0));       // an empty array takes exactly what it needs
    EXPECT_EQ(7, AfxArrayGrownCapacity(3, 3, 4, 0));       // then at least 4 more
    EXPECT_EQ(20, AfxArrayGrownCapacity(3, 3, 20, 0));     // or what is needed
    EXPECT_EQ(9000, AfxArrayGrownCapacity(8000, 8000, 8001, 0));   // an eighth of the size
    EXPECT_EQ(11024, AfxArrayGrownCapacity(10000, 10000, 10001, 0));  // at most 1024
    EXPECT_EQ(10, AfxArrayGrownCapacity(3, 10, 4, 0));     // room left: no growth
    EXPECT_EQ(5, AfxArrayGrownCapacity(3, 3, 4, 2));       // an explicit step

    const int before = skin::ListRowData::live();
    {
        skin::ListRowData row(77, 3, 0x111111, 0xEEEEEE);
        EXPECT_EQ(before + 1, skin::ListRowData::live());
        EXPECT_EQ(77, row.user_data);
        EXPECT_EQ(3, row.text_colours.GetSize());
        EXPECT_EQ(3, row.text_colours.GetCapacity());
        row.text_colours[1] = 0x123456;
        row.insert_column(1, 0x222222, 0xDDDDDD);  // a column inserted before the set cell
        EXPECT_EQ(4, row.text_colours.GetSize());
        EXPECT_EQ(7, row.text_colours.GetCapacity());
        EXPECT_EQ(0x222222u, row.text_colours[1]);
        EXPECT_EQ(0x123456u, row.text_colours[2]);
        EXPECT_EQ(0xDDDDDDu, row.back_colours[1]);
        for (int i = 0; i < 4; ++i) row.insert_column(row.text_colours.GetSize(), 1, 2);
        EXPECT_EQ(8, row.text_colours.GetSize());
        EXPECT_EQ(11, row.text_colours.GetCapacity());
        // Slots beyond the size appear zeroed before they are set.
        row.back_colours.SetSize(10);
        EXPECT_EQ(0u, row.back_colours[9]);
    }
    EXPECT_EQ(before, skin::ListRowData::live());
}

TEST(ListColourSetters, RowAndColumnOutOfRangeWidenTheReach) {
    struct Case { int row, column; skin::CellRange want; };
    const Case cases[] = {
        {1, 2, {1, 2, 2, 3}},    // one cell
        {1, -1, {1, 2, 0, 4}},   // the row
        {1, 9, {1, 2, 0, 4}},
        {-1, 2, {0, 5, 2, 3}},   // the column
        {5, 2, {0, 5, 2, 3}},
        {-1, -1, {0, 5, 0, 4}},  // every cell
    };
    for (const Case& c : cases) {
        skin::CellRange r = skin::colour_cells(c.row, c.column, 5, 4);
        EXPECT_EQ(c.want.first_row, r.first_row) << c.row << "," << c.column;
        EXPECT_EQ(c.want.end_row, r.end_row) << c.row << "," << c.column;
        EXPECT_EQ(c.want.first_column, r.first_column) << c.row << "," << c.column;
        EXPECT_EQ(c.want.end_column, r.end_column) << c.row << "," << c.column;
    }
}

}  // namespace
