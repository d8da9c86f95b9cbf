#include "rgb_image.h"
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::atomic<uint32_t> g_key_color{0};

bool valid_size(int width, int height) {
    return width > 0 && height > 0 && width <= CRgbImage::kMaxSide && height <= CRgbImage::kMaxSide;
}

uint8_t* allocate(int width, int height) {
    if (!valid_size(width, height)) return nullptr;
    return static_cast<uint8_t*>(std::calloc(size_t(CRgbImage::StrideFor(width)) * size_t(height), 1));
}

uint32_t pixel24(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16; }

}  // namespace

CRgbImage::CRgbImage(int width, int height, int fill_color) {
    Take(width, height, allocate(width, height));
    if (!pixels_ || fill_color == 0) return;
    const uint8_t fill[3] = {uint8_t(fill_color), uint8_t(fill_color >> 8), uint8_t(fill_color >> 16)};
    for (int y = 0; y < height_; ++y) {
        uint8_t* p = row(y);
        for (int x = 0; x < width_; ++x, p += 3) std::memcpy(p, fill, 3);
    }
}

CRgbImage::CRgbImage(const CRgbImage& other) {
    Take(other.width_, other.height_, allocate(other.width_, other.height_));
    if (pixels_) std::memcpy(pixels_, other.pixels_, byte_size());
}

CRgbImage& CRgbImage::operator=(const CRgbImage& other) {
    if (this != &other) {
        uint8_t* copy = allocate(other.width_, other.height_);
        if (copy) std::memcpy(copy, other.pixels_, other.byte_size());
        Release();
        Take(other.width_, other.height_, copy);
    }
    return *this;
}

CRgbImage::~CRgbImage() { Release(); }

// Keeps the invariant: pixels hold stride x height bytes, or the image is 0 x 0 without pixels.
void CRgbImage::Take(int width, int height, uint8_t* pixels) {
    pixels_ = pixels;
    width_ = pixels ? width : 0;
    height_ = pixels ? height : 0;
    stride_ = StrideFor(width_);
}

void CRgbImage::Release() {
    std::free(pixels_);
    Take(0, 0, nullptr);
}

namespace {

// Nearest-neighbour rows of a B,G,R view into `scaled` (new_width x new_height, rows out_stride
// bytes apart): destination pixel x takes source pixel x * w / W, row y source row y * h / H.
void scale_rows(const PictureView& source, uint8_t* scaled, size_t out_stride, int new_width, int new_height) {
    const int src_w = source.width, src_h = source.height;
    std::vector<int> source_offset(static_cast<size_t>(new_width));
    for (int x = 0; x < new_width; ++x) source_offset[size_t(x)] = int(int64_t(x) * src_w / new_width) * 3;
    int previous_sy = -1;
    for (int y = 0; y < new_height; ++y) {
        uint8_t* out = scaled + out_stride * size_t(y);
        int sy = int(int64_t(y) * src_h / new_height);
        if (sy == previous_sy) {  // upscaled rows repeat the row above
            std::memcpy(out, out - out_stride, size_t(new_width) * 3);
            continue;
        }
        previous_sy = sy;
        // Three bytes a pixel: the fill byte after the last pixel is never touched.
        const uint8_t* in = source.data + size_t(source.stride) * size_t(sy);
        for (int x = 0; x < new_width; ++x, out += 3) std::memcpy(out, in + source_offset[size_t(x)], 3);
    }
}

bool scalable(const PictureView& source) { return source.format == PixelFormat::kBgr24 && picture::valid(source); }

// Whether a view's bytes lie (in part) inside the pixels of `image`.
bool overlaps(const PictureView& view, const uint8_t* pixels, size_t bytes) {
    if (!pixels) return false;
    const uint8_t* end = view.data + picture::byte_size(view);
    return view.data < pixels + bytes && end > pixels;
}

}  // namespace

bool CRgbImage::Scale(CRgbImage& image, int new_width, int new_height) {
    if (image.empty()) return false;
    uint8_t* scaled = allocate(new_width, new_height);
    if (!scaled) return false;
    scale_rows(image.view(), scaled, size_t(StrideFor(new_width)), new_width, new_height);
    image.Release();
    image.Take(new_width, new_height, scaled);
    return true;
}

bool CRgbImage::ScaleFrom(CRgbImage& dest, const CRgbImage& source, int new_width, int new_height) {
    if (&dest == &source) return false;
    return ScaleFrom(dest, source.view(), new_width, new_height);
}

bool CRgbImage::ScaleFrom(CRgbImage& dest, const PictureView& source, int new_width, int new_height) {
    if (!scalable(source) || overlaps(source, dest.pixels_, dest.byte_size())) return false;
    if (dest.width_ != new_width || dest.height_ != new_height || dest.empty()) {
        uint8_t* pixels = allocate(new_width, new_height);
        if (!pixels) return false;
        dest.Release();
        dest.Take(new_width, new_height, pixels);
    }
    scale_rows(source, dest.pixels_, size_t(dest.stride_), new_width, new_height);
    return true;
}

bool CRgbImage::ScaleInto(CRgbImage& dest, int x, int y, const PictureView& source, int width, int height) {
    if (!scalable(source) || overlaps(source, dest.pixels_, dest.byte_size()) || width < 1 || height < 1 || x < 0 ||
        y < 0 || int64_t(x) + width > dest.width_ || int64_t(y) + height > dest.height_)
        return false;
    scale_rows(source, dest.row(y) + size_t(x) * 3, size_t(dest.stride_), width, height);
    return true;
}

void CRgbImage::Blit(CRgbImage& dest, int x, int y, const CRgbImage& source, const RgbRect& rect, int flags) {
    if (rect.left < 0 || rect.top < 0 || rect.right > source.width_ || rect.bottom > source.height_) return;
    // 64-bit so that extreme positions cannot overflow while clipping.
    int64_t left = rect.left, top = rect.top, to_x = x, to_y = y;
    if (to_x < 0) { left -= to_x; to_x = 0; }
    if (to_y < 0) { top -= to_y; to_y = 0; }
    int64_t width = std::min<int64_t>(rect.right - left, dest.width_ - to_x);
    int64_t height = std::min<int64_t>(rect.bottom - top, dest.height_ - to_y);
    if (width <= 0 || height <= 0) return;
    const uint32_t key = KeyColor() & 0xFFFFFF;
    // Within one image, walk bottom-up when the destination lies below the source.
    const bool upward = &dest == &source && to_y > top;
    for (int64_t step = 0; step < height; ++step) {
        int64_t row = upward ? height - 1 - step : step;
        const uint8_t* in = source.row(int(top + row)) + left * 3;
        uint8_t* out = dest.row(int(to_y + row)) + to_x * 3;
        if (!(flags & kBlitKeyed)) {
            std::memmove(out, in, size_t(width) * 3);  // memmove: source and destination may be one image
            continue;
        }
        for (int64_t i = 0; i < width; ++i, in += 3, out += 3)
            if (pixel24(in) != key) std::memmove(out, in, 3);
    }
}

void CRgbImage::FlipMirror(CRgbImage& image, int flags) {
    if (image.empty()) return;
    if (flags & kFlip) {
        std::vector<uint8_t> spare(size_t(image.stride_));
        for (int i = 0; i < image.height_ / 2; ++i) {
            uint8_t* top = image.row(i);
            uint8_t* bottom = image.row(image.height_ - 1 - i);
            std::memcpy(spare.data(), top, spare.size());
            std::memcpy(top, bottom, spare.size());
            std::memcpy(bottom, spare.data(), spare.size());
        }
    }
    if (flags & kMirror) {
        for (int y = 0; y < image.height_; ++y) {
            uint8_t* left = image.row(y);
            uint8_t* right = left + 3 * (image.width_ - 1);
            for (; left < right; left += 3, right -= 3)
                for (int c = 0; c < 3; ++c) std::swap(left[c], right[c]);
        }
    }
}

int CRgbImage::BitmapToRgb(CRgbImage& image, uint8_t* buffer, size_t buffer_size) {
    const size_t needed = image.byte_size();
    if (!buffer || buffer_size < needed || needed > size_t(INT32_MAX)) return -1;
    FlipMirror(image, kFlip);
    if (needed) std::memcpy(buffer, image.pixels_, needed);
    return int(needed);
}

void CRgbImage::GetBitmapInfo(const CRgbImage& image, DibInfoHeader* header) {
    std::memset(header, 0, sizeof *header);
    header->size = sizeof *header;
    header->width = image.width_;
    header->height = -image.height_;  // top-down rows
    header->planes = 1;
    header->bit_count = 24;
    header->compression = 0;  // BI_RGB
    header->size_image = uint32_t(image.byte_size());
}

void CRgbImage::SetKeyColor(uint32_t rgb24) { g_key_color.store(rgb24 & 0xFFFFFF, std::memory_order_relaxed); }

uint32_t CRgbImage::KeyColor() { return g_key_color.load(std::memory_order_relaxed); }

PictureView CRgbImage::view() const {
    PictureView v = picture::bgr24(pixels_, width_, height_);
    if (!pixels_) v.width = v.height = v.stride = 0;
    return v;
}
