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
        table_ = eq_table(rate, 10);
        processing_bands_ = 10;
        return;
    }
    table_rate_ = rate == 48000 ? 48000 : 44100;
    const int n = (bands == 15 || bands == 25 || bands == 31) ? bands : 10;
    table_ = eq_table(table_rate_, n);
    processing_bands_ = n;
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
        gain_[band][channel] = float(0.25220207857061455 * std::exp(0.08017836180235399 * db) - 0.2522020785283656);
    } else {
        pregain_[channel] = float(0.9999994649721758 * std::exp(0.06931473865667184 * db) + 3.7119444716771826e-07);
    }
}

void Equalizer::clear_memories() {
    std::memset(hist1_, 0, sizeof hist1_);
    std::memset(hist2_, 0, sizeof hist2_);
    slot_cur_ = 0;
    slot_prev_ = 2;
    slot_old_ = 1;
}

int Equalizer::reset_noise() {
    clear_memories();
    for (double& d : dither_) d = double(random_.next() % 4 - 2);
    dither_pos_ = 0;
    return int(dither_[255]);
}

void Equalizer::process(SoundBlock& piece, Work&) {
    if (!is_eq_rate(piece.rate) || !table_ || piece.frames <= 0) return;
    const int channels = piece.channels, bands = processing_bands_;
    int16_t* s = piece.samples;
    for (int f = 0; f < piece.frames; ++f) {
        const double d = dither_[dither_pos_];
        for (int c = 0; c < channels; ++c) {
            const float v = float(float(s[c]) * pregain_[c] + d);
            float acc = 0.0f;
            for (int b = 0; b < bands; ++b) {
                float* h = hist1_[b][c];  // x at 0..2, y at 3..5, indexed by the ring slots
                const EqBand& row = table_[b];
                h[slot_cur_] = v;
                const float y = row.alpha * (v - h[slot_old_]) + row.gamma * h[3 + slot_prev_] - row.beta * h[3 + slot_old_];
                h[3 + slot_cur_] = y;
                acc += y * gain_[b][c];
            }
            if (second_level) {
                float w = acc;
                for (int b = 0; b < bands; ++b) {
                    float* h = hist2_[b][c];
                    const EqBand& row = table_[b];
                    h[slot_cur_] = w;
                    const float y =
                        row.alpha * (w - h[slot_old_]) + row.gamma * h[3 + slot_prev_] - row.beta * h[3 + slot_old_];
                    h[3 + slot_cur_] = y;
                    w = w + 2.0f * y * gain_[b][c];
                }
                acc = w;
            }
            const float out = float(acc + 0.45f * v - 0.25 * d);
            if (!std::isfinite(out)) {
                // An overflow in the second pass would otherwise stay in the memories for good.
                clear_memories();
            }
            const int r = fx_clip16(out);
            s[c] = to_pcm16_trunc(double(r) * 1.25);
        }
        ++slot_cur_;
        ++slot_prev_;
        ++slot_old_;
        if (slot_cur_ == 3) {
            slot_cur_ = 0;
        } else if (slot_prev_ == 3) {
            slot_prev_ = 0;
        } else {
            slot_old_ = 0;
        }
        dither_pos_ = (dither_pos_ + 1) & 255;
        s += channels;
    }
}

void Equalizer::check_state(StateCheck& check) const {
    check.add_all(&hist1_[0][0][0], sizeof hist1_ / sizeof(float));
    check.add_all(&hist2_[0][0][0], sizeof hist2_ / sizeof(float));
    check.add_all(&gain_[0][0], sizeof gain_ / sizeof(float));
    check.add_all(pregain_, 2);
}

}  // namespace soundfx
