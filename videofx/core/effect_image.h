// The picture the effect routines work on: 24-bit pixels B,G,R in a bottom-up bitmap layout, rows of
// (3 x width + 3) & ~3 bytes. Rows are numbered in two orders: memory order (row 0 first in memory,
// the order of the bytes) and table order, in which row 0 is the LAST row in memory and row i lies
// one stride before row i - 1 (the top of the bottom-up bitmap first). Every buffer operation and
// routine that speaks of "row i" means table order unless it says memory order.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include "base/picture.h"
#include "engine/image/rgb_image.h"
#include "videofx/core/pixel_store.h"

// Percent of a routine's work done, 0..100, written as the routine goes.
using Progress = std::atomic<int32_t>;

class CEffectImage {
public:
    static constexpr int kMaxSide = CRgbImage::kMaxSide;
    static constexpr int StrideFor(int width) { return (3 * width + 3) & ~3; }

    // Pixels in the default store of the moment each picture is made, or in the given factory's.
    CEffectImage();
    explicit CEffectImage(PixelStoreFactory factory);
    virtual ~CEffectImage();
    CEffectImage(const CEffectImage&) = delete;
    CEffectImage& operator=(const CEffectImage&) = delete;
    CEffectImage(CEffectImage&& other) noexcept;

    // A new zero-filled (black) picture; false, and the image empty, for a size outside
    // 1..kMaxSide or when the store cannot be made.
    bool Create(int width, int height);
    // The same for a picture whose pixel bytes the caller overwrites at once: the store is kept when
    // the size is unchanged (its bytes stay as they were), so a loop over equal areas allocates once.
    bool Prepare(int width, int height);
    // An image over memory it does not own: `bits` holds height rows of StrideFor(width) bytes,
    // memory row 0 first, and outlives the image (or the next Create).
    bool Attach(uint8_t* bits, int width, int height);
    void Release();

    bool empty() const { return bits_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    size_t byte_size() const { return size_t(stride_) * size_t(height_); }
    uint8_t* bits() { return bits_; }
    const uint8_t* bits() const { return bits_; }
    uint8_t* memory_row(int k) { return bits_ + size_t(stride_) * size_t(k); }
    const uint8_t* memory_row(int k) const { return bits_ + size_t(stride_) * size_t(k); }
    uint8_t* row(int i) { return memory_row(height_ - 1 - i); }
    const uint8_t* row(int i) const { return memory_row(height_ - 1 - i); }
    Progress& progress() { return progress_; }
    PixelStore* store() { return store_.get(); }

    // Buffer operations (rows in table order).
    // Becomes a copy of the source; nothing when the source is this image or empty.
    void CopyFrom(const CEffectImage& source);
    // Makes `target` the part of this image inside `rect`; false when that part is empty or the
    // target is null or this image.
    bool CropTo(CEffectImage* target, const RgbRect& rect) const;
    // Copies the source with its top-left corner at (x, y), clipped to this image; false when
    // nothing overlaps.
    bool PasteFrom(const CEffectImage& source, int x, int y);
    // Sets every pixel, or those inside `rect`, to the low three bytes of colour (blue lowest).
    void Fill(uint32_t colour, const RgbRect* rect = nullptr);
    // blue | green << 8 | red << 16; 0 outside the image.
    uint32_t GetPixel(int x, int row) const;
    // Adds black margins; nothing when any is negative.
    void GrowCanvas(int left, int top, int right, int bottom);
    // Cuts margins off; nothing when any is negative or they leave no pixel.
    void ShrinkCanvas(int left, int top, int right, int bottom);
    // Grows by `near` at the left and top and `far` at the right and bottom, the new border
    // repeating the picture's edge pixels; nothing when a margin is negative.
    void ExtendEdges(int near, int far);

    // The effect routines; the effect ids are those of the effect table. A routine whose
    // precondition fails returns at once, leaving the pixels and the progress counter alone.
    void AdjustRgb(int red_offset, int green_offset, int blue_offset, Progress* progress);  // 1
    void AdjustHueSaturation(int hue_percent, int saturation_percent, Progress* progress);  // 2
    void AdjustBrightness(int percent, Progress* progress);                                 // 3
    void AdjustContrast(int percent, Progress* progress);                                   // 3
    void Flip(Progress* progress);                                                          // 4
    void Mirror(Progress* progress);                                                        // 5
    void Invert(Progress* progress);                                                        // 6
    void Mosaic(int block, Progress* progress);                                             // 7
    void Weathering(int length, Progress* progress);                                        // 8
    void Sharpen(int strength, Progress* progress);                                         // 9
    void Blur(int size);                                                                    // 10
    // Copies `overlay` (B,G,R rows in memory order) over the image's first memory rows; with keyed
    // set, pixels inside the key box (low..high per channel, 2 red, 1 green, 0 blue) stay
    // transparent. Returns 1 when something was copied.
    int OverlayPicture(const PictureView& overlay, int keyed, int low2, int low1, int low0, int high2, int high1,
                       int high0);                                                          // 11
    // Copies the text bitmap the same way, skipping pure green (0, 255, 0), its transparent colour.
    void OverlayText(const PictureView& text);                                             // 12
    void Blinds(int mode, int step, uint32_t frame);                                        // 13
    void Expand(int mode, int step, uint32_t frame);                                        // 14

private:
    PixelStoreFactory factory_ = nullptr;  // null: the default store
    std::unique_ptr<PixelStore> store_;
    uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    Progress progress_{0};
};

// Progress reporting shared by the routines: stores when a counter is given.
inline void report_progress(Progress* progress, int32_t value) {
    if (progress) progress->store(value, std::memory_order_relaxed);
}
