// Layout of packed device-independent bitmaps (the body of an RT_BITMAP resource) and the key-colour
// scan that cuts a window region out of a bitmap. Resource bytes are checked before they are trusted.
#pragma once
#include "skin_colour.h"
#include "skin_scheme.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skin {

// Offset of the pixel bits from the start of a packed DIB: header size (biSize) plus colour masks
// (BI_BITFIELDS with a 40-byte header) plus the palette (biClrUsed entries, or 2^bpp when 0 and the
// depth is 8 or less). False when the header is malformed or the offset lies beyond `size`.
bool dib_bits_offset(const uint8_t* dib, size_t size, uint32_t* offset);

// The bitmap file image of a packed DIB: a 14-byte "BM" header whose size is size + 14 and whose bits
// offset is 14 + dib_bits_offset, followed by the DIB. Empty when the DIB is malformed.
std::vector<uint8_t> bitmap_file_image(const uint8_t* dib, size_t size);

// A key colour in 16-bit 5-6-5 form (red in the high bits).
uint16_t key_to_565(Colour key);

struct PixelRows {
    int width = 0, height = 0;
    int bits_per_pixel = 0;       // 8, 16 (5-6-5), 24 or 32; other depths give no rectangles
    const uint8_t* bits = nullptr;
    size_t stride = 0;            // bytes from one stored row to the next
    bool bottom_up = true;        // stored rows run from the bottom of the image up
    const uint32_t* palette = nullptr;  // RGBQUAD values (0x00RRGGBB) for 8 bits per pixel
    size_t palette_count = 0;
};

// Rows from the top of the image down; in each, every run of pixels that differ from `key` becomes a
// rectangle {first x, row, x after the run, row + 1}.
std::vector<Rect> key_region_runs(const PixelRows& image, Colour key);

}  // namespace skin
