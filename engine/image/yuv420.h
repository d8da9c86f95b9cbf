// 24-bit B,G,R pictures to planar YUV 4:2:0 (BT.601 studio range), one 32-bit int a sample, as the
// built-in H.263 encoder takes them: the Y plane, then Cb, then Cr.
#pragma once
#include <cstddef>
#include <cstdint>
#include "base/picture.h"

class CRgbImage;

// Samples of each chroma plane: one per 2 x 2 block, odd sizes rounded up.
inline size_t yuv420_chroma_count(int width, int height) {
    return size_t((width + 1) / 2) * size_t((height + 1) / 2);
}
inline size_t yuv420_sample_count(int width, int height) {
    return size_t(width) * size_t(height) + 2 * yuv420_chroma_count(width, height);
}

// Converts a B,G,R picture into `target`, 32-bit planes of the same size (yuv420_sample_count
// values). Chroma is the mean of each 2 x 2 block; at an odd last column or row the edge pixel stands
// in for the missing one. Returns 1, or 0 when either view is not of its layout or the sizes differ.
int rgb24_to_yuv420(const PictureView& source, const PictureView& target);
// The same into planes of the image's size at `out`.
int rgb24_to_yuv420(const CRgbImage& image, int32_t* out);
