#include "yuv420.h"
#include <array>
#include "rgb_image.h"

namespace {

// Entry i = i x k / 255 in 16.16 fixed point, rounded: the BT.601 studio-range matrix for 8-bit input.
// (Scaling by 256 instead of 65536 / 255 would make every value 0.4 % low, white 234 instead of 235.)
struct Table {
    std::array<int32_t, 256> v;
    constexpr explicit Table(double k) : v() {
        for (int i = 0; i < 256; ++i) v[size_t(i)] = int32_t(i * 65536.0 * k / 255.0 + 0.5);
    }
    constexpr int32_t operator[](uint8_t i) const { return v[i]; }
};

constexpr Table kY_R(65.481), kY_G(128.553), kY_B(24.966);
constexpr Table kCb_R(37.797), kCb_G(74.203);
constexpr Table kCr_G(93.786), kCr_B(18.214);
constexpr Table k112(112.0);
// Offsets 16 and 128 with the half that makes the final shift round.
constexpr int32_t kLumaOffset = (16 << 16) + (1 << 15), kChromaOffset = (128 << 16) + (1 << 15);

struct Chroma {
    int32_t cb = 0, cr = 0;
};

// Y of one pixel, and its chroma added to the block's sums. Pixels are B, G, R.
inline int32_t convert_pixel(const uint8_t* p, Chroma& sum) {
    const uint8_t b = p[0], g = p[1], r = p[2];
    sum.cb += (k112[b] - kCb_G[g] - kCb_R[r] + kChromaOffset) >> 16;
    sum.cr += (k112[r] - kCr_G[g] - kCr_B[b] + kChromaOffset) >> 16;
    return (kY_R[r] + kY_G[g] + kY_B[b] + kLumaOffset) >> 16;
}

}  // namespace

int rgb24_to_yuv420(int width, int height, const uint8_t* pixels, int stride, int32_t* out) {
    if (width <= 0 || height <= 0 || !pixels || !out || int64_t(stride) < int64_t(width) * 3) return 0;
    const int chroma_width = (width + 1) / 2;
    int32_t* y_plane = out;
    int32_t* cb_plane = out + size_t(width) * size_t(height);
    int32_t* cr_plane = cb_plane + yuv420_chroma_count(width, height);
    for (int y0 = 0; y0 < height; y0 += 2) {
        const int y1 = y0 + 1 < height ? y0 + 1 : y0;  // an odd last row pairs with itself
        const uint8_t* rows[2] = {pixels + size_t(stride) * size_t(y0), pixels + size_t(stride) * size_t(y1)};
        int32_t* luma[2] = {y_plane + size_t(width) * size_t(y0), y_plane + size_t(width) * size_t(y1)};
        const size_t block_row = size_t(y0 / 2) * size_t(chroma_width);
        for (int x0 = 0; x0 < width; x0 += 2) {
            const int x1 = x0 + 1 < width ? x0 + 1 : x0;
            Chroma sum;
            for (int r = 0; r < 2; ++r) {
                luma[r][x0] = convert_pixel(rows[r] + 3 * x0, sum);
                luma[r][x1] = convert_pixel(rows[r] + 3 * x1, sum);
            }
            cb_plane[block_row + size_t(x0 / 2)] = (sum.cb + 2) >> 2;
            cr_plane[block_row + size_t(x0 / 2)] = (sum.cr + 2) >> 2;
        }
    }
    return 1;
}

int rgb24_to_yuv420(const CRgbImage& image, int32_t* out) {
    return rgb24_to_yuv420(image.width(), image.height(), image.pixels(), image.stride(), out);
}
