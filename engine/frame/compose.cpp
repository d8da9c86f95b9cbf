#include "engine/frame/compose.h"

void fit_size(int source_width, int source_height, int width, int height, int* fit_width, int* fit_height) {
    const int64_t h = int64_t(source_height) * width / source_width;
    if (h <= height) {
        *fit_width = width;
        *fit_height = int(h) & ~1;
    } else {
        *fit_width = int(int64_t(source_width) * height / source_height) & ~3;
        *fit_height = height;
    }
}

const CRgbImage& compose_output_picture(const CRgbImage& source, int width, int height, int mode, CRgbImage& scratch) {
    if (source.width() == width && source.height() == height) return source;
    if (source.empty() || width < 1 || height < 1) {
        scratch = CRgbImage(width, height);
        return scratch;
    }
    if (mode == kAdjustStretch) {
        if (!CRgbImage::ScaleFrom(scratch, source, width, height)) scratch = CRgbImage(width, height);
        return scratch;
    }
    scratch = CRgbImage(width, height);
    if (mode == kAdjustCrop) {
        const int w = source.width() < width ? source.width() : width;
        const int h = source.height() < height ? source.height() : height;
        CRgbImage::Blit(scratch, (width - w) / 2, (height - h) / 2, source, RgbRect{0, 0, w, h}, 0);
        return scratch;
    }
    int w = 0, h = 0;
    fit_size(source.width(), source.height(), width, height, &w, &h);
    if (w < 1 || h < 1) return scratch;  // a sliver of a picture: black
    CRgbImage fitted = source;
    if (CRgbImage::Scale(fitted, w, h))
        CRgbImage::Blit(scratch, (width - w) / 2, (height - h) / 2, fitted, RgbRect{0, 0, w, h}, 0);
    return scratch;
}
