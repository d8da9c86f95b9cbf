// Super bass (id 14): a low-shelf boost, one biquad per channel in double precision.
#pragma once
#include "soundfx/core/dsp/shelf.h"
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class SuperBass : public ChannelEffect {
public:
    // The page's two values.
    struct Params {
        int freq = 200;  // Hz (at least 10)
        int gain = 12;   // dB
    };

    // init's shelves: 200 Hz, +12 dB; the page's values stay as they are.
    void reset(const Context& context) override;
    void check_state(StateCheck& check) const override;
    void set_params(const Params& p);
    const Params& params() const { return params_; }
    const ShelfFilter& shelf(int channel) const { return shelves_[channel & 1]; }

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;
    void process_stereo(float* left, float* right, int n, Work& work) override;

private:
    void run(Biquad* first, Biquad* second, float* x0, float* x1, int n);

    Params params_;
    int rate_ = 44100;
    ShelfFilter shelves_[2];
};

}  // namespace soundfx
