// Circular delay line: holds the last n + 1 samples pushed.
#pragma once
#include <vector>

namespace soundfx {

struct DelayLine {
    std::vector<float> samples;
    int length = 0;    // n + 1 for a line of n
    int position = 0;  // where the last sample was stored
};

// length := n + 1, n + 1 zeroed samples, position 0.
void fx_delay_alloc(DelayLine* line, int n);
void fx_delay_free(DelayLine* line);
// Zeroes the samples and the position, keeping the storage.
void fx_delay_clear(DelayLine* line);

inline void fx_delay_push(DelayLine* line, float v) {
    if (++line->position >= line->length) line->position = 0;
    line->samples[line->position] = v;
}

// The sample stored d pushes ago (d = 0: the last one); d is limited to 0..n.
inline float fx_delay_tap(const DelayLine* line, int d) {
    if (d < 0) d = 0;
    if (d > line->length - 1) d = line->length - 1;
    int i = line->position - d;
    if (i < 0) i += line->length;
    return line->samples[i];
}

}  // namespace soundfx
