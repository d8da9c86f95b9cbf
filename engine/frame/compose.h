// The output picture of a decoded picture: brought to the output size by the size adjustment mode.
#pragma once
#include "engine/image/rgb_image.h"

enum SizeAdjust : int {
    kAdjustStretch = 0,  // scaled to the output size
    kAdjustFit = 1,      // scaled to fit, centred, black bands (also any mode other than 0 and 2)
    kAdjustCrop = 2,     // not scaled: the top-left part of a larger picture, a smaller one centred
};

// The picture for width x height from a B,G,R view (a decoder's picture at its own stride): the source
// view itself when it already has that size (nothing copied), else a view of `scratch` made into the
// result (its pixels reused from picture to picture of one size). An unusable source gives black.
PictureView compose_output_picture(const PictureView& source, int width, int height, int mode, CRgbImage& scratch);

// Mode 1: the size the source is scaled to inside width x height (its height even when it fits the
// width, else its width a multiple of 4).
void fit_size(int source_width, int source_height, int width, int height, int* fit_width, int* fit_height);
