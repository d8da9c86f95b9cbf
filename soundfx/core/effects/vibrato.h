// Vibrato (id 16): the signal read back from a ring at a delay that swings sinusoidally between
// D - 1 and 3 D - 1 samples over a period of P samples; the phase counter is shared by the channels.
#pragma once
#include <cstdint>
#include <vector>
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class Vibrato : public ChannelEffect {
public:
    // The page's two values.
    struct Params {
        int period = 20;  // hundredths of a second
        int depth = 25;   // samples
    };

    // init's state: depth 25, period 0.1 x rate samples, rings of one second; the page's values stay.
    void reset(const Context& context) override;
    void release() override;
    void check_state(StateCheck& check) const override;
    // P = whole part of (period x channels x rate x 0.01), at least 1; D = depth; the table rebuilt.
    void set_params(const Params& p);
    const Params& params() const { return params_; }
    // The swing in samples straight: depth 0 .. a third of the ring, period at least 1 sample.
    void set_swing(int depth_samples, int period_samples);
    int depth_samples() const { return depth_; }
    int period_samples() const { return period_; }
    int ring_length() const { return length_; }

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;

private:
    int read_index(int t, double swing, int len) const;
    void build_table();

    Params params_;
    Format format_;
    int depth_ = 25, period_ = 1, length_ = 0;
    std::vector<double> table_;
    std::vector<double> ring_[2];
    int write_[2] = {}, read_[2] = {};
    int phase_ = 0;
};

}  // namespace soundfx
