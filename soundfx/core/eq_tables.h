// Coefficient tables of the graphic equaliser: one second-order band-pass per centre frequency,
// H(z) = alpha (1 - z^-2) / (1 - gamma z^-1 + beta z^-2), alpha = (1 - beta) / 2,
// gamma = (1 + beta) cos(2 pi f / rate). Each band's beta puts the half-power point of this exact
// response at the band's lower edge (an octave wide for 10 bands, two thirds for 15, a third for 25
// and 31); the tables are computed once, on first use.
#pragma once
#include <cstddef>
#include <cstdint>

namespace soundfx {

#pragma pack(push, 1)
struct EqBand {
    float freq;       // centre frequency, Hz
    char label[12];   // as shown under the band's slider: "31", "1K", "12.5K"
    float beta;       // weight of y[n-2]
    float alpha;      // weight of x[n] - x[n-2]
    float gamma;      // weight of y[n-1]
};
#pragma pack(pop)
static_assert(sizeof(EqBand) == 28, "EqBand is 28 bytes");
static_assert(offsetof(EqBand, label) == 4 && offsetof(EqBand, beta) == 16 && offsetof(EqBand, alpha) == 20 &&
                  offsetof(EqBand, gamma) == 24,
              "EqBand layout");

// A table exists for 11025 and 22050 Hz (10 bands) and for 44100 and 48000 Hz (10, 15, 25, 31 bands).
bool eq_table_exists(int rate, int bands);
// The rows of that table, or null when there is none.
const EqBand* eq_table(int rate, int bands);

// beta of a band at f Hz whose half-power point lies `octaves` / 2 below f (in double precision).
double eq_band_beta(double f, double rate, double octaves);
// |H|^2 of a band at the normalised frequency theta (radians a sample).
double eq_band_power(double beta, double theta0, double theta);

}  // namespace soundfx
