#include <gtest/gtest.h>
#include <cstring>
#include "app/core/list_cells.h"

TEST(ListCells, CellsFromARecord) {
    MediaFileRecord r{};
    std::strcpy(r.path, "C:\\clips\\a.mp4");
    std::strcpy(r.type_name, "MP4 File");
    r.file_size = 123456;
    r.duration_s = 3;
    r.width = 320;
    r.height = 240;
    r.frame_rate = 29.97;
    r.sample_rate = 44100.9;
    r.channels = 2;
    r.file_kind = 10000 + 256 * 1 + 2;
    const ListRow row = list_row(r, 7);
    const char* expected[kListColumns] = {"7", "C:\\clips\\a.mp4", "123456", "MP4 File", "3", "320", "240",
                                          "29.97", "44100", "2", "10258"};
    for (int c = 0; c < kListColumns; ++c) EXPECT_EQ(row.cells[c], expected[c]) << c;
    EXPECT_EQ(row.image, 0);
    EXPECT_EQ(list_row(r, 0, "DVD").cells[3], "DVD");
}

TEST(ListCells, ImageByTypeText) {
    struct Case {
        const char* type;
        int image;
    };
    const Case cases[] = {{"RMVB", 3}, {"ASF", 1}, {"MOV", 2}, {"MPEG", 0}, {"R", 0}, {"", 0}};
    MediaFileRecord r{};
    for (const Case& c : cases) EXPECT_EQ(list_row(r, 0, c.type).image, c.image) << c.type;
}

TEST(ListCells, UnterminatedTextsStayInsideTheirFields) {
    MediaFileRecord r{};
    std::memset(r.type_name, 'A', sizeof r.type_name);
    std::memset(r.path, 'p', sizeof r.path);
    const ListRow row = list_row(r, 0);
    EXPECT_EQ(row.cells[3].size(), sizeof r.type_name);
    EXPECT_EQ(row.cells[1].size(), sizeof r.path);
}

TEST(ListCells, ColumnBackgroundsDarkenTheUiColourByColumn) {
    // UI colour R12 G48 B112: column c is darkened by 21 + 15c, each channel stopping at 0.
    const uint32_t ui = 0x70300C;
    EXPECT_EQ(list_back_colour(ui, 0), 0x5B1B00u);   // 112-21, 48-21, 12-21 -> 0
    EXPECT_EQ(list_back_colour(ui, 2), 0x3D0000u);   // darkened by 51
    EXPECT_EQ(list_back_colour(ui, 10), 0x000000u);  // by 171
}
