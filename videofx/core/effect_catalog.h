// The fourteen effects, one row each: id, display name, the parameters a reset gives them, and the
// call that runs the effect's routine on an image with its slot's parameters.
#pragma once
#include <cstdint>
#include "base/picture.h"
#include "videofx/core/effect_image.h"
#include "videofx/core/effect_slot.h"

namespace videofx {

// The overlay work picture of effect 11 and the key the picture page set for it.
struct OverlayPicture {
    PictureView pixels;   // B,G,R rows, memory order; no data when there is none
    uint8_t keyed = 0;    // non-zero: pixels inside the key box are transparent
    uint8_t low[3] = {};  // key box per channel: 0 blue, 1 green, 2 red
    uint8_t high[3] = {};
};

// What a routine reads besides its own slot.
struct ChainContext {
    uint32_t blinds_frame = 0;
    uint32_t expand_frame = 0;
    OverlayPicture overlay;
    PictureView text_bitmap;  // effect 12's bitmap; no data when there is none
};

using ApplyEffect = void (*)(CEffectImage& image, const EffectSlot& slot, const ChainContext& context);

struct EffectInfo {
    int id;
    const char* name;          // the slot's display name
    uint8_t reset_bytes[3];    // byte_params[0..2] after a reset (the rest are 0)
    int32_t reset_ints[3];     // int_params[0..2] after a reset
    ApplyEffect apply;
};

// The row of an effect id; null outside 1..14.
const EffectInfo* find_effect(int id);

// Each effect's call, defined beside its routine.
void apply_adjust_rgb(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_hue_saturation(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_brightness_contrast(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_flip(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_mirror(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_invert(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_mosaic(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_weathering(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_sharpen(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_blur(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_picture_overlay(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_text_overlay(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_blinds(CEffectImage&, const EffectSlot&, const ChainContext&);
void apply_expand(CEffectImage&, const EffectSlot&, const ChainContext&);

}  // namespace videofx
