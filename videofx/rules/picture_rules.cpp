#include "videofx/rules/picture_rules.h"
#include <algorithm>
#include <cstring>

namespace videofx::picture_page {

int sniff(size_t path_length, const uint8_t* head, size_t size) {
    if (path_length < 4) return kPathTooShort;
    if (!head || size < kSniffBytes) return kTooShort;
    if (std::memcmp(head + 6, "JFIF", 4) == 0 || std::memcmp(head + 6, "Exif", 4) == 0) return kJpeg;
    if (head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF && head[3] >= 0xE0 && head[3] <= 0xEF) return kJpeg;
    if (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0) return kGif;
    if (head[0] == 'B' && head[1] == 'M') return kBmp;
    return kUnknown;
}

KeyBounds key_bounds(int red, int green, int blue, int tolerance) {
    const int c[3] = {red, green, blue};
    KeyBounds b{};
    for (int i = 0; i < 3; ++i) {
        b.low[i] = std::max(0, c[i] - tolerance);
        b.high[i] = std::min(255, c[i] + tolerance);
    }
    return b;
}

PlacementSource placement_source(int mode, int pw, int ph, int W, int H) {
    if (mode == kStretched) return PlacementSource{0, 0, pw, ph, true};
    const int w = std::min(W, pw), h = std::min(H, ph);
    const bool right = mode == kTopRightAligned || mode == kBottomRightAligned;
    const bool bottom = mode == kBottomLeftAligned || mode == kBottomRightAligned;
    return PlacementSource{right && pw > W ? pw - W : 0, bottom && ph > H ? ph - H : 0, w, h, false};
}

bool picture_loaded(const EffectSlot& slot) {
    const int64_t bytes = bgr_bytes(slot.data_width, slot.data_height);
    return slot.data && bytes > 0 && slot.data_size >= bytes;
}

CRgbImage build_overlay(const EffectSlot& slot, int mode, int W, int H) {
    if (!picture_loaded(slot) || W <= 0 || H <= 0) return CRgbImage(0, 0);
    const int pw = slot.data_width, ph = slot.data_height, stride = bgr_stride(pw);
    const PlacementSource src = placement_source(mode, pw, ph, W, H);
    CRgbImage part(src.width, src.height);
    if (part.empty()) return CRgbImage(0, 0);
    for (int y = 0; y < src.height; ++y)
        std::memcpy(part.row(y), slot.data + size_t(stride) * size_t(src.y + y) + size_t(3) * size_t(src.x),
                    size_t(3) * size_t(src.width));
    if (src.stretched && !CRgbImage::Scale(part, W, H)) return CRgbImage(0, 0);
    return part;
}

}  // namespace videofx::picture_page
