#include "soundfx/core/effects/equalizer.h"
#include <cmath>
#include <cstring>
#include "soundfx/core/dsp/pcm.h"

namespace soundfx {

bool is_eq_rate(int rate) { return rate == 11025 || rate == 22050 || rate == 44100 || rate == 48000; }

Equalizer::Equalizer(Random& random) : random_(random) { begin(); }

void Equalizer::reset(const Context& context) {
    on = 0;
    const int rate = context.format.rate;
    if (!is_eq_rate(rate)) return;
    band_count_ = 10;
    second_level = false;
    select_tables(10, rate);
    reset_noise();
    for (int c = 0; c < context.format.channels && c < 2; ++c) {
        set_band_gain(0, -1, c);
        for (int b = 0; b < 10; ++b) set_band_gain(0, b, c);
    }
}

void Equalizer::begin() {
    band_count_ = 10;
    select_tables(10, 44100);
    reset_noise();
}

void Equalizer::select_tables(int bands, int rate) {
    if (rate == 11025 || rate == 22050) {
        table_rate_ = rate;
        processing_bands_ = 10;
    } else {
        table_rate_ = rate == 48000 ? 48000 : 44100;
        processing_bands_ = (bands == 15 || bands == 25 || bands == 31) ? bands : 10;
    }
    table_ = eq_table(table_rate_, processing_bands_);
    for (int b = 0; b < 2 * kPairs; ++b) {
        const bool used = table_ && b < processing_bands_;
        for (int c = 0; c < 2; ++c) {
            const int lane = 2 * (b % 2) + c;
            alpha_[b / 2][lane] = used ? table_[b].alpha : 0.0f;
            beta_[b / 2][lane] = used ? table_[b].beta : 0.0f;
            gamma_[b / 2][lane] = used ? table_[b].gamma : 0.0f;
        }
    }
}

void Equalizer::set_band_count(int bands) {
    if (bands != 10 && bands != 15 && bands != 25 && bands != 31) return;
    band_count_ = bands;
    select_tables(bands, table_rate_);
    for (int c = 0; c < 2; ++c) {
        set_band_gain(0, -1, c);
        for (int b = 0; b < bands; ++b) set_band_gain(0, b, c);
    }
    clear_memories();
}

void Equalizer::set_band_gain(double db, int band, int channel) {
    if (channel < 0 || channel > 1 || band >= kMaxBands || !std::isfinite(db)) return;
    if (band >= 0) {
        gain_[band / 2][2 * (band % 2) + channel] = float(0.25220207857061455 * std::exp(0.08017836180235399 * db) - 0.2522020785283656);
    } else {
        pregain_[channel] = float(0.9999994649721758 * std::exp(0.06931473865667184 * db) + 3.7119444716771826e-07);
    }
}

void Equalizer::clear_memories() {
    first_ = FirstPass();
    second_ = SecondPass();
}

void Equalizer::clear_first_pass(int channel) {
    for (int q = 0; q < kPairs; ++q) {
        first_.y1[q][channel] = first_.y1[q][channel + 2] = 0.0f;
        first_.y2[q][channel] = first_.y2[q][channel + 2] = 0.0f;
    }
    first_.x1[channel] = first_.x2[channel] = 0.0f;
}

int Equalizer::reset_noise() {
    clear_memories();
    for (double& d : dither_) d = double(random_.next() % 4 - 2);
    dither_pos_ = 0;
    return int(dither_[255]);
}

// Every band: y = alpha (x - x[n-2]) + gamma y[n-1] - beta y[n-2], in single precision.
inline void Equalizer::first_pass(float v0, float v1, float* acc0, float* acc1) {
    FirstPass& m = first_;
    const float x0 = v0 - m.x2[0], x1 = v1 - m.x2[1];
    const f32x4 x = {x0, x1, x0, x1};
    const int bands = processing_bands_;
    f32x4 acc = {0.0f, 0.0f, 0.0f, 0.0f};  // lanes 0 and 1: the two channels' sums
    for (int q = 0; q < (bands + 1) / 2; ++q) {
        const f32x4 y = alpha_[q] * x + gamma_[q] * m.y1[q] - beta_[q] * m.y2[q];
        m.y2[q] = m.y1[q];
        m.y1[q] = y;
        const f32x4 w = y * gain_[q];
        acc += w;
        if (2 * q + 1 < bands) acc += __builtin_shufflevector(w, w, 2, 3, 2, 3);
    }
    m.x2[0] = m.x1[0];
    m.x2[1] = m.x1[1];
    m.x1[0] = v0;
    m.x1[1] = v1;
    *acc0 = acc[0];
    *acc1 = acc[1];
}

// The second pass runs the bands in series, each adding twice its weighted output to the signal.
float Equalizer::second_pass(float w, int c) {
    SecondPass& m = second_;
    for (int b = 0; b < processing_bands_; ++b) {
        const EqBand& row = table_[b];
        const float y = row.alpha * (w - m.x2[b][c]) + row.gamma * m.y1[b][c] - row.beta * m.y2[b][c];
        m.x2[b][c] = m.x1[b][c];
        m.x1[b][c] = w;
        m.y2[b][c] = m.y1[b][c];
        m.y1[b][c] = y;
        w = w + 2.0f * y * band_factor(b, c);
    }
    return w;
}

// Frame by frame the passes give each sample its float result; the rounding to 16 bits then runs
// over the whole piece at once.
void Equalizer::process(SoundBlock& piece, Work& work) {
    if (!is_eq_rate(piece.rate) || !table_ || piece.frames <= 0 || piece.frames > kMaxPieceFrames) return;
    const int channels = piece.channels, samples = piece.frames * channels;
    const int16_t* s = piece.samples;
    float* out = work.twice.data();
    for (int f = 0; f < piece.frames; ++f) {
        const double d = dither_[dither_pos_];
        float v[2] = {0.0f, 0.0f}, acc[2];
        for (int c = 0; c < channels; ++c) v[c] = float(float(s[c]) * pregain_[c] + d);
        first_pass(v[0], v[1], &acc[0], &acc[1]);
        for (int c = 0; c < channels; ++c) {
            const float w = second_level ? second_pass(acc[c], c) : acc[c];
            const float y = float(w + 0.45f * v[c] - 0.25 * d);
            if (!std::isfinite(y)) {
                // An overflow in the second pass would otherwise stay in the memories for good. The
                // channel after this one starts from the cleared memories.
                clear_memories();
                if (c == 0 && channels == 2) {
                    first_pass(v[0], v[1], &acc[0], &acc[1]);
                    clear_first_pass(0);
                }
            }
            out[c] = y;
        }
        dither_pos_ = (dither_pos_ + 1) & 255;
        s += channels;
        out += channels;
    }
    rounded_scaled_to_pcm16(work.twice.data(), samples, 1.25f, piece.samples);
}

void Equalizer::check_state(StateCheck& check) const {
    check.add_all(reinterpret_cast<const float*>(&first_), sizeof first_ / sizeof(float));
    check.add_all(reinterpret_cast<const float*>(&second_), sizeof second_ / sizeof(float));
    check.add_all(reinterpret_cast<const float*>(gain_), 4 * kPairs);
    check.add_all(pregain_, 2);
}

}  // namespace soundfx
