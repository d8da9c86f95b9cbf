// 24-bit B,G,R pictures to packed YUY2 (Y0, U, Y1, V) for the video window, BT.601 studio range (Y 16
// to 235, U and V 16 to 240 around 128), which is how DirectDraw shows a YUY2 surface; and back to 32-bit
// B,G,R,X for a display that takes no YUY2 surface.
#pragma once
#include <cstddef>
#include <cstdint>

// Builds the conversion tables (once per process; rgb24_to_yuy2 builds them itself when needed).
void yuy2_tables_init();

// Converts a width x height B,G,R picture whose rows are (3 x width + 3) & ~3 bytes apart (the image
// stride) into `destination`: (width & ~1) x (height & ~1) pixels, rows of 2 x (width & ~1) bytes. An
// odd last column or row is left out. Flag not 0: the source rows run top-down; flag 0: bottom-up,
// turned upright. U and V are the means of each 2 x 2 block. Returns 0; -1 when the even part is empty
// (width or height below 2) or a pointer is null; -2 when its work buffers cannot be allocated.
int rgb24_to_yuy2(int width, int height, const uint8_t* pixels, uint8_t* destination, int flag);
// The same with the source stride given (bytes between rows, at least 3 x width).
int rgb24_to_yuy2(int width, int height, const uint8_t* pixels, int stride, uint8_t* destination, int flag);

// Bytes of the YUY2 picture rgb24_to_yuy2 writes for a width x height source.
inline size_t yuy2_picture_bytes(int width, int height) {
    if (width < 2 || height < 2) return 0;
    return size_t(width & ~1) * 2 * size_t(height & ~1);
}

// YUY2 rows (width even, `stride` bytes apart) to 32-bit B,G,R,0 rows `out_stride` bytes apart.
void yuy2_to_bgrx(const uint8_t* yuy2, int width, int height, int stride, uint8_t* out, int out_stride);
