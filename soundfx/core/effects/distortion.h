// Distortion (id 4): a low-pass pre-filter, drive, a slew limit on the output, a level, and a
// low-pass post-filter that takes off the noise.
#pragma once
#include "soundfx/core/dsp/filter_cascade.h"
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class Distortion : public ChannelEffect {
public:
    struct Params {
        int sense = 10000;      // largest change of the output from one sample to the next
        int strength = 20;      // output level in 256ths
        int drive = 555;        // drive in 16ths
        int lp_freq = 350;      // pre-filter, Hz
        int noise_freq = 3000;  // post-filter, Hz
    };

    void reset(const Context& context) override;
    void check_state(StateCheck& check) const override;
    // Stores the parameters (limited) and designs both filters again.
    void set_params(const Params& p);
    const Params& params() const { return params_; }

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;
    void process_stereo(float* left, float* right, int n, Work& work) override;

private:
    static constexpr int kSections = 4;  // of each filter
    template <class T>
    void run(T* x, int n, int channel, T& previous);

    Params params_;
    Format format_;
    FilterCascade pre_, post_;
    int previous_[2] = {};
};

}  // namespace soundfx
