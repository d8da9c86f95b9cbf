// Pitch shifter (id 3): a short-time Fourier transform phase vocoder. Each channel's samples are cut
// into overlapping Hann-windowed frames, each bin's true frequency is measured, the spectrum is
// resampled along the frequency axis by the ratio, and the frames are resynthesised and overlap-added.
// The output lags the input by frame - frame / oversampling samples. Each channel has its own arrays.
#pragma once
#include <vector>
#include "soundfx/core/dsp/fft.h"
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class PitchShifter : public ChannelEffect {
public:
    static constexpr int kMaxFrame = 4096;
    struct Params {
        float offset = 0.0f;  // octaves; the ratio is 2^offset
        int frame = 2048;     // N: 1024, 2048 or 4096
        int depth = 4;        // oversampling O: 1..8
    };

    PitchShifter();
    void reset(const Context& context) override;
    // Both channels start again from empty frames.
    void clear() override;
    void check_state(StateCheck& check) const override;

    // A new frame size or oversampling empties the FIFOs of both channels.
    void set_params(const Params& p);
    const Params& params() const { return params_; }
    float ratio() const { return ratio_; }
    // The pitch slider's position kept with the state: whole part of (offset + 1) x 10.
    int rate_position() const { return rate_position_; }

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;

private:
    // Bins 0 .. N/2 run in vectors of four; the arrays hold a multiple of four past the last bin.
    static constexpr int kBins = kMaxFrame / 2 + 4;
    struct Channel {
        bool ready = false;
        int rover = 0;
        // Since the FIFOs were emptied every frame ran at ratio 1, so that each running phase is its
        // bin's last analysed phase; last_frame then holds the last frame's input (when there was one).
        bool aligned = true;
        bool has_last_frame = false;
        std::vector<float> in_fifo, out_fifo, out_accum, last_phase, sum_phase, last_frame;
    };
    // The tables of the frame size and oversampling, and those of the ratio.
    void prepare_frames();
    void prepare_ratio();
    void process_frame(Channel& ch);
    void resynthesise_unchanged(Channel& ch);
    void analyse(Channel& ch);
    void synthesise(Channel& ch);

    Params params_;
    int rate_ = 44100;
    float ratio_ = 1.0f;
    int rate_position_ = 10;
    Channel channels_[2];
    std::vector<float> window_;      // 0.5 - 0.5 cos(2 pi k / N)
    std::vector<float> ola_weight_;  // the window times the overlap-add scale 2 / (N / 2 x O)
    std::vector<float> advance_;     // the phase bin k's own frequency gains in a step, less whole turns
    std::vector<int> source_;        // the analysis bin output bin k takes (k / ratio), or an empty
                                     // bin past the last
    std::vector<float> offset_;      // the fixed part of output bin k's phase step, less whole turns
    // Work arrays of one frame: the windowed frame, its spectrum, each bin's magnitude and phase
    // deviation from its own frequency (radians a step).
    RealFft fft_;
    std::vector<float> frame_, re_, im_, magnitude_, deviation_;
};

}  // namespace soundfx
