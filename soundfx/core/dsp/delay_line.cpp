#include "soundfx/core/dsp/delay_line.h"
#include <algorithm>

namespace soundfx {

void fx_delay_alloc(DelayLine* line, int n) {
    if (n < 0) n = 0;
    line->length = n + 1;
    line->samples.assign(size_t(line->length), 0.0f);
    line->position = 0;
}

void fx_delay_free(DelayLine* line) {
    std::vector<float>().swap(line->samples);
    line->length = 0;
    line->position = 0;
}

void fx_delay_clear(DelayLine* line) {
    std::fill(line->samples.begin(), line->samples.end(), 0.0f);
    line->position = 0;
}

}  // namespace soundfx
