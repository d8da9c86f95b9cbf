// Noise gate (id 10): closes after the signal has stayed below the threshold for the hold time, with
// a linear release ramp when closing and an attack ramp when opening; a second, lower threshold
// (hysteresis) applies while the gate is open. One state runs on through the channels in turn.
#pragma once
#include <cstdint>
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class NoiseGate : public ChannelEffect {
public:
    struct Params {
        int threshold = 500;    // sample units
        int hold = 0;           // interleaved samples below the threshold before the gate closes
        int release = 0;        // ramp length when closing
        int attack = 0;         // ramp length when opening
        int hysteresis = 410;   // sample units
    };
    // The defaults for a format: hold 2 ms, release 500 ms (in interleaved samples).
    static Params defaults(const Format& format);

    void reset(const Context& context) override;
    void check_state(StateCheck& check) const override;
    void set_params(const Params& p);
    const Params& params() const { return params_; }

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;

private:
    Params params_;
    Format format_;
    bool open_ = false;
    uint32_t quiet_count_ = 0, release_step_ = 0, attack_step_ = 0;
    float release_gain_ = 1.0f, attack_gain_ = 1.0f;
};

}  // namespace soundfx
