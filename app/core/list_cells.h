// What the media list shows for a file: the eleven cell texts, the row's image and the colours.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include "media/records/media_file_record.h"

constexpr int kListColumns = 11;

struct ListRow {
    std::array<std::string, kListColumns> cells;
    int image = 0;
};

// Columns: 0 running number, 1 path, 2 size, 3 type (type_text when given, else the record's type
// name), 4 duration s, 5 width, 6 height, 7 frame rate "%.2f", 8 sample rate (whole Hz), 9 channels,
// 10 file kind. Image: 3 for a type beginning "RM", 1 "AS", 2 "MO", else 0.
ListRow list_row(const MediaFileRecord& record, int running_number, const char* type_text = nullptr);

// Colours (0x00BBGGRR): every cell's text, and the background of column c from the UI colour.
constexpr uint32_t kListTextColour = 0x5CFFFF;
uint32_t list_back_colour(uint32_t ui_colour, int column);
