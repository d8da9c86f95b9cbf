// Reverb (id 12): a comb filter with negative feedback on a ring of 65536 samples, read back through
// up to 100 random taps whose gains decay with their delay. One record per channel. The three reverb
// times of the page drive the taps: the pre-delay is their base delay, the feedback time their
// spread and the decay time their decay constant.
#pragma once
#include <cstdint>
#include <vector>
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class Reverb : public ChannelEffect {
public:
    static constexpr int kMaxTaps = 100;
    static constexpr int kRing = 65536;
    static constexpr int kMirror = 4;  // the ring's first samples again past its end
    struct Params {
        int tap_count = 20;
        int time0 = 20;          // 1/330 s units (kept, not used by the sound)
        int decay = 5;           // 1/330 s units
        int predelay = 10;
        int feedback_time = 20;
        int feedback_db = -10;   // comb feedback
        int tap_db = -10;        // tap level
    };
    struct Record {
        uint16_t pos = 0;
        int taps = 0;
        int delay[kMaxTaps] = {};
        float gain[kMaxTaps] = {};
        int comb_delay = 0;      // D, samples (0..65535)
        float feedback = 0;      // f (at most 0.99)
        float level = 0;         // g
        std::vector<float> ring;  // kRing samples and a copy of the first kMirror
    };

    explicit Reverb(Random& random);
    void reset(const Context& context) override;
    // Zeroes both rings.
    void clear() override;
    void check_state(StateCheck& check) const override;

    // Stores the parameters (limited), recomputes D, f and g, restarts both rings from silence and
    // draws new taps.
    void set_params(const Params& p);
    const Params& params() const { return params_; }
    Record& record(int channel) { return records_[channel & 1]; }
    bool flag2 = false;

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;

private:
    Random& random_;
    Params params_;
    int rate_ = 44100;
    Record records_[2];
};

// The tap generator: for each of n taps, u = random / 32767, delay = trunc(base + spread u) (limited to
// the ring), gain = exp(-(spread u) / decay) (2 r - 1) / 32767 with r a second random value.
void fx_random_taps_init(Reverb::Record* record, int n, int spread, int base, int decay, Random& random);

// 2 x whole part of (time x rate x k): a reverb time in 1/330 s units as samples.
int reverb_samples(int time, int rate, double k);

}  // namespace soundfx
