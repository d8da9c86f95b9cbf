#include "adpcm.h"
#include <cstdint>

namespace {

ImaAdpcmState g_ima;

inline int clamp_index(int index) { return index < 0 ? 0 : index > adpcm::kMaxIndex ? adpcm::kMaxIndex : index; }
inline int clamp_sample(int v) { return v < -32768 ? -32768 : v > 32767 ? 32767 : v; }

// One code: the multiply form ((2 x magnitude + 1) x step) >> 3, the new index from the old one.
inline int16_t expand(int& predictor, int& index, int code) {
    const int step = adpcm::kStepTable[index];
    index = clamp_index(index + adpcm::kImaIndexTable[code]);
    const int diff = ((2 * (code & 7) + 1) * step) >> 3;
    predictor = clamp_sample(code & 8 ? predictor - diff : predictor + diff);
    return int16_t(predictor);
}

}  // namespace

void ima_adpcm_reset(ImaAdpcmState* state) { *state = ImaAdpcmState{}; }
void ima_adpcm_reset() { ima_adpcm_reset(&g_ima); }

int ima_adpcm_decode(ImaAdpcmState* state, const uint8_t* block, size_t length, int channels, int16_t* out,
                     size_t capacity) {
    if (!block || !out || length <= 8 || channels != 1) return 0;
    int predictor = int16_t(block[0] | block[1] << 8);
    // A damaged header may hold any index; it is clamped before it selects a step.
    int index = clamp_index(int16_t(block[2] | block[3] << 8));
    size_t count = (length - 8) * 2;
    if (count > capacity) count = capacity;
    if (count > size_t(INT32_MAX)) count = size_t(INT32_MAX) & ~size_t(1);
    const uint8_t* in = block + 8;
    size_t n = 0;
    for (; n + 2 <= count; n += 2, ++in) {
        out[n] = expand(predictor, index, *in >> 4);
        out[n + 1] = expand(predictor, index, *in & 15);
    }
    if (n < count) out[n++] = expand(predictor, index, *in >> 4);
    state->predictor = int16_t(predictor);
    state->index = int16_t(index);
    return int(n);
}

int ima_adpcm_decode(const uint8_t* block, size_t length, int channels, int16_t* out, size_t capacity) {
    return ima_adpcm_decode(&g_ima, block, length, channels, out, capacity);
}
