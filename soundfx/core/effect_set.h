// The sixteen effects of the chain, and the table that names them by id.
#pragma once
#include "soundfx/core/effects/amplitude_modulation.h"
#include "soundfx/core/effects/compressor.h"
#include "soundfx/core/effects/distortion.h"
#include "soundfx/core/effects/echo.h"
#include "soundfx/core/effects/equalizer.h"
#include "soundfx/core/effects/invert.h"
#include "soundfx/core/effects/noise_gate.h"
#include "soundfx/core/effects/overdrive.h"
#include "soundfx/core/effects/phaser.h"
#include "soundfx/core/effects/pitch_shifter.h"
#include "soundfx/core/effects/reverb.h"
#include "soundfx/core/effects/super_bass.h"
#include "soundfx/core/effects/sweep_voice.h"
#include "soundfx/core/effects/vibrato.h"
#include "soundfx/core/effects/wah.h"

namespace soundfx {

constexpr int kEffectCount = 16;

struct EffectSet {
    explicit EffectSet(Random& random) : eq(random), reverb(random) {}
    Equalizer eq;
    Compressor compressor;
    PitchShifter pitch;
    Distortion distortion;
    Overdrive overdrive;
    AmplitudeModulation am;
    Echo echo;
    SweepVoice sweep{SweepVoice::kSweep};
    Phaser phaser;
    NoiseGate gate;
    SweepVoice chorus{SweepVoice::kChorus};
    Reverb reverb;
    Wah wah;
    SuperBass bass;
    Invert invert;
    Vibrato vibrato;

    // The effect with this id (1..16), or null.
    Effect* by_id(int id);
};

// One row per effect: its id in the chain, its name as the chain list shows it, and where it lives.
struct EffectRow {
    int id;
    const char* name;
    Effect& (*of)(EffectSet&);
};
// The sixteen rows in id order.
const EffectRow* effect_table();
// The row of an id (1..16), or null.
const EffectRow* effect_row(int id);

}  // namespace soundfx
