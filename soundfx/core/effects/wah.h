// Wah (id 13): a resonant low-pass biquad whose cut-off follows a slow cosine, recomputed every 30
// samples; the two channels sweep in opposite phase.
#pragma once
#include <cstdint>
#include "soundfx/core/dsp/biquad.h"
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class Wah : public ChannelEffect {
public:
    // The page's four values.
    struct Params {
        int rate = 25;       // tenths of a hertz
        int depth = 70;      // hundredths
        int resonance = 30;  // q in tenths (at least 0.1)
        int offset = 30;     // "偏移": the base of the sweep in hundredths
    };
    struct Record {
        double lfo_offset = 0;  // radians
        double lfo_step = 0;    // radians a sample
        double lfo_phase = 0;   // counter x step, kept in double within one turn
        uint64_t counter = 0;
        Biquad filter;
        double depth = 0.7, base = 0.3, q = 3.0;
    };

    // init's records: depth 0.7, base 0.3, q 3, a 2 Hz sweep; the page's values stay as they are.
    void reset(const Context& context) override;
    void check_state(StateCheck& check) const override;
    // Stores the page's values (limited) and rebuilds both records from them, memories cleared.
    void set_params(const Params& p);
    const Params& params() const { return params_; }
    const Record& record(int channel) const { return records_[channel & 1]; }

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;
    void process_stereo(float* left, float* right, int n, Work& work) override;

private:
    void restart(double lfo_step, double depth, double base, double q);
    void design(Record& r) const;
    void run(Record* (&r)[2], float* (&x)[2], int n);

    Params params_;
    int rate_ = 44100;
    Record records_[2];
};

}  // namespace soundfx
