#include "engine/frame/compose.h"
#include <cstring>

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

namespace {

// scratch as a black picture of width x height, its pixels reused when it already has that size.
void make_black(CRgbImage& scratch, int width, int height) {
    if (scratch.width() == width && scratch.height() == height && !scratch.empty())
        std::memset(scratch.pixels(), 0, scratch.byte_size());
    else
        scratch = CRgbImage(width, height);
}

}  // namespace

PictureView compose_output_picture(const PictureView& source, int width, int height, int mode, CRgbImage& scratch) {
    const bool usable = source.format == PixelFormat::kBgr24 && picture::valid(source);
    if (usable && source.width == width && source.height == height) return source;
    if (!usable || width < 1 || height < 1) {
        scratch = CRgbImage(width, height);
        return scratch.view();
    }
    if (mode == kAdjustStretch) {
        if (!CRgbImage::ScaleFrom(scratch, source, width, height)) scratch = CRgbImage(width, height);
        return scratch.view();
    }
    make_black(scratch, width, height);
    if (scratch.empty()) return scratch.view();
    if (mode == kAdjustCrop) {
        const int w = source.width < width ? source.width : width;
        const int h = source.height < height ? source.height : height;
        const int x = (width - w) / 2, y = (height - h) / 2;
        for (int row = 0; row < h; ++row)
            std::memcpy(scratch.row(y + row) + size_t(x) * 3, source.data + size_t(source.stride) * size_t(row),
                        size_t(w) * 3);
        return scratch.view();
    }
    int w = 0, h = 0;
    fit_size(source.width, source.height, width, height, &w, &h);
    if (w >= 1 && h >= 1) CRgbImage::ScaleInto(scratch, (width - w) / 2, (height - h) / 2, source, w, h);
    return scratch.view();  // a sliver of a picture stays black
}
