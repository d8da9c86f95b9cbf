#include "soundfx/core/levels.h"
#include <algorithm>
#include <cstdlib>

namespace soundfx {

void LevelCapture::capture(const int16_t* pcm, int bytes, int channels) {
    if (!pcm || channels < 1) return;
    int n = bytes / channels / 2;
    if (n <= 0) return;
    n = std::min(n, kMaxFrames);
    count = n;
    for (int i = 0; i < n; ++i) {
        left[i] = uint8_t(std::min(255, std::abs(int(pcm[i * channels])) / 256));
        right[i] = channels >= 2 ? uint8_t(std::min(255, std::abs(int(pcm[i * channels + 1])) / 256)) : 0;
    }
}

bool LevelCapture::columns(int width, uint8_t* col_left, uint8_t* col_right) {
    if (width < 1) return false;
    width = std::min(width, kMaxColumns);
    const int m = count / width;
    if (m <= 0) return false;
    for (int j = 0; j < width; ++j) {
        int l = 0, r = 0;
        for (int i = j * m; i < j * m + m; ++i) {
            l += left[i];
            r += right[i];
        }
        col_left[j] = uint8_t(l / m);
        col_right[j] = uint8_t(r / m);
    }
    count = 0;
    return true;
}

}  // namespace soundfx
