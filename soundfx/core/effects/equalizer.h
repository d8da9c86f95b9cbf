// Graphic equaliser (id 1): a bank of 10, 15, 25 or 31 band-pass filters weighted by the band gains
// and added to a scaled copy of the dithered input, with an optional second pass in series. Runs only
// at 11025, 22050, 44100 and 48000 Hz, frame by frame on the 16-bit block.
#pragma once
#include "soundfx/core/dsp/simd.h"
#include "soundfx/core/effects/effect.h"
#include "soundfx/core/eq_tables.h"

namespace soundfx {

// 11025, 22050, 44100 and 48000 Hz: the rates at which the equaliser runs.
bool is_eq_rate(int rate);

class Equalizer : public Effect {
public:
    static constexpr int kMaxBands = 31;
    explicit Equalizer(Random& random);

    // At an equaliser rate: 10 bands, second pass off, that rate's table, state and dither reset, every
    // gain and the pre-gain 0 dB. At any other rate the curve stays as it was.
    void reset(const Context& context) override;
    void clear() override { reset_noise(); }
    void process(SoundBlock& piece, Work& work) override;
    void check_state(StateCheck& check) const override;

    // 10 bands at 44100 Hz, memories cleared and dither drawn anew; the gains stay.
    void begin();
    // The table for the band count at the rate: 11025 and 22050 Hz process a fixed 10 bands, 48000 Hz
    // has its own tables, any other rate uses those of 44100 Hz. The stream rate is not touched.
    void select_tables(int bands, int rate);
    // band_count := bands (10, 15, 25 or 31; anything else is ignored); the table for it at the table
    // rate; pre-gain and bands 0 .. bands - 1 to 0 dB; filter memories cleared.
    void set_band_count(int bands);
    // Gain of a band in dB for a channel; band -1 is the pre-gain.
    void set_band_gain(double db, int band, int channel);
    // Zeroes both passes' memories, refills the dither table with (random mod 4) - 2 and returns the
    // last value.
    int reset_noise();

    int band_count() const { return band_count_; }
    int processing_bands() const { return processing_bands_; }
    int table_rate() const { return table_rate_; }
    const EqBand* table() const { return table_; }
    float band_factor(int band, int channel) const { return gain_[band / 2][2 * (band % 2) + (channel & 1)]; }
    float pregain_factor(int channel) const { return pregain_[channel & 1]; }
    bool second_level = false;

private:
    // The first pass runs both channels and two bands in each vector, lanes (band b, channel 0),
    // (b, 1), (b + 1, 0), (b + 1, 1); pairs past the band count have zero coefficients. The second
    // pass runs band by band in series.
    static constexpr int kPairs = (kMaxBands + 1) / 2;
    struct FirstPass {
        f32x4 y1[kPairs], y2[kPairs];  // outputs y[n-1], y[n-2]
        float x1[2], x2[2];            // the input x[n-1], x[n-2] of each channel, shared by the bands
    };
    struct SecondPass {
        float x1[kMaxBands][2], x2[kMaxBands][2], y1[kMaxBands][2], y2[kMaxBands][2];
    };
    void clear_memories();
    // One frame of the first pass for both channels: each channel's band outputs weighted by its band
    // gains and added in band order.
    void first_pass(float v0, float v1, float* acc0, float* acc1);
    float second_pass(float w, int channel);
    // Zeroes the memories of one channel of the first pass.
    void clear_first_pass(int channel);

    Random& random_;
    int band_count_ = 10;
    int processing_bands_ = 10;
    int table_rate_ = 44100;
    const EqBand* table_ = nullptr;
    f32x4 alpha_[kPairs] = {}, beta_[kPairs] = {}, gamma_[kPairs] = {};  // of table_, in first-pass lanes
    f32x4 gain_[kPairs] = {};  // the band factors in first-pass lanes
    float pregain_[2] = {1.0f, 1.0f};
    FirstPass first_ = {};
    SecondPass second_ = {};
    double dither_[256] = {};
    int dither_pos_ = 0;
};

}  // namespace soundfx
