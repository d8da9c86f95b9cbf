#include "yuy2.h"
#include <mutex>

namespace {

// BT.601 studio range in 16.16 fixed point, weights k x 219 / 255 for luma and k x 224 / 255 for
// chroma (the same weights as the encoders' 4:2:0 conversion).
constexpr int32_t fixed(double k) { return int32_t(k * 65536.0 / 255.0 + 0.5); }
constexpr int32_t kCb_R = fixed(37.797), kCb_G = fixed(74.203), kC_Half = fixed(112.0);
constexpr int32_t kCr_G = fixed(93.786), kCr_B = fixed(18.214);
// Offsets with the half that makes the shift round; chroma comes from the sum of a 2 x 2 block, so its
// shift is 2 bits longer.
constexpr int32_t kLumaOffset = (16 << 16) + (1 << 15);
constexpr int32_t kChromaOffset = (128 << 18) + (1 << 17);

// Luma tables: i x weight for R, G and B, the offset folded into the R table.
int32_t g_luma_r[256], g_luma_g[256], g_luma_b[256];
std::once_flag g_tables_once;

void build_tables() {
    for (int i = 0; i < 256; ++i) {
        g_luma_r[i] = fixed(65.481) * i + kLumaOffset;
        g_luma_g[i] = fixed(128.553) * i;
        g_luma_b[i] = fixed(24.966) * i;
    }
}

inline uint8_t luma(const uint8_t* p) { return uint8_t((g_luma_r[p[2]] + g_luma_g[p[1]] + g_luma_b[p[0]]) >> 16); }

// One pair of output rows from two source rows.
void row_pair(const uint8_t* __restrict top, const uint8_t* __restrict bottom, int width, uint8_t* __restrict out0,
              uint8_t* __restrict out1) {
    for (int x = 0; x < width; x += 2, top += 6, bottom += 6, out0 += 4, out1 += 4) {
        const int32_t b = top[0] + top[3] + bottom[0] + bottom[3];
        const int32_t g = top[1] + top[4] + bottom[1] + bottom[4];
        const int32_t r = top[2] + top[5] + bottom[2] + bottom[5];
        const uint8_t u = uint8_t((kC_Half * b - kCb_G * g - kCb_R * r + kChromaOffset) >> 18);
        const uint8_t v = uint8_t((kC_Half * r - kCr_G * g - kCr_B * b + kChromaOffset) >> 18);
        out0[0] = luma(top);
        out0[1] = u;
        out0[2] = luma(top + 3);
        out0[3] = v;
        out1[0] = luma(bottom);
        out1[1] = u;
        out1[2] = luma(bottom + 3);
        out1[3] = v;
    }
}

inline uint8_t clamp_byte(int32_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace

void yuy2_tables_init() { std::call_once(g_tables_once, build_tables); }

int rgb24_to_yuy2(int width, int height, const uint8_t* pixels, uint8_t* destination, int flag) {
    if (width < 2 || height < 2) return -1;
    return rgb24_to_yuy2(width, height, pixels, (3 * width + 3) & ~3, destination, flag);
}

int rgb24_to_yuy2(int width, int height, const uint8_t* pixels, int stride, uint8_t* destination, int flag) {
    if (width < 2 || height < 2 || !pixels || !destination || stride < 3 * width) return -1;
    yuy2_tables_init();
    const int w = width & ~1, h = height & ~1;
    const size_t out_stride = size_t(w) * 2;
    for (int y = 0; y < h; y += 2) {
        // Flag 0: memory row 0 is the picture's bottom row.
        const int row0 = flag ? y : height - 1 - y;
        const int row1 = flag ? y + 1 : height - 2 - y;
        uint8_t* out0 = destination + out_stride * size_t(y);
        row_pair(pixels + size_t(stride) * size_t(row0), pixels + size_t(stride) * size_t(row1), w, out0,
                 out0 + out_stride);
    }
    return 0;
}

void yuy2_to_bgrx(const uint8_t* yuy2, int width, int height, int stride, uint8_t* out, int out_stride) {
    // Inverse of the studio-range conversion in 16.16: 255 / 219 for luma, the chroma weights over 224.
    constexpr int32_t kY = int32_t(255.0 / 219.0 * 65536 + 0.5);
    constexpr int32_t kRV = int32_t(1.402 * 255.0 / 224.0 * 65536 + 0.5);
    constexpr int32_t kGU = int32_t(0.344136 * 255.0 / 224.0 * 65536 + 0.5);
    constexpr int32_t kGV = int32_t(0.714136 * 255.0 / 224.0 * 65536 + 0.5);
    constexpr int32_t kBU = int32_t(1.772 * 255.0 / 224.0 * 65536 + 0.5);
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = yuy2 + size_t(stride) * size_t(y);
        uint8_t* d = out + size_t(out_stride) * size_t(y);
        for (int x = 0; x + 1 < width; x += 2, s += 4, d += 8) {
            const int32_t u = s[1] - 128, v = s[3] - 128;
            const int32_t r = kRV * v, g = -kGU * u - kGV * v, b = kBU * u;
            for (int i = 0; i < 2; ++i) {
                const int32_t l = kY * (s[2 * i] - 16) + (1 << 15);
                d[4 * i + 0] = clamp_byte((l + b) >> 16);
                d[4 * i + 1] = clamp_byte((l + g) >> 16);
                d[4 * i + 2] = clamp_byte((l + r) >> 16);
                d[4 * i + 3] = 0;
            }
        }
    }
}
