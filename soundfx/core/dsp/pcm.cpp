#include "soundfx/core/dsp/pcm.h"
#include <cmath>

namespace soundfx {

int fx_clip16(float x) {
    if (x != x) return 0;
    if (x >= 32767.0f) return 32767;
    if (x <= -32768.0f) return -32768;
    return static_cast<int>(std::nearbyint(x));
}

double fx_db_to_gain(double db) { return std::pow(10.0, db * 0.05); }

double fx_smooth_coef(double ms, int rate) {
    const double samples = double(rate) * ms * 0.001;
    return samples > 0 ? 1.0 - 1.0 / samples : 0.0;
}

}  // namespace soundfx
