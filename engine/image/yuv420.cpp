#include "yuv420.h"
#include "rgb_image.h"

namespace {

// BT.601 studio-range coefficients for 8-bit input in 16.16 fixed point: k x 65536 / 255, rounded.
// (Scaling by 256 instead of 65536 / 255 would make every value 0.4 % low, white 234 instead of 235.)
constexpr int32_t coefficient(double k) { return int32_t(k * 65536.0 / 255.0 + 0.5); }
constexpr int32_t kY_R = coefficient(65.481), kY_G = coefficient(128.553), kY_B = coefficient(24.966);
constexpr int32_t kCb_R = coefficient(37.797), kCb_G = coefficient(74.203), kC_112 = coefficient(112.0);
constexpr int32_t kCr_G = coefficient(93.786), kCr_B = coefficient(18.214);
// Offsets 16 and 128 with the half that makes the final shift round.
constexpr int32_t kLumaOffset = (16 << 16) + (1 << 15);
// Chroma is taken from the sum of a 2 x 2 block, so its shift is 2 bits longer.
constexpr int32_t kChromaOffset = (128 << 18) + (1 << 17);

// One row of luma from B, G, R pixels.
void luma_row(const uint8_t* __restrict pixels, int width, int32_t* __restrict out) {
    for (int x = 0; x < width; ++x, pixels += 3)
        out[x] = (kY_R * pixels[2] + kY_G * pixels[1] + kY_B * pixels[0] + kLumaOffset) >> 16;
}

// Chroma of the blocks of two rows (the same row twice for an odd last row); at an odd last column
// the edge pixel stands in for the missing one.
void chroma_row(const uint8_t* top, const uint8_t* bottom, int width, int32_t* __restrict cb, int32_t* __restrict cr) {
    for (int x0 = 0; x0 < width; x0 += 2) {
        const int x1 = x0 + 1 < width ? x0 + 1 : x0;
        const uint8_t* p[4] = {top + 3 * x0, top + 3 * x1, bottom + 3 * x0, bottom + 3 * x1};
        const int32_t b = p[0][0] + p[1][0] + p[2][0] + p[3][0];
        const int32_t g = p[0][1] + p[1][1] + p[2][1] + p[3][1];
        const int32_t r = p[0][2] + p[1][2] + p[2][2] + p[3][2];
        cb[x0 / 2] = (kC_112 * b - kCb_G * g - kCb_R * r + kChromaOffset) >> 18;
        cr[x0 / 2] = (kC_112 * r - kCr_G * g - kCr_B * b + kChromaOffset) >> 18;
    }
}

}  // namespace

int rgb24_to_yuv420(const PictureView& source, const PictureView& target) {
    if (source.format != PixelFormat::kBgr24 || !picture::valid(source)) return 0;
    if (target.format != PixelFormat::kYuv420Int32 || !picture::valid(target)) return 0;
    if (source.width != target.width || source.height != target.height) return 0;
    if (target.stride != picture::natural_stride(target.format, target.width)) return 0;
    const int width = source.width, height = source.height, stride = source.stride;
    const uint8_t* pixels = source.data;
    int32_t* out = reinterpret_cast<int32_t*>(target.data);
    const size_t chroma_width = size_t((width + 1) / 2);
    int32_t* cb = out + size_t(width) * size_t(height);
    int32_t* cr = cb + yuv420_chroma_count(width, height);
    for (int y = 0; y < height; ++y) luma_row(pixels + size_t(stride) * size_t(y), width, out + size_t(width) * size_t(y));
    for (int y = 0; y < height; y += 2, cb += chroma_width, cr += chroma_width) {
        const uint8_t* top = pixels + size_t(stride) * size_t(y);
        const uint8_t* bottom = y + 1 < height ? top + stride : top;
        chroma_row(top, bottom, width, cb, cr);
    }
    return 1;
}

int rgb24_to_yuv420(const CRgbImage& image, int32_t* out) {
    return rgb24_to_yuv420(image.view(), picture::yuv420_int32(out, image.width(), image.height()));
}
