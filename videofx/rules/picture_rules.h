// The picture page's window-free parts: the picture type from a file's first bytes, the key colour's
// bounds, and the overlay picture each placement mode builds from the loaded picture.
#pragma once
#include <cstddef>
#include <cstdint>
#include "engine/image/rgb_image.h"
#include "videofx/core/effect_slot.h"

namespace videofx::picture_page {

enum Sniff {
    kJpeg = 1,
    kGif = 2,
    kBmp = 3,
    kCannotRead = -1,
    kTooShort = -2,
    kUnknown = -3,
    kPathTooShort = -5,
};

// The first bytes a type is recognised from.
constexpr size_t kSniffBytes = 16;

// The type of a file from its path length and its first `size` bytes (JFIF or Exif at offset 6, or
// FF D8 FF E0..EF: JPEG; GIF87a or GIF89a: GIF; BM: BMP). The extension is never looked at.
int sniff(size_t path_length, const uint8_t* head, size_t size);

// Key bounds: component - tolerance raised to 0, component + tolerance lowered to 255; index 0 red,
// 1 green, 2 blue.
struct KeyBounds {
    int low[3];
    int high[3];
};
KeyBounds key_bounds(int red, int green, int blue, int tolerance);

enum Placement {
    kTopLeftAligned = 0,
    kTopRightAligned = 1,
    kBottomLeftAligned = 2,
    kBottomRightAligned = 3,
    kStretched = 4,
    kSmallestPart = 5,
};
constexpr int kPlacementCount = 6;

// The part of a pw x ph picture that a placement copies into a W x H rectangle (min(W, pw) x
// min(H, ph) from a corner); for kStretched the whole picture, scaled to W x H.
struct PlacementSource {
    int x, y, width, height;
    bool stretched;
};
PlacementSource placement_source(int mode, int pw, int ph, int W, int H);

// Whether the slot holds a loaded picture: data of at least stride x height > 0 bytes.
bool picture_loaded(const EffectSlot& slot);

// The overlay picture for a placement from the slot's picture and a W x H rectangle; an empty image
// when no picture is loaded, the rectangle is empty, or memory runs out.
CRgbImage build_overlay(const EffectSlot& slot, int mode, int W, int H);

}  // namespace videofx::picture_page
