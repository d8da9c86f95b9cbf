#include "list_cells.h"
#include <cstdio>
#include <cstring>
#include "controls/skin_core/skin_colour.h"

namespace {

std::string number(long long value) { return std::to_string(value); }

template <size_t N>
std::string bounded(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

int whole(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return int(value);
}

}  // namespace

ListRow list_row(const MediaFileRecord& r, int running_number, const char* type_text) {
    ListRow row;
    const std::string type = type_text ? std::string(type_text) : bounded(r.type_name);
    char rate[64];
    std::snprintf(rate, sizeof rate, "%.2f", r.frame_rate == r.frame_rate ? r.frame_rate : 0.0);
    row.cells = {number(running_number), bounded(r.path),   number(r.file_size),   type,
                 number(r.duration_s),   number(r.width),   number(r.height),      rate,
                 number(whole(r.sample_rate)), number(r.channels), number(r.file_kind)};
    if (type.compare(0, 2, "RM") == 0) row.image = 3;
    else if (type.compare(0, 2, "AS") == 0) row.image = 1;
    else if (type.compare(0, 2, "MO") == 0) row.image = 2;
    return row;
}

uint32_t list_back_colour(uint32_t ui_colour, int column) { return color_darken(ui_colour, unsigned(21 + 15 * column)); }
