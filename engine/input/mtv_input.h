// The MTV/AMV branch's pure parts, for the reader and its tests.
#pragma once
#include <cstddef>
#include <cstdint>

// MTV pixel formats as the library reports them: 1 is 5-5-5, every other value 5-6-5.
constexpr int kMtvPixels555 = 1;

// One 16-bit MTV pixel (first byte high) as B, G, R: 5-5-5 gives R = ((v >> 10) & 31) x 8,
// G = ((v >> 5) & 31) x 8, B = (v & 31) x 8; 5-6-5 gives R = (v >> 8) & 0xF8, G = ((v >> 5) & 63) x 4,
// B = (v & 31) x 8.
void mtv_pixel_bgr(uint8_t first, uint8_t second, int pixel_format, uint8_t* bgr);
// A stored MTV picture (w x h pixels of 2 bytes, rows in stored order) into B,G,R rows at `stride`,
// the first stored row last. False (nothing written) when `length` holds less than 2 x w x h bytes.
bool mtv_picture_bgr(const uint8_t* stored, size_t length, int width, int height, int pixel_format, uint8_t* out,
                     int stride);

// A stored AMV picture (a JPEG frame without its header) into B,G,R rows at `stride` (which must be
// the 4-byte-aligned stride of `width`), upright. False (nothing written) when it does not decode at
// width x height.
bool amv_picture_bgr(const uint8_t* stored, size_t length, int width, int height, uint8_t* out, int stride);

// The largest picture an MTV or AMV header may give (the players of these formats show no more); a
// larger one is refused before anything is allocated.
constexpr int kMtvLargestWidth = 1024;
constexpr int kMtvLargestHeight = 768;
bool mtv_size_allowed(int width, int height);

// Bytes of the MTV picture buffer: twice the offered picture length, which is the picture's bits per
// pixel x w x h / 8 but never less than the 2 x w x h bytes a picture is read from.
size_t mtv_offered_bytes(int bits_per_pixel, int width, int height);
