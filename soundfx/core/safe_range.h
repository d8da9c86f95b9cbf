// The one table of safe ranges: every parameter value that comes from a slider, a settings record or
// a default passes it before it reaches a size, a divisor or an index. The ranges are what the
// sliders of the effects window can produce (defaults included), narrowed where the DSP needs it.
#pragma once
#include <cstdint>
#include "soundfx/core/effects/effect.h"

namespace soundfx {

enum class Limit : int {
    EchoDelay,          // seconds
    EchoGain,
    PitchOffset,        // octaves
    PitchDepth,         // oversampling
    SweepFeedback,      // 256ths
    SweepDepth,
    SweepLevel,         // wet and dry, 256ths
    SweepRate,          // thousandths of a degree a sample (format-dependent)
    PhaserMinFreq,      // Hz
    PhaserMaxFreq,
    PhaserRate,         // hundredths of a hertz
    PhaserFeedback,     // hundredths
    PhaserGain,         // tenths
    FeedbackFactor,     // the phaser's and the reverb comb's feedback factors
    AmGain,             // dB
    AmDepth,            // percent
    AmFreq,             // period in ms
    AmShape,
    CompThreshold,      // dB
    CompRatio,
    CompAttack,         // ms
    CompRelease,
    ReverbTapCount,
    ReverbTime,         // 1/330 s units (time 0, pre-delay, feedback time)
    ReverbDecay,
    ReverbFeedbackDb,
    ReverbTapDb,
    OdrvSense,
    OdrvLpFreq,
    Switch,             // 0 or 1
    DistSense,
    DistStrength,
    DistDrive,
    DistLpFreq,
    DistNoiseFreq,
    GateLevel,          // threshold and hysteresis
    GateHold,           // interleaved samples (format-dependent)
    GateRelease,
    GateAttack,
    WahRate,            // tenths of a hertz
    WahDepth,
    WahResonance,
    WahOffset,
    BassFreq,
    BassGain,
    VibratoPeriod,      // hundredths of a second
    VibratoDepth,       // samples
    EqGain,             // dB
    EqPregainPosition,
    EqBandPosition,
    Count
};

struct Range {
    double lo, hi;
};

// The range an effect accepts for a parameter at the format.
Range range_of(Limit id, const Format& format = Format());
// The value limited to that range; NaN gives the lower end.
double limit(Limit id, double v, const Format& format = Format());
int limit_int(Limit id, int64_t v, const Format& format = Format());
// What the sliders can produce: a settings record's fields are limited to this (narrower) range.
Range record_range_of(Limit id, const Format& format = Format());
int limit_record(Limit id, int64_t v, const Format& format = Format());
double limit_record(Limit id, double v, const Format& format = Format());

// The pitch shifter's frame: 1024, 2048 or 4096, whichever lies nearest.
int limit_pitch_frame(int64_t frame);

}  // namespace soundfx
