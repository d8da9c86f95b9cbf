// The sound-effects engine without its window: the state of the sixteen effects, the lifecycle of
// the library's exports (begin, init, close, data refresh), the chain walk over each block, the level
// capture, and get and set of the settings record.
//
// Threads: one lock, held by processing and by every call that changes the state (init, close, data
// refresh, set, begin); the chain order is read before the lock is taken. Until an init with 1 or 2
// channels at 4000..192000 Hz, and again after close, a block comes back unchanged.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include "soundfx/core/chain.h"
#include "soundfx/core/effect_set.h"
#include "soundfx/core/levels.h"
#include "soundfx/core/mix_settings.h"

namespace soundfx {

// What the equaliser page shows, kept by the engine so that a settings record reads back without a
// window: the page's band count, each band slider's position, the pre-gain slider's position and
// the name of the preset in its combo box.
struct EqPageState {
    int band_count = 10;
    int band_position[31];
    int pregain_position = 12;
    char preset_name[64] = {};
    EqPageState() { reset(); }
    void reset();
};

struct EngineState {
    explicit EngineState() : effects(random) {}
    Random random;      // before the effects that draw from it
    EffectSet effects;
    Format format;      // of the last valid init
    int rate_in = 0;    // the rate passed to the last init, unchanged
    int channels_in = 0;
    bool ready = false;  // a valid init since load or since close
    EqPageState eq_page;
};

class Engine {
public:
    static constexpr int kMinRate = 4000, kMaxRate = 192000;
    static bool valid_format(int rate, int channels);

    Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // 10 equaliser bands at 44100 Hz, equaliser state and dither reset.
    void begin();
    // Makes the format the chain's: every effect off and at its defaults, buffers for the format.
    int init(int rate, int channels);
    // Frees the buffers, switches every effect but the equaliser and the echo off; later blocks pass.
    void close();
    // At an equaliser rate clears delay lines and filter memories and returns the dither reset's
    // result; at any other rate (and before the first init) does nothing and returns the rate.
    int refresh();
    // Runs the chain in place over bytes of interleaved 16-bit PCM; returns bytes.
    int process(int16_t* pcm, int bytes);

    void get(MixSettings* out);
    // Applies a record (its fields limited to what the sliders produce); -1 when the format refuses it
    // (init rate not one of the equaliser rates, or before init).
    int set(const MixSettings& in);

    void set_eq_on(bool on);
    void set_echo_on(bool on);

    // While shown, every block's levels are captured.
    void set_display_shown(bool shown) { shown_.store(shown); }
    bool display_shown() const { return shown_.load(); }
    LevelCapture levels();

    // Where processing reads the chain order from; null gives back the engine's own list.
    void set_chain_order(ChainOrder* order) { order_.store(order ? order : &own_chain_); }
    ChainOrder& chain_order() { return *order_.load(); }

    // Runs f on the state under the lock (parameter changes of a window, tests).
    template <class F>
    auto edit(F&& f) {
        std::lock_guard<std::mutex> guard(lock_);
        return f(state_);
    }

private:
    std::mutex lock_;
    EngineState state_;
    ChainList own_chain_;
    std::atomic<ChainOrder*> order_;
    std::atomic<bool> shown_{false};
    Work work_;
    LevelCapture levels_;
};

// The settings record from the state (the chain rows given apart), and the state from a record; both
// pure functions of their arguments. apply_settings returns the chain rows to put in place (ids 1..16
// of the record, in order) through rows/row_count.
void read_settings(const EngineState& state, const int* rows, int row_count, MixSettings* out);
bool apply_settings(EngineState& state, const MixSettings& in, int* rows, int* row_count);

}  // namespace soundfx
