#include "soundfx/core/safe_range.h"
#include <cmath>

namespace soundfx {
namespace {

enum class Unit { Plain, Milliseconds, SweepRate };

struct Row {
    Limit id;
    double lo, hi;
    Unit unit;
};

// Where the sliders stop short of what the effect accepts: the records are held to the sliders.
struct RecordRow {
    Limit id;
    double lo, hi;
};
const RecordRow kRecordRows[] = {
    {Limit::AmDepth, 1, 100},
    {Limit::DistSense, 300, 30000},
    {Limit::VibratoDepth, 1, 100},
};

// Milliseconds become interleaved samples (rate x channels x ms / 1000); the sweep rate's upper end
// is what its slider gives at position 1 (rate x 360 / (channels x 1000)).
const Row kRows[] = {
    {Limit::EchoDelay, 0.0, 1.6, Unit::Plain},
    {Limit::EchoGain, 0.0, 1.0, Unit::Plain},
    {Limit::PitchOffset, -0.7, 0.9, Unit::Plain},
    {Limit::PitchDepth, 1, 8, Unit::Plain},
    {Limit::SweepFeedback, 0, 204, Unit::Plain},
    {Limit::SweepDepth, 0, 50, Unit::Plain},
    {Limit::SweepLevel, 0, 256, Unit::Plain},
    {Limit::SweepRate, 0, 360, Unit::SweepRate},
    {Limit::PhaserMinFreq, 10, 800, Unit::Plain},
    {Limit::PhaserMaxFreq, 801, 4000, Unit::Plain},
    {Limit::PhaserRate, 1, 100, Unit::Plain},
    {Limit::PhaserFeedback, 1, 100, Unit::Plain},
    {Limit::PhaserGain, 1, 10, Unit::Plain},
    {Limit::FeedbackFactor, 0.0, 0.99, Unit::Plain},
    {Limit::AmGain, -100, -10, Unit::Plain},
    {Limit::AmDepth, 0, 100, Unit::Plain},
    {Limit::AmFreq, 1, 3500, Unit::Plain},
    {Limit::AmShape, 0, 1, Unit::Plain},
    {Limit::CompThreshold, -60, -1, Unit::Plain},
    {Limit::CompRatio, 0, 10, Unit::Plain},
    {Limit::CompAttack, 1, 1000, Unit::Plain},
    {Limit::CompRelease, 1, 1000, Unit::Plain},
    {Limit::ReverbTapCount, 1, 100, Unit::Plain},
    {Limit::ReverbTime, 1, 1000, Unit::Plain},
    {Limit::ReverbDecay, 1, 100, Unit::Plain},
    {Limit::ReverbFeedbackDb, -100, 0, Unit::Plain},
    {Limit::ReverbTapDb, -80, 0, Unit::Plain},
    {Limit::OdrvSense, 100, 10000, Unit::Plain},
    {Limit::OdrvLpFreq, 300, 6000, Unit::Plain},
    {Limit::Switch, 0, 1, Unit::Plain},
    {Limit::DistSense, 0, 30000, Unit::Plain},
    {Limit::DistStrength, 1, 256, Unit::Plain},
    {Limit::DistDrive, 10, 1000, Unit::Plain},
    {Limit::DistLpFreq, 1, 4000, Unit::Plain},
    {Limit::DistNoiseFreq, 1000, 8000, Unit::Plain},
    {Limit::GateLevel, 0, 1010, Unit::Plain},
    {Limit::GateHold, 0, 200, Unit::Milliseconds},
    {Limit::GateRelease, 0, 15001, Unit::Milliseconds},
    {Limit::GateAttack, 0, 4000, Unit::Milliseconds},
    {Limit::WahRate, 1, 40, Unit::Plain},
    {Limit::WahDepth, 0, 100, Unit::Plain},
    {Limit::WahResonance, 1, 100, Unit::Plain},
    {Limit::WahOffset, 0, 100, Unit::Plain},
    {Limit::BassFreq, 10, 1000, Unit::Plain},
    {Limit::BassGain, 0, 36, Unit::Plain},
    {Limit::VibratoPeriod, 1, 100, Unit::Plain},
    {Limit::VibratoDepth, 0, 100, Unit::Plain},
    {Limit::EqGain, -20, 20, Unit::Plain},
    {Limit::EqPregainPosition, 0, 24, Unit::Plain},
    {Limit::EqBandPosition, 0, 50, Unit::Plain},
};
static_assert(sizeof kRows / sizeof kRows[0] == size_t(Limit::Count), "one row per limit");

}  // namespace

Range range_of(Limit id, const Format& format) {
    const Row& row = kRows[int(id)];
    if (row.id != id) return {0, 0};
    const int64_t rate = format.rate > 0 ? format.rate : 0;
    const int64_t channels = format.channels > 0 ? format.channels : 1;
    switch (row.unit) {
    case Unit::Milliseconds:
        return {std::floor(rate * channels * row.lo / 1000), std::floor(rate * channels * row.hi / 1000)};
    case Unit::SweepRate:
        return {row.lo, double(rate * 360 / (channels * 1000))};
    case Unit::Plain:
        break;
    }
    return {row.lo, row.hi};
}

namespace {
double clamp_to(const Range& r, double v) {
    if (!(v >= r.lo)) return r.lo;
    return v > r.hi ? r.hi : v;
}
int clamp_to(const Range& r, int64_t v) {
    if (double(v) < r.lo) return int(r.lo);
    if (double(v) > r.hi) return int(r.hi);
    return int(v);
}
}  // namespace

double limit(Limit id, double v, const Format& format) { return clamp_to(range_of(id, format), v); }
int limit_int(Limit id, int64_t v, const Format& format) { return clamp_to(range_of(id, format), v); }

Range record_range_of(Limit id, const Format& format) {
    for (const RecordRow& row : kRecordRows)
        if (row.id == id) return {row.lo, row.hi};
    return range_of(id, format);
}
int limit_record(Limit id, int64_t v, const Format& format) { return clamp_to(record_range_of(id, format), v); }
double limit_record(Limit id, double v, const Format& format) { return clamp_to(record_range_of(id, format), v); }

int limit_pitch_frame(int64_t frame) {
    if (frame < 1536) return 1024;
    if (frame < 3072) return 2048;
    return 4096;
}

}  // namespace soundfx
