// Pictures cross module boundaries as a typed view: the bytes, the size, the distance between rows
// and the layout of the samples. A converter checks the layout it is given, so a wrong one is refused
// instead of read skewed.
#pragma once
#include <cstddef>
#include <cstdint>

enum class PixelFormat : uint8_t {
    kBgr24,         // 3 bytes a pixel B,G,R, rows top-down, stride (3w+3)&~3 (the Windows DIB row)
    kRgb24Packed,   // 3 bytes a pixel R,G,B, rows top-down without padding (stride 3w)
    kYuv420,        // 8-bit planar 4:2:0: Y (stride w), then Cb, then Cr (stride (w+1)/2 each)
    kYuv420Int32,   // the same planes with one 32-bit integer a sample (the H.263 encoder's input)
    kYuy2,          // packed 4:2:2 Y0,U,Y1,V, 2 bytes a pixel, stride 2w rounded up to even pixels
};

struct PictureView {
    uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes from one row to the next (of the first plane for planar layouts)
    PixelFormat format = PixelFormat::kBgr24;
};

namespace picture {

constexpr int bgr24_stride(int width) { return (3 * width + 3) & ~3; }
constexpr int chroma_width(int width) { return (width + 1) / 2; }
constexpr int chroma_height(int height) { return (height + 1) / 2; }

// The stride the layout gives width pixels.
int natural_stride(PixelFormat format, int width);
// Bytes the whole picture occupies with its stride (all planes for planar layouts); 0 when the view
// cannot be (no data, size below 1, a stride too small for the width, overflow).
size_t byte_size(const PictureView& view);
// True when the view has data, a size of at least 1 x 1 and a stride that holds a row.
bool valid(const PictureView& view);

// Views of a buffer laid out as its format says (natural stride).
PictureView bgr24(uint8_t* data, int width, int height);
PictureView rgb24_packed(uint8_t* data, int width, int height);
PictureView yuv420(uint8_t* data, int width, int height);
PictureView yuv420_int32(int32_t* data, int width, int height);
PictureView yuy2(uint8_t* data, int width, int height);

// The planes of a planar view (Y, Cb, Cr), as byte addresses.
uint8_t* plane(const PictureView& view, int index);

}  // namespace picture
