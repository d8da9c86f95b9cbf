#include "soundfx/core/engine.h"
#include <algorithm>
#include <cstring>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/float_mode.h"

namespace soundfx {

void EqPageState::reset() {
    band_count = 10;
    for (int& p : band_position) p = 25;
    pregain_position = 12;
    std::memset(preset_name, 0, sizeof preset_name);
    std::strncpy(preset_name, default_preset_name(10), sizeof preset_name - 1);
}

bool Engine::valid_format(int rate, int channels) {
    return (channels == 1 || channels == 2) && rate >= kMinRate && rate <= kMaxRate;
}

Engine::Engine() : order_(&own_chain_) {}

void Engine::begin() {
    std::lock_guard<std::mutex> guard(lock_);
    state_.effects.eq.begin();
}

int Engine::init(int rate, int channels) {
    std::lock_guard<std::mutex> guard(lock_);
    state_.rate_in = rate;
    state_.channels_in = channels;
    if (!valid_format(rate, channels)) {
        // Nothing is allocated for a format the effects cannot run at; blocks pass unchanged.
        state_.ready = false;
        return 0;
    }
    state_.format = {rate, channels};
    const Context context{state_.format, &state_.random};
    EffectSet& e = state_.effects;
    // The order of tolmmix_init, which is also the order in which the random source is drawn from.
    Effect* order[] = {&e.gate, &e.distortion, &e.overdrive, &e.reverb, &e.compressor, &e.am, &e.phaser, &e.pitch,
                       &e.sweep, &e.chorus, &e.wah, &e.bass, &e.invert, &e.vibrato, &e.eq, &e.echo};
    for (Effect* effect : order) effect->reset(context);
    // The equaliser page goes back to its defaults at the equaliser rates; elsewhere the curve stays.
    if (is_eq_rate(rate)) state_.eq_page.reset();
    state_.ready = true;
    return 0;
}

void Engine::close() {
    std::lock_guard<std::mutex> guard(lock_);
    EffectSet& e = state_.effects;
    for (int id = 1; id <= kEffectCount; ++id) {
        Effect* effect = e.by_id(id);
        if (effect != &e.eq && effect != &e.echo) effect->on = 0;
        effect->release();
    }
    state_.ready = false;
}

int Engine::refresh() {
    std::lock_guard<std::mutex> guard(lock_);
    const int rate = state_.ready ? state_.format.rate : state_.rate_in;
    if (!state_.ready || !is_eq_rate(rate)) return rate;
    EffectSet& e = state_.effects;
    e.pitch.clear();
    e.reverb.clear();
    e.am.clear();
    e.sweep.clear();
    e.chorus.clear();
    e.echo.clear();
    return e.eq.reset_noise();
}

int Engine::process(int16_t* pcm, int bytes) {
    if (!pcm || bytes <= 0) return bytes;
    int ids[kEffectCount];
    const int rows = order_.load()->read(ids, kEffectCount);
    std::lock_guard<std::mutex> guard(lock_);
    if (!state_.ready) return bytes;
    FlushToZero flush;
    const int channels = state_.format.channels;
    const int frames = bytes / 2 / channels;
    Effect* chain[kEffectCount];
    int n = 0;
    for (int i = 0; i < rows; ++i) {
        Effect* effect = state_.effects.by_id(ids[i]);
        if (effect) chain[n++] = effect;
    }
    for (int start = 0; start < frames; start += kMaxPieceFrames) {
        SoundBlock piece;
        piece.samples = pcm + size_t(start) * channels;
        piece.frames = std::min(kMaxPieceFrames, frames - start);
        piece.channels = channels;
        piece.rate = state_.format.rate;
        // Effects that work on float copies of the channels pass them on to each other; the 16-bit
        // samples are brought up to date only for the others and at the end.
        float* left = work_.channel.data();
        float* right = work_.second.data();
        bool floats_current = false, samples_behind = false;
        // The on bytes are read afresh for every piece: a switch lands at the next piece.
        for (int i = 0; i < n; ++i) {
            if (chain[i]->on != 1) continue;
            if (ChannelEffect* effect = chain[i]->channel_effect()) {
                if (!floats_current) pcm16_to_channels(piece.samples, piece.frames, channels, left, right);
                floats_current = true;
                effect->process_floats(left, right, piece.frames, channels, work_);
                samples_behind = true;
            } else {
                if (samples_behind) channels_to_pcm16(left, right, piece.frames, channels, piece.samples);
                samples_behind = floats_current = false;
                chain[i]->process(piece, work_);
            }
        }
        if (samples_behind) channels_to_pcm16(left, right, piece.frames, channels, piece.samples);
    }
    if (shown_.load()) levels_.capture(pcm, bytes, channels);
    return bytes;
}

LevelCapture Engine::levels() {
    std::lock_guard<std::mutex> guard(lock_);
    return levels_;
}

void Engine::set_eq_on(bool on) {
    std::lock_guard<std::mutex> guard(lock_);
    state_.effects.eq.on = on ? 1 : 0;
}

void Engine::set_echo_on(bool on) {
    std::lock_guard<std::mutex> guard(lock_);
    state_.effects.echo.on = on ? 1 : 0;
}

void Engine::get(MixSettings* out) {
    if (!out) return;
    int rows[ChainList::kMaxRows];
    const int n = order_.load()->read(rows, ChainList::kMaxRows);
    std::lock_guard<std::mutex> guard(lock_);
    read_settings(state_, rows, n, out);
}

int Engine::set(const MixSettings& in) {
    int rows[ChainList::kMaxRows];
    int n = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!apply_settings(state_, in, rows, &n)) return -1;
    }
    order_.load()->replace(rows, n);
    return 0;
}

}  // namespace soundfx
