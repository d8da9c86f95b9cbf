// The sliders of the effects window as data and pure functions: each slider's range, tick step and
// coloured zone, the mapping from a position to a parameter, and back from the state to a position
// (every divisor guarded: a state that would divide by zero puts the slider at an end of its range).
// Integer divisions truncate toward zero, as the window's do.
#pragma once
#include <cstdint>

namespace soundfx {
namespace slider {

struct Control {
    int control;  // dialog control id
    int page;     // 1, 2, 3 effects pages; 0 the equaliser page
    const char* what;
    int min, max, tick, zone_lo, zone_hi;
};
// Every slider of the four pages; count receives their number.
const Control* controls(int* count);
// The control with this id on a page, or null.
const Control* control(int page, int id);
// The position limited to the slider's range.
int clamp_position(const Control& s, int64_t position);

// Effects page 1.
inline double echo_gain(int p) { return p * 0.1; }
inline int echo_gain_position(double gain) { return int(gain * 10); }
inline double echo_delay(int p) { return p * 0.1; }
inline int echo_delay_position(double seconds) { return int(seconds * 10); }
inline double pitch_offset(int p3010) { return (p3010 - 10) * 0.1; }
int pitch_frame(int quality);  // 1024 at 1, 4096 above 4, else 2048
double phaser_d(int hz, int rate);            // hz x 2 / rate
double phaser_lfo_step(int p3009, int rate);  // (p x 0.01 / rate) x 6.28318
inline double phaser_feedback(int p) { return p * 0.01; }
inline double phaser_depth(int p) { return p * 0.1; }
inline int sweep_depth(int p) { return p / 2; }
inline int sweep_depth_position(int depth) { return depth * 2; }
inline int sweep_level(int p) { return int(p * 2.56); }      // feedback, wet and dry
inline int sweep_level_position(int v) { return int(v / 2.56); }
int sweep_rate(int p, int rate, int channels);               // trunc(rate x 360 / (channels x p x 1000))
int sweep_rate_position(int value, int rate, int channels);  // rate x 360 / (channels x value x 1000)
inline int am_gain(int p) { return p - 100; }
inline int am_gain_position(int db) { return db + 100; }

// Effects page 2.
inline int dist_sense(int p) { return p * 300; }
inline int dist_sense_position(int sense) { return sense / 300; }
inline int comp_threshold(int p) { return -p; }
double comp_threshold_level(int p);  // 10^(-p x 0.05)
inline double comp_slope(int p) { return p * 0.1; }
inline int reverb_db(int p) { return -p; }
double reverb_factor(int p);  // 10^(-p x 0.05)
int gate_samples(int ms, int rate, int channels);      // rate x channels x ms / 1000
int gate_ms(int samples, int rate, int channels);      // samples x 1000 / (channels x rate)
inline int gate_level(int p) { return p * 10; }
inline int gate_level_position(int v) { return v / 10; }

// Effects page 3.
double wah_lfo_step(int p, int rate);  // 2 (p x 0.1) pi / rate
inline double wah_depth(int p) { return p * 0.01; }
inline double wah_q(int p) { return p * 0.1; }
inline double wah_base(int p) { return p * 0.01; }
int vibrato_period(int p, int rate, int channels);  // trunc(p x channels x rate x 0.01)

// Equaliser page: band position p (0..50, 0 at the top) and dB, g = 20 - 0.8 p and p = 25 - 1.25 g.
inline float band_gain(int p) { return 20.0f - float(p) * 20.0f * 0.04f; }
inline int band_gain_stored(int p) { return int(band_gain(p)); }
inline int band_position(double db) { return int(25 - 1.25 * db); }
inline double pregain_db(int p) { return (p - 12) * 1.5; }
// The settings record's conversions round both ways, so that a record read, written back and read
// again gives the same gains (truncation drifts a negative gain by 1 dB each time).
int record_gain(int position);          // round(20 - 0.8 p)
int record_position(int db);            // round(25 - 1.25 dB), limited to 0..50

// Linked tuning: band k moved to position p while the page held the whole-dB gains db[0..count).
// Fills gain (the dB values to apply, NaN for bands that do not change) and position (the new
// positions, -1 for bands that do not change), and updates db.
struct LinkedTuning {
    float gain[31];
    int position[31];
};
LinkedTuning linked_tuning(int* db, int count, int k, int p);

}  // namespace slider
}  // namespace soundfx
