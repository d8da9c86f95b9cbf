// Graphic equaliser (id 1): a bank of 10, 15, 25 or 31 band-pass filters weighted by the band gains
// and added to a scaled copy of the dithered input, with an optional second pass in series. Runs only
// at 11025, 22050, 44100 and 48000 Hz, frame by frame on the 16-bit block.
#pragma once
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
    float band_factor(int band, int channel) const { return gain_[band][channel & 1]; }
    float pregain_factor(int channel) const { return pregain_[channel & 1]; }
    bool second_level = false;

private:
    void clear_memories();

    Random& random_;
    int band_count_ = 10;
    int processing_bands_ = 10;
    int table_rate_ = 44100;
    const EqBand* table_ = nullptr;
    float gain_[kMaxBands][2] = {};
    float pregain_[2] = {1.0f, 1.0f};
    float hist1_[kMaxBands][2][6] = {};  // x[3], y[3] per band and channel, first pass
    float hist2_[kMaxBands][2][6] = {};  // second pass
    double dither_[256] = {};
    int dither_pos_ = 0;
    int slot_cur_ = 0, slot_prev_ = 2, slot_old_ = 1;
};

}  // namespace soundfx
