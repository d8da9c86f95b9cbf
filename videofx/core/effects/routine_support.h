// Small pieces the effect routines share.
#pragma once
#include <cstdint>
#include "videofx/core/effect_image.h"

namespace routine {

inline uint8_t clamp_byte(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// One 256-entry table per channel (0 blue, 1 green, 2 red).
using ChannelTables = uint8_t[3][256];

// Maps every pixel byte through its channel's table, reporting progress row by row.
void map_channels(CEffectImage& image, const ChannelTables& tables, Progress* progress);

// Runs `per_row(memory_row_pointer)` over every row, reporting 0 first, i x 100 / rows after row i
// and 100 at the end.
template <typename PerRow>
void for_each_row(CEffectImage& image, Progress* progress, PerRow per_row) {
    const int rows = image.height();
    report_progress(progress, 0);
    for (int i = 0; i < rows; ++i) {
        per_row(image.row(i));
        report_progress(progress, i * 100 / rows);
    }
    report_progress(progress, 100);
}

// Whether a picture view can be read as B,G,R rows: data, a size and a stride that holds a row.
bool readable_bgr(const PictureView& view);

}  // namespace routine
