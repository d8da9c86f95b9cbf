// Echo (id 7): out = g (x (1 + 0.2 k) + k b), with b the output one delay earlier, k the gain and
// g = (0.25 k + 1) / (1.3 k + 1) keeping the level in check. Works on the interleaved 16-bit block;
// the delay is a whole number of frames, so each channel echoes into itself. Within a piece longer
// than the delay the later samples get no echo: their delayed output lies in the same piece and is
// not yet written.
#pragma once
#include <vector>
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class Echo : public Effect {
public:
    static constexpr double kMaxDelay = 1.6;  // seconds
    struct Params {
        float delay = 0.6f;  // seconds
        float gain = 0.5f;
    };

    void reset(const Context& context) override;
    void clear() override;
    void release() override;
    void process(SoundBlock& piece, Work& work) override;

    // Stores the parameters (limited); the buffers keep their size.
    void set_params(const Params& p);
    const Params& params() const { return params_; }
    int delay_frames() const { return delay_frames_; }
    // The echo's byte counts, frame-aligned: the delay, twice the delay, and that plus 30000.
    int delay_bytes() const { return 2 * channels_ * delay_frames_; }
    int span_bytes() const { return 2 * delay_bytes(); }
    int keep_bytes() const { return span_bytes() + 30000; }
    bool has_buffers() const { return !ring_.empty(); }

private:
    Params params_;
    int rate_ = 44100, channels_ = 2;
    int delay_frames_ = 0;
    std::vector<int16_t> ring_;  // the output, interleaved, one ring of frames
    int ring_frames_ = 0;
    int write_ = 0;              // frame where the next output goes
};

}  // namespace soundfx
