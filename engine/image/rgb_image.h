// The program's in-memory picture: 24-bit pixels in B,G,R order, rows top to bottom, each row padded
// to a multiple of 4 bytes. One class for the program and the video-effects library: scaling, flipping
// and mirroring, keyed rectangle copies, the Windows bitmap header and bottom-up export; bitmap
// creation, stretched drawing and reading bitmaps back are CRgbImageGdi (engine/image/gdi).
#pragma once
#include <cstddef>
#include <cstdint>
#include "base/picture.h"

struct RgbRect {
    int left, top, right, bottom;
};

// The 40-byte BITMAPINFOHEADER layout (Wine declares that header as an unnamed struct, so it cannot be
// named here without <windows.h>).
#pragma pack(push, 1)
struct DibInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bit_count;
    uint32_t compression;
    uint32_t size_image;
    int32_t x_pels_per_meter;
    int32_t y_pels_per_meter;
    uint32_t clr_used;
    uint32_t clr_important;
};
#pragma pack(pop)
static_assert(sizeof(DibInfoHeader) == 40);

class CRgbImage {
public:
    // Largest side accepted; larger or negative sizes give an empty image.
    static constexpr int kMaxSide = 16384;
    // Blit flag: skip source pixels of the key colour.
    static constexpr int kBlitKeyed = 1;

    static constexpr int StrideFor(int width) { return (3 * width + 3) & ~3; }

    // Pixels cleared to 0, or each pixel set to the low 24 bits of fill_color (lowest byte first).
    CRgbImage(int width, int height, int fill_color = 0);
    CRgbImage(const CRgbImage& other);
    CRgbImage& operator=(const CRgbImage& other);
    virtual ~CRgbImage();

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    size_t byte_size() const { return size_t(stride_) * size_t(height_); }
    uint8_t* pixels() { return pixels_; }
    const uint8_t* pixels() const { return pixels_; }
    uint8_t* row(int y) { return pixels_ + size_t(stride_) * size_t(y); }
    const uint8_t* row(int y) const { return pixels_ + size_t(stride_) * size_t(y); }
    bool empty() const { return pixels_ == nullptr; }
    // The pixels as a B,G,R view (no data when empty).
    PictureView view() const;

    // Resizes in place by nearest neighbour: destination pixel x takes source pixel x * w / W, row y
    // source row y * h / H. False (image unchanged) for an invalid size or when memory runs out.
    static bool Scale(CRgbImage& image, int new_width, int new_height);
    // The same scaling of `source` into `dest` (which must be another image), reusing dest's pixels
    // when it already has the new size, so a picture scaled for every frame allocates nothing.
    static bool ScaleFrom(CRgbImage& dest, const CRgbImage& source, int new_width, int new_height);
    // The same from a B,G,R view at any stride (a decoder's picture, not copied first); false for
    // another layout or a view of dest's own pixels.
    static bool ScaleFrom(CRgbImage& dest, const PictureView& source, int new_width, int new_height);
    // Scales a B,G,R view to width x height into the rectangle of dest at (x, y), which must lie
    // inside dest; the rest of dest is left as it is.
    static bool ScaleInto(CRgbImage& dest, int x, int y, const PictureView& source, int width, int height);

    // Copies the source rectangle to (x, y) of the destination, clipped to the destination; a
    // rectangle that reaches outside the source copies nothing. With kBlitKeyed, pixels whose 24 bits
    // equal the key colour leave the destination unchanged.
    static void Blit(CRgbImage& dest, int x, int y, const CRgbImage& source, const RgbRect& rect, int flags);

    // Flags for FlipMirror: flip turns the rows upside down, mirror reverses every row; flip runs first.
    static constexpr int kMirror = 1;
    static constexpr int kFlip = 2;
    static void FlipMirror(CRgbImage& image, int flags);

    // Flips the image (it stays flipped) and copies its stride x height bytes, now bottom-up DIB rows,
    // into the buffer; returns the byte count, or -1 without touching anything when the buffer is
    // smaller.
    static int BitmapToRgb(CRgbImage& image, uint8_t* buffer, size_t buffer_size);

    // Top-down 24-bit header of the whole image.
    static void GetBitmapInfo(const CRgbImage& image, DibInfoHeader* header);

    static void SetKeyColor(uint32_t rgb24);
    static uint32_t KeyColor();


private:
    void Take(int width, int height, uint8_t* pixels);
    void Release();

    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    uint8_t* pixels_ = nullptr;
};
