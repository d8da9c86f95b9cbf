// MixSettings: the one record through which a host reads the whole state of the sound effects and puts
// it back (every on byte and parameter, the equaliser curve, the chain order). 748 bytes, little-endian,
// fields at their natural alignment; the bytes after a one-byte field up to the next 4-byte boundary
// carry nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include "soundfx/core/eq_preset.h"

namespace soundfx {

#pragma pack(push, 1)
struct MixSettings {
    uint8_t eq_on;
    uint8_t pad0[3];
    EqPreset eq_curve;  // name, band count (+68), gains in whole dB (+72..+195), flag word (+196)
    uint8_t eq_second_level;
    uint8_t pad1[3];
    int32_t eq_pregain_position;  // pre-gain slider position 0..24

    uint8_t echo_on;
    uint8_t pad2[3];
    float echo_delay;  // seconds
    float echo_gain;

    uint8_t pitch_on;
    uint8_t pad3[3];
    float pitch_offset;  // octaves
    int32_t pitch_frame;
    int32_t pitch_depth;

    uint8_t sweep_on;
    uint8_t pad4[3];
    int32_t sweep_regeneration;
    int32_t sweep_depth;
    int32_t sweep_wet;
    int32_t sweep_dry;
    int32_t sweep_period;

    uint8_t chorus_on;
    uint8_t pad5[3];
    int32_t chorus_depth;
    int32_t chorus_period;
    int32_t chorus_wet;
    int32_t chorus_dry;
    int32_t chorus_regeneration;

    uint8_t phaser_on;
    uint8_t pad6[3];
    float phaser_min_freq;
    float phaser_max_freq;
    float phaser_rate;
    float phaser_feedback;
    float phaser_gain;

    uint8_t am_on;
    uint8_t pad7[3];
    int32_t am_gain;   // dB
    int32_t am_depth;  // low 16 bits read
    int32_t am_freq;   // low 16 bits read
    int32_t am_level;  // whole part of the level; not read back
    int32_t am_shape;  // 0 sine, else triangle

    uint8_t comp_on;
    uint8_t pad8[3];
    int32_t comp_threshold;
    int32_t comp_ratio;
    int32_t comp_attack;
    int32_t comp_release;

    uint8_t reverb_on;
    uint8_t pad9[3];
    int32_t reverb_tap_count;  // low 16 bits read
    int32_t reverb_time0;
    int32_t reverb_decay;
    int32_t reverb_predelay;
    int32_t reverb_feedback_time;
    int32_t reverb_feedback_db;
    int32_t reverb_tap_db;

    uint8_t odrv_on;
    uint8_t pad10[3];
    int32_t odrv_sense;
    int32_t odrv_lp_freq;
    int32_t odrv_lp_on;

    uint8_t dist_on;
    uint8_t pad11[3];
    int32_t dist_sense;
    int32_t dist_strength;
    int32_t dist_drive;
    int32_t dist_lp_freq;
    int32_t dist_noise_freq;

    uint8_t gate_on;
    uint8_t pad12[3];
    int32_t gate_threshold;
    int32_t gate_hold;  // interleaved samples
    int32_t gate_release;
    int32_t gate_attack;
    int32_t gate_hysteresis;

    uint8_t wah_on;
    uint8_t pad13[3];
    int32_t wah[4];  // rate, depth, resonance, offset (the third page's values)

    uint8_t bass_on;
    uint8_t pad14[3];
    int32_t bass[2];  // frequency, gain

    uint8_t vibrato_on;
    uint8_t pad15[3];
    int32_t vibrato[2];  // period, depth

    uint8_t invert_on;
    uint8_t chain[255];  // the id of each chain row, top first; 0 = no row
};
#pragma pack(pop)

static_assert(sizeof(MixSettings) == 748, "MixSettings is 748 bytes");
#define SOUNDFX_AT(field, offset) static_assert(offsetof(MixSettings, field) == offset, #field " at +" #offset)
SOUNDFX_AT(eq_on, 0);
SOUNDFX_AT(eq_curve, 4);
SOUNDFX_AT(eq_curve.band_count, 68);
SOUNDFX_AT(eq_curve.gains, 72);
SOUNDFX_AT(eq_curve.builtin, 196);
SOUNDFX_AT(eq_second_level, 200);
SOUNDFX_AT(eq_pregain_position, 204);
SOUNDFX_AT(echo_on, 208);
SOUNDFX_AT(echo_delay, 212);
SOUNDFX_AT(echo_gain, 216);
SOUNDFX_AT(pitch_on, 220);
SOUNDFX_AT(pitch_offset, 224);
SOUNDFX_AT(pitch_frame, 228);
SOUNDFX_AT(pitch_depth, 232);
SOUNDFX_AT(sweep_on, 236);
SOUNDFX_AT(sweep_regeneration, 240);
SOUNDFX_AT(sweep_depth, 244);
SOUNDFX_AT(sweep_wet, 248);
SOUNDFX_AT(sweep_dry, 252);
SOUNDFX_AT(sweep_period, 256);
SOUNDFX_AT(chorus_on, 260);
SOUNDFX_AT(chorus_depth, 264);
SOUNDFX_AT(chorus_period, 268);
SOUNDFX_AT(chorus_wet, 272);
SOUNDFX_AT(chorus_dry, 276);
SOUNDFX_AT(chorus_regeneration, 280);
SOUNDFX_AT(phaser_on, 284);
SOUNDFX_AT(phaser_min_freq, 288);
SOUNDFX_AT(phaser_max_freq, 292);
SOUNDFX_AT(phaser_rate, 296);
SOUNDFX_AT(phaser_feedback, 300);
SOUNDFX_AT(phaser_gain, 304);
SOUNDFX_AT(am_on, 308);
SOUNDFX_AT(am_gain, 312);
SOUNDFX_AT(am_depth, 316);
SOUNDFX_AT(am_freq, 320);
SOUNDFX_AT(am_level, 324);
SOUNDFX_AT(am_shape, 328);
SOUNDFX_AT(comp_on, 332);
SOUNDFX_AT(comp_threshold, 336);
SOUNDFX_AT(comp_ratio, 340);
SOUNDFX_AT(comp_attack, 344);
SOUNDFX_AT(comp_release, 348);
SOUNDFX_AT(reverb_on, 352);
SOUNDFX_AT(reverb_tap_count, 356);
SOUNDFX_AT(reverb_time0, 360);
SOUNDFX_AT(reverb_decay, 364);
SOUNDFX_AT(reverb_predelay, 368);
SOUNDFX_AT(reverb_feedback_time, 372);
SOUNDFX_AT(reverb_feedback_db, 376);
SOUNDFX_AT(reverb_tap_db, 380);
SOUNDFX_AT(odrv_on, 384);
SOUNDFX_AT(odrv_sense, 388);
SOUNDFX_AT(odrv_lp_freq, 392);
SOUNDFX_AT(odrv_lp_on, 396);
SOUNDFX_AT(dist_on, 400);
SOUNDFX_AT(dist_sense, 404);
SOUNDFX_AT(dist_strength, 408);
SOUNDFX_AT(dist_drive, 412);
SOUNDFX_AT(dist_lp_freq, 416);
SOUNDFX_AT(dist_noise_freq, 420);
SOUNDFX_AT(gate_on, 424);
SOUNDFX_AT(gate_threshold, 428);
SOUNDFX_AT(gate_hold, 432);
SOUNDFX_AT(gate_release, 436);
SOUNDFX_AT(gate_attack, 440);
SOUNDFX_AT(gate_hysteresis, 444);
SOUNDFX_AT(wah_on, 448);
SOUNDFX_AT(wah, 452);
SOUNDFX_AT(bass_on, 468);
SOUNDFX_AT(bass, 472);
SOUNDFX_AT(vibrato_on, 480);
SOUNDFX_AT(vibrato, 484);
SOUNDFX_AT(invert_on, 492);
SOUNDFX_AT(chain, 493);
#undef SOUNDFX_AT
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "little-endian layout");

}  // namespace soundfx
