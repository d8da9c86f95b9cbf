// The level display's data: one level a frame of the processed block (|sample| / 256, at most 8190
// frames), and the averages per pixel column of a display W wide.
#pragma once
#include <cstdint>

namespace soundfx {

struct LevelCapture {
    static constexpr int kMaxFrames = 8190;
    static constexpr int kMaxColumns = 1400;
    uint8_t left[8192] = {};
    uint8_t right[8192] = {};  // 0 for one channel
    int count = 0;             // levels captured by the last block

    void capture(const int16_t* pcm, int bytes, int channels);
    // Averages of count / width levels per column for width columns (width limited to 1..1400) and
    // resets count; false (nothing to draw) when a column would get no level.
    bool columns(int width, uint8_t* col_left, uint8_t* col_right);
};

}  // namespace soundfx
