// The program's gradient profiles: rows worked out by hand from the formulas (each product truncated
// before it enters a sum), the departures of each class's copy, and their golden band tables.
#include "golden_bands.h"
#include "hand_rows.h"
#include "controls/skin_core/skin_class_profiles.h"
#include "controls/skin_core/skin_fill_profile.h"
#include <gtest/gtest.h>
#include <cctype>

namespace {

using skin::Op;
using skin::Rect;

const Op D = Op::Darken, Li = Op::Lighten;

// C = H / 2, V = 255 |i - C| / C, L = 255 (H - i) / H, k = cos(|i - C| / C * pi/2); band i covers rows
// (columns) i - band .. i. On a 20-row box row band 0 closes at i = 1: V = 229, k H = 3.1287.
const HandRow kRows[] = {
    // skin_fill_shaded, the first table.
    {&skin::kSkinFillProfile, 8, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 229, "V(1) = 229"},
    {&skin::kSkinFillProfile, 7, {0, 0, 10, 20}, true, 9, {0, 9, 10, 10}, D, 170, "V(10) = 0: (255 - 0) 2/3"},
    {&skin::kSkinFillProfile, 17, {0, 0, 40, 20}, false, 0, {9, 0, 31, 1}, D, 17,
     "a = 10 - trunc(3.13) / 2 = 9; (255 - 229) 2/3 = 17"},
    {&skin::kSkinFillProfile, 18, {0, 0, 40, 20}, false, 9, {0, 9, 40, 10}, D, 0, "middle row: a = 10 - 20 / 2"},
    {&skin::kSkinFillProfile, 27, {0, 0, 40, 20}, false, 0, {1, 0, 31, 1}, D, 8,
     "a = 10 - trunc(3.13) / 3 = 9: left + 1 .. right - 9; L = 242"},
    {&skin::kSkinFillProfile, 47, {0, 0, 40, 24}, false, 5, {6, 5, 34, 6}, Li, 42,
     "i = 6: a = 12 - trunc(16.97) * 5 / 12 = 6; L = 191: lighten (255 - 191) 2/3"},
    {&skin::kSkinFillProfile, 201, {0, 0, 40, 30}, false, 19, {19, 6, 20, 24}, D, 127,
     "i = 20: e = (40 - trunc(28.28)) / 2 = 6; L = 127"},
    {&skin::kSkinFillProfile, 21, {0, 0, 10, 40}, false, 0, {0, 0, 10, 4}, D, 13, "band 4: L(4) = 229, (255 - 229) / 2"},
    {&skin::kSkinFillProfile, 22, {0, 0, 10, 40}, false, 0, {0, 0, 10, 4}, Li, 114, "lighten 229 / 2"},
    {&skin::kSkinFillProfile, 3, {0, 0, 100, 10}, true, 0, {0, 0, 2, 10}, D, 244, "columns, band 2: V = 255 * 48 / 50"},
    // The push button's copy: 8 in two thirds, 21/22 with the vertical band size and two thirds.
    {&skin::kButtonTarmelo, 8, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 152, "229 * 2/3"},
    {&skin::kButtonTarmelo, 21, {0, 0, 10, 40}, false, 0, {0, 0, 10, 2}, D, 8, "band 2: L = 242, (255 - 242) 2/3"},
    {&skin::kButtonTarmelo, 22, {0, 0, 10, 40}, false, 0, {0, 0, 10, 2}, D, 161, "242 * 2/3"},
    {&skin::kButtonTarmelo, 17, {0, 0, 40, 20}, false, 0, {9, 0, 31, 1}, D, 17, "as skin_fill_shaded"},
    {&skin::kButtonTarmelo, 47, {0, 0, 100, 10}, false, 0, {0, 0, 2, 10}, D, 244, "unknown: the last branch"},
    // The tab's copy: its own 9 and 10, and the tapered last branch with the left strip.
    {&skin::kTabTarmelo, 9, {0, 0, 100, 10}, true, 0, {0, 0, 2, 10}, D, 7, "V = 244: (255 - 244) 2/3"},
    {&skin::kTabTarmelo, 10, {0, 0, 100, 10}, false, 0, {0, 0, 2, 10}, D, 162, "244 * 2/3"},
    {&skin::kTabTarmelo, 12, {0, 0, 60, 20}, false, 0, {27, 0, 60, 1}, D, 229, "o = 9 * 60 / 20 = 27; V = 229"},
    {&skin::kTabTarmelo, 12, {0, 0, 60, 20}, false, 1, {0, 0, 27, 1}, D, 240, "strip: trunc(1.05 * 229)"},
    {&skin::kTabTarmelo, 11, {0, 0, 60, 20}, false, 0, {27, 0, 60, 1}, D, 26, "255 - 229"},
    {&skin::kTabTarmelo, 11, {0, 0, 60, 20}, false, 1, {0, 0, 27, 1}, D, 15, "255 - 240"},
    {&skin::kTabTarmelo, 3, {0, 0, 60, 20}, true, 0, {27, 0, 60, 1}, D, 229, "below 10: plain fill, then tapered"},
    // The combo box's copy.
    {&skin::kComboTarmelo, 7, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 17, "(255 - 229) 2/3"},
    {&skin::kComboTarmelo, 8, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 152, "229 * 2/3"},
    {&skin::kComboTarmelo, 22, {0, 0, 10, 40}, false, 0, {0, 0, 10, 2}, D, 161, "242 * 2/3"},
    {&skin::kComboTarmelo, 17, {0, 0, 100, 10}, false, 0, {0, 0, 2, 10}, D, 244, "unknown: the last branch"},
    // The label's copy: every row, with the member departures.
    {&skin::kLabelTarmelo, 57, {0, 0, 40, 20}, false, 0, {1, 0, 39, 1}, D, 17, "b = trunc(3.13) / 2 = 1"},
    {&skin::kLabelTarmelo, 67, {0, 0, 40, 20}, false, 0, {9, 0, 31, 1}, D, 17,
     "ramp V, inset H/2 - trunc(k H) / 2 = 9"},
    {&skin::kLabelTarmelo, 47, {0, 0, 40, 24}, false, 5, {6, 5, 34, 6}, D, 42, "darken (255 - 191) 2/3"},
    {&skin::kLabelTarmelo, 321, {0, 0, 60, 40}, false, 0, {1, 0, 59, 2}, D, 8,
     "r = 16, i = 2: inset 8 - trunc(15.69) / 2 = 1; L = 242"},
    {&skin::kLabelTarmelo, 321, {0, 0, 60, 40}, false, 7, {8, 14, 52, 16}, D, 68, "i = 16: inset 8 - 0; L = 153"},
    {&skin::kLabelTarmelo, 322, {0, 0, 60, 40}, false, 8, {0, 16, 60, 18}, D, 93, "i = 18 > r: full; 140 * 2/3"},
    {&skin::kLabelTarmelo, 327, {0, 0, 60, 40}, false, 0, {2, 0, 46, 2}, D, 8,
     "a = 16 - trunc(16 * 0.156) = 14: left + 2 .. right - 14"},
    {&skin::kLabelTarmelo, 328, {0, 0, 60, 40}, false, 9, {16, 18, 60, 20}, D, 84, "i = 20: a = 0; L = 127: 127 * 2/3"},
    {&skin::kLabelTarmelo, 320, {0, 0, 100, 10}, false, 0, {0, 0, 2, 10}, D, 249, "as 20: L(2) = 249"},
    // The menu's copy: plain fill always, columns in bands of W / 40 up to the last column.
    {&skin::kMenuTarmelo, 7, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 26, "255 - 229"},
    {&skin::kMenuTarmelo, 10, {0, 0, 80, 10}, true, 0, {0, 0, 2, 10}, D, 242, "band 2: V = 255 * 38 / 40"},
    // The balloon tip's copy (shared by every module): 7 and 8 scaled, shapes truncated as a whole.
    {&skin::kBalloonTip, 7, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 17, "(510 - 2 * 229) / 3"},
    {&skin::kBalloonTip, 8, {0, 0, 10, 20}, true, 0, {0, 0, 10, 1}, D, 152, "2 * 229 / 3"},
    {&skin::kBalloonTip, 17, {0, 0, 40, 20}, false, 0, {8, 0, 32, 1}, D, 17, "d = trunc(10 - 3.13 * 0.5) = 8"},
};

TEST(ProgramProfiles, RowsWorkedOutByHand) {
    for (const HandRow& row : kRows) EXPECT_EQ("", check_hand_row(row));
}

TEST(ProgramProfiles, TruncationOrderSeparatesTheProgramFromTheTip) {
    // The same capsule, 17 on a 40 x 20 box: truncating k H first keeps a = 9, the whole expression 8.
    HandRow each = kRows[2], whole = each;
    whole.profile = &skin::kBalloonTip;
    whole.want = {8, 0, 32, 1};
    EXPECT_EQ("", check_hand_row(each));
    EXPECT_EQ("", check_hand_row(whole));
    // Style 321 of the label: the inset at i = 16 is 8 when the product is truncated first, 7 otherwise.
    skin::FillPlan p = skin::plan_shaded_fill(skin::kLabelTarmelo, 0x808080, 0, 0, 60, 40, 321);
    ASSERT_GT(p.bands.size(), 7u);
    EXPECT_EQ(8, p.bands[7].left);
}

TEST(ProgramProfiles, UnknownCodesFallToEachCopysLastBranch) {
    struct Case { const skin::Profile* p; int known, unknown; };
    const Case cases[] = {
        {&skin::kButtonTarmelo, 10, 47}, {&skin::kComboTarmelo, 10, 17}, {&skin::kTabTarmelo, 12, 47},
        {&skin::kMenuTarmelo, 10, 17}, {&skin::kLabelTarmelo, 10, 999}, {&skin::kBalloonTip, 10, 47},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe_plan(skin::plan_shaded_fill(*c.p, 0x808080, 0, 0, 60, 20, c.known)),
                  describe_plan(skin::plan_shaded_fill(*c.p, 0x808080, 0, 0, 60, 20, c.unknown)))
            << c.p->name;
}

TEST(ProgramProfiles, DegenerateSizesGiveThePlainFillOnly) {
    for (const skin::Profile* p : {&skin::kButtonTarmelo, &skin::kTabTarmelo, &skin::kComboTarmelo,
                                   &skin::kLabelTarmelo, &skin::kMenuTarmelo, &skin::kBalloonTip})
        for (int style : golden_styles(*p)) {
            bool rows = skin::find_style(*p, style).axis == skin::Axis::Rows;
            skin::FillPlan thin = rows ? skin::plan_shaded_fill(*p, 0x808080, 0, 0, 30, 1, style)
                                       : skin::plan_shaded_fill(*p, 0x808080, 0, 0, 1, 30, style);
            EXPECT_TRUE(thin.bands.empty()) << p->name << " " << style;
            EXPECT_TRUE(thin.plain_fill) << p->name << " " << style;
            EXPECT_TRUE(skin::plan_shaded_fill(*p, 0x808080, 0, 0, 0, 30, style).bands.empty());
        }
}

TEST(ProgramProfiles, EveryProfileMatchesItsGoldenBandTable) {
    for (const skin::Profile* p : {&skin::kButtonTarmelo, &skin::kTabTarmelo, &skin::kComboTarmelo,
                                   &skin::kLabelTarmelo, &skin::kMenuTarmelo, &skin::kBalloonTip}) {
        std::string file;
        for (const char* c = p->name; *c; ++c)
            if (isalnum((unsigned char)*c)) file += (char)tolower((unsigned char)*c);
        EXPECT_EQ("", check_golden(TEST_SOURCE_DIR "/controls/skin_core/tests/golden/" + file + ".txt",
                                   golden_table(*p, golden_styles(*p))));
    }
}

}  // namespace
