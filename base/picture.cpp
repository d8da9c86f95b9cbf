#include "picture.h"

namespace picture {

namespace {
constexpr int64_t kMaxBytes = int64_t(1) << 40;

int sample_size(PixelFormat format) { return format == PixelFormat::kYuv420Int32 ? 4 : 1; }
bool planar(PixelFormat format) {
    return format == PixelFormat::kYuv420 || format == PixelFormat::kYuv420Int32;
}
// Bytes of the two chroma planes after the luma plane.
int64_t chroma_bytes(const PictureView& view) {
    int64_t samples = int64_t(chroma_width(view.width)) * chroma_height(view.height);
    return 2 * samples * sample_size(view.format);
}
}  // namespace

int natural_stride(PixelFormat format, int width) {
    switch (format) {
    case PixelFormat::kBgr24: return bgr24_stride(width);
    case PixelFormat::kRgb24Packed: return 3 * width;
    case PixelFormat::kYuv420: return width;
    case PixelFormat::kYuv420Int32: return 4 * width;
    case PixelFormat::kYuy2: return 2 * (width + (width & 1));
    }
    return 0;
}

bool valid(const PictureView& view) {
    if (!view.data || view.width < 1 || view.height < 1 || view.width > (1 << 20) || view.height > (1 << 20))
        return false;
    return view.stride >= natural_stride(view.format, view.width);
}

size_t byte_size(const PictureView& view) {
    if (!valid(view)) return 0;
    int64_t bytes = int64_t(view.stride) * view.height;
    if (planar(view.format)) bytes += chroma_bytes(view);
    return bytes > kMaxBytes ? 0 : size_t(bytes);
}

namespace {
PictureView make(uint8_t* data, int width, int height, PixelFormat format) {
    PictureView view;
    view.data = data;
    view.width = width;
    view.height = height;
    view.format = format;
    view.stride = natural_stride(format, width);
    return view;
}
}  // namespace

PictureView bgr24(uint8_t* data, int width, int height) { return make(data, width, height, PixelFormat::kBgr24); }
PictureView rgb24_packed(uint8_t* data, int width, int height) {
    return make(data, width, height, PixelFormat::kRgb24Packed);
}
PictureView yuv420(uint8_t* data, int width, int height) { return make(data, width, height, PixelFormat::kYuv420); }
PictureView yuv420_int32(int32_t* data, int width, int height) {
    return make(reinterpret_cast<uint8_t*>(data), width, height, PixelFormat::kYuv420Int32);
}
PictureView yuy2(uint8_t* data, int width, int height) { return make(data, width, height, PixelFormat::kYuy2); }

uint8_t* plane(const PictureView& view, int index) {
    if (!planar(view.format) || index < 0 || index > 2 || !valid(view)) return index == 0 ? view.data : nullptr;
    if (index == 0) return view.data;
    size_t luma = size_t(view.stride) * size_t(view.height);
    size_t chroma = size_t(chroma_width(view.width)) * chroma_height(view.height) * sample_size(view.format);
    return view.data + luma + (index == 2 ? chroma : 0);
}

}  // namespace picture
