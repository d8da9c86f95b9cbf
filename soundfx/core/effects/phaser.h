// Phaser (id 9): six first-order all-pass stages whose corner sweeps with a slow sine, with feedback
// of the chain's output, mixed with the input and scaled by 0.9. One record per channel.
#pragma once
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class Phaser : public ChannelEffect {
public:
    struct Params {
        int min_freq = 440;   // Hz
        int max_freq = 1600;  // Hz
        int rate = 50;        // sweep rate, hundredths of a hertz
        int feedback = 69;    // hundredths
        int gain = 5;         // depth, tenths
    };

    Phaser();
    // The frequencies and the sweep rate return to their defaults; gain and feedback keep their values.
    void reset(const Context& context) override;
    void check_state(StateCheck& check) const override;
    void set_params(const Params& p);
    const Params& params() const { return params_; }
    // The factors the processing uses (the feedback never reaches 1).
    double feedback_factor() const { return records_[0].feedback; }
    double depth_factor() const { return records_[0].depth; }
    void set_depth_factor(double depth);

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;
    void process_stereo(float* left, float* right, int n, Work& work) override;

private:
    struct Record {
        double rate = 44100;
        double a[6] = {}, z[6] = {};
        double d_min = 0, d_max = 0;
        double feedback = 0.7;
        double lfo_phase = 0, lfo_step = 0;
        double depth = 0.6;
        double last = 0;
    };
    void derive(Record& r) const;
    void run(Record* (&r)[2], float* (&x)[2], int n);

    Params params_;
    int rate_ = 44100;
    Record records_[2];
};

}  // namespace soundfx
