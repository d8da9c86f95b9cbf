// Compressor (id 2): a mean-square envelope, a power-law gain above the threshold, and attack and
// release smoothing of the gain. One state runs on through the channels in turn.
#pragma once
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class Compressor : public ChannelEffect {
public:
    struct Params {
        int threshold = -20;  // dB
        int ratio = 5;        // the slope is ratio x 0.1
        int attack = 1;       // ms
        int release = 10;     // ms
    };

    void reset(const Context& context) override;
    void check_state(StateCheck& check) const override;

    // Stores the parameters (limited) and derives the factors; the threshold level is taken 3 dB
    // below the threshold, as the defaults and the settings record have it.
    void set_params(const Params& p);
    // The threshold slider sets the level straight from its position: 10^(-p x 0.05).
    void set_threshold_level(double level) { threshold_lin_ = level; }
    const Params& params() const { return params_; }
    double threshold_level() const { return threshold_lin_; }
    double slope() const { return slope_; }
    double gain() const { return gain_; }

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;

private:
    Params params_;
    int rate_ = 44100;
    double threshold_lin_ = 0, slope_ = 0.5;
    double attack_coef_ = 0, release_coef_ = 0, env_coef_ = 0;
    double env_ = 0, gain_ = 1.0;
};

}  // namespace soundfx
