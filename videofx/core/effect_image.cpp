// CEffectImage's storage and buffer operations.
#include "effect_image.h"
#include <algorithm>
#include <cstring>

namespace {

struct Area {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
};

Area intersect(const RgbRect& r, int width, int height) {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width), std::min(r.bottom, height)};
}

class BorrowedStore : public PixelStore {
public:
    explicit BorrowedStore(uint8_t* bits) : bits_(bits) {}
    uint8_t* bits() override { return bits_; }

private:
    uint8_t* bits_;
};

void put_pixel(uint8_t* p, uint32_t colour) {
    p[0] = uint8_t(colour);
    p[1] = uint8_t(colour >> 8);
    p[2] = uint8_t(colour >> 16);
}

}  // namespace

CEffectImage::CEffectImage() = default;

CEffectImage::CEffectImage(PixelStoreFactory factory) : factory_(factory) {}

CEffectImage::CEffectImage(CEffectImage&& other) noexcept
    : factory_(other.factory_), store_(std::move(other.store_)), bits_(other.bits_), width_(other.width_),
      height_(other.height_), stride_(other.stride_), progress_(other.progress_.load()) {
    other.Release();
}

CEffectImage::~CEffectImage() { Release(); }

bool CEffectImage::Create(int width, int height) {
    Release();
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    const int stride = StrideFor(width);
    const PixelStoreFactory factory = factory_ ? factory_ : default_pixel_store();
    std::unique_ptr<PixelStore> store = factory(width, height, size_t(stride) * size_t(height));
    if (!store || !store->bits()) return false;
    store_ = std::move(store);
    bits_ = store_->bits();
    width_ = width;
    height_ = height;
    stride_ = stride;
    return true;
}

bool CEffectImage::Prepare(int width, int height) {
    if (!empty() && width == width_ && height == height_) return true;
    return Create(width, height);
}

bool CEffectImage::Attach(uint8_t* bits, int width, int height) {
    Release();
    if (!bits || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    store_ = std::make_unique<BorrowedStore>(bits);
    bits_ = bits;
    width_ = width;
    height_ = height;
    stride_ = StrideFor(width);
    return true;
}

void CEffectImage::Release() {
    store_.reset();
    bits_ = nullptr;
    width_ = height_ = stride_ = 0;
}

void CEffectImage::CopyFrom(const CEffectImage& source) {
    if (&source == this || source.empty()) return;
    if (Create(source.width_, source.height_)) std::memcpy(bits_, source.bits_, byte_size());
}

bool CEffectImage::CropTo(CEffectImage* target, const RgbRect& rect) const {
    if (!target || target == this || empty()) return false;
    const Area a = intersect(rect, width_, height_);
    if (a.empty() || !target->Create(a.width(), a.height())) return false;
    for (int i = 0; i < a.height(); ++i)
        std::memcpy(target->row(i), row(a.top + i) + 3 * size_t(a.left), 3 * size_t(a.width()));
    return true;
}

bool CEffectImage::PasteFrom(const CEffectImage& source, int x, int y) {
    if (&source == this || empty() || source.empty()) return false;
    const Area a = intersect({x, y, x + source.width_, y + source.height_}, width_, height_);
    if (a.empty()) return false;
    for (int i = 0; i < a.height(); ++i)
        std::memcpy(row(a.top + i) + 3 * size_t(a.left), source.row(a.top - y + i) + 3 * size_t(a.left - x),
                    3 * size_t(a.width()));
    return true;
}

void CEffectImage::Fill(uint32_t colour, const RgbRect* rect) {
    if (empty()) return;
    const Area a = rect ? intersect(*rect, width_, height_) : Area{0, 0, width_, height_};
    if (a.empty()) return;
    // One row filled pixel by pixel, the others copied from it.
    uint8_t* first = row(a.top) + 3 * size_t(a.left);
    for (int x = 0; x < a.width(); ++x) put_pixel(first + 3 * x, colour);
    for (int i = a.top + 1; i < a.bottom; ++i) std::memcpy(row(i) + 3 * size_t(a.left), first, 3 * size_t(a.width()));
}

uint32_t CEffectImage::GetPixel(int x, int row_index) const {
    if (empty() || x < 0 || x >= width_ || row_index < 0 || row_index >= height_) return 0;
    const uint8_t* p = row(row_index) + 3 * size_t(x);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

void CEffectImage::GrowCanvas(int left, int top, int right, int bottom) {
    if (empty() || left < 0 || top < 0 || right < 0 || bottom < 0) return;
    CEffectImage old(factory_);
    old.CopyFrom(*this);
    if (old.empty() || !Create(left + old.width_ + right, top + old.height_ + bottom)) {
        CopyFrom(old);
        return;
    }
    for (int i = 0; i < old.height_; ++i)
        std::memcpy(row(top + i) + 3 * size_t(left), old.row(i), 3 * size_t(old.width_));
}

void CEffectImage::ShrinkCanvas(int left, int top, int right, int bottom) {
    if (empty() || left < 0 || top < 0 || right < 0 || bottom < 0) return;
    if (left + right >= width_ || top + bottom >= height_) return;
    CEffectImage old(factory_);
    old.CopyFrom(*this);
    if (old.empty() || !Create(old.width_ - left - right, old.height_ - top - bottom)) {
        CopyFrom(old);
        return;
    }
    for (int i = 0; i < height_; ++i)
        std::memcpy(row(i), old.row(top + i) + 3 * size_t(left), 3 * size_t(width_));
}

void CEffectImage::ExtendEdges(int near, int far) {
    if (empty() || near < 0 || far < 0) return;
    const int w = width_, h = height_, n = near, f = far;
    const uint32_t top_left = GetPixel(0, 0), top_right = GetPixel(w - 1, 0);
    const uint32_t bottom_left = GetPixel(0, h - 1), bottom_right = GetPixel(w - 1, h - 1);
    GrowCanvas(n, n, f, f);
    if (width_ != w + n + f || height_ != h + n + f) return;  // no memory for the larger picture
    const RgbRect corners[4] = {{0, 0, n, n}, {n + w, 0, n + w + f, n}, {0, n + h, n, n + h + f},
                                {n + w, n + h, n + w + f, n + h + f}};
    const uint32_t colours[4] = {top_left, top_right, bottom_left, bottom_right};
    for (int c = 0; c < 4; ++c) Fill(colours[c], &corners[c]);
    for (int i = n - 1; i >= 0; --i) std::memcpy(row(i) + 3 * size_t(n), row(n) + 3 * size_t(n), 3 * size_t(w));
    for (int i = n + h; i < n + h + f; ++i)
        std::memcpy(row(i) + 3 * size_t(n), row(n + h - 1) + 3 * size_t(n), 3 * size_t(w));
    for (int i = n; i < n + h; ++i) {
        uint8_t* r = row(i);
        for (int x = 0; x < n; ++x) std::memcpy(r + 3 * x, r + 3 * n, 3);
        for (int x = n + w; x < n + w + f; ++x) std::memcpy(r + 3 * x, r + 3 * (n + w - 1), 3);
    }
}
