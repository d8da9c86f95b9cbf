// Sweep (id 8) and chorus (id 11): one algorithm, a delay line with feedback whose delay follows a
// sine table indexed by whole degrees of a phase. The sweep (mode 0) takes the delay once per piece
// from the stored phase, in a swing of 0 .. 8 x depth samples; the chorus (mode 1) moves it every
// sample, over 0 .. 128 x depth samples.
#pragma once
#include "soundfx/core/dsp/delay_line.h"
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class SweepVoice : public ChannelEffect {
public:
    enum Mode : short { kSweep = 0, kChorus = 1 };
    struct Params {
        int wet = 250;       // weight of the delayed sample, 256ths
        int dry = 200;       // weight of the input, 256ths
        int depth = 50;      // delay scale
        int rate = 5;        // phase step a sample, thousandths of a degree
        int feedback = 100;  // weight of the delayed sample fed back, 256ths
    };

    explicit SweepVoice(Mode mode);
    void reset(const Context& context) override;
    // Empties both delay lines.
    void clear() override;
    void release() override;
    void check_state(StateCheck& check) const override;
    void set_params(const Params& p);
    const Params& params() const { return params_; }
    Mode mode() const { return mode_; }
    float phase() const { return phase_; }
    // The delay in samples for a table value v.
    int delay_for(int v) const;

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;
    void end_piece(int frames) override;

private:
    const Mode mode_;
    Params params_;
    Format format_;
    float phase_ = 0;      // degrees, 0 up to below 359
    float end_phase_ = 0;  // where the last channel's running phase ended
    DelayLine lines_[2];
    int table_[360];
    int delay_of_degree_[360] = {};  // delay_for of each table value (at least 0)
};

}  // namespace soundfx
