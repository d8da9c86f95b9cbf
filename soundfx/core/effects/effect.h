// One effect of the chain: its defaults for a format (reset), its parameters (each effect's own
// Params, passed through the safe-range table), and its processing of a piece of sound in place.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>
#include "base/sound.h"
#include "soundfx/core/dsp/random.h"

namespace soundfx {

// The format given to the engine's init, already checked: 1 or 2 channels, 4000..192000 Hz.
struct Format {
    int rate = 44100;
    int channels = 2;
};

// Largest piece handed to an effect: longer blocks are processed in pieces of this many frames.
constexpr int kMaxPieceFrames = 8192;

// Work buffers of one call, owned by the engine and sized once. channel and second hold the piece's
// channels while channel effects run; twice and lanes are scratch for one effect at a time.
struct Work {
    std::vector<float> channel = std::vector<float>(kMaxPieceFrames);      // channel 0 of the piece
    std::vector<float> second = std::vector<float>(kMaxPieceFrames);       // channel 1 of a stereo piece
    std::vector<float> twice = std::vector<float>(2 * kMaxPieceFrames);    // 2n floats
    std::vector<double> lanes = std::vector<double>(2 * kMaxPieceFrames);  // 2n doubles
};

// What the state checks of the tests count: values that are not finite, and subnormal ones.
struct StateCheck {
    long non_finite = 0;
    long subnormal = 0;
    void add(double v) {
        if (!std::isfinite(v)) {
            ++non_finite;
        } else if (v != 0 && std::fpclassify(v) == FP_SUBNORMAL) {
            ++subnormal;
        }
    }
    void add(float v) {
        if (!std::isfinite(v)) {
            ++non_finite;
        } else if (v != 0 && std::fpclassify(v) == FP_SUBNORMAL) {
            ++subnormal;
        }
    }
    template <class T>
    void add_all(const T* v, size_t n) {
        for (size_t i = 0; i < n; ++i) add(v[i]);
    }
    template <class T>
    void add_all(const std::vector<T>& v) {
        add_all(v.data(), v.size());
    }
};

template <class Section>
void check_biquad(StateCheck& check, const Section& s) {
    check.add(s.x1);
    check.add(s.x2);
    check.add(s.y1);
    check.add(s.y2);
}

// What an effect is given besides the samples.
struct Context {
    Format format;
    Random* random = nullptr;
};

class Effect {
public:
    virtual ~Effect() = default;
    // The state tolmmix_init leaves: defaults (where init resets them), derived values, buffers for
    // the format, running state cleared.
    virtual void reset(const Context& context) = 0;
    // Data refresh: running state that a jump in the stream must not carry over.
    virtual void clear() {}
    // Close: frees what reset allocated.
    virtual void release() {}
    // Processes a piece of at most kMaxPieceFrames frames in place.
    virtual void process(SoundBlock& piece, Work& work) = 0;
    // Adds every floating-point state value to the check.
    virtual void check_state(StateCheck&) const {}
    // The effect as one that works on float copies of the channels, or null.
    virtual class ChannelEffect* channel_effect() { return nullptr; }

    uint8_t on = 0;  // the effect runs only while this is 1
};

// An effect that works channel by channel on a float copy: the samples of channel c go into a float
// buffer, process_channel works on it with that channel's state, and each value comes back truncated
// toward zero and saturated. Channel 0 is processed before channel 1, so state that runs on through
// the channels sees them in that order.
class ChannelEffect : public Effect {
public:
    void process(SoundBlock& piece, Work& work) final;
    // The same on float copies of a piece's channels (right unused for mono), which must hold whole
    // numbers in the 16-bit range; each value comes back as the 16-bit write-back would leave it. The
    // chain keeps its float copies from one such effect to the next.
    void process_floats(float* left, float* right, int frames, int channels, Work& work);
    ChannelEffect* channel_effect() override { return this; }

protected:
    virtual void process_channel(float* x, int n, int channel, Work& work) = 0;
    // Both channels of a stereo piece; effects whose channels share no state may run them side by side.
    virtual void process_stereo(float* left, float* right, int n, Work& work) {
        process_channel(left, n, 0, work);
        process_channel(right, n, 1, work);
    }
    // Called once after all channels of a piece (phases that advance once per piece).
    virtual void end_piece(int /*frames*/) {}

private:
    void run(float* left, float* right, int frames, int channels, Work& work);
};

}  // namespace soundfx
