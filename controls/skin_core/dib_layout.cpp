#include "dib_layout.h"
#include <cstring>

namespace skin {
namespace {

uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24); }
uint16_t le16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }
void put32(uint8_t* p, uint32_t v) { for (int i = 0; i < 4; ++i) p[i] = (uint8_t)(v >> (8 * i)); }

const uint32_t kCoreHeader = 12, kInfoHeader = 40;
const uint32_t kBitfields = 3, kAlphaBitfields = 6;

bool valid_depth(unsigned bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32; }

}  // namespace

bool dib_bits_offset(const uint8_t* dib, size_t size, uint32_t* offset) {
    if (!dib || size < 4) return false;
    const uint32_t header = le32(dib);
    if (header < kCoreHeader || header > size || header > 1024) return false;
    uint64_t total = header;
    if (header == kCoreHeader) {
        unsigned bpp = le16(dib + 10);
        if (!valid_depth(bpp)) return false;
        if (bpp <= 8) total += (uint64_t(1) << bpp) * 3;
    } else {
        if (header < kInfoHeader) return false;
        unsigned bpp = le16(dib + 14);
        uint32_t compression = le32(dib + 16);
        uint32_t colours_used = le32(dib + 32);
        if (!valid_depth(bpp)) return false;
        if (header == kInfoHeader && compression == kBitfields) total += 12;
        if (header == kInfoHeader && compression == kAlphaBitfields) total += 16;
        uint64_t entries = colours_used ? colours_used : (bpp <= 8 ? uint64_t(1) << bpp : 0);
        if (bpp <= 8 && entries > (uint64_t(1) << bpp)) return false;
        total += entries * 4;
    }
    if (total > size) return false;
    *offset = (uint32_t)total;
    return true;
}

std::vector<uint8_t> bitmap_file_image(const uint8_t* dib, size_t size) {
    uint32_t bits = 0;
    if (!dib_bits_offset(dib, size, &bits) || size > 0x7FFFFFFF - 14) return {};
    std::vector<uint8_t> image(14 + size);
    image[0] = 'B';
    image[1] = 'M';
    put32(&image[2], (uint32_t)(size + 14));
    put32(&image[6], 0);
    put32(&image[10], 14 + bits);
    memcpy(&image[14], dib, size);
    return image;
}

uint16_t key_to_565(Colour key) {
    return (uint16_t)(((red_of(key) >> 3) << 11) | ((green_of(key) >> 2) << 5) | (blue_of(key) >> 3));
}

std::vector<Rect> key_region_runs(const PixelRows& img, Colour key) {
    std::vector<Rect> rects;
    const int bpp = img.bits_per_pixel;
    if (!img.bits || img.width <= 0 || img.height <= 0) return rects;
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return rects;
    const uint16_t key565 = key_to_565(key);
    const uint32_t key_rgbquad = ((uint32_t)red_of(key) << 16) | ((uint32_t)green_of(key) << 8) | blue_of(key);
    auto is_key = [&](const uint8_t* row, int x) {
        switch (bpp) {
        case 8: {
            uint8_t index = row[x];
            return index < img.palette_count && (img.palette[index] & 0xFFFFFF) == key_rgbquad;
        }
        case 16: return le16(row + 2 * x) == key565;
        default: {
            const uint8_t* p = row + (bpp / 8) * x;
            return p[0] == blue_of(key) && p[1] == green_of(key) && p[2] == red_of(key);
        }
        }
    };
    for (int y = 0; y < img.height; ++y) {
        const uint8_t* row = img.bits + img.stride * (size_t)(img.bottom_up ? img.height - 1 - y : y);
        int run_start = -1;
        for (int x = 0; x < img.width; ++x) {
            bool opaque = !is_key(row, x);
            if (opaque && run_start < 0) run_start = x;
            if (!opaque && run_start >= 0) {
                rects.push_back(Rect{run_start, y, x, y + 1});
                run_start = -1;
            }
        }
        if (run_start >= 0) rects.push_back(Rect{run_start, y, img.width, y + 1});
    }
    return rects;
}

}  // namespace skin
