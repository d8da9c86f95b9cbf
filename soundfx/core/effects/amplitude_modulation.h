// Amplitude modulation (id 6): the samples are scaled by 1 + m L(j), with L a sine or a triangle
// (between -1 and 0) of period g_am_freq ms. Two further modes work the modulator into the delay of a
// two-block buffer ('f') or into the corner of an all-pass ('p'); the window never selects them.
// Both channels start from the stored phase, which advances once per piece.
#pragma once
#include <vector>
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class AmplitudeModulation : public ChannelEffect {
public:
    struct Params {
        int gain = -10;   // dB: the dry level of modes 'f' and 'p'
        int depth = 20;   // percent
        int freq = 1000;  // modulation period in ms
        int shape = 0;    // 0 sine, 1 triangle
    };

    AmplitudeModulation();
    void reset(const Context& context) override;
    void clear() override;
    void check_state(StateCheck& check) const override;

    // Stores the parameters (limited); the level follows the gain and the wave letter the shape.
    void set_params(const Params& p);
    const Params& params() const { return params_; }
    double level() const { return level_; }
    double phase() const { return phase_; }
    char mode = 'a';  // 'a' amplitude, 'f' frequency, 'p' phase
    char wave() const { return wave_; }

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;
    void process_stereo(float* left, float* right, int n, Work& work) override;
    void end_piece(int frames) override;

private:
    void set_step();
    void sine_gain(float* x0, float* x1, int n, double m);
    double modulator(int j) const;

    Params params_;
    int rate_ = 44100;
    double level_ = 0.31622776601683794;
    char wave_ = 's';           // 's' sine, anything else triangle
    double phase_ = 0;          // radians (sine) or cycles (triangle)
    double step_ = 0;           // per sample
    std::vector<float> history_[2];  // the previous piece of each channel ('f')
    double allpass_[2] = {};         // all-pass state of each channel ('p')
};

}  // namespace soundfx
